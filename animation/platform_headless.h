// platform_headless.h - the animation platform without a display: the
// window is a record in memory whose screen is a memory surface, timers run
// on a virtual clock of its own, error boxes and quit requests are recorded.
// Drives the headless renderer and tests; each picture has its own record.
//
// Usage:
//   HeadlessPlatformRecord h;
//   HeadlessInit(&h, 1024, 768);          // fresh window and clock at t = 0
//   h.seconds = seed;                     // what the seed reads as the time
//   SaverRecord saver;
//   SaverInit(&saver, &h);
//   SaverStart(&saver);
//   while (HeadlessRunNext(&saver, limitMs)) ...;   // one timer event per call
//   SaverTeardown(&saver);
//   HeadlessShutdown(&h);
//
// The clock follows timer_schedule.h; each event runs exactly at its due
// time, so no timer ever falls behind.
//
// Every platform call is appended to calls as one word, in order:
// "surface" / "surface-missing", "alloc:BYTES" / "alloc-refused:BYTES",
// "timer:ID" / "timer-refused:ID", "box", "quit:CODE", then "stop:ID",
// "free:BYTES", "release-surface". Tests assert on it.
#pragma once

#include <cstdint>
#include <string>

#include "animation/platform.h"
#include "engine/surface_memory.h"

struct HeadlessPlatformRecord {
    int32_t width, height;              // the window's client size
    uint32_t seconds;                   // calendar time read by the seed
    uint64_t now;                       // virtual time of the event being run, ms
    OffscreenSurface* screen;           // what the window shows (null: not kept)
    uint32_t presents;                  // presents so far
    void (*onFrame)(HeadlessPlatformRecord* h, const OffscreenSurface* frame);  // after each present (may be null)
    void* user;                         // for onFrame
    uint32_t timerStarts, timerStops;
    std::string calls;                  // the platform calls so far, see above

    // Fault injection for tests.
    unsigned failTimerId;           // creating this timer id fails (0: none)
    int failAllocation;             // the n-th allocation fails (1-based; 0: none)
    bool failSurface;               // the surface cannot be created
    int allocations;                // allocations so far

    // What the user would have seen.
    int errorBoxes;
    char errorText[128];
    char errorCaption[64];
    int quitRequests;
    int quitCode;                   // code of the last quit request

    int surfacesLive, blocksLive;   // created and not yet released
    uint64_t bytesLive;             // bytes of the blocks not yet released
};

// A fresh record. Without a screen, each present is counted and onFrame
// called, but no copy of the picture is kept.
void HeadlessInit(HeadlessPlatformRecord* h, int32_t width, int32_t height, bool screen = true);
void HeadlessShutdown(HeadlessPlatformRecord* h);           // release the window's screen
// The next event of the picture drawn in a headless window: its id (0: no
// timer running); the run form runs it if it is due at or before limitMs.
unsigned HeadlessNextDue(const SaverRecord* saver, uint64_t* due);
unsigned HeadlessRunNext(SaverRecord* saver, uint64_t limitMs);
