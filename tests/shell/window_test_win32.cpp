// SaverWindowProc in a real window, with the animation and the
// configuration dialog replaced by recorders: the mode chosen on creation
// from the tail the window keeps, the order of dialog, quit request and
// start-up, teardown on destruction, the window and surface following a
// display change, and that everything else reaches the input layer. Then
// SaverMain itself: the class and the window it creates, and the code its
// loop returns.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "animation/controller.h"
#include "settings/dialogs_win32.h"
#include "shell/input_win32.h"
#include "shell/main_win32.h"
#include "shell/window_win32.h"
#include "tests/support/import_hook.h"

namespace {

std::string g_log;                // "dialog", "start", "resize" and "teardown", in order, space-separated
HWND g_dialogOwner;               // owner of the last configuration dialog
LPARAM g_dialogParam = -1;        // its creation parameter
SaverWindow g_startWindow;        // the window SaverStart was given
SaverWindow g_teardownWindow;     // the window SaverTeardown was given
SaverWindow g_resizeWindow;       // the window SaverResize was given
RECT g_rectAtResize;              // its rectangle then
bool g_aliveAtTeardown;           // whether it still existed then
bool g_failStart;                 // SaverStart behaves as a failed start-up
TIMERPROC g_onStart;              // if set, SaverStart starts a thread timer with it

void Record(const char* what)
{
    if (!g_log.empty())
        g_log += ' ';
    g_log += what;
}

}  // namespace

// Stand-ins for the animation controller and the configuration dialog.
void SaverInit(SaverRecord* saver, SaverWindow window)
{
    *saver = SaverRecord{};
    saver->Window = window;
}

void SaverStart(SaverRecord* saver)
{
    SaverWindow window = saver->Window;
    Record("start");
    g_startWindow = window;
    if (g_failStart)
        PostQuitMessage(-1);
    if (g_onStart)
        SetTimer(NULL, 0, 1, g_onStart);
}

void SaverResize(SaverRecord* saver)
{
    SaverWindow window = saver->Window;
    Record("resize");
    g_resizeWindow = window;
    GetWindowRect(static_cast<HWND>(window), &g_rectAtResize);
}

