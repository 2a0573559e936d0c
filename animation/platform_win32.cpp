// platform_win32.cpp - window timers, the error box, the quit request, the
// clock and memory for the animation controller on Windows.
#include <windows.h>

#include <ctime>

#include "animation/platform.h"

// Window timers call back through one TIMERPROC; it hands the window to the
// controller's handler registered for the timer id.
static TimerHandler g_handlers[3];

static VOID CALLBACK DispatchTimer(HWND window, UINT, UINT_PTR id, DWORD)
{
    if (id < 3 && g_handlers[id])
        g_handlers[id](window);
}

int PlatStartTimer(SaverWindow window, unsigned id, uint32_t periodMs, TimerHandler handler)
{
    if (id >= 3)
        return 0;
    g_handlers[id] = handler;
    return SetTimer(static_cast<HWND>(window), id, periodMs, DispatchTimer) != 0;
}

void PlatStopTimer(SaverWindow window, unsigned id)
{
    KillTimer(static_cast<HWND>(window), id);
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

void PlatRequestQuit(int code)
{
    PostQuitMessage(code);
}

uint32_t PlatCalendarSeconds()
{
    return static_cast<uint32_t>(std::time(nullptr));
}

void* PlatAllocate(size_t bytes)
{
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes);
}

void PlatFree(void* block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}
