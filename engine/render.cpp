// render.cpp - see render.h.
#include "engine/render.h"

#include <cmath>

static const ViewStateRecord kInitialView = {
    0.0, 0.0, 0.0, 0.5, 0.0, 0.0, {1.0, 1.0, 0.009}, {0.0, 0.0, 0.0},
};

ViewStateRecord ViewState = kInitialView;
int32_t CentreX = 0;
int32_t CentreY = 0;

void ResetViewState()
{
    ViewState = kInitialView;
}

double ZScaleForWidth(int32_t width)
{
    static const struct {
        int32_t width;
        double scale;
    } kZScaleTable[] = {{1280, 0.007}, {1024, 0.009}, {800, 0.015}, {640, 0.03}};
    for (const auto& row : kZScaleTable)
        if (row.width == width)
            return row.scale;
    return 0.01;
}

void SelectZScale(int32_t width)
{
    ViewState.ViewScale.z = ZScaleForWidth(width);
}

// Rounds a projected coordinate to a pixel offset: trunc(v + 0.5), so
// positive values round to nearest and negative ones toward zero. Returns
// false for a value that is not finite or does not fit in 32 bits; the test
// comes before any conversion, which would otherwise be undefined.
static bool PixelOffset(double v, int64_t* out)
{
    const double t = std::trunc(v + 0.5);
    if (!(t >= -2147483648.0 && t <= 2147483647.0))  // also false for NaN
        return false;
    *out = static_cast<int64_t>(t);
    return true;
}

void RenderFrame(OffscreenSurface* surface, const PointCloud* cloud, uint32_t count, Colour colour)
{
    Matrix4 s, r, t, view;
    const Vec3 angles = {ViewState.AngleX, ViewState.AngleY, ViewState.AngleZ};
    MatScale(&s, &ViewState.ViewScale);
    MatRotateEuler(&r, &angles);
    MatTranslate(&t, &ViewState.EyePosition);
    MatCompose(&view, &s, &r, &t);

    const int64_t width = SurfaceWidth(surface);
    const int64_t height = SurfaceHeight(surface);
    for (uint32_t i = 0; i < count; i++) {
        Vec3 q;
        ScreenPoint sp;
        int64_t dx, dy;
        TransformPoint(&q, &view, &cloud[i]);
        ProjectPoint(&sp, &q);
        if (!PixelOffset(sp.X, &dx) || !PixelOffset(sp.Y, &dy))
            continue;
        const int64_t px = dx + CentreX;
        const int64_t py = dy + CentreY;
        if (px >= 0 && px < width && py >= 0 && py < height)
            SurfaceSetPixel(surface, static_cast<int32_t>(px), static_cast<int32_t>(py), colour);
    }
}
