// platform_web.cpp - timers, the error box, the quit request and the clock
// for the animation controller in a web page (see platform_web.h).
#include "animation/platform_web.h"

#include <emscripten.h>

#include <cstdio>

#include "animation/controller.h"

// UTF8ToString, declared as in shell/main_web.cpp.
#ifdef EM_JS_DEPS
EM_JS_DEPS(platform_web, "$UTF8ToString");
#endif
EM_JS(void, PageShowMessageFromPlatform, (const char* text), { PageShowMessage(UTF8ToString(text)); });

static WebPlatformRecord* Record(SaverWindow window)
{
    return static_cast<WebPlatformRecord*>(window);
}

uint64_t WebNowMs()
{
    return static_cast<uint64_t>(emscripten_get_now());
}

unsigned WebNextDue(const SaverRecord* saver, uint64_t* due)
{
    return ScheduleNextDue(saver->Timers, due);
}

void WebRunTimer(SaverRecord* saver, unsigned id)
{
    ScheduleRun(saver, id, WebNowMs());
}

int PlatStartTimer(SaverRecord* saver, unsigned id, uint32_t periodMs, TimerHandler handler)
{
    if (id == 0 || id >= TimerSlots)
        return 0;
    ScheduleStart(&saver->Timers[id], WebNowMs(), periodMs, handler);
    return 1;
}

void PlatStopTimer(SaverRecord* saver, unsigned id)
{
    if (id < TimerSlots)
        saver->Timers[id].active = false;
}

void PlatErrorBox(SaverWindow, const char* text, const char* caption)
{
    char line[256];
    std::snprintf(line, sizeof line, "%s: %s", caption, text);
    PageShowMessageFromPlatform(line);
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
