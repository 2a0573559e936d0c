// surface_checked.cpp - see surface_checked.h.
#include "engine/surface_checked.h"

#include <cstddef>

static uint64_t g_rejections = 0;

uint64_t CheckedSurfaceRejections()
{
    return g_rejections;
}

void CheckedSurfaceResetRejections()
{
    g_rejections = 0;
}

void SurfaceSetPixel(OffscreenSurface* s, int32_t x, int32_t y, Colour c)
{
    if (!s || x < 0 || y < 0 || x >= SurfaceWidth(s) || y >= SurfaceHeight(s)) {
        g_rejections++;
        return;
    }
    MemorySurfacePixels(s)[static_cast<size_t>(y) * static_cast<size_t>(SurfaceWidth(s)) + static_cast<size_t>(x)] = c;
}

void SurfaceSetPixels(OffscreenSurface* s, const uint32_t* indices, uint32_t n, Colour c)
{
    // A missing surface measures 0 x 0: only skipped points are valid on it.
    const uint32_t size = static_cast<uint32_t>(SurfaceWidth(s)) * static_cast<uint32_t>(SurfaceHeight(s));
    for (uint32_t i = 0; i < n; i++) {
        if (indices[i] < size)
            MemorySurfacePixels(s)[indices[i]] = c;
        else if (indices[i] != SurfaceSkipIndex)
            g_rejections++;
    }
}
