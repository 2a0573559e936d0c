// window_win32.cpp - the saver window procedure's upper layer (see
// window_win32.h).
#include "shell/window_win32.h"

#include <ctime>

#include "resources/resource.h"
#include "settings/dialogs_win32.h"
#include "shell/command_tail.h"
#include "shell/input_win32.h"
#include "shell/mode.h"
#include "shell/monitors_win32.h"
#include "shell/picture_win32.h"

struct SaverWindowRecord {
    char commandTail[CommandLineSize];
    SaverInputRecord input;
    uint32_t seed;                  // S: monitor i's picture is seeded S + i
    int pictureCount;
    HWND pictures[MaxMonitors];     // the picture window on each monitor, in the list's order
};

static bool QuitPending()
{
    MSG quit;
    return PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
}

// Picture i over monitors->rects[i], in the window's coordinates.
static HWND OpenPicture(HWND window, SaverWindowRecord* w, const MonitorList* monitors, int i)
{
    RECT frame = {0, 0, 0, 0};
    GetWindowRect(window, &frame);
    const RECT& r = monitors->rects[i];
    PictureStart start = {w->seed + static_cast<uint32_t>(i), true, false};
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    RegisterPictureClass(instance);
    return CreateWindowExA(0, PictureClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                           r.left - frame.left, r.top - frame.top, r.right - r.left, r.bottom - r.top, window,
                           NULL, instance, &start);
}

static void OpenPictures(HWND window, SaverWindowRecord* w)
{
    MonitorList monitors;
    ListMonitors(&monitors);
    w->pictureCount = 0;
    for (int i = 0; i < monitors.count; i++) {
        w->pictures[w->pictureCount++] = OpenPicture(window, w, &monitors, i);
        if (QuitPending())
            break;  // a start-up failure is shown once; so is the dialog's end
    }
}

// After a change of the display: the virtual screen again, a fresh picture
// on each monitor.
static void FitMonitors(HWND window, SaverWindowRecord* w)
{
    MonitorList monitors;
    ListMonitors(&monitors);
    const RECT bounds = MonitorsBounds(&monitors);
    SetWindowPos(window, HWND_TOPMOST, bounds.left, bounds.top, bounds.right - bounds.left,
                 bounds.bottom - bounds.top, SWP_NOACTIVATE);
    for (int i = monitors.count; i < w->pictureCount; i++)
        if (w->pictures[i])
            DestroyWindow(w->pictures[i]);
    const int kept = w->pictureCount < monitors.count ? w->pictureCount : monitors.count;
    for (int i = 0; i < kept; i++) {
        const RECT& r = monitors.rects[i];
        if (!w->pictures[i])
            continue;
        SetWindowPos(w->pictures[i], NULL, r.left - bounds.left, r.top - bounds.top, r.right - r.left,
                     r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageA(w->pictures[i], PM_REFIT, 0, 0);
    }
    for (int i = kept; i < monitors.count; i++)
        w->pictures[i] = OpenPicture(window, w, &monitors, i);
    w->pictureCount = monitors.count;
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    SaverWindowRecord* w = reinterpret_cast<SaverWindowRecord*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        w = static_cast<SaverWindowRecord*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof *w));
        if (!w)
            return FALSE;
        KeepCommandLine(w->commandTail,
                        static_cast<const char*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w));
    }
    if (!w)  // before WM_NCCREATE (WM_GETMINMAXINFO) and after WM_NCDESTROY
        return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        const LRESULT result = SaverInputProc(&w->input, window, message, wParam, lParam);
        HeapFree(GetProcessHeap(), 0, w);
        return result;
    }
    switch (message) {
    case WM_CREATE:
        // The dialog runs to completion inside this send, before the window
        // is shown; its handler has already asked to quit when the
        // pictures below start, so no frame is ever drawn.
        if (ParseSaverMode(w->commandTail) == SaverMode::Configure)
            SendMessageA(window, WM_COMMAND, IDM_CONFIGURE, 0);
        w->seed = static_cast<uint32_t>(std::time(nullptr));
        OpenPictures(window, w);
        break;
    case WM_COMMAND:
        if (wParam == IDM_CONFIGURE) {
            const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
            DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_CONFIG), window, ConfigDialogProc, 0);
            PostQuitMessage(0);
            return 1;
        }
        break;
    case WM_DISPLAYCHANGE:
        // A monitor added or taken away, or a change of mode (a change of
        // depth alone needs fresh surfaces too). The default procedure
        // still sees the message.
        FitMonitors(window, w);
        break;
    default:
        break;
    }
    // The pictures go with the window: each tears down its own (WM_DESTROY).
    return SaverInputProc(&w->input, window, message, wParam, lParam);
}
