// SaverWindowProc in a real window, with the animation and the
// configuration dialog replaced by recorders: the mode chosen on creation
// from the tail the window keeps, the order of dialog, quit request and
// start-up, a picture per monitor with seeds S, S+1, ..., teardown on
// destruction, the pictures following a display change (monitors added and
// taken away), and that everything else reaches the input layer. Then
// SaverMain itself: the class and the window it creates, the code its loop
// returns, and the preview in a window it is given.
#include <gtest/gtest.h>

#include <windows.h>

#include <ctime>
#include <string>
#include <vector>

#include "animation/controller.h"
#include "shell/picture_win32.h"
#include "settings/dialogs_win32.h"
#include "shell/input_win32.h"
#include "shell/main_win32.h"
#include "shell/window_win32.h"
#include "tests/support/fullscreen_timers.h"
#include "tests/support/import_hook.h"

namespace {

std::string g_log;                // "dialog", "start", "resize" and "teardown", in order, space-separated
HWND g_dialogOwner;               // owner of the last configuration dialog
LPARAM g_dialogParam = -1;        // its creation parameter
SaverWindow g_startWindow;        // the window SaverStart was given
uint32_t g_startSeed;             // the seed it would draw
bool g_startReadOnly;             // whether it reads the settings only
std::vector<SaverWindow> g_starts;  // every window SaverStart was given, in order
std::vector<uint32_t> g_seeds;      // and their seeds
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
    g_startSeed = PlatCalendarSeconds(window);
    g_startReadOnly = saver->ReadOnlySettings;
    g_starts.push_back(window);
    g_seeds.push_back(g_startSeed);
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
    for (const std::string& tail : {"/c"s, "/c:1234"s, ""s, "a-b s"s, kLongCut}) {
        SCOPED_TRACE(tail);
        g_failStart = false;
        HWND window = OpenSaverWindow(tail);
        ASSERT_TRUE(window);
        EXPECT_EQ("dialog start", g_log);
        EXPECT_EQ(window, g_dialogOwner);
        EXPECT_EQ(0, g_dialogParam);
        EXPECT_EQ(window, GetParent(static_cast<HWND>(g_startWindow)));
        int code = 99;
        EXPECT_EQ(1, TakeQuit(&code));
        EXPECT_EQ(0, code);
        DestroyWindow(window);
        TakeQuit(&code);
    }
}

// A tail asking for a preview never opens the dialog either (SaverMain
// draws a preview without this window).
TEST(SaverWindow, RunStartsWithoutDialogOrQuit)
{
    for (const std::string& tail : {"/s"s, "-S"s, "/xs"s, "/p 1234"s, "/p /c"s, kLongRun}) {
        SCOPED_TRACE(tail);
        g_failStart = false;
        HWND window = OpenSaverWindow(tail);
        ASSERT_TRUE(window);
        EXPECT_EQ("start", g_log);
        HWND picture = static_cast<HWND>(g_startWindow);
        EXPECT_EQ(window, GetParent(picture));
        EXPECT_FALSE(g_startReadOnly);
        RECT r;
        GetClientRect(picture, &r);
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), r.right);
        EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), r.bottom);
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
    EXPECT_EQ(g_startWindow, g_teardownWindow);
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

// After a change of display mode the window covers the screen again, still
// topmost, and only then is the picture's surface rebuilt, its window on
// the monitor; the message goes on to the default procedure.
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
    EXPECT_EQ(g_startWindow, g_resizeWindow);
    RECT frame;
    GetWindowRect(window, &frame);
    const RECT screen = {0, 0, cx, cy};
    EXPECT_TRUE(EqualRect(&screen, &frame));
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
        MSG quit;  // the teardown's, which the next test would see
        PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE);
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

// The monitors the system lists, as a test sets them.
std::vector<RECT> g_monitors;
BOOL WINAPI FakeEnumDisplayMonitors(HDC, LPCRECT, MONITORENUMPROC callback, LPARAM context)
{
    for (RECT r : g_monitors)
        if (!callback(reinterpret_cast<HMONITOR>(1), NULL, &r, context))
            break;
    return TRUE;
}

