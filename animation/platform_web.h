// platform_web.h - the animation platform in a web page (WebAssembly): the
// surface is 32-bit pixels in the module's memory, RGBA bytes in canvas
// order, put on the page's <canvas> in one copy per frame; timers follow
// timer_schedule.h on the page's monotonic clock (performance.now), run by
// the page's one pending timeout; the error box is a line on the page.
//
// Usage (the page's loop lives in the program, see shell/main_web.cpp):
//   WebPlatformRecord web = {};
//   web.width = ...; web.height = ...;     // the picture's size in pixels
//   web.seed = seed;
//   SaverInit(&saver, &web); SaverStart(&saver);
//   ... WebRunTimer(&saver, id) whenever WebNextDue(&saver, &due) has come ...
//   SaverTeardown(&saver);
//
// The page's script (shell/page_web.js) provides PagePresent(pointer,
// width, height) and PageShowMessage(text).
#pragma once

#include <cstdint>

#include "animation/platform.h"

struct WebPlatformRecord {
    int32_t width, height;             // the picture's size: what the next surface is made at
    uint32_t seed;                     // what the seed reads as the time
    bool quit;                         // the controller asked to stop
    int quitCode;                      // with this code (-1 after a start-up failure)
};

uint64_t WebNowMs();                                       // the page's monotonic clock, ms
unsigned WebNextDue(const SaverRecord* saver, uint64_t* due);  // the timer due first (0: none)
void WebRunTimer(SaverRecord* saver, unsigned id);         // run timer id now and schedule its next tick
