// surface_web.cpp - the off-screen surface in a web page: 32-bit pixels in
// the module's memory whose bytes are R, G, B, A in canvas order, so the
// page's putImageData takes them as they are; each frame reaches the
// canvas in that one copy.
#include <emscripten.h>

#include <cstdlib>

#include "animation/platform_web.h"
#include "engine/pixel_buffer.h"

struct OffscreenSurface {
    uint32_t* pixels;  // row-major, width pixels per row
    int32_t width, height;
};

// One canvas per page, so one surface at a time.
static OffscreenSurface g_surface;

// Colour is 0x00BBGGRR: stored little-endian, its bytes are R, G, B, and
// the top byte is the alpha, opaque.
static uint32_t PixelOf(Colour c)
{
    return (c & 0x00FFFFFFu) | 0xFF000000u;
}

EM_JS(void, PagePresentFromSurface, (const uint32_t* pixels, int32_t width, int32_t height),
      { PagePresent(pixels, width, height); });

OffscreenSurface* PlatCreateSurface(SaverWindow, SurfaceRect* clientRect)
{
    OffscreenSurface* s = &g_surface;
    *s = OffscreenSurface{};
    const int32_t w = Web.width, h = Web.height;
    *clientRect = SurfaceRect{0, 0, w, h};
    if (w <= 0 || h <= 0 || static_cast<uint64_t>(w) * static_cast<uint64_t>(h) >= 0x3FFFFFFFu)
        return nullptr;
    const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
    s->pixels = static_cast<uint32_t*>(std::malloc(count * 4));
    if (!s->pixels)
        return nullptr;
    s->width = w;
    s->height = h;
    const uint32_t black = PixelOf(0);
    for (size_t i = 0; i < count; i++)
        s->pixels[i] = black;  // a fresh surface is black
    return s;
}

void PlatReleaseSurface(OffscreenSurface* s)
{
    std::free(s->pixels);
    *s = OffscreenSurface{};
}

SurfaceBrush PlatCreateBlackBrush()
{
    return PixelsBrush(0);
}

void PlatReleaseBrush(SurfaceBrush)
{
}

int32_t SurfaceWidth(const OffscreenSurface* s)
{
    return s ? s->width : 0;
}

int32_t SurfaceHeight(const OffscreenSurface* s)
{
    return s ? s->height : 0;
}

static PixelBuffer Buffer(OffscreenSurface* s)
{
    return PixelBuffer{s->pixels, s->width, s->height};
}

void SurfaceFill(OffscreenSurface* s, const SurfaceRect* r, SurfaceBrush brush)
{
    if (s && brush)
        PixelsFill(Buffer(s), r, PixelOf(PixelsBrushColour(brush)));
}

void SurfaceSetPixel(OffscreenSurface* s, int32_t x, int32_t y, Colour c)
{
    if (s)
        PixelsSet(Buffer(s), x, y, PixelOf(c));
}

void SurfaceSetPixels(OffscreenSurface* s, const uint32_t* indices, uint32_t n, Colour c)
{
    if (s)
        PixelsSetMany(Buffer(s), indices, n, PixelOf(c));
}

void SurfaceCopyToWindow(OffscreenSurface* s, SaverWindow)
{
    if (s)
        PagePresentFromSurface(s->pixels, s->width, s->height);
}