// The pictures in z order, as "left,top widthxheight" in screen coordinates.
std::string Pictures(HWND window)
{
    std::string out;
    for (HWND p = GetWindow(window, GW_CHILD); p; p = GetWindow(p, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(p, &r);
        out += (out.empty() ? "" : " ") + std::to_string(r.left) + "," + std::to_string(r.top) + " " +
               std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
    }
    return out;
}

// One picture per monitor in the system's order with seeds S, S+1, ...,
// a monitor left of the primary included; a display change keeps the
// pictures of the monitors still there with fresh surfaces, opens one for
// a new monitor and closes those of monitors gone, and never quits.
TEST(SaverWindow, APicturePerMonitorFollowingDisplayChanges)
{
    void* real = SwapImport("user32.dll", "EnumDisplayMonitors", reinterpret_cast<void*>(&FakeEnumDisplayMonitors));
    ASSERT_NE(nullptr, real);
    g_monitors = {{0, 0, 800, 600}, {-640, 120, 0, 600}};
    g_starts.clear();
    g_seeds.clear();
    const uint32_t before = static_cast<uint32_t>(time(nullptr));
    HWND window = OpenSaverWindow("/s");
    const uint32_t after = static_cast<uint32_t>(time(nullptr));
    ASSERT_TRUE(window);
    EXPECT_EQ("start start", g_log);
    ASSERT_EQ(2u, g_seeds.size());
    const uint32_t seed = g_seeds[0];
    EXPECT_TRUE(seed >= before && seed <= after) << seed << " not in " << before << ".." << after;
    EXPECT_EQ(seed + 1, g_seeds[1]);
    HWND first = static_cast<HWND>(g_starts[0]);
    EXPECT_EQ(window, GetParent(first));
    EXPECT_EQ(WS_CHILD, GetWindowLongPtrA(first, GWL_STYLE) & WS_CHILD);
    ASSERT_TRUE(SetWindowPos(window, NULL, -640, 0, 1440, 600, SWP_NOZORDER | SWP_NOACTIVATE));

    g_log.clear();
    g_monitors = {{0, 0, 1024, 768}, {-640, 0, 0, 480}, {1024, 0, 1664, 480}};
    SendMessageA(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
    EXPECT_EQ("resize resize start", g_log);
    EXPECT_EQ(seed + 2, g_startSeed);  // the third monitor's
    RECT frame;
    GetWindowRect(window, &frame);
    EXPECT_EQ(-640, frame.left);
    EXPECT_EQ(1664, frame.right);
    EXPECT_EQ(768, frame.bottom);
    const std::string three = Pictures(window);

    g_log.clear();
    g_monitors = {{0, 0, 1280, 720}};
    SendMessageA(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 720));
    EXPECT_EQ("teardown teardown resize", g_log);
    EXPECT_EQ(first, GetWindow(window, GW_CHILD));
    const std::string one = Pictures(window);
    int code = 99;
    EXPECT_EQ(0, TakeQuit(&code));
    DestroyWindow(window);
    TakeQuit(&code);
    SwapImport("user32.dll", "EnumDisplayMonitors", real);
    g_monitors.clear();
    EXPECT_NE(std::string::npos, three.find("-640,0 640x480")) << three;
    EXPECT_NE(std::string::npos, three.find("0,0 1024x768")) << three;
    EXPECT_NE(std::string::npos, three.find("1024,0 640x480")) << three;
    EXPECT_EQ("0,0 1280x720", one);
}

// Whatever the upper layer does not finish reaches the input layer, and
// so does input in a picture.
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
    SendMessageA(static_cast<HWND>(g_startWindow), WM_KEYDOWN, VK_SPACE, 0x00390001);
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
    HWND window = GetParent(static_cast<HWND>(g_startWindow));
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

// SaverMain's window covers the screen: where its timers never fire, neither
// does the stand-in start-up's, and its loop never ends.
bool FullScreenTimersFire()
{
    static const bool fire = FullScreenWindowGetsTimers(3000);
    return fire;
}
const char kNoFullScreenTimers[] = "this platform never fires a full-screen window's timers (a fault of Wine 10's 32-bit programs)";

const char* g_fakeCommandLine;
LPSTR WINAPI FakeGetCommandLineA()
{
    return const_cast<LPSTR>(g_fakeCommandLine);
}

TEST(SaverMainWindow, ClassStylesSizeAndTitleAsRegisteredAndCreated)
{
    if (!FullScreenTimersFire())
        GTEST_SKIP() << kNoFullScreenTimers;
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
    const int vx = GetSystemMetrics(SM_XVIRTUALSCREEN), vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
    EXPECT_EQ(vx, g_facts.rect.left);
    EXPECT_EQ(vy, g_facts.rect.top);
    EXPECT_EQ(vx + GetSystemMetrics(SM_CXVIRTUALSCREEN), g_facts.rect.right);
    EXPECT_EQ(vy + GetSystemMetrics(SM_CYVIRTUALSCREEN), g_facts.rect.bottom);
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
    if (!FullScreenTimersFire())
        GTEST_SKIP() << kNoFullScreenTimers;
    UnregisterClassA("WindowsScreenSaverClass", GetModuleHandleA(NULL));  // an earlier test's
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

// The preview: one picture filling the client area of the window the tail
// names, reading the settings only, until that window goes; then 0, the
// picture torn down. A missing, zero or garbage number, or one that names
// no window, ends at once with 0 and no picture.
HWND g_host;
RECT g_pictureArea;
VOID CALLBACK DestroyHost(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(NULL, id);
    GetClientRect(static_cast<HWND>(g_startWindow), &g_pictureArea);
    g_facts.parent = GetParent(static_cast<HWND>(g_startWindow));
    DestroyWindow(g_host);
}

int RunMain(const std::string& line)
{
    // A window left by an earlier entry keeps the class registered.
    while (HWND left = FindWindowA("WindowsScreenSaverClass", NULL))
        DestroyWindow(left);
    int code = 99;
    TakeQuit(&code);
    UnregisterClassA("WindowsScreenSaverClass", GetModuleHandleA(NULL));
    g_fakeCommandLine = line.c_str();
    void* real = SwapImport("kernel32.dll", "GetCommandLineA", reinterpret_cast<void*>(&FakeGetCommandLineA));
    EXPECT_NE(nullptr, real);
    g_log.clear();
    code = SaverMain(GetModuleHandleA(NULL), NULL, const_cast<LPSTR>(""), SW_SHOWNORMAL);
    SwapImport("kernel32.dll", "GetCommandLineA", real);
    return code;
}

TEST(SaverMainPreview, DrawsInTheGivenWindowUntilItGoes)
{
    g_host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 30, 30, 201, 97, NULL, NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_TRUE(g_host);
    HWND host = g_host;
    g_onStart = DestroyHost;
    g_facts = {};
    g_pictureArea = {};
    const int code = RunMain("zorvane.scr /p " + std::to_string(reinterpret_cast<uintptr_t>(g_host)));
    g_onStart = nullptr;
    EXPECT_EQ(0, code);
    EXPECT_EQ("start teardown", g_log);
    EXPECT_TRUE(g_startReadOnly);
    EXPECT_EQ(host, g_facts.parent);
    EXPECT_EQ(201, g_pictureArea.right);
    EXPECT_EQ(97, g_pictureArea.bottom);
    EXPECT_FALSE(IsWindow(host));

    const std::string gone = std::to_string(reinterpret_cast<uintptr_t>(host));
    for (const std::string& tail : {"/p"s, "/p 0"s, "/p:0"s, "/p 12ab"s, "/p " + gone, "/p:" + gone}) {
        SCOPED_TRACE(tail);
        EXPECT_EQ(0, RunMain("zorvane.scr " + tail));
        EXPECT_EQ("", g_log);
    }
}

}  // namespace
