// render.cpp - see render.h. RenderFrame runs in two passes over blocks of
// points: a branch-free pass that the compiler vectorises computes each
// point's pixel index, and the surface's bulk set-pixel operation stores
// them. Every sum keeps its fixed order, so the pixels are the same on every build.
#include "engine/render.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

double ZScaleForWidth(int32_t width)
{
    static constexpr struct {
        int32_t width;
        double scale;
    } kZScaleTable[] = {{1280, 0.007}, {1024, 0.009}, {800, 0.015}, {640, 0.03}};
    for (const auto& row : kZScaleTable)
        if (row.width == width)
            return row.scale;
    return 0.01;
}

void SelectZScale(ViewStateRecord* view, int32_t width)
{
    view->ViewScale.z = ZScaleForWidth(width);
}

// The pixel rule - offset := trunc(v) for v = X + 0.5, skipped unless it
// fits in 32 bits; pixel := offset + centre, formed wide, skipped off the
// surface - turned into two open bounds on v itself, lo < v < hi, so the
// test needs no rounding and comes before any conversion. For an integer L,
// trunc(v) >= L holds exactly when v > L - 1 (L <= 0: truncation raises a
// negative v) or v > the double below L (L > 0); trunc(v) <= K exactly when
// v < K + 1 (K >= 0) or v < the double above K (K < 0). NaN fails both.
struct OffsetBounds {
    double lo, hi;
};

static OffsetBounds BoundsForOffset(int64_t centre, int64_t size)
{
    const int64_t first = std::max<int64_t>(-centre, INT32_MIN);         // smallest offset drawn
    const int64_t last = std::min<int64_t>(size - 1 - centre, INT32_MAX);  // largest
    OffsetBounds b;
    b.lo = first <= 0 ? static_cast<double>(first - 1) : std::nextafter(static_cast<double>(first), -INFINITY);
    b.hi = last >= 0 ? static_cast<double>(last + 1) : std::nextafter(static_cast<double>(last), INFINITY);
    return b;
}

// Pass 1 over one block: the linear index y * width + x of every point's
// pixel, or SurfaceSkipIndex. Straight-line code, so that it vectorises:
// a skipped point converts 0.0 instead of its own value, then is masked.
static void PixelIndices(const double* view, const Vec3* points, uint32_t n, OffsetBounds bx, OffsetBounds by,
                         int32_t cx, int32_t cy, uint32_t width, uint32_t* out)
{
    double m[12];
    for (int i = 0; i < 12; i++)
        m[i] = view[i];
    for (uint32_t i = 0; i < n; i++) {
        const double x = points[i].x, y = points[i].y, z = points[i].z;
        const double qx = TransformRow(m, x, y, z);
        const double qy = TransformRow(m + 4, x, y, z);
        const double qz = TransformRow(m + 8, x, y, z);
        const double vx = qx / qz + 0.5;
        const double vy = qy / qz + 0.5;
        const bool drawn = (vx > bx.lo) & (vx < bx.hi) & (vy > by.lo) & (vy < by.hi);
        const int32_t px = static_cast<int32_t>(drawn ? vx : 0.0) + cx;
        const int32_t py = static_cast<int32_t>(drawn ? vy : 0.0) + cy;
        const uint32_t index = static_cast<uint32_t>(py) * width + static_cast<uint32_t>(px);
        out[i] = drawn ? index : SurfaceSkipIndex;
    }
}

void RenderFrame(const ViewStateRecord* v, OffscreenSurface* surface, const PointCloud* cloud, uint32_t count,
                 Colour colour)
{
    Matrix4 s, r, t, view;
    const Vec3 angles = {v->AngleX, v->AngleY, v->AngleZ};
    MatScale(&s, &v->ViewScale);
    MatRotateEuler(&r, &angles);
    MatTranslate(&t, &v->EyePosition);
    MatCompose(&view, &s, &r, &t);

    const int32_t width = SurfaceWidth(surface);
    const int32_t height = SurfaceHeight(surface);
    // Nothing to draw on an empty surface; and every pixel of a drawn one
    // needs a 32-bit index below SurfaceSkipIndex (no real surface is that big).
    if (width <= 0 || height <= 0 ||
        static_cast<uint64_t>(width) * static_cast<uint64_t>(height) >= SurfaceSkipIndex)
        return;
    const int32_t cx = v->CentreX, cy = v->CentreY;
    const OffsetBounds bx = BoundsForOffset(cx, width);
    const OffsetBounds by = BoundsForOffset(cy, height);

    // Pass 1 fills a block of indices on the stack, pass 2 hands it to the
    // surface; points keep their order, so later points still overwrite.
    constexpr uint32_t kBlock = 1024;
    uint32_t indices[kBlock];
    for (uint32_t done = 0; done < count; done += kBlock) {
        const uint32_t n = count - done < kBlock ? count - done : kBlock;
        PixelIndices(view.m, cloud + done, n, bx, by, cx, cy, static_cast<uint32_t>(width), indices);
        SurfaceSetPixels(surface, indices, n, colour);
    }
}
