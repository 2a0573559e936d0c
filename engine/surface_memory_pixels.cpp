// surface_memory_pixels.cpp - the memory surface's set-pixel operations:
// anything outside the surface is ignored, as surface.h documents.
#include "engine/surface_memory.h"

#include <cstddef>

void SurfaceSetPixel(OffscreenSurface* s, int32_t x, int32_t y, Colour c)
{
    if (!s || x < 0 || y < 0 || x >= SurfaceWidth(s) || y >= SurfaceHeight(s))
        return;
    MemorySurfacePixels(s)[static_cast<size_t>(y) * static_cast<size_t>(SurfaceWidth(s)) + static_cast<size_t>(x)] = c;
}

void SurfaceSetPixels(OffscreenSurface* s, const uint32_t* indices, uint32_t n, Colour c)
{
    if (!s)
        return;
    const uint32_t size = static_cast<uint32_t>(SurfaceWidth(s)) * static_cast<uint32_t>(SurfaceHeight(s));
    Colour* px = MemorySurfacePixels(s);
    for (uint32_t i = 0; i < n; i++)
        if (indices[i] < size)
            px[indices[i]] = c;
}
