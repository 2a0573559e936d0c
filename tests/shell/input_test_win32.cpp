// SaverInputProc fed real messages in a real (hidden) window: the movement
// test and its tolerance, keys, system commands, deactivation, the hidden
// cursor, the cursor nudge on button presses at the screen's edges, and
// cursor reads that fail.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "shell/input_win32.h"
#include "tests/support/import_hook.h"

namespace {

struct Delivered {
    UINT message;
    WPARAM wParam;
    LRESULT result;
};

std::vector<Delivered> g_delivered;  // every message the test window handled, in order
SaverInputRecord g_input;            // the input layer's record for the test window

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = SaverInputProc(&g_input, window, message, wParam, lParam);
    g_delivered.push_back({message, wParam, result});
    return result;
}

const char kClassName[] = "ZorvaneInputTest";

// The window stays hidden, so moving the cursor sends it nothing by itself
// and nothing activates it: every message it gets is one a test sent.
HWND OpenTestWindow()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA testClass = {};
        testClass.style = CS_DBLCLKS;
        testClass.lpfnWndProc = TestWindowProc;
        testClass.hInstance = GetModuleHandleA(NULL);
        testClass.lpszClassName = kClassName;
        registered = RegisterClassA(&testClass) != 0;
    }
    HWND window = CreateWindowExA(0, kClassName, "", WS_POPUP, 0, 0, 200, 200, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
    g_input.HaveStartCursor = false;
    g_input.StartCursor = {-1000, -1000};
    g_delivered.clear();
    return window;
}

