// surface.cpp - see surface.h.
#include "engine/surface.h"

#include <cstddef>

uint32_t PixelOf(const PixelFormat* f, Colour c)
{
    const auto channel = [f](uint32_t c8) { return f->tenBits ? (c8 << 2 | c8 >> 6) : c8; };
    return channel(c & 0xFFu) << f->redShift | channel(c >> 8 & 0xFFu) << f->greenShift |
           channel(c >> 16 & 0xFFu) << f->blueShift | f->alpha;
}

int32_t SurfaceWidth(const OffscreenSurface* s)
{
    return s ? s->width : 0;
}

int32_t SurfaceHeight(const OffscreenSurface* s)
{
    return s ? s->height : 0;
}

void SurfaceFill(OffscreenSurface* s, const SurfaceRect* r, Colour c)
{
    if (!s)
        return;
    const uint32_t value = PixelOf(&s->format, c);
    const int32_t left = r->left < 0 ? 0 : r->left;
    const int32_t top = r->top < 0 ? 0 : r->top;
    const int32_t right = r->right > s->width ? s->width : r->right;
    const int32_t bottom = r->bottom > s->height ? s->height : r->bottom;
    for (int32_t y = top; y < bottom; y++) {
        uint32_t* row = s->pixels + static_cast<size_t>(y) * static_cast<size_t>(s->width);
        for (int32_t x = left; x < right; x++)
            row[x] = value;
    }
}

void SurfaceSetPixel(OffscreenSurface* s, int32_t x, int32_t y, Colour c)
{
    if (!s)
        return;
    if (x < 0 || y < 0 || x >= s->width || y >= s->height) {
        if (s->rejections)
            ++*s->rejections;
        return;
    }
    s->pixels[static_cast<size_t>(y) * static_cast<size_t>(s->width) + static_cast<size_t>(x)] = PixelOf(&s->format, c);
}

void SurfaceSetPixels(OffscreenSurface* s, const uint32_t* indices, uint32_t n, Colour c)
{
    if (!s)
        return;
    const uint32_t value = PixelOf(&s->format, c);
    const uint32_t size = static_cast<uint32_t>(s->width) * static_cast<uint32_t>(s->height);
    uint32_t* px = s->pixels;
    if (!s->rejections) {
        for (uint32_t i = 0; i < n; i++)
            if (indices[i] < size)
                px[indices[i]] = value;
        return;
    }
    for (uint32_t i = 0; i < n; i++) {
        if (indices[i] < size)
            px[indices[i]] = value;
        else if (indices[i] != SurfaceSkipIndex)
            ++*s->rejections;
    }
}

void SurfacePresent(OffscreenSurface* s)
{
    if (s && s->present)
        s->present(s);
}
