// main_win32.cpp - SaverMain: window classes, the saver window or the
// preview, and the message loop (see main_win32.h).
#include "shell/main_win32.h"

#include "shell/command_tail.h"
#include "shell/mode.h"
#include "shell/monitors_win32.h"
#include "shell/picture_win32.h"
#include "shell/window_win32.h"

static const char kSaverClassName[] = "WindowsScreenSaverClass";

// The preview's window named by the tail, or null.
static HWND PreviewParent(const char* tail)
{
    const uint64_t number = PreviewWindowNumber(tail);
    const uintptr_t handle = static_cast<uintptr_t>(number);
    if (number == 0 || handle != number)
        return NULL;
    HWND parent = reinterpret_cast<HWND>(handle);
    return IsWindow(parent) ? parent : NULL;
}

// The preview's loop: the messages as they come, and between them a look
// at the caller's window every PreviewWatchMs. Its going normally destroys
// the picture with it; where it went without that (its process ended), the
// picture is destroyed here, which ends the loop the same way.
static int RunPreview(HINSTANCE instance, HWND parent)
{
    RECT area = {0, 0, 0, 0};
    GetClientRect(parent, &area);
    PictureStart start = {0, false, true};
    HWND picture = CreateWindowExA(0, PictureClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0,
                                   area.right - area.left, area.bottom - area.top, parent, NULL, instance, &start);
    if (!picture)
        return 0;
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return static_cast<int>(message.wParam);
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (!IsWindow(picture))
            return 0;  // gone without its own teardown: nothing is left to end
        if (!IsWindow(parent))
            DestroyWindow(picture);  // tears down and asks to quit with 0
        else
            MsgWaitForMultipleObjects(0, nullptr, FALSE, PreviewWatchMs, QS_ALLINPUT);
    }
}

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
    if (!RegisterClassA(&saverClass) || !RegisterPictureClass(instance))
        return 0;

    // The C runtime's own split of the command line may differ from the
    // saver's rule for the program name, so the tail is taken afresh; the
    // window keeps its own copy. Creation sends WM_CREATE, where the mode is
    // chosen and all the work of starting it happens.
    const char* tail = CommandLineTail(GetCommandLineA());
    if (ParseSaverMode(tail) == SaverMode::Preview) {
        HWND parent = PreviewParent(tail);
        return parent ? RunPreview(instance, parent) : 0;
    }
    MonitorList monitors;
    ListMonitors(&monitors);
    const RECT all = MonitorsBounds(&monitors);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, kSaverClassName, "",
                                  WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, all.left, all.top,
                                  all.right - all.left, all.bottom - all.top, NULL, NULL, instance,
                                  const_cast<char*>(tail));
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
