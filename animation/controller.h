// controller.h - runs the saver's picture in a window.
//
// SaverStart builds everything (settings, seed, surface, buffers, two
// timers, the first attractor); then the platform calls FrameTick every
// AnimationTimer ms and ClearTick every CLSTimer ms; SaverTeardown releases
// what was built. Written once for every platform, over platform.h.
#pragma once

#include "engine/attractor.h"
#include "engine/surface.h"

struct AnimationStateRecord {
    bool Ready;                    // start-up complete and no clear tick running
    ::Colour Colour;               // colour of the current attractor
    OffscreenSurface* Surface;     // the platform's off-screen surface
    SurfaceRect ClientRect;        // client rectangle read at start-up; every clear fills it
    SurfaceBrush BackgroundBrush;  // solid black
    MapSet* Maps;                  // MapCount maps
    PointCloud* Cloud;             // PointCount points
    uint32_t PointCount;           // points Cloud was allocated for: NumberPoints at start-up
};

extern AnimationStateRecord AnimationState;  // process-wide animation record

void SaverStart(SaverWindow window);      // on window creation; failures show a box and quit with -1.
                                          // A second start first tears down the first.
void FrameTick(SaverWindow window);       // timer 1: draw a frame and show it
void ClearTick(SaverWindow window);       // timer 2: wipe the picture, start a new attractor
void SaverResize(SaverWindow window);     // the window changed size: a new black surface of the new
                                          // size, centre and depth scale; settings and stream untouched
void SaverTeardown(SaverWindow window);   // on window destruction; releases only what start-up built, once
