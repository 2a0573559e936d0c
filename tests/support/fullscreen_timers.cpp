// fullscreen_timers.cpp - the full-screen timer check (see
// fullscreen_timers.h). The window lives on a thread of its own: where the
// clip messages never end, the thread's message calls never return, and
// the thread is ended from outside.
#include "tests/support/fullscreen_timers.h"

#include <windows.h>

static DWORD WINAPI TimerWindowThread(LPVOID fired)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = "ZorvaneTimerCheck";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, windowClass.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), NULL, NULL,
                                  windowClass.hInstance, NULL);
    if (!window)
        return 1;
    SetForegroundWindow(window);
    SetTimer(window, 1, 10, NULL);
    MSG m;
    while (GetMessageA(&m, NULL, 0, 0) > 0) {
        if (m.message == WM_TIMER && m.hwnd == window) {
            SetEvent(static_cast<HANDLE>(fired));
            break;
        }
        DispatchMessageA(&m);
    }
    DestroyWindow(window);
    return 0;
}

bool FullScreenWindowGetsTimers(unsigned ms)
{
    HANDLE fired = CreateEventA(NULL, TRUE, FALSE, NULL);
    HANDLE thread = fired ? CreateThread(NULL, 0, TimerWindowThread, fired, 0, NULL) : NULL;
    if (!thread) {
        if (fired)
            CloseHandle(fired);
        return false;
    }
    HANDLE both[2] = {fired, thread};
    const bool ok = WaitForMultipleObjects(2, both, FALSE, ms) == WAIT_OBJECT_0;
    if (ok)
        WaitForSingleObject(thread, ms);
    else
        TerminateThread(thread, 1);
    CloseHandle(thread);
    CloseHandle(fired);
    return ok;
}
