// platform_web.cpp - timers, the error box, the quit request, the clock
// and memory for the animation controller in a web page (see
// platform_web.h).
#include "animation/platform_web.h"

#include <emscripten.h>

#include <cstdio>

WebPlatformRecord Web = {};

// UTF8ToString, declared as in shell/main_web.cpp.
#ifdef EM_JS_DEPS
EM_JS_DEPS(platform_web, "$UTF8ToString");
#endif
EM_JS(void, PageShowMessageFromPlatform, (const char* text), { PageShowMessage(UTF8ToString(text)); });

SaverWindow WebWindow()
{
    return &Web;
}

uint64_t WebNowMs()
{
    static double start = -1;
    const double now = emscripten_get_now();
    if (start < 0)
        start = now;
    return static_cast<uint64_t>(now - start);
}

unsigned WebNextDue(uint64_t* due)
{
    return ScheduleNextDue(Web.timers, due);
}

void WebRunTimer(unsigned id)
{
    ScheduleRun(&Web.timers[id], WebNowMs(), WebWindow());
}

int PlatStartTimer(SaverWindow window, unsigned id, uint32_t periodMs, TimerHandler handler)
{
    if (id == 0 || id >= TimerSlots)
        return 0;
    ScheduleStart(&static_cast<WebPlatformRecord*>(window)->timers[id], WebNowMs(), periodMs, handler);
    return 1;
}

void PlatStopTimer(SaverWindow window, unsigned id)
{
    if (id < TimerSlots)
        static_cast<WebPlatformRecord*>(window)->timers[id].active = false;
}

void PlatErrorBox(SaverWindow, const char* text, const char* caption)
{
    char line[256];
    std::snprintf(line, sizeof line, "%s: %s", caption, text);
    PageShowMessageFromPlatform(line);
}

void PlatRequestQuit(int code)
{
    Web.quit = true;
    Web.quitCode = code;
}

uint32_t PlatCalendarSeconds()
{
    return Web.seed;
}

