// picture_wayland.h - one saver picture for a Wayland output: the
// controller draws into a surface in memory, at the output's device pixels
// divided by the zoom (settings/zoom.h), and each frame it presents is
// copied into the buffer the compositor will show, each pixel a zoom x zoom
// block, sending only what changed. Timers and the rest are the Linux
// front ends' (platform_linux.h).
//
//   WaylandPictureRecord p = {};
//   WaylandPictureInit(&p, seed, zoom, width, height);
//   SaverInit(&saver, &p); SaverStart(&saver);
//   ... LinuxRunTimer(&saver, id) ...
//   if (WaylandCopyFrame(&p, pixels, width, height, &stale, &damage)) ...   // commit the damage
#pragma once

#include <cstdint>

#include "animation/platform_linux.h"

struct WaylandPictureRecord {
    LinuxWindowRecord common;   // first: the controller's window is this record
    int32_t width, height;      // the output's device pixels
    uint32_t zoom;              // each point an N x N block; 0: ZoomForScreen
    OffscreenSurface* surface;  // the controller's surface, while it has one
    bool presented;             // a frame was presented since the last copy
};

void WaylandPictureInit(WaylandPictureRecord* p, uint32_t seed, uint32_t zoom, int32_t width, int32_t height);
// Brings pixels (width x height, 0xFFRRGGBB, holding an earlier frame or
// zeros) up to the last frame presented, stale rectangle and all (the
// whole buffer is compared, so stale needs no work of its own). False
// when nothing was presented since; else true, with the rectangle whose
// pixels changed in *damage (empty when none did).
bool WaylandCopyFrame(WaylandPictureRecord* p, uint32_t* pixels, int32_t width, int32_t height,
                      const SurfaceRect* stale, SurfaceRect* damage);
