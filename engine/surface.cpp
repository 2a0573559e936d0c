// surface.cpp - see surface.h.
#include "engine/surface.h"

#include <algorithm>
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

static void Mark(OffscreenSurface* s, uint32_t i)
{
    const uint32_t b = i / SurfaceBlockPixels;
    s->written[b / 64] |= uint64_t{1} << (b % 64);
}

static void Unmark(OffscreenSurface* s, uint32_t i)
{
    const uint32_t b = i / SurfaceBlockPixels;
    s->written[b / 64] &= ~(uint64_t{1} << (b % 64));
}

static uint32_t PixelCount(const OffscreenSurface* s)
{
    return static_cast<uint32_t>(s->width) * static_cast<uint32_t>(s->height);
}

// The end of the block holding linear index i, within the surface.
static uint32_t BlockEnd(const OffscreenSurface* s, uint32_t i)
{
    const uint64_t end = static_cast<uint64_t>(i - i % SurfaceBlockPixels) + SurfaceBlockPixels;
    return end < PixelCount(s) ? static_cast<uint32_t>(end) : PixelCount(s);
}

// Pixels [begin, end) set to value. With a record, a blank block takes no
// blank write, and a block filled whole with blank is blank again.
static void FillSpan(OffscreenSurface* s, uint32_t begin, uint32_t end, uint32_t value)
{
    if (!s->written) {
        std::fill(s->pixels + begin, s->pixels + end, value);
        return;
    }
    while (begin < end) {
        const uint32_t blockEnd = BlockEnd(s, begin);
        const uint32_t stop = end < blockEnd ? end : blockEnd;
        if (value != s->blank) {
            std::fill(s->pixels + begin, s->pixels + stop, value);
            Mark(s, begin);
        } else if (!SurfaceBlockBlank(s, begin)) {
            std::fill(s->pixels + begin, s->pixels + stop, value);
            if (begin % SurfaceBlockPixels == 0 && stop == blockEnd)
                Unmark(s, begin);
        }
        begin = stop;
    }
}

// n pixels of from at linear index at onto to at linear index into.
static void CopySpan(OffscreenSurface* to, uint32_t into, const OffscreenSurface* from, uint32_t at, uint32_t n)
{
    const uint32_t end = at + n;
    while (at < end) {
        const uint32_t blockEnd = BlockEnd(from, at);
        const uint32_t count = (end < blockEnd ? end : blockEnd) - at;
        if (SurfaceBlockBlank(from, at)) {
            FillSpan(to, into, into + count, from->blank);
        } else {
            std::copy(from->pixels + at, from->pixels + at + count, to->pixels + into);
            if (to->written)
                for (uint32_t i = into; i < into + count; i = BlockEnd(to, i))
                    Mark(to, i);
        }
        at += count;
        into += count;
    }
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
    if (left >= right || top >= bottom)
        return;
    const uint32_t w = static_cast<uint32_t>(s->width);
    if (left == 0 && right == s->width) {  // whole rows: one span, so blocks across rows count as whole
        FillSpan(s, static_cast<uint32_t>(top) * w, static_cast<uint32_t>(bottom) * w, value);
        return;
    }
    for (int32_t y = top; y < bottom; y++)
        FillSpan(s, static_cast<uint32_t>(y) * w + static_cast<uint32_t>(left), static_cast<uint32_t>(y) * w + static_cast<uint32_t>(right),
                 value);
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
    const uint32_t i = static_cast<uint32_t>(y) * static_cast<uint32_t>(s->width) + static_cast<uint32_t>(x);
    FillSpan(s, i, i + 1, PixelOf(&s->format, c));
}

void SurfaceSetPixels(OffscreenSurface* s, const uint32_t* indices, uint32_t n, Colour c)
{
    if (!s)
        return;
    const uint32_t value = PixelOf(&s->format, c);
    const uint32_t size = PixelCount(s);
    uint32_t* px = s->pixels;
    // With a record, blank pixels go only to written blocks; others mark theirs.
    const bool mark = s->written && value != s->blank;
    const bool onlyWritten = s->written && value == s->blank;
    for (uint32_t i = 0; i < n; i++) {
        const uint32_t at = indices[i];
        if (at < size) {
            if (onlyWritten && SurfaceBlockBlank(s, at))
                continue;
            px[at] = value;
            if (mark)
                Mark(s, at);
        } else if (s->rejections && at != SurfaceSkipIndex) {
            ++*s->rejections;
        }
    }
}

void SurfaceCopy(OffscreenSurface* to, const OffscreenSurface* from)
{
    if (!to || !from)
        return;
    const int32_t width = from->width < to->width ? from->width : to->width;
    const int32_t height = from->height < to->height ? from->height : to->height;
    if (width <= 0 || height <= 0)
        return;
    if (from->width == width && to->width == width) {
        CopySpan(to, 0, from, 0, static_cast<uint32_t>(width) * static_cast<uint32_t>(height));
        return;
    }
    for (int32_t y = 0; y < height; y++)
        CopySpan(to, static_cast<uint32_t>(y) * static_cast<uint32_t>(to->width), from,
                 static_cast<uint32_t>(y) * static_cast<uint32_t>(from->width), static_cast<uint32_t>(width));
}

void SurfacePresent(OffscreenSurface* s)
{
    if (s && s->present)
        s->present(s);
}
