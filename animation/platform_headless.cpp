// platform_headless.cpp - see platform_headless.h.
#include "animation/platform_headless.h"

#include <cstdio>
#include <cstdlib>

#include "animation/controller.h"

static HeadlessPlatformRecord* Record(SaverWindow window)
{
    return static_cast<HeadlessPlatformRecord*>(window);
}

// Every block carries its size in front of it, so that a release can be
// logged with the size that was allocated.
struct BlockHeader {
    size_t bytes;
    size_t pad;  // keeps the block 16-byte aligned
};

static void Log(HeadlessPlatformRecord* h, const char* word)
{
    if (!h->calls.empty())
        h->calls += ' ';
    h->calls += word;
}

static void LogNumber(HeadlessPlatformRecord* h, const char* word, unsigned long long n)
{
    char text[48];
    std::snprintf(text, sizeof text, "%s:%llu", word, n);
    Log(h, text);
}

// The frame onto the window's screen, clipped to it, then counted.
static void Present(OffscreenSurface* s)
{
    HeadlessPlatformRecord* h = Record(s->owner);
    SurfaceCopy(h->screen, s);
    h->presents++;
    if (h->onFrame)
        h->onFrame(h, s);
}

void HeadlessInit(HeadlessPlatformRecord* h, int32_t width, int32_t height, bool screen)
{
    *h = HeadlessPlatformRecord{};
    h->width = width;
    h->height = height;
    h->screen = screen ? MemorySurfaceCreate(width, height) : nullptr;
}

void HeadlessShutdown(HeadlessPlatformRecord* h)
{
    MemorySurfaceDestroy(h->screen);
    h->screen = nullptr;
}

unsigned HeadlessNextDue(const SaverRecord* saver, uint64_t* due)
{
    return ScheduleNextDue(saver->Timers, due);
}

unsigned HeadlessRunNext(SaverRecord* saver, uint64_t limitMs)
{
    uint64_t due = 0;
    const unsigned id = HeadlessNextDue(saver, &due);
    if (id == 0 || due > limitMs)
        return 0;
    Record(saver->Window)->now = due;
    ScheduleRun(saver, id, due);
    return id;
}

OffscreenSurface* PlatCreateSurface(SaverWindow window, SurfaceRect* clientRect)
{
    HeadlessPlatformRecord* h = Record(window);
    *clientRect = SurfaceRect{0, 0, h->width, h->height};
    OffscreenSurface* s = h->failSurface ? nullptr : MemorySurfaceCreate(h->width, h->height);
    Log(h, s ? "surface" : "surface-missing");
    if (s) {
        s->present = Present;
        s->owner = h;
        h->surfacesLive++;
    }
    return s;
}

void PlatReleaseSurface(OffscreenSurface* surface)
{
    HeadlessPlatformRecord* h = Record(surface->owner);
    Log(h, "release-surface");
    MemorySurfaceDestroy(surface);
    h->surfacesLive--;
}

int PlatStartTimer(SaverRecord* saver, unsigned id, uint32_t periodMs, TimerHandler handler)
{
    HeadlessPlatformRecord* h = Record(saver->Window);
    if (id == 0 || id >= TimerSlots || id == h->failTimerId) {
        LogNumber(h, "timer-refused", id);
        return 0;
    }
    ScheduleStart(&saver->Timers[id], h->now, periodMs, handler);
    LogNumber(h, "timer", id);
    h->timerStarts++;
    return 1;
}

void PlatStopTimer(SaverRecord* saver, unsigned id)
{
    HeadlessPlatformRecord* h = Record(saver->Window);
    LogNumber(h, "stop", id);
    if (id < TimerSlots && saver->Timers[id].active) {
        saver->Timers[id].active = false;
        h->timerStops++;
    }
}

void PlatErrorBox(SaverWindow window, const char* text, const char* caption)
{
    HeadlessPlatformRecord* h = Record(window);
    Log(h, "box");
    h->errorBoxes++;
    std::snprintf(h->errorText, sizeof h->errorText, "%s", text);
    std::snprintf(h->errorCaption, sizeof h->errorCaption, "%s", caption);
}

void PlatRequestQuit(SaverWindow window, int code)
{
    HeadlessPlatformRecord* h = Record(window);
    char text[24];
    std::snprintf(text, sizeof text, "quit:%d", code);
    Log(h, text);
    h->quitRequests++;
    h->quitCode = code;
}

uint32_t PlatCalendarSeconds(SaverWindow window)
{
    return Record(window)->seconds;
}

void* PlatAllocate(SaverWindow window, size_t bytes)
{
    HeadlessPlatformRecord* h = Record(window);
    void* block = nullptr;
    if (++h->allocations != h->failAllocation && bytes <= SIZE_MAX - sizeof(BlockHeader))
        block = std::calloc(1, sizeof(BlockHeader) + bytes);
    if (!block) {
        LogNumber(h, "alloc-refused", bytes);
        return nullptr;
    }
    static_cast<BlockHeader*>(block)->bytes = bytes;
    LogNumber(h, "alloc", bytes);
    h->blocksLive++;
    h->bytesLive += bytes;
    return static_cast<BlockHeader*>(block) + 1;
}

void PlatFree(SaverWindow window, void* block)
{
    if (!block)
        return;
    HeadlessPlatformRecord* h = Record(window);
    BlockHeader* header = static_cast<BlockHeader*>(block) - 1;
    LogNumber(h, "free", header->bytes);
    h->blocksLive--;
    h->bytesLive -= header->bytes;
    std::free(header);
}
