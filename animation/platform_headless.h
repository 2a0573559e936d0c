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
// The clock follows timer_schedule.h; each event runs exactly at its due
// time, so no timer ever falls behind.
//
// Every platform call is appended to Headless.calls as one word, in order:
// "surface" / "surface-missing", "brush" / "brush-missing", "alloc:BYTES" /
// "alloc-refused:BYTES",
// "timer:ID" / "timer-refused:ID", "box", "quit:CODE", then "stop:ID",
// "free:BYTES", "release-brush", "release-surface". Tests assert on it.
#pragma once

#include <cstdint>
#include <string>

#include "animation/platform.h"
#include "animation/timer_schedule.h"
#include "engine/surface_memory.h"

struct HeadlessPlatformRecord {
    int32_t width, height;              // the window's client size
    uint32_t seconds;                   // calendar time read by the seed
    uint64_t now;                       // virtual time of the event being run, ms
    TimerSchedule timers[TimerSlots];   // by id; ids 1 and 2 are used
    MemoryWindow window;                // window.screen is what the window shows (null: not kept)
    uint32_t presents;                  // copies to the window so far
    void (*onFrame)();                  // called after each copy is counted (may be null)
    uint32_t timerStarts, timerStops;
    std::string calls;                  // the platform calls so far, see above

    // Fault injection for tests.
    unsigned failTimerId;           // creating this timer id fails (0: none)
    int failAllocation;             // the n-th allocation fails (1-based; 0: none)
    bool failSurface;               // the surface cannot be created
    bool failBrush;                 // the brush cannot be created
    int allocations;                // allocations so far

    // What the user would have seen.
    int errorBoxes;
    char errorText[128];
    char errorCaption[64];
    int quitRequests;
    int quitCode;                   // code of the last quit request

    int surfacesLive, brushesLive, blocksLive;  // created and not yet released
    uint64_t bytesLive;                         // bytes of the blocks not yet released
};

extern HeadlessPlatformRecord Headless;

// Releases everything and starts afresh. Without a screen, each present is
// counted and onFrame called, but no copy of the picture is kept.
void HeadlessReset(int32_t width, int32_t height, bool screen = true);
void HeadlessShutdown();                              // release the window's screen
SaverWindow HeadlessWindow();                         // the window handle to pass to the controller
unsigned HeadlessNextDue(uint64_t* due);              // id of the next event (0: no timer running)
unsigned HeadlessRunNext(uint64_t limitMs);           // run the next event due at or before limitMs; its id or 0
