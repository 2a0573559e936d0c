// platform_linux.h - the animation platform the Linux front ends share (X11
// and Wayland): timers follow timer_schedule.h on the monotonic clock and
// are run by the program's own loop; the error box is a line on standard
// error; memory comes from the C library. Only the surface belongs to the
// display system: every picture's platform record begins with a
// LinuxWindowRecord that says how to make and release it.
//
// Usage (the loop lives in the program, see shell/main_x11.cpp):
//   record.window = {MakeSurface, ReleaseSurface, seed};  // first member of the display's record
//   SaverInit(&saver, &record); SaverStart(&saver);
//   ... LinuxRunTimer(&saver, id) whenever LinuxNextDue(&saver, &due) has come ...
//   if (record.window.quit) ...;                          // the controller asked to end
#pragma once

#include <cstdint>

#include "animation/platform.h"

struct LinuxWindowRecord {
    // The picture's surface (PlatCreateSurface); the surface's owner is
    // this record, and releaseSurface takes it back.
    OffscreenSurface* (*createSurface)(LinuxWindowRecord* window, SurfaceRect* clientRect);
    void (*releaseSurface)(OffscreenSurface* surface);
    uint32_t seed;                     // what the seed reads as the time
    bool quit;                         // the controller asked to end the loop
    int quitCode;                      // with this code (0, or -1 after a start-up failure)
};

uint64_t LinuxNowMs();                                            // monotonic clock, ms
unsigned LinuxNextDue(const SaverRecord* saver, uint64_t* due);   // the timer due first (0: none)
void LinuxRunTimer(SaverRecord* saver, unsigned id);              // run timer id now and schedule its next tick
