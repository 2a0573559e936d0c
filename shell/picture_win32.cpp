// picture_win32.cpp - the picture window (see picture_win32.h).
#include "shell/picture_win32.h"

#include "animation/controller.h"
#include "animation/platform_win32.h"

struct PictureWindowRecord {
    PictureStart start;
    SaverRecord saver;
};

bool RegisterPictureClass(HINSTANCE instance)
{
    WNDCLASSA existing;
    if (GetClassInfoA(instance, PictureClassName, &existing))
        return true;
    WNDCLASSA pictureClass = {};
    pictureClass.lpfnWndProc = PictureWindowProc;
    pictureClass.hInstance = instance;
    // As the saver window: only the animation's frames reach the window.
    pictureClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    pictureClass.lpszClassName = PictureClassName;
    return RegisterClassA(&pictureClass) != 0;
}

static bool IsUserInput(UINT message)
{
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        return true;
    default:
        return false;
    }
}

LRESULT CALLBACK PictureWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    PictureWindowRecord* p = reinterpret_cast<PictureWindowRecord*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        p = static_cast<PictureWindowRecord*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof *p));
        if (!p)
            return FALSE;
        if (const void* start = reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams)
            p->start = *static_cast<const PictureStart*>(start);
        SaverInit(&p->saver, window);
        p->saver.ReadOnlySettings = p->start.preview;
        if (p->start.seeded)
            Win32UseSeed(window, &p->start.seed);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(p));
    }
    if (!p)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_CREATE:
        SaverStart(&p->saver);
        break;
    case PM_REFIT:
        SaverResize(&p->saver);
        return 0;
    case WM_MOUSEACTIVATE:
        if (p->start.preview)
            return MA_NOACTIVATE;  // a click activates nothing
        break;
    case WM_DESTROY:
        SaverTeardown(&p->saver);
        if (p->start.seeded)
            Win32UseSeed(window, nullptr);
        if (p->start.preview)
            PostQuitMessage(0);
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        HeapFree(GetProcessHeap(), 0, p);
        break;
    default:
        if (!p->start.preview && IsUserInput(message))
            if (HWND parent = GetParent(window))
                return SendMessageA(parent, message, wParam, lParam);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
