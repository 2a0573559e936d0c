// platform_x11.h - the animation platform on an X display: the surface is
// 32-bit pixels in memory (shared with the X server through MIT-SHM when
// it can be), presented with one image copy per frame; timers follow
// timer_schedule.h on the monotonic clock, run by the program's event
// loop; the error box is a line on standard error.
//
// Usage (the event loop lives in the program, see shell/main_x11.cpp):
//   X11.display = XOpenDisplay(...); X11.window = ...; X11.width = ...;
//   X11InstallErrorHandlers();
//   if (!X11CheckVisual(&X11, &error)) ...;   // TrueColor, 32 bits a pixel
//   SaverStart(X11Window());                  // every call is handed &X11
//   ... X11RunTimer(id) whenever X11NextDue(&due) has come ...
//   SaverTeardown(X11Window());
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <string>

#include "animation/platform.h"
#include "animation/timer_schedule.h"

struct X11PlatformRecord {
    Display* display;
    Window window;                     // where the picture goes
    Visual* visual;                    // the window's visual and depth
    int depth;
    int32_t width, height;             // the window's size as last seen
    int32_t screenWidth, screenHeight; // its screen's: no more than this is drawn
    uint32_t zoom;                     // each point an N x N block; 0: ZoomForScreen
    uint32_t seed;                     // what the seed reads as the time
    TimerSchedule timers[TimerSlots];  // ids 1 and 2; due times in X11NowMs()
    bool quit;                         // the controller asked to end the loop
    int quitCode;                      // with this code (0, or -1 after a start-up failure)
    bool windowGone;                   // an X error named the window: it no longer exists
};

extern X11PlatformRecord X11;

SaverWindow X11Window();                   // the handle the controller is given
uint64_t X11NowMs();                       // monotonic clock, ms since the first call
// X errors are not fatal: one naming the window means it is gone, others
// are reported on stderr (at most a line a second); losing the display
// ends the process.
void X11InstallErrorHandlers();
// The window's visual can be drawn directly: TrueColor, 32 bits a pixel,
// 8 bits a channel (depth 24 or 32) or 10 (depth 30).
bool X11CheckVisual(const X11PlatformRecord* x, std::string* error);
unsigned X11NextDue(uint64_t* due);        // the timer due first (0: none)
void X11RunTimer(unsigned id);             // run timer id now and schedule its next tick
