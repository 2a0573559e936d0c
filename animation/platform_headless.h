// platform_headless.h - the animation platform without a display: the
// window is a memory surface, timers run on a virtual clock, error boxes
// and quit requests are recorded. Drives the headless renderer and tests.
//
// Usage:
//   HeadlessReset(1024, 768);            // fresh window and clock at t = 0
//   Headless.seconds = seed;             // what the seed reads as the time
//   SaverStart(HeadlessWindow());
//   while (HeadlessRunNext(limitMs)) ...; // one timer event per call
//   SaverTeardown(HeadlessWindow());
//   HeadlessShutdown();
//
// Clock rules: a timer of period p (clamped to 10..0x7FFFFFFF ms, as the
// Windows timer does) is due at k * p for k = 1, 2, ...; events run in order
// of due time, ties broken by the smaller timer id.
#pragma once

#include <cstdint>

#include "animation/platform.h"
#include "engine/surface_memory.h"

struct HeadlessTimer {
    bool active;
    uint32_t period;      // after clamping
    uint64_t due;         // next due time, ms
    TimerHandler handler;
};

struct HeadlessPlatformRecord {
    int32_t width, height;          // the window's client size
    uint32_t seconds;               // calendar time read by the seed
    uint64_t now;                   // virtual time of the event being run, ms
    HeadlessTimer timers[3];        // by id; ids 1 and 2 are used
    MemoryWindow window;            // window.screen is what the window shows
    uint32_t presents;              // copies to the window so far
    void (*onFrame)();              // called after each copy is counted (may be null)
    uint32_t timerStarts, timerStops;

    // Fault injection for tests.
    unsigned failTimerId;           // creating this timer id fails (0: none)
    int failAllocation;             // the n-th allocation fails (1-based; 0: none)
    int allocations;                // allocations so far

    // What the user would have seen.
    int errorBoxes;
    char errorText[128];
    char errorCaption[64];
    int quitRequests;
    int quitCode;                   // code of the last quit request

    int surfacesLive, brushesLive, blocksLive;  // created and not yet released
};

extern HeadlessPlatformRecord Headless;

void HeadlessReset(int32_t width, int32_t height);   // release everything, start afresh
void HeadlessShutdown();                              // release the window's screen
SaverWindow HeadlessWindow();                         // the window handle to pass to the controller
unsigned HeadlessNextDue(uint64_t* due);              // id of the next event (0: no timer running)
unsigned HeadlessRunNext(uint64_t limitMs);           // run the next event due at or before limitMs; its id or 0