void SaverTeardown(SaverRecord* saver)
{
    SaverWindow window = saver->Window;
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

using namespace std::string_literals;

const char kClassName[] = "ZorvaneWindowTest";

// A window of a class using SaverWindowProc, with tail as the command line
// (its creation parameter). It stays hidden: showing and hiding windows is
// slow without a window manager, and the layer under test does not depend
// on it.
HWND OpenSaverWindow(const std::string& tail)
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
    g_log.clear();
    g_dialogOwner = NULL;
    g_dialogParam = -1;
    g_startWindow = g_teardownWindow = g_resizeWindow = nullptr;
    return CreateWindowExA(0, kClassName, "", WS_POPUP, 0, 0, 160, 120, NULL, NULL,
                           GetModuleHandleA(NULL), const_cast<char*>(tail.c_str()));
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

// The window keeps 1023 characters of the tail: a deciding letter just past
// them is lost, one just inside decides.
const std::string kLongRun = "/" + std::string(1021, 'x') + "s";
const std::string kLongCut = "/" + std::string(1022, 'x') + "s";

TEST(SaverWindow, ConfigureRunsTheDialogThenStartsAndQuitsWithZero)
{
    for (const std::string& tail : {"/c"s, "/c:1234"s, ""s, "/p 1234"s, "a-b s"s, kLongCut}) {
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
    for (const std::string& tail : {"/s"s, "-S"s, "/xs"s, "/p /s"s, kLongRun}) {
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

    // The template is looked for in the window's own instance: in a module
    // that has none, no dialog opens.
    SetWindowLongPtrA(window, GWLP_HINSTANCE, reinterpret_cast<LONG_PTR>(GetModuleHandleA("kernel32.dll")));
    g_log.clear();
    EXPECT_EQ(1, SendMessageA(window, WM_COMMAND, IDM_CONFIGURE, 0));
    EXPECT_EQ("", g_log);
    TakeQuit(&code);

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

UINT g_defaultSawDisplayChange;  // WM_DISPLAYCHANGE messages that reached the default procedure
void* g_realDefWindowProc;

LRESULT WINAPI CountingDefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DISPLAYCHANGE)
        g_defaultSawDisplayChange++;
    return reinterpret_cast<WNDPROC>(g_realDefWindowProc)(window, message, wParam, lParam);
}

// After a change of display mode the window covers the primary screen
// again, still topmost, and only then is the surface rebuilt for it; the
// message goes on to the default procedure.
TEST(SaverWindow, DisplayChangeRefitsTheWindowThenTheSurface)
{
    HWND window = OpenSaverWindow("/s");
    ASSERT_TRUE(window);
    ASSERT_TRUE(SetWindowPos(window, NULL, 5, 7, 160, 120, SWP_NOZORDER | SWP_NOACTIVATE));
    g_realDefWindowProc = SwapImport("user32.dll", "DefWindowProcA",
                                     reinterpret_cast<void*>(&CountingDefWindowProcA));
    ASSERT_NE(nullptr, g_realDefWindowProc);
    g_defaultSawDisplayChange = 0;
    const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    SendMessageA(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(cx, cy));
    SwapImport("user32.dll", "DefWindowProcA", g_realDefWindowProc);

    EXPECT_EQ("start resize", g_log);
    EXPECT_EQ(window, g_resizeWindow);
    const RECT screen = {0, 0, cx, cy};
    EXPECT_TRUE(EqualRect(&screen, &g_rectAtResize))
        << g_rectAtResize.left << "," << g_rectAtResize.top << " " << g_rectAtResize.right << "x"
        << g_rectAtResize.bottom << " for a screen of " << cx << "x" << cy;
    EXPECT_TRUE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(1u, g_defaultSawDisplayChange);
    DestroyWindow(window);
    int code = 99;
    TakeQuit(&code);
}

// Handles the thread's messages until `done` holds or about 5 s have
// passed; returns whether it holds.
template <typename Done>
bool PumpUntil(Done done)
{
    for (int i = 0; i < 500 && !done(); i++) {
        MSG m;
        while (PeekMessageA(&m, NULL, 0, 0, PM_REMOVE))
            if (m.message != WM_QUIT)
                DispatchMessageA(&m);
        Sleep(10);
    }
    return done();
}

// A real change of mode and back, where the platform makes one (a display
// with no other mode to switch to refuses): the system's own notice
// reaches the window, which follows the screen both ways.
TEST(SaverWindow, RealModeChangeIsFollowedBothWays)
{
    DEVMODEA current = {};
    current.dmSize = sizeof current;
    ASSERT_TRUE(EnumDisplaySettingsA(NULL, ENUM_CURRENT_SETTINGS, &current));
    DEVMODEA smaller = {};
    smaller.dmSize = sizeof smaller;
    bool found = false;
    for (DWORD i = 0; !found && EnumDisplaySettingsA(NULL, i, &smaller); i++)
        found = smaller.dmBitsPerPel == current.dmBitsPerPel && smaller.dmPelsWidth < current.dmPelsWidth &&
                smaller.dmPelsHeight < current.dmPelsHeight;
    if (!found)
        GTEST_SKIP() << "no smaller mode is listed";
    HWND window = OpenSaverWindow("/s");
    ASSERT_TRUE(window);
    const LONG changed = ChangeDisplaySettingsA(&smaller, CDS_FULLSCREEN);
    if (changed != DISP_CHANGE_SUCCESSFUL) {
        DestroyWindow(window);
        GTEST_SKIP() << "the platform refused " << smaller.dmPelsWidth << "x" << smaller.dmPelsHeight
                     << " (" << changed << ")";
    }
    const bool resized = PumpUntil([] { return g_log == "start resize"; });
    const RECT atSmaller = g_rectAtResize;
    ChangeDisplaySettingsA(NULL, 0);
    const bool restored = PumpUntil([] { return g_log == "start resize resize"; });

    EXPECT_TRUE(resized) << g_log;
    const RECT small = {0, 0, static_cast<LONG>(smaller.dmPelsWidth), static_cast<LONG>(smaller.dmPelsHeight)};
    EXPECT_TRUE(EqualRect(&small, &atSmaller)) << atSmaller.right << "x" << atSmaller.bottom;
    EXPECT_TRUE(restored) << g_log;
    const RECT full = {0, 0, static_cast<LONG>(current.dmPelsWidth), static_cast<LONG>(current.dmPelsHeight)};
    EXPECT_TRUE(EqualRect(&full, &g_rectAtResize)) << g_rectAtResize.right << "x" << g_rectAtResize.bottom;
    DestroyWindow(window);
    int code = 99;
    TakeQuit(&code);
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

// SaverMain's own window, looked at from inside its message loop: the
// stand-in start-up sets a timer, whose callback records what the window
// is and closes it the way input does.
struct SaverWindowFacts {
    bool seen;
    char className[64];
    WNDCLASSEXA wc;
    BOOL haveClass;
    LONG_PTR style, exStyle;
    RECT rect;
    int titleLength;
    HWND parent, owner;
    HMENU menu;
};
SaverWindowFacts g_facts;

VOID CALLBACK InspectSaverWindow(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(NULL, id);
    HWND window = static_cast<HWND>(g_startWindow);
    g_facts.seen = true;
    GetClassNameA(window, g_facts.className, sizeof g_facts.className);
    g_facts.wc.cbSize = sizeof g_facts.wc;
    g_facts.haveClass = GetClassInfoExA(GetModuleHandleA(NULL), "WindowsScreenSaverClass", &g_facts.wc);
    g_facts.style = GetWindowLongPtrA(window, GWL_STYLE);
    g_facts.exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
    GetWindowRect(window, &g_facts.rect);
    g_facts.titleLength = GetWindowTextLengthA(window);
    g_facts.parent = GetParent(window);
    g_facts.owner = GetWindow(window, GW_OWNER);
    g_facts.menu = GetMenu(window);
    PostMessageA(window, WM_CLOSE, 0, 0);
}

const char* g_fakeCommandLine;
LPSTR WINAPI FakeGetCommandLineA()
{
    return const_cast<LPSTR>(g_fakeCommandLine);
}

TEST(SaverMainWindow, ClassStylesSizeAndTitleAsRegisteredAndCreated)
{
    // Split at the first blank, this line's tail would meet the switch "-c" first.
    g_fakeCommandLine = "\"C:\\Program Files\\x-c\\zorvane.scr\" /s";
    void* real = SwapImport("kernel32.dll", "GetCommandLineA", reinterpret_cast<void*>(&FakeGetCommandLineA));
    ASSERT_NE(nullptr, real);
    g_log.clear();
    g_facts = {};
    g_onStart = InspectSaverWindow;
    const int code = SaverMain(GetModuleHandleA(NULL), NULL, const_cast<LPSTR>(""), SW_SHOWNORMAL);
    g_onStart = nullptr;
    SwapImport("kernel32.dll", "GetCommandLineA", real);

    EXPECT_EQ(0, code);
    EXPECT_EQ("start teardown", g_log);  // run mode, from the tail of the quoted name
    ASSERT_TRUE(g_facts.seen);
    EXPECT_STREQ("WindowsScreenSaverClass", g_facts.className);
    ASSERT_TRUE(g_facts.haveClass);
    EXPECT_EQ(static_cast<UINT>(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS), g_facts.wc.style);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(SaverWindowProc), g_facts.wc.lpfnWndProc);
    EXPECT_EQ(GetStockObject(NULL_BRUSH), g_facts.wc.hbrBackground);
    EXPECT_EQ(NULL, g_facts.wc.hIcon);
    EXPECT_EQ(NULL, g_facts.wc.hCursor);
    EXPECT_EQ(nullptr, g_facts.wc.lpszMenuName);
    EXPECT_EQ(0, g_facts.wc.cbClsExtra);
    EXPECT_EQ(0, g_facts.wc.cbWndExtra);

    EXPECT_EQ(static_cast<LONG_PTR>(WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN), g_facts.style);
    EXPECT_EQ(static_cast<LONG_PTR>(WS_EX_TOPMOST), g_facts.exStyle);
    EXPECT_EQ(0, g_facts.rect.left);
    EXPECT_EQ(0, g_facts.rect.top);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), g_facts.rect.right);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), g_facts.rect.bottom);
    EXPECT_EQ(0, g_facts.titleLength);
    EXPECT_EQ(NULL, g_facts.parent);
    EXPECT_EQ(NULL, g_facts.owner);
    EXPECT_EQ(NULL, g_facts.menu);

    // The class is registered once per process: a second entry ends at once.
    g_log.clear();
    EXPECT_EQ(0, SaverMain(GetModuleHandleA(NULL), NULL, const_cast<LPSTR>(""), SW_SHOWNORMAL));
    EXPECT_EQ("", g_log);
}

// The loop returns the code of the last quit request: the start-up
// failure's -1 after the configuration dialog's 0.
TEST(SaverMainWindow, LoopReturnsTheLastQuitCode)
{
    ASSERT_TRUE(UnregisterClassA("WindowsScreenSaverClass", GetModuleHandleA(NULL)));
    g_fakeCommandLine = "zorvane.scr /c";
    void* real = SwapImport("kernel32.dll", "GetCommandLineA", reinterpret_cast<void*>(&FakeGetCommandLineA));
    ASSERT_NE(nullptr, real);
    g_log.clear();
    g_failStart = true;
    const int code = SaverMain(GetModuleHandleA(NULL), NULL, const_cast<LPSTR>(""), SW_SHOWNORMAL);
    g_failStart = false;
    SwapImport("kernel32.dll", "GetCommandLineA", real);
    EXPECT_EQ(-1, code);
    EXPECT_EQ("dialog start", g_log);
}

}  // namespace
