// SaverWindowProc in a real window, with the animation and the
// configuration dialog replaced by recorders: the mode chosen on creation,
// the order of dialog, quit request and start-up, teardown on destruction,
// and that everything else reaches the input layer.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "animation/controller.h"
#include "settings/dialogs_win32.h"
#include "shell/command_tail.h"
#include "shell/input_win32.h"
#include "shell/window_win32.h"

namespace {

std::string g_log;                // "dialog", "start" and "teardown", in order, space-separated
HWND g_dialogOwner;               // owner of the last configuration dialog
LPARAM g_dialogParam = -1;        // its creation parameter
SaverWindow g_startWindow;        // the window SaverStart was given
SaverWindow g_teardownWindow;     // the window SaverTeardown was given
bool g_aliveAtTeardown;           // whether it still existed then
bool g_failStart;                 // SaverStart behaves as a failed start-up

void Record(const char* what)
{
    if (!g_log.empty())
        g_log += ' ';
    g_log += what;
}

}  // namespace

// Stand-ins for the animation controller and the configuration dialog.
void SaverStart(SaverWindow window)
{
    Record("start");
    g_startWindow = window;
    if (g_failStart)
        PostQuitMessage(-1);
}

void SaverTeardown(SaverWindow window)
{
    Record("teardown");
    g_teardownWindow = window;
    g_aliveAtTeardown = IsWindow(static_cast<HWND>(window)) != 0;
}

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    Record("dialog");
    g_dialogOwner = GetWindow(dialog, GW_OWNER);
    g_dialogParam = lParam;
    EndDialog(dialog, 1);
    return TRUE;
}

namespace {

const char kClassName[] = "ZorvaneWindowTest";

// A window of a class using SaverWindowProc, with tail as the command line.
// It stays hidden: showing and hiding windows is slow without a window
// manager, and the layer under test does not depend on it.
HWND OpenSaverWindow(const char* tail)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA saverClass = {};
        saverClass.style = CS_DBLCLKS;
        saverClass.lpfnWndProc = SaverWindowProc;
        saverClass.hInstance = GetModuleHandleA(NULL);
        saverClass.lpszClassName = kClassName;
        registered = RegisterClassA(&saverClass) != 0;
    }
    Instance = GetModuleHandleA(NULL);
    KeepCommandLine(tail);
    g_log.clear();
    g_dialogOwner = NULL;
    g_dialogParam = -1;
    g_startWindow = g_teardownWindow = nullptr;
    HaveStartCursor = false;
    return CreateWindowExA(0, kClassName, "", WS_POPUP, 0, 0, 160, 120, NULL, NULL,
                           Instance, NULL);
}

// Handles the thread's pending messages (painting among them) and takes
// out the quit message; returns how many there were (at most one) and the
// code in *code.
int TakeQuit(int* code)
{
    int count = 0;
    MSG m;
    while (PeekMessageA(&m, NULL, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            count++;
            *code = static_cast<int>(m.wParam);
        } else {
            DispatchMessageA(&m);
        }
    }
    return count;
}

TEST(SaverWindow, ConfigureRunsTheDialogThenStartsAndQuitsWithZero)
{
    for (const char* tail : {"/c", "/c:1234", "", "/p 1234", "a-b s"}) {
        SCOPED_TRACE(tail);
        g_failStart = false;
        HWND window = OpenSaverWindow(tail);
        ASSERT_TRUE(window);
        EXPECT_EQ("dialog start", g_log);
        EXPECT_EQ(window, g_dialogOwner);
        EXPECT_EQ(0, g_dialogParam);
        EXPECT_EQ(window, g_startWindow);
        int code = 99;
        EXPECT_EQ(1, TakeQuit(&code));
        EXPECT_EQ(0, code);
        DestroyWindow(window);
        TakeQuit(&code);
    }
}

TEST(SaverWindow, RunStartsWithoutDialogOrQuit)
{
    for (const char* tail : {"/s", "-S", "/xs", "/p /s"}) {
        SCOPED_TRACE(tail);
        g_failStart = false;
        HWND window = OpenSaverWindow(tail);
        ASSERT_TRUE(window);
        EXPECT_EQ("start", g_log);
        EXPECT_EQ(window, g_startWindow);
        int code = 99;
        EXPECT_EQ(0, TakeQuit(&code));
        DestroyWindow(window);
        TakeQuit(&code);
    }
}

// The dialog's quit request comes before the start-up, so a start-up
// failure's -1 is the code the loop ends with.
TEST(SaverWindow, StartFailureAfterTheDialogWinsWithMinusOne)
{
    g_failStart = true;
    HWND window = OpenSaverWindow("/c");
    g_failStart = false;
    ASSERT_TRUE(window);
    EXPECT_EQ("dialog start", g_log);
    int code = 99;
    EXPECT_EQ(1, TakeQuit(&code));
    EXPECT_EQ(-1, code);
    DestroyWindow(window);
    TakeQuit(&code);
}

TEST(SaverWindow, ConfigureCommandRunsTheDialogAndReturnsOne)
{
    HWND window = OpenSaverWindow("/s");
    ASSERT_TRUE(window);
    g_log.clear();
    EXPECT_EQ(1, SendMessageA(window, WM_COMMAND, IDM_CONFIGURE, 0));
    EXPECT_EQ("dialog", g_log);
    EXPECT_EQ(window, g_dialogOwner);
    int code = 99;
    EXPECT_EQ(1, TakeQuit(&code));
    EXPECT_EQ(0, code);

    // Other commands, and the id with a notification code, are passed on.
    g_log.clear();
    EXPECT_EQ(0, SendMessageA(window, WM_COMMAND, IDM_CONFIGURE + 1, 0));
    EXPECT_EQ(0, SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_CONFIGURE, 1), 0));
    EXPECT_EQ("", g_log);
    EXPECT_EQ(0, TakeQuit(&code));
    DestroyWindow(window);
    TakeQuit(&code);
}

TEST(SaverWindow, DestroyTearsDownThenQuitsWithZero)
{
    HWND window = OpenSaverWindow("/s");
    ASSERT_TRUE(window);
    ASSERT_TRUE(DestroyWindow(window));
    EXPECT_EQ("start teardown", g_log);
    EXPECT_EQ(window, g_teardownWindow);
    EXPECT_TRUE(g_aliveAtTeardown);
    int code = 99;
    EXPECT_EQ(1, TakeQuit(&code));
    EXPECT_EQ(0, code);
}

// Whatever the upper layer does not finish reaches the input layer.
TEST(SaverWindow, OtherMessagesReachTheInputLayer)
{
    HWND window = OpenSaverWindow("/s");
    ASSERT_TRUE(window);
    EXPECT_EQ(0, SendMessageA(window, WM_NCACTIVATE, FALSE, 0));
    EXPECT_EQ(0, SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0));
    EXPECT_TRUE(IsWindow(window));
    SendMessageA(window, WM_KEYDOWN, VK_SPACE, 0x00390001);
    MSG m;
    EXPECT_TRUE(PeekMessageA(&m, window, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    DestroyWindow(window);
    int code = 99;
    TakeQuit(&code);
}

}  // namespace