// Removes every WM_QUIT from the thread's queue; returns how many there were
// (PostQuitMessage leaves at most one) and the last code in *code.
int TakeQuit(int* code)
{
    int count = 0;
    MSG m;
    while (PeekMessageA(&m, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        count++;
        if (code)
            *code = static_cast<int>(m.wParam);
    }
    return count;
}

void CloseTestWindow(HWND window)
{
    if (IsWindow(window))
        DestroyWindow(window);
    MSG m;
    while (PeekMessageA(&m, NULL, 0, 0, PM_REMOVE))
        ;
}

// Removes the WM_CLOSE requests posted to the window and counts them; each
// must carry wParam 0 and lParam 0.
int TakeCloseRequests(HWND window)
{
    int count = 0;
    MSG m;
    while (PeekMessageA(&m, window, WM_CLOSE, WM_CLOSE, PM_REMOVE)) {
        EXPECT_EQ(0u, m.wParam);
        EXPECT_EQ(0, m.lParam);
        count++;
    }
    return count;
}

POINT CursorNow()
{
    POINT p = {-1, -1};
    GetCursorPos(&p);
    return p;
}

void MoveCursor(int x, int y)
{
    SetCursorPos(x, y);
    const POINT p = CursorNow();
    ASSERT_EQ(x, p.x);
    ASSERT_EQ(y, p.y);
}

int ScreenWidth()
{
    return GetSystemMetrics(SM_CXSCREEN);
}

int ScreenHeight()
{
    return GetSystemMetrics(SM_CYSCREEN);
}

// The nudge relies on the platform keeping the cursor on the screen.
TEST(SaverInput, PlatformClampsTheCursorToTheScreen)
{
    HWND window = OpenTestWindow();  // connects this process to the display first
    ASSERT_TRUE(window);
    const int w = ScreenWidth(), h = ScreenHeight();
    ASSERT_GT(w, 100);
    ASSERT_GT(h, 100);
    const struct {
        int x, y, wantX, wantY;
    } cases[] = {
        {w, h, w - 1, h - 1}, {w, 1, w - 1, 1},  {w, -1, w - 1, 0},
        {-1, -1, 0, 0},       {50, h, 50, h - 1}, {w + 500, h + 500, w - 1, h - 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "SetCursorPos(" << c.x << ", " << c.y << ")");
        SetCursorPos(c.x, c.y);
        const POINT p = CursorNow();
        EXPECT_EQ(c.wantX, p.x);
        EXPECT_EQ(c.wantY, p.y);
    }
    CloseTestWindow(window);
}

TEST(SaverInput, FirstMovementTestOnlyRecordsWhicheverMessageRunsIt)
{
    const struct {
        UINT message;
        WPARAM wParam;
    } triggers[] = {{WM_MOUSEMOVE, 0}, {WM_ACTIVATE, WA_INACTIVE}, {WM_ACTIVATEAPP, 0}};
    for (const auto& t : triggers) {
        SCOPED_TRACE(t.message);
        HWND window = OpenTestWindow();
        ASSERT_TRUE(window);
        MoveCursor(700, 500);  // far from the stale start cursor
        SendMessageA(window, t.message, t.wParam, 0);
        EXPECT_TRUE(g_input.HaveStartCursor);
        EXPECT_EQ(700, g_input.StartCursor.x);
        EXPECT_EQ(500, g_input.StartCursor.y);
        EXPECT_EQ(0, TakeCloseRequests(window));

        // Later tests by the same message measure from there.
        MoveCursor(704, 500);
        SendMessageA(window, t.message, t.wParam, 0);
        EXPECT_EQ(1, TakeCloseRequests(window));
        EXPECT_EQ(700, g_input.StartCursor.x);
        CloseTestWindow(window);
    }
}

TEST(SaverInput, ActivationRunsTheMovementTestOnlyWhenLost)
{
    HWND window = OpenTestWindow();
    ASSERT_TRUE(window);
    MoveCursor(300, 300);
    SendMessageA(window, WM_ACTIVATEAPP, TRUE, 0);
    SendMessageA(window, WM_ACTIVATE, WA_ACTIVE, 0);
    SendMessageA(window, WM_ACTIVATE, WA_CLICKACTIVE, 0);
    EXPECT_FALSE(g_input.HaveStartCursor);

    SendMessageA(window, WM_MOUSEMOVE, 0, 0);
    ASSERT_TRUE(g_input.HaveStartCursor);
    MoveCursor(310, 300);
    SendMessageA(window, WM_ACTIVATEAPP, TRUE, 0);
    SendMessageA(window, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(0, TakeCloseRequests(window));
    SendMessageA(window, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(1, TakeCloseRequests(window));
    SendMessageA(window, WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_EQ(1, TakeCloseRequests(window));
    CloseTestWindow(window);
}

TEST(SaverInput, MovesOfThreePixelsOrLessNeverClose)
{
    HWND window = OpenTestWindow();
    ASSERT_TRUE(window);
    const int x0 = 500, y0 = 400;
    MoveCursor(x0, y0);
    SendMessageA(window, WM_MOUSEMOVE, 0, 0);
    const POINT within[] = {{2, 1}, {0, 0}, {-1, -2}, {3, 0}, {0, -3}, {-3, 0}, {1, 2}, {-2, 1}, {0, 0}};
    for (const POINT& d : within) {
        SCOPED_TRACE(::testing::Message() << "offset (" << d.x << ", " << d.y << ")");
        MoveCursor(x0 + d.x, y0 + d.y);
        SendMessageA(window, WM_MOUSEMOVE, 0, 0);
        EXPECT_EQ(0, TakeCloseRequests(window));
    }
    MoveCursor(x0 + 2, y0 + 2);  // d = 4
    SendMessageA(window, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(1, TakeCloseRequests(window));
    EXPECT_EQ(x0, g_input.StartCursor.x);
    EXPECT_EQ(y0, g_input.StartCursor.y);
    CloseTestWindow(window);
}

TEST(SaverInput, MovesBeyondThreePixelsCloseInAnyDirection)
{
    const POINT beyond[] = {{2, 2}, {-2, -2}, {4, 0}, {0, -4}, {-3, 1}, {1, -3}, {100, 100}};
    for (const POINT& d : beyond) {
        SCOPED_TRACE(::testing::Message() << "offset (" << d.x << ", " << d.y << ")");
        HWND window = OpenTestWindow();
        ASSERT_TRUE(window);
        MoveCursor(400, 300);
        SendMessageA(window, WM_MOUSEMOVE, 0, 0);
        MoveCursor(400 + d.x, 300 + d.y);
        SendMessageA(window, WM_MOUSEMOVE, 0, 0);
        EXPECT_EQ(1, TakeCloseRequests(window));
        CloseTestWindow(window);
    }
}

// Small steps add up: the distance is always from the first position.
TEST(SaverInput, ToleranceIsMeasuredFromTheFirstPosition)
{
    HWND window = OpenTestWindow();
    ASSERT_TRUE(window);
    MoveCursor(600, 200);
    SendMessageA(window, WM_MOUSEMOVE, 0, 0);
    for (int step = 1; step <= 3; step++) {
        MoveCursor(600 + step, 200);
        SendMessageA(window, WM_MOUSEMOVE, 0, 0);
        EXPECT_EQ(0, TakeCloseRequests(window)) << "step " << step;
    }
    MoveCursor(604, 200);
    SendMessageA(window, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(1, TakeCloseRequests(window));
    CloseTestWindow(window);
}

TEST(SaverInput, AnyKeyPressClosesIncludingAltF4)
{
    const struct {
        UINT message;
        WPARAM key;
        LPARAM lParam;
    } presses[] = {
        {WM_KEYDOWN, VK_SPACE, 0x00390001},
        {WM_KEYDOWN, VK_SHIFT, 0x002A0001},
        {WM_KEYDOWN, 'A', 0x401E0001},                // auto-repeat
        {WM_SYSKEYDOWN, VK_MENU, 0x20380001},         // Alt alone
        {WM_SYSKEYDOWN, VK_F4, 0x203E0001},           // Alt+F4
        {WM_SYSKEYDOWN, VK_TAB, 0x200F0001},          // Alt+Tab
    };
    for (const auto& k : presses) {
        SCOPED_TRACE(::testing::Message() << "message " << k.message << " key " << k.key);
        HWND window = OpenTestWindow();
        ASSERT_TRUE(window);
        SendMessageA(window, k.message, k.key, k.lParam);
        EXPECT_EQ(1, TakeCloseRequests(window));
        EXPECT_FALSE(g_input.HaveStartCursor);
        CloseTestWindow(window);
    }
}

// The platform answers Alt+F4 with its own SC_CLOSE system command; that is
// swallowed, and the key's own close request is what ends the saver.
TEST(SaverInput, AltF4ClosesThroughTheKeyNotTheSystemCommand)
{
    HWND window = OpenTestWindow();
    ASSERT_TRUE(window);
    SendMessageA(window, WM_SYSKEYDOWN, VK_F4, 0x203E0001);
    const int closes = TakeCloseRequests(window);
    MSG m;
    while (PeekMessageA(&m, window, 0, 0, PM_REMOVE))
        DispatchMessageA(&m);
    EXPECT_EQ(1, closes);
    bool sawSystemClose = false;
    for (const Delivered& d : g_delivered)
        if (d.message == WM_SYSCOMMAND && d.wParam == SC_CLOSE) {
            sawSystemClose = true;
            EXPECT_EQ(0, d.result);
        }
    EXPECT_TRUE(sawSystemClose) << "the platform sent no SC_CLOSE for Alt+F4";
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(0, TakeCloseRequests(window));
    CloseTestWindow(window);
    TakeQuit(nullptr);
}

TEST(SaverInput, ScreenSaveAndCloseCommandsAreSwallowed)
{
    HWND window = OpenTestWindow();
    ASSERT_TRUE(window);
    EXPECT_EQ(0, SendMessageA(window, WM_SYSCOMMAND, SC_SCREENSAVE, 0));
    EXPECT_EQ(0, SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0));
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(0, TakeCloseRequests(window));
    EXPECT_EQ(0, TakeQuit(nullptr));

    // Only the exact values are swallowed: SC_CLOSE with low bits set takes
    // the default path, which destroys the window.
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE | 2, 0);
    EXPECT_FALSE(IsWindow(window));
    int code = 99;
    EXPECT_EQ(1, TakeQuit(&code));
    EXPECT_EQ(0, code);
    CloseTestWindow(window);
}

TEST(SaverInput, RefusesToBeDeactivated)
{
    HWND window = OpenTestWindow();
    ASSERT_TRUE(window);
    // The default answer is non-zero; the saver's is 0.
    ASSERT_NE(0, DefWindowProcA(window, WM_NCACTIVATE, FALSE, 0));
    EXPECT_EQ(0, SendMessageA(window, WM_NCACTIVATE, FALSE, 0));
    EXPECT_NE(0, SendMessageA(window, WM_NCACTIVATE, TRUE, 0));
    EXPECT_FALSE(g_input.HaveStartCursor);
    EXPECT_EQ(0, TakeCloseRequests(window));
    CloseTestWindow(window);
}

TEST(SaverInput, SetCursorHidesTheCursor)
{
    HWND window = OpenTestWindow();
    ASSERT_TRUE(window);
    HCURSOR arrow = LoadCursorA(NULL, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    ASSERT_TRUE(arrow);
    SetCursor(arrow);
    ASSERT_EQ(arrow, GetCursor());
    SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(NULL, GetCursor());
    EXPECT_EQ(0, TakeCloseRequests(window));
    CloseTestWindow(window);
}

// Each press closes, after nudging the cursor: one right and one up away
// from the edges; where the screen holds it back the result is clamped.
TEST(SaverInput, ButtonPressesNudgeTheCursorAndClose)
{
    const int w = ScreenWidth(), h = ScreenHeight();
    const struct {
        int x, y, wantX, wantY;
    } spots[] = {
        {500, 400, 501, 399},
        {w - 1, h - 1, w - 2, h - 2},  // bottom-right corner: one left, one up
        {w - 1, 0, w - 1, 0},          // top-right corner: where it was
        {w - 1, 400, w - 1, 399},      // right edge: held back on x only
        {500, h - 1, 501, h - 2},      // bottom edge: held back on y only
        {0, 0, 1, 0},
        {0, h - 1, 1, h - 2},
    };
    const UINT buttons[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    for (UINT button : buttons)
        for (const auto& s : spots) {
            SCOPED_TRACE(::testing::Message() << "button " << button << " at (" << s.x << ", " << s.y << ")");
            HWND window = OpenTestWindow();
            ASSERT_TRUE(window);
            MoveCursor(s.x, s.y);
            SendMessageA(window, button, 0, 0);
            const POINT p = CursorNow();
            EXPECT_EQ(s.wantX, p.x);
            EXPECT_EQ(s.wantY, p.y);
            EXPECT_EQ(1, TakeCloseRequests(window));
            EXPECT_FALSE(g_input.HaveStartCursor);
            CloseTestWindow(window);
        }
}

TEST(SaverInput, ReleasesDoubleClicksAndOtherInputDoNotClose)
{
    HWND window = OpenTestWindow();
    ASSERT_TRUE(window);
    MoveCursor(450, 350);
    const struct {
        UINT message;
        WPARAM wParam;
    } others[] = {
        {WM_LBUTTONUP, 0},     {WM_RBUTTONUP, 0},     {WM_MBUTTONUP, 0},
        {WM_LBUTTONDBLCLK, 0}, {WM_RBUTTONDBLCLK, 0}, {WM_MBUTTONDBLCLK, 0},
        {WM_KEYUP, VK_SPACE},  {WM_SYSKEYUP, VK_MENU}, {WM_CHAR, 'a'},
        {WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA)},   {WM_TIMER, 7},
        {WM_SYSCOMMAND, SC_KEYMENU}, {WM_COMMAND, 50001},
    };
    for (const auto& o : others) {
        SCOPED_TRACE(o.message);
        SendMessageA(window, o.message, o.wParam, MAKELPARAM(450, 350));
        EXPECT_EQ(0, TakeCloseRequests(window));
        const POINT p = CursorNow();
        EXPECT_EQ(450, p.x);
        EXPECT_EQ(350, p.y);
    }
    EXPECT_FALSE(g_input.HaveStartCursor);
    EXPECT_TRUE(IsWindow(window));
    CloseTestWindow(window);
}

// A close request, handled by the default procedure, destroys the window,
// and the destruction asks the message loop to end with code 0.
TEST(SaverInput, CloseRequestEndsTheLoopWithCodeZero)
{
    HWND window = OpenTestWindow();
    ASSERT_TRUE(window);
    EXPECT_EQ(0, TakeQuit(nullptr));
    SendMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0x00010001);

    MSG m = {};
    bool quit = false;
    const DWORD deadline = GetTickCount() + 5000;
    while (!quit && GetTickCount() < deadline) {
        if (!PeekMessageA(&m, NULL, 0, 0, PM_REMOVE)) {
            Sleep(1);
            continue;
        }
        if (m.message == WM_QUIT)
            quit = true;
        else
            DispatchMessageA(&m);
    }
    ASSERT_TRUE(quit);
    EXPECT_EQ(0u, m.wParam);
    EXPECT_FALSE(IsWindow(window));
}

// GetCursorPos failing, as it does while another desktop has the input.
// The failing hook writes a far-away point, as an unset POINT may hold.
decltype(&GetCursorPos) g_realGetCursorPos;
int g_readsToPass;  // reads that succeed before the failing ones; -1: none fail

BOOL WINAPI FailingGetCursorPos(LPPOINT p)
{
    if (g_readsToPass < 0)
        return g_realGetCursorPos(p);
    if (g_readsToPass > 0) {
        g_readsToPass--;
        return g_realGetCursorPos(p);
    }
    p->x = 30000;
    p->y = -30000;
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

// Cursor reads after the first `pass` ones fail until the object ends.
struct FailCursorReads {
    explicit FailCursorReads(int pass)
    {
        g_readsToPass = pass;
        g_realGetCursorPos = reinterpret_cast<decltype(&GetCursorPos)>(
            SwapImport("user32.dll", "GetCursorPos", reinterpret_cast<void*>(&FailingGetCursorPos)));
        EXPECT_NE(nullptr, g_realGetCursorPos);
    }
    ~FailCursorReads() { SwapImport("user32.dll", "GetCursorPos", reinterpret_cast<void*>(g_realGetCursorPos)); }
};

TEST(SaverInput, FailedCursorReadIsNoObservation)
{
    HWND window = OpenTestWindow();
    ASSERT_TRUE(window);
    MoveCursor(700, 500);
    {
        FailCursorReads fail(0);
        SendMessageA(window, WM_MOUSEMOVE, 0, 0);
        SendMessageA(window, WM_ACTIVATE, WA_INACTIVE, 0);
        SendMessageA(window, WM_ACTIVATEAPP, FALSE, 0);
    }
    EXPECT_FALSE(g_input.HaveStartCursor);
    EXPECT_EQ(0, TakeCloseRequests(window));

    SendMessageA(window, WM_MOUSEMOVE, 0, 0);  // a good read records the start
    ASSERT_TRUE(g_input.HaveStartCursor);
    {
        FailCursorReads fail(0);
        SendMessageA(window, WM_MOUSEMOVE, 0, 0);
        SendMessageA(window, WM_ACTIVATE, WA_INACTIVE, 0);
    }
    EXPECT_EQ(700, g_input.StartCursor.x);
    EXPECT_EQ(500, g_input.StartCursor.y);
    EXPECT_EQ(0, TakeCloseRequests(window));

    MoveCursor(704, 500);  // and a good read still measures from it
    SendMessageA(window, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(1, TakeCloseRequests(window));
    CloseTestWindow(window);
}

// A press still closes; the cursor is not sent anywhere a failed read
// suggests. A failed read-back counts as a move that was not held back.
TEST(SaverInput, FailedCursorReadOnAPressLeavesTheCursorAlone)
{
    const struct {
        int pass, wantX, wantY;
    } cases[] = {{0, 500, 400}, {1, 501, 399}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.pass << " good reads");
        HWND window = OpenTestWindow();
        ASSERT_TRUE(window);
        MoveCursor(500, 400);
        {
            FailCursorReads fail(c.pass);
            SendMessageA(window, WM_LBUTTONDOWN, 0, 0);
        }
        const POINT p = CursorNow();
        EXPECT_EQ(c.wantX, p.x);
        EXPECT_EQ(c.wantY, p.y);
        EXPECT_EQ(1, TakeCloseRequests(window));
        CloseTestWindow(window);
    }
}

}  // namespace
