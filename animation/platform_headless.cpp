// platform_headless.cpp - see platform_headless.h.
#include "animation/platform_headless.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

HeadlessPlatformRecord Headless = {};

// Every block carries its size in front of it, so that a release can be
// logged with the size that was allocated.
struct BlockHeader {
    size_t bytes;
    size_t pad;  // keeps the block 16-byte aligned
};

static void Log(const char* word)
{
    if (!Headless.calls.empty())
        Headless.calls += ' ';
    Headless.calls += word;
}

static void LogNumber(const char* word, unsigned long long n)
{
    char text[48];
    std::snprintf(text, sizeof text, "%s:%llu", word, n);
    Log(text);
}

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

void HeadlessReset(int32_t width, int32_t height, bool screen)
{
    HeadlessShutdown();
    Headless = HeadlessPlatformRecord{};
    Headless.width = width;
    Headless.height = height;
    Headless.window.screen = screen ? MemorySurfaceCreate(width, height) : nullptr;
    Headless.window.onPresent = CountPresent;
}

SaverWindow HeadlessWindow()
{
    return &Headless.window;
}

unsigned HeadlessNextDue(uint64_t* due)
{
    return ScheduleNextDue(Headless.timers, due);
}

unsigned HeadlessRunNext(uint64_t limitMs)
{
    uint64_t due = 0;
    const unsigned id = HeadlessNextDue(&due);
    if (id == 0 || due > limitMs)
        return 0;
    Headless.now = due;
    ScheduleRun(&Headless.timers[id], due, HeadlessWindow());
    return id;
}

OffscreenSurface* PlatCreateSurface(SaverWindow, SurfaceRect* clientRect)
{
    *clientRect = SurfaceRect{0, 0, Headless.width, Headless.height};
    OffscreenSurface* s = Headless.failSurface ? nullptr : MemorySurfaceCreate(Headless.width, Headless.height);
    Log(s ? "surface" : "surface-missing");
    if (s)
        Headless.surfacesLive++;
    return s;
}

void PlatReleaseSurface(OffscreenSurface* surface)
{
    Log("release-surface");
    MemorySurfaceDestroy(surface);
    Headless.surfacesLive--;
}

SurfaceBrush PlatCreateBlackBrush()
{
    if (Headless.failBrush) {
        Log("brush-missing");
        return nullptr;
    }
    Log("brush");
    Headless.brushesLive++;
    return MemorySurfaceBrush(0);
}

void PlatReleaseBrush(SurfaceBrush)
{
    Log("release-brush");
    Headless.brushesLive--;
}

int PlatStartTimer(SaverWindow, unsigned id, uint32_t periodMs, TimerHandler handler)
{
    if (id == 0 || id >= TimerSlots || id == Headless.failTimerId) {
        LogNumber("timer-refused", id);
        return 0;
    }
    ScheduleStart(&Headless.timers[id], Headless.now, periodMs, handler);
    LogNumber("timer", id);
    Headless.timerStarts++;
    return 1;
}

void PlatStopTimer(SaverWindow, unsigned id)
{
    LogNumber("stop", id);
    if (id < TimerSlots && Headless.timers[id].active) {
        Headless.timers[id].active = false;
        Headless.timerStops++;
    }
}

void PlatErrorBox(SaverWindow, const char* text, const char* caption)
{
    Log("box");
    Headless.errorBoxes++;
    std::snprintf(Headless.errorText, sizeof Headless.errorText, "%s", text);
    std::snprintf(Headless.errorCaption, sizeof Headless.errorCaption, "%s", caption);
}

void PlatRequestQuit(int code)
{
    char text[24];
    std::snprintf(text, sizeof text, "quit:%d", code);
    Log(text);
    Headless.quitRequests++;
    Headless.quitCode = code;
}

uint32_t PlatCalendarSeconds()
{
    return Headless.seconds;
}

void* PlatAllocate(size_t bytes)
{
    void* block = nullptr;
    if (++Headless.allocations != Headless.failAllocation && bytes <= SIZE_MAX - sizeof(BlockHeader))
        block = std::calloc(1, sizeof(BlockHeader) + bytes);
    if (!block) {
        LogNumber("alloc-refused", bytes);
        return nullptr;
    }
    static_cast<BlockHeader*>(block)->bytes = bytes;
    LogNumber("alloc", bytes);
    Headless.blocksLive++;
    Headless.bytesLive += bytes;
    return static_cast<BlockHeader*>(block) + 1;
}

void PlatFree(void* block)
{
    if (!block)
        return;
    BlockHeader* header = static_cast<BlockHeader*>(block) - 1;
    LogNumber("free", header->bytes);
    Headless.blocksLive--;
    Headless.bytesLive -= header->bytes;
    std::free(header);
}
