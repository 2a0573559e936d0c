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
    s->pixels = static_cast<uint32_t*>(std::calloc(static_cast<size_t>(width) * static_cast<size_t>(height), 4));
    if (!s->pixels) {
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
    std::free(s);
}
