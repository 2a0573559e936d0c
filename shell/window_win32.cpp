// window_win32.cpp - the saver window procedure's upper layer (see
// window_win32.h).
#include "shell/window_win32.h"

#include "animation/controller.h"
#include "resources/resource.h"
#include "settings/dialogs_win32.h"
#include "shell/command_tail.h"
#include "shell/input_win32.h"
#include "shell/mode.h"

struct SaverWindowRecord {
    char commandTail[CommandLineSize];
    SaverRecord saver;
    SaverInputRecord input;
};

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    SaverWindowRecord* w = reinterpret_cast<SaverWindowRecord*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        w = static_cast<SaverWindowRecord*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof *w));
        if (!w)
            return FALSE;
        KeepCommandLine(w->commandTail,
                        static_cast<const char*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        SaverInit(&w->saver, window);
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
        // animation start-up below runs, so no frame is ever drawn.
        if (ParseSaverMode(w->commandTail) == SaverMode::Configure)
            SendMessageA(window, WM_COMMAND, IDM_CONFIGURE, 0);
        SaverStart(&w->saver);
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
        // The screen changed mode: cover the new primary screen again, and
        // give the picture a surface of the new size in the new format (a
        // change of depth alone needs one too). The default procedure still
        // sees the message.
        SetWindowPos(window, HWND_TOPMOST, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                     GetSystemMetrics(SM_CYSCREEN), SWP_NOACTIVATE);
        SaverResize(&w->saver);
        break;
    case WM_DESTROY:
        SaverTeardown(&w->saver);
        break;  // the lower layer posts the quit message
    default:
        break;
    }
    return SaverInputProc(&w->input, window, message, wParam, lParam);
}
