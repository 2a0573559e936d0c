// surface_memory_pixels.cpp - the memory surface's set-pixel operations:
// anything outside the surface is ignored, as surface.h documents.
#include "engine/surface_memory.h"

#include "engine/pixel_buffer.h"

static PixelBuffer Buffer(OffscreenSurface* s)
{
    return PixelBuffer{MemorySurfacePixels(s), SurfaceWidth(s), SurfaceHeight(s)};
}

void SurfaceSetPixel(OffscreenSurface* s, int32_t x, int32_t y, Colour c)
{
    if (s)
        PixelsSet(Buffer(s), x, y, c);
}

void SurfaceSetPixels(OffscreenSurface* s, const uint32_t* indices, uint32_t n, Colour c)
{
    if (s)
        PixelsSetMany(Buffer(s), indices, n, c);
}
