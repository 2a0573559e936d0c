// input_win32.cpp - the saver window's input handling (see input_win32.h):
// the message table, the movement test and the cursor nudge.
#include "shell/input_win32.h"

#include "shell/close_rules.h"

static void RequestClose(HWND window)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
}

// The first call only records where the cursor is. Later calls close the
// window once the cursor has moved too far from that first position, by
// the pointer rule every front end shares (close_rules.h). The cursor is read here rather than taken from
// the message, so activation messages can run the test too. A read that
// fails (another desktop has the input, for instance) leaves the point
// unset, so it counts as no observation at all.
static void MovementTest(SaverInputRecord* input, HWND window)
{
    POINT p;
    if (!GetCursorPos(&p))
        return;
    if (!input->HaveStartCursor) {
        input->StartCursor = p;
        input->HaveStartCursor = true;
        return;
    }
    if (PointerMovedTooFar(input->StartCursor.x, input->StartCursor.y, p.x, p.y))
        RequestClose(window);
}

// On a button press: move the cursor one pixel right and one up. Where the
// screen edge held back the first step on both axes (the bottom-right
// corner) it goes one left instead; the final move is clamped by the
// platform like any other. Where the cursor cannot be read it is left
// alone; a read-back that fails counts as a move that was not held back.
static void CursorNudge()
{
    POINT p;
    if (!GetCursorPos(&p))
        return;
    p.x += 1;
    p.y += 1;
    SetCursorPos(p.x, p.y);
    POINT q;
    if (GetCursorPos(&q) && q.x != p.x && q.y != p.y)
        p.x -= 2;
    p.y -= 2;
    SetCursorPos(p.x, p.y);
}

LRESULT SaverInputProc(SaverInputRecord* input, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
        if (wParam == 0)  // losing activation: the user switched away
            MovementTest(input, window);
        break;
    case WM_SETCURSOR:
        SetCursor(NULL);
        break;
    case WM_NCACTIVATE:
        if (wParam == 0)
            return 0;  // refuse to be deactivated
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        RequestClose(window);
        break;
    case WM_SYSCOMMAND:
        // No second saver, and no closing by system command alone.
        if (wParam == SC_SCREENSAVE || wParam == SC_CLOSE)
            return 0;
        break;
    case WM_MOUSEMOVE:
        MovementTest(input, window);
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        CursorNudge();
        RequestClose(window);
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
