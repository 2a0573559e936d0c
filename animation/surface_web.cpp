// surface_web.cpp - the off-screen surface in a web page: 32-bit pixels in
// the module's memory whose bytes are R, G, B, A in canvas order, so the
// page's putImageData takes them as they are; each frame reaches the
// canvas in that one copy.
#include <emscripten.h>

#include <cstdlib>

#include "animation/platform_web.h"

// Colour is 0x00BBGGRR: stored little-endian, its bytes are R, G, B, and
// the top byte is the alpha, opaque.
constexpr PixelFormat kCanvasPixels = {0, 8, 16, false, 0xFF000000u};

EM_JS(void, PagePresentFromSurface, (const uint32_t* pixels, int32_t width, int32_t height),
      { PagePresent(pixels, width, height); });

static void Present(OffscreenSurface* s)
{
    PagePresentFromSurface(s->pixels, s->width, s->height);
}

OffscreenSurface* PlatCreateSurface(SaverWindow window, SurfaceRect* clientRect)
{
    const WebPlatformRecord* web = static_cast<const WebPlatformRecord*>(window);
    const int32_t w = web->width, h = web->height;
    *clientRect = SurfaceRect{0, 0, w, h};
    if (w <= 0 || h <= 0 || static_cast<uint64_t>(w) * static_cast<uint64_t>(h) >= 0x3FFFFFFFu)
        return nullptr;
    OffscreenSurface* s = static_cast<OffscreenSurface*>(std::calloc(1, sizeof(OffscreenSurface)));
    if (!s)
        return nullptr;
    s->pixels = static_cast<uint32_t*>(std::malloc(static_cast<size_t>(w) * static_cast<size_t>(h) * 4));
    if (!s->pixels) {
        std::free(s);
        return nullptr;
    }
    s->width = w;
    s->height = h;
    s->format = kCanvasPixels;
    s->present = Present;
    SurfaceFill(s, clientRect, 0);  // a fresh surface is black
    return s;
}

void PlatReleaseSurface(OffscreenSurface* s)
{
    std::free(s->pixels);
    std::free(s);
}
