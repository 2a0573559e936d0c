// main_win32.cpp - SaverMain: window class, saver window and the one
// message loop (see main_win32.h).
#include "shell/main_win32.h"

#include "shell/command_tail.h"
#include "shell/window_win32.h"

static const char kSaverClassName[] = "WindowsScreenSaverClass";

int SaverMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int)
{
    if (previous != NULL)
        return 0;

    WNDCLASSA saverClass = {};
    saverClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    saverClass.lpfnWndProc = SaverWindowProc;
    saverClass.hInstance = instance;
    // Null background: the system never erases the window; only the
    // animation's frames reach it.
    saverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    saverClass.lpszClassName = kSaverClassName;
    if (!RegisterClassA(&saverClass))
        return 0;

    // The C runtime's own split of the command line may differ from the
    // saver's rule for the program name, so the tail is taken afresh; the
    // window keeps its own copy. Creation sends WM_CREATE, where the mode is
    // chosen and all the work of starting it happens.
    const char* tail = CommandLineTail(GetCommandLineA());
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, kSaverClassName, "",
                                  WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                  0, 0, width, height, NULL, NULL, instance, const_cast<char*>(tail));
    if (!window)
        return 0;  // nothing would ever post the quit message

    MSG message = {};
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    // With several quit requests pending, the platform keeps the last code.
    return static_cast<int>(message.wParam);
}
