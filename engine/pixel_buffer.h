// pixel_buffer.h - drawing on a block of 32-bit pixels kept in memory, row
// by row, width pixels to a row: the same for every surface that keeps its
// pixels so (the memory surface, the X11 image, the Windows DIB section),
// which each pass their own pixel value for a colour.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/surface.h"

// A brush of a solid colour, for the surfaces that keep their pixels so:
// the colour itself, carried in the pointer's bits (never null).
inline SurfaceBrush PixelsBrush(Colour c)
{
    return reinterpret_cast<SurfaceBrush>(static_cast<uintptr_t>(c) + 1);
}

inline Colour PixelsBrushColour(SurfaceBrush brush)  // the colour of a PixelsBrush
{
    return static_cast<Colour>(reinterpret_cast<uintptr_t>(brush) - 1);
}

struct PixelBuffer {
    uint32_t* pixels;
    int32_t width, height;
};

// Fills the part of r that lies on the buffer with value.
inline void PixelsFill(const PixelBuffer& b, const SurfaceRect* r, uint32_t value)
{
    const int32_t left = r->left < 0 ? 0 : r->left;
    const int32_t top = r->top < 0 ? 0 : r->top;
    const int32_t right = r->right > b.width ? b.width : r->right;
    const int32_t bottom = r->bottom > b.height ? b.height : r->bottom;
    for (int32_t y = top; y < bottom; y++) {
        uint32_t* row = b.pixels + static_cast<size_t>(y) * static_cast<size_t>(b.width);
        for (int32_t x = left; x < right; x++)
            row[x] = value;
    }
}

// Sets pixel (x, y) to value; a pixel outside the buffer is ignored.
inline void PixelsSet(const PixelBuffer& b, int32_t x, int32_t y, uint32_t value)
{
    if (x < 0 || y < 0 || x >= b.width || y >= b.height)
        return;
    b.pixels[static_cast<size_t>(y) * static_cast<size_t>(b.width) + static_cast<size_t>(x)] = value;
}

// Sets the pixel at each linear index to value, in order; an index of
// width * height or more (SurfaceSkipIndex among them) is ignored.
inline void PixelsSetMany(const PixelBuffer& b, const uint32_t* indices, uint32_t n, uint32_t value)
{
    const uint32_t size = static_cast<uint32_t>(b.width) * static_cast<uint32_t>(b.height);
    uint32_t* px = b.pixels;
    for (uint32_t i = 0; i < n; i++)
        if (indices[i] < size)
            px[indices[i]] = value;
}
