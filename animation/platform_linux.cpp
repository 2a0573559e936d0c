// platform_linux.cpp - see platform_linux.h.
#include "animation/platform_linux.h"

#include <cstdio>
#include <ctime>

#include "animation/controller.h"

static LinuxWindowRecord* Record(SaverWindow window)
{
    return static_cast<LinuxWindowRecord*>(window);
}

uint64_t LinuxNowMs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000;
}

unsigned LinuxNextDue(const SaverRecord* saver, uint64_t* due)
{
    return ScheduleNextDue(saver->Timers, due);
}

void LinuxRunTimer(SaverRecord* saver, unsigned id)
{
    ScheduleRun(saver, id, LinuxNowMs());
}

OffscreenSurface* PlatCreateSurface(SaverWindow window, SurfaceRect* clientRect)
{
    return Record(window)->createSurface(Record(window), clientRect);
}

void PlatReleaseSurface(OffscreenSurface* surface)
{
    Record(surface->owner)->releaseSurface(surface);
}

int PlatStartTimer(SaverRecord* saver, unsigned id, uint32_t periodMs, TimerHandler handler)
{
    if (id == 0 || id >= TimerSlots)
        return 0;
    ScheduleStart(&saver->Timers[id], LinuxNowMs(), periodMs, handler);
    return 1;
}

void PlatStopTimer(SaverRecord* saver, unsigned id)
{
    if (id < TimerSlots)
        saver->Timers[id].active = false;
}

void PlatErrorBox(SaverWindow, const char* text, const char* caption)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

void PlatRequestQuit(SaverWindow window, int code)
{
    Record(window)->quit = true;
    Record(window)->quitCode = code;
}

uint32_t PlatCalendarSeconds(SaverWindow window)
{
    return Record(window)->seed;
}
