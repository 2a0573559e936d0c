// window_win32.cpp - the saver window procedure's upper layer (see
// window_win32.h).
#include "shell/window_win32.h"

#include "animation/controller.h"
#include "resources/resource.h"
#include "settings/dialogs_win32.h"
#include "shell/command_tail.h"
#include "shell/input_win32.h"
#include "shell/mode.h"

HINSTANCE Instance = NULL;

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        // The dialog runs to completion inside this send, before the window
        // is shown; its handler has already asked to quit when the
        // animation start-up below runs, so no frame is ever drawn.
        if (ParseSaverMode(CommandLine) == SaverMode::Configure)
            SendMessageA(window, WM_COMMAND, IDM_CONFIGURE, 0);
        SaverStart(static_cast<SaverWindow>(window));
        break;
    case WM_COMMAND:
        if (wParam == IDM_CONFIGURE) {
            DialogBoxParamA(Instance, MAKEINTRESOURCEA(IDD_CONFIG), window, ConfigDialogProc, 0);
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
        SaverResize(static_cast<SaverWindow>(window));
        break;
    case WM_DESTROY:
        SaverTeardown(static_cast<SaverWindow>(window));
        break;  // the lower layer posts the quit message
    default:
        break;
    }
    return SaverInputProc(window, message, wParam, lParam);
}
