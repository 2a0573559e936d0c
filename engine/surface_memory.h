// surface_memory.h - the in-memory off-screen surface: 32-bit pixels
// (0x00BBGGRR, as Colour), black when created.
//
// Usage:
//   OffscreenSurface* s = MemorySurfaceCreate(w, h);   // nullptr if w, h <= 0 or no memory
//   RenderFrame(s, cloud, n, colour);
//   const Colour* px = MemorySurfacePixels(s);         // row-major, w * h
//   MemorySurfaceDestroy(s);
//
// SurfaceCopyToWindow treats its window as a MemoryWindow: the pixels are
// copied onto its screen surface and its present hook is called.
#pragma once

#include "engine/surface.h"

struct MemoryWindow {
    OffscreenSurface* screen;                  // what the window shows
    void (*onPresent)(MemoryWindow* window);   // called after every copy (may be null)
    void* user;                                // for the hook
};

OffscreenSurface* MemorySurfaceCreate(int32_t width, int32_t height);  // black surface or nullptr (no memory, or
                                                                        // w * h not below 2^32 - 1)
void MemorySurfaceDestroy(OffscreenSurface* s);                         // accepts nullptr
Colour* MemorySurfacePixels(OffscreenSurface* s);                       // row-major pixels
const Colour* MemorySurfacePixels(const OffscreenSurface* s);
SurfaceBrush MemorySurfaceBrush(Colour c);                              // a brush of a solid colour
