// platform_win32.cpp - window timers, the error box, the quit request, the
// clock and memory for the animation controller on Windows.
#include <windows.h>

#include <ctime>

#include "animation/controller.h"
#include "animation/platform_win32.h"

// The picture a window's timers belong to, kept on the window itself: a
// window timer's callback is handed the window and the timer id only.
static const char kSaverProperty[] = "ZorvaneSaver";
static const char kSeedProperty[] = "ZorvaneSeed";

void Win32UseSeed(HWND window, const uint32_t* seed)
{
    if (seed)
        SetPropA(window, kSeedProperty, const_cast<uint32_t*>(seed));
    else
        RemovePropA(window, kSeedProperty);
}

static VOID CALLBACK DispatchTimer(HWND window, UINT, UINT_PTR id, DWORD)
{
    SaverRecord* saver = static_cast<SaverRecord*>(GetPropA(window, kSaverProperty));
    if (saver && id < TimerSlots && saver->Timers[id].active)
        saver->Timers[id].handler(saver);
}

int PlatStartTimer(SaverRecord* saver, unsigned id, uint32_t periodMs, TimerHandler handler)
{
    HWND window = static_cast<HWND>(saver->Window);
    if (id == 0 || id >= TimerSlots || !SetPropA(window, kSaverProperty, saver))
        return 0;
    saver->Timers[id] = TimerSchedule{true, periodMs, 0, handler};
    if (SetTimer(window, id, periodMs, DispatchTimer) != 0)
        return 1;
    saver->Timers[id].active = false;
    return 0;
}

void PlatStopTimer(SaverRecord* saver, unsigned id)
{
    HWND window = static_cast<HWND>(saver->Window);
    KillTimer(window, id);
    if (id < TimerSlots)
        saver->Timers[id].active = false;
    bool running = false;
    for (const TimerSchedule& t : saver->Timers)
        running = running || t.active;
    if (!running)
        RemovePropA(window, kSaverProperty);
}

// A quit request already pending (the configuration dialog's, when the
// start-up after it fails) would end the box's own message loop at once,
// before anyone could read it: it is taken out while the box is up and
// made again after, so the box waits for the user.
void PlatErrorBox(SaverWindow window, const char* text, const char* caption)
{
    MSG quit;
    const bool pending = PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
    MessageBoxA(static_cast<HWND>(window), text, caption, MB_OK | MB_ICONHAND);
    if (pending)
        PostQuitMessage(static_cast<int>(quit.wParam));
}

void PlatRequestQuit(SaverWindow, int code)
{
    PostQuitMessage(code);
}

uint32_t PlatCalendarSeconds(SaverWindow window)
{
    if (const uint32_t* seed = static_cast<const uint32_t*>(GetPropA(static_cast<HWND>(window), kSeedProperty)))
        return *seed;
    return static_cast<uint32_t>(std::time(nullptr));
}

void* PlatAllocate(SaverWindow, size_t bytes)
{
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes);
}

void PlatFree(SaverWindow, void* block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}
