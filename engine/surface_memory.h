// surface_memory.h - an off-screen surface of its own memory: 32-bit pixels
// holding the Colour itself (0x00BBGGRR), black when created, presented
// nowhere unless its maker sets present.
//
// Usage:
//   OffscreenSurface* s = MemorySurfaceCreate(w, h);   // nullptr if w, h <= 0 or no memory
//   RenderFrame(&view, s, cloud, n, colour);
//   const Colour* px = s->pixels;                      // row-major, w * h
//   MemorySurfaceDestroy(s);
#pragma once

#include "engine/surface.h"

OffscreenSurface* MemorySurfaceCreate(int32_t width, int32_t height);  // black surface or nullptr (no memory, or
                                                                        // w * h not below 2^32 - 1)
void MemorySurfaceDestroy(OffscreenSurface* s);                         // accepts nullptr
