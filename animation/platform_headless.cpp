// platform_headless.cpp - see platform_headless.h.
#include "animation/platform_headless.h"

#include <cstdio>
#include <cstdlib>

HeadlessPlatformRecord Headless = {};

static void CountPresent(MemoryWindow*)
{
    Headless.presents++;
    if (Headless.onFrame)
        Headless.onFrame();
}

void HeadlessShutdown()
{
    MemorySurfaceDestroy(Headless.window.screen);
    Headless.window.screen = nullptr;
}

void HeadlessReset(int32_t width, int32_t height)
{
    HeadlessShutdown();
    Headless = HeadlessPlatformRecord{};
    Headless.width = width;
    Headless.height = height;
    Headless.window.screen = MemorySurfaceCreate(width, height);
    Headless.window.onPresent = CountPresent;
}

SaverWindow HeadlessWindow()
{
    return &Headless.window;
}

unsigned HeadlessNextDue(uint64_t* due)
{
    unsigned next = 0;
    for (unsigned id = 1; id < 3; id++) {
        const HeadlessTimer& t = Headless.timers[id];
        if (t.active && (next == 0 || t.due < Headless.timers[next].due))
            next = id;  // strict less: on a tie the smaller id, found first, stays
    }
    if (next && due)
        *due = Headless.timers[next].due;
    return next;
}

unsigned HeadlessRunNext(uint64_t limitMs)
{
    uint64_t due = 0;
    const unsigned id = HeadlessNextDue(&due);
    if (id == 0 || due > limitMs)
        return 0;
    HeadlessTimer& t = Headless.timers[id];
    Headless.now = due;
    t.due += t.period;
    t.handler(HeadlessWindow());
    return id;
}

OffscreenSurface* PlatCreateSurface(SaverWindow, SurfaceRect* clientRect)
{
    *clientRect = SurfaceRect{0, 0, Headless.width, Headless.height};
    OffscreenSurface* s = MemorySurfaceCreate(Headless.width, Headless.height);
    if (s)
        Headless.surfacesLive++;
    return s;
}

void PlatReleaseSurface(OffscreenSurface* surface)
{
    MemorySurfaceDestroy(surface);
    Headless.surfacesLive--;
}

SurfaceBrush PlatCreateBlackBrush()
{
    Headless.brushesLive++;
    return MemorySurfaceBrush(0);
}

void PlatReleaseBrush(SurfaceBrush)
{
    Headless.brushesLive--;
}

int PlatStartTimer(SaverWindow, unsigned id, uint32_t periodMs, TimerHandler handler)
{
    if (id == 0 || id > 2 || id == Headless.failTimerId)
        return 0;
    uint32_t period = periodMs < 10 ? 10 : periodMs;
    if (period > 0x7FFFFFFFu)
        period = 0x7FFFFFFFu;
    Headless.timers[id] = HeadlessTimer{true, period, Headless.now + period, handler};
    Headless.timerStarts++;
    return 1;
}

void PlatStopTimer(SaverWindow, unsigned id)
{
    if (id < 3 && Headless.timers[id].active) {
        Headless.timers[id].active = false;
        Headless.timerStops++;
    }
}

void PlatErrorBox(SaverWindow, const char* text, const char* caption)
{
    Headless.errorBoxes++;
    std::snprintf(Headless.errorText, sizeof Headless.errorText, "%s", text);
    std::snprintf(Headless.errorCaption, sizeof Headless.errorCaption, "%s", caption);
}

void PlatRequestQuit(int code)
{
    Headless.quitRequests++;
    Headless.quitCode = code;
}

uint32_t PlatCalendarSeconds()
{
    return Headless.seconds;
}

void* PlatAllocate(size_t bytes)
{
    if (++Headless.allocations == Headless.failAllocation)
        return nullptr;
    void* block = std::calloc(1, bytes);
    if (block)
        Headless.blocksLive++;
    return block;
}

void PlatFree(void* block)
{
    if (block)
        Headless.blocksLive--;
    std::free(block);
}
