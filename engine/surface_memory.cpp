// surface_memory.cpp - see surface_memory.h.
#include "engine/surface_memory.h"

#include <cstdlib>

OffscreenSurface* MemorySurfaceCreate(int32_t width, int32_t height)
{
    // Every pixel must have a 32-bit linear index below SurfaceSkipIndex,
    // which stands for "no pixel" in SurfaceSetPixels.
    if (width <= 0 || height <= 0 || static_cast<uint64_t>(width) * static_cast<uint64_t>(height) >= SurfaceSkipIndex)
        return nullptr;
    OffscreenSurface* s = static_cast<OffscreenSurface*>(std::malloc(sizeof(OffscreenSurface)));
    if (!s)
        return nullptr;
    *s = OffscreenSurface{};
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    const size_t blocks = (count + SurfaceBlockPixels - 1) / SurfaceBlockPixels;
    // Zero-filled memory is black, and no block of it has been written.
    s->pixels = static_cast<uint32_t*>(std::calloc(count, 4));
    s->written = static_cast<uint64_t*>(std::calloc((blocks + 63) / 64, sizeof(uint64_t)));
    if (!s->pixels || !s->written) {
        std::free(s->pixels);
        std::free(s->written);
        std::free(s);
        return nullptr;
    }
    s->width = width;
    s->height = height;
    s->format = ColourPixels;
    return s;
}

void MemorySurfaceDestroy(OffscreenSurface* s)
{
    if (!s)
        return;
    std::free(s->pixels);
    std::free(s->written);
    std::free(s);
}
