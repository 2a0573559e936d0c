// surface.h - the off-screen surface the picture is drawn into.
//
// Each platform defines struct OffscreenSurface in its own surface file and
// links exactly one of them: surface_memory.cpp (headless renderer, tests),
// the Win32 memory drawing context or the X11 image in animation/. A fresh
// surface is black.
#pragma once

#include <cstdint>

#include "engine/random.h"

struct OffscreenSurface;
struct SurfaceBrushTag;
using SurfaceBrush = SurfaceBrushTag*;  // the platform's background brush
using SaverWindow = void*;              // the platform's window handle

struct SurfaceRect {
    int32_t left, top, right, bottom;
};

int32_t SurfaceWidth(const OffscreenSurface* s);                         // width in pixels
int32_t SurfaceHeight(const OffscreenSurface* s);                        // height in pixels
void SurfaceFill(OffscreenSurface* s, const SurfaceRect* r, SurfaceBrush brush);  // fill r with the brush
void SurfaceSetPixel(OffscreenSurface* s, int32_t x, int32_t y, Colour c);        // pixels outside are ignored
// The bulk form of SurfaceSetPixel, for the renderer: sets the pixel at each
// linear index (y * width + x) to c, in order; an index of width * height
// or more stands for a skipped point and is ignored. The renderer passes
// SurfaceSkipIndex for those, a value no surface has as many pixels as.
void SurfaceSetPixels(OffscreenSurface* s, const uint32_t* indices, uint32_t n, Colour c);
constexpr uint32_t SurfaceSkipIndex = 0xFFFFFFFFu;
void SurfaceCopyToWindow(OffscreenSurface* s, SaverWindow window);       // one block copy to the window
