// surface_checked.h - the memory surface (surface_memory.h) with set-pixel
// operations that reject and count every call the renderer should never
// make, instead of clipping it quietly. For tests and fuzz targets: link
// zorvane_surface_checked in place of zorvane_surface_memory.
//
// Rejected: SurfaceSetPixel outside the surface; a SurfaceSetPixels index of
// width * height or more other than SurfaceSkipIndex, the one value the
// renderer passes for a point it skips.
#pragma once

#include <cstdint>

#include "engine/surface_memory.h"

uint64_t CheckedSurfaceRejections();    // rejected calls (or indices) since the last reset, on any surface
void CheckedSurfaceResetRejections();   // back to 0
