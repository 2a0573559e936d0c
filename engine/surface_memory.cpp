// surface_memory.cpp - see surface_memory.h. Everything but the two
// set-pixel operations, which come from surface_memory_pixels.cpp (clipping)
// or surface_checked.cpp (counting the calls out of range).
#include "engine/surface_memory.h"

#include "engine/pixel_buffer.h"

#include <cstdlib>
#include <cstring>

struct OffscreenSurface {
    int32_t width;
    int32_t height;
    Colour* pixels;
};

OffscreenSurface* MemorySurfaceCreate(int32_t width, int32_t height)
{
    // Every pixel must have a 32-bit linear index below SurfaceSkipIndex,
    // which stands for "no pixel" in SurfaceSetPixels.
    if (width <= 0 || height <= 0 || static_cast<uint64_t>(width) * static_cast<uint64_t>(height) >= SurfaceSkipIndex)
        return nullptr;
    OffscreenSurface* s = static_cast<OffscreenSurface*>(std::malloc(sizeof(OffscreenSurface)));
    if (!s)
        return nullptr;
    s->width = width;
    s->height = height;
    s->pixels = static_cast<Colour*>(std::calloc(static_cast<size_t>(width) * static_cast<size_t>(height), sizeof(Colour)));
    if (!s->pixels) {
        std::free(s);
        return nullptr;
    }
    return s;
}

void MemorySurfaceDestroy(OffscreenSurface* s)
{
    if (!s)
        return;
    std::free(s->pixels);
    std::free(s);
}

Colour* MemorySurfacePixels(OffscreenSurface* s)
{
    return s->pixels;
}

const Colour* MemorySurfacePixels(const OffscreenSurface* s)
{
    return s->pixels;
}

SurfaceBrush MemorySurfaceBrush(Colour c)
{
    return PixelsBrush(c);
}

// A missing surface (one that could not be created) has no pixels: it
// measures 0 x 0 and every drawing call on it does nothing.
int32_t SurfaceWidth(const OffscreenSurface* s)
{
    return s ? s->width : 0;
}

int32_t SurfaceHeight(const OffscreenSurface* s)
{
    return s ? s->height : 0;
}

void SurfaceFill(OffscreenSurface* s, const SurfaceRect* r, SurfaceBrush brush)
{
    if (s && brush)
        PixelsFill(PixelBuffer{s->pixels, s->width, s->height}, r, PixelsBrushColour(brush));
}

void SurfaceCopyToWindow(OffscreenSurface* s, SaverWindow window)
{
    MemoryWindow* w = static_cast<MemoryWindow*>(window);
    if (!s || !w)
        return;
    OffscreenSurface* screen = w->screen;
    if (screen) {
        const int32_t width = s->width < screen->width ? s->width : screen->width;
        const int32_t height = s->height < screen->height ? s->height : screen->height;
        for (int32_t y = 0; y < height; y++)
            std::memcpy(screen->pixels + static_cast<size_t>(y) * screen->width,
                        s->pixels + static_cast<size_t>(y) * s->width, static_cast<size_t>(width) * sizeof(Colour));
    }
    if (w->onPresent)
        w->onPresent(w);
}
