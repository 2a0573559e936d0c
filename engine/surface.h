// surface.h - the off-screen surface the picture is drawn into: 32-bit
// pixels in memory, row by row, width pixels to a row. One implementation
// serves every front end; whoever makes a surface says how a colour becomes
// one of its pixels (the X11 visual's layout, the Windows DIB's 0x00RRGGBB,
// the canvas's RGBA bytes, the memory surface's Colour as it is) and how its
// pixels are presented (an image copy to a window, a canvas upload, a copy
// in memory). A fresh surface is black.
//
// A null surface stands for one that could not be built: it measures 0 x 0
// and every call on it does nothing.
//
// A surface may keep a record of which blocks of SurfaceBlockPixels pixels
// (by linear index, y * width + x) it has written since they were last all
// blank: a block not marked holds blank in every pixel. Writes of blank to
// such a block are left out, and readers (a copy, the PNG writer) take
// blank for it without reading: memory that was handed out zero-filled and
// never written is then never touched at all, on systems where even reading
// it maps it. Whoever writes pixels other than through these calls must
// mark what they write (or keep no record: written null).
#pragma once

#include <cstdint>

#include "engine/random.h"

struct SurfaceRect {
    int32_t left, top, right, bottom;
};

// How a Colour (0x00BBGGRR) becomes a pixel: each 8-bit channel, widened to
// 10 bits when tenBits is set (its top two bits repeated at the bottom),
// shifted to its place; the alpha bits are set in every pixel.
struct PixelFormat {
    int redShift, greenShift, blueShift;
    bool tenBits;
    uint32_t alpha;
};

constexpr PixelFormat ColourPixels = {0, 8, 16, false, 0};  // the Colour itself

struct OffscreenSurface {
    uint32_t* pixels;            // row-major, width * height
    int32_t width, height;       // width * height is below SurfaceSkipIndex
    PixelFormat format;
    void (*present)(OffscreenSurface* s);  // shows the pixels (may be null)
    void* owner;                 // the record of whoever made the surface, for present and release
    // Null: set-pixel calls outside the surface are ignored, as the renderer
    // expects. Otherwise each such call (each SurfaceSetPixels index of
    // width * height or more other than SurfaceSkipIndex) is counted here
    // instead: tests and fuzz targets hold the renderer to never making one.
    uint64_t* rejections;
    // Bit (b % 64) of written[b / 64] marks block b as possibly not blank;
    // null: no record, every block counts as written.
    uint64_t* written;
    uint32_t blank;              // the pixel every unmarked block holds
};

constexpr uint32_t SurfaceBlockPixels = 1024;  // 4 KiB of pixels: a memory page on most systems

// Whether the block holding linear index i is known to hold blank throughout.
inline bool SurfaceBlockBlank(const OffscreenSurface* s, uint32_t i)
{
    const uint32_t b = i / SurfaceBlockPixels;
    return s->written && !(s->written[b / 64] >> (b % 64) & 1);
}

constexpr uint32_t SurfaceSkipIndex = 0xFFFFFFFFu;  // a linear index no surface has

uint32_t PixelOf(const PixelFormat* f, Colour c);
int32_t SurfaceWidth(const OffscreenSurface* s);                                   // width in pixels
int32_t SurfaceHeight(const OffscreenSurface* s);                                  // height in pixels
void SurfaceFill(OffscreenSurface* s, const SurfaceRect* r, Colour c);             // the part of r on the surface
void SurfaceSetPixel(OffscreenSurface* s, int32_t x, int32_t y, Colour c);         // pixels outside are ignored
// The bulk form of SurfaceSetPixel, for the renderer: sets the pixel at each
// linear index (y * width + x) to c, in order; an index of width * height
// or more stands for a skipped point and is ignored. The renderer passes
// SurfaceSkipIndex for those.
void SurfaceSetPixels(OffscreenSurface* s, const uint32_t* indices, uint32_t n, Colour c);
void SurfacePresent(OffscreenSurface* s);                                          // one copy to where it is shown
// The part of from that fits onto to, at the top-left of both, pixel for
// pixel (both of one format): blank blocks of from are written as its blank.
void SurfaceCopy(OffscreenSurface* to, const OffscreenSurface* from);
