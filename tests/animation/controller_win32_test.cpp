// The animation controller on the Win32 layer, in a real window: GDI
// surface, window timers, presentation and teardown, and a surface that
// cannot be built.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <vector>

#include "animation/controller.h"
#include "tests/support/import_hook.h"

namespace {

const int kWidth = 320, kHeight = 200;

HWND CreateTestWindow()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ZorvaneControllerTest";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr,
                             nullptr, wc.hInstance, nullptr);
    UpdateWindow(w);
    return w;
}

void PumpFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < ms) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(5);
    }
}

// What the window shows, read back through a 32-bit DIB.
std::set<COLORREF> WindowColours(HWND w)
{
    HDC windowDc = GetDC(w);
    HDC dc = CreateCompatibleDC(windowDc);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = kWidth;
    bi.bmiHeader.biHeight = -kHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, dib);
    BitBlt(dc, 0, 0, kWidth, kHeight, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    std::set<COLORREF> colours;
    const DWORD* px = static_cast<const DWORD*>(bits);
    for (int i = 0; i < kWidth * kHeight; i++) {
        const DWORD p = px[i];  // 0x00RRGGBB in a DIB
        colours.insert(RGB(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF));
    }
    SelectObject(dc, old);
    DeleteObject(dib);
    DeleteDC(dc);
    ReleaseDC(w, windowDc);
    return colours;
}

TEST(ControllerWin32, RunsInARealWindowAndStopsCleanly)
{
    HWND w = CreateTestWindow();
    ASSERT_NE(nullptr, w);
    SaverRecord saver;
    SaverInit(&saver, w);
    saver.Settings.BlankScreen = 1;
    saver.Settings.EnableRotation = 1;
    saver.Settings.AnimationTimer = 20;
    saver.Settings.CLSTimer = 100000;

    SaverStart(&saver);
    ASSERT_TRUE(saver.Ready);
    EXPECT_EQ(kWidth / 2, saver.View.CentreX);
    EXPECT_EQ(kHeight / 2, saver.View.CentreY);
    EXPECT_EQ(0, saver.ClientRect.left);
    EXPECT_EQ(kWidth, saver.ClientRect.right);
    EXPECT_EQ(kHeight, saver.ClientRect.bottom);

    FrameTick(&saver);
    const std::set<COLORREF> shown = WindowColours(w);
    EXPECT_EQ(2u, shown.size()) << "black and one colour";
    EXPECT_EQ(1u, shown.count(0));
    EXPECT_EQ(1u, shown.count(saver.Colour));

    // The frame timer runs through the message loop and spins the view.
    const double angle = saver.View.AngleY;
    PumpFor(400);
    EXPECT_GT(saver.View.AngleY, angle);

    SaverTeardown(&saver);
    EXPECT_FALSE(saver.Ready);
    EXPECT_EQ(nullptr, saver.Surface);
    EXPECT_FALSE(KillTimer(w, 1)) << "frame timer still running";
    EXPECT_FALSE(KillTimer(w, 2)) << "clear timer still running";
    const double stopped = saver.View.AngleY;
    PumpFor(100);
    EXPECT_EQ(stopped, saver.View.AngleY);
    SaverTeardown(&saver);  // a second teardown is harmless
    DestroyWindow(w);
}

TEST(ControllerWin32, OverpaintModeAccumulatesColoursUntilTheClear)
{
    HWND w = CreateTestWindow();
    SaverRecord saver;
    SaverInit(&saver, w);
    saver.Settings.AnimationTimer = 100000;
    saver.Settings.CLSTimer = 100000;
    SaverStart(&saver);
    ASSERT_TRUE(saver.Ready);
    for (int i = 0; i < 4; i++)
        FrameTick(&saver);
    EXPECT_GT(WindowColours(w).size(), 2u);
    ClearTick(&saver);
    saver.Settings.BlankScreen = 1;  // show the cleared surface with one attractor on it
    saver.Settings.EnableContinuous = 0;
    FrameTick(&saver);
    EXPECT_EQ(2u, WindowColours(w).size());
    SaverTeardown(&saver);
    DestroyWindow(w);
}

// GDI creation calls that fail, as they do when GDI's resources run out.
HDC WINAPI NoMemoryContext(HDC)
{
    return nullptr;
}

HBITMAP WINAPI NoCompatibleBitmap(HDC, int, int)
{
    return nullptr;
}

HBITMAP WINAPI NoDibSection(HDC, const BITMAPINFO*, UINT, void** bits, HANDLE, DWORD)
{
    if (bits)
        *bits = nullptr;
    return nullptr;
}

// Makes the named creation calls fail until the object ends. A function the
// program does not import needs no failing; at least one must be swapped.
struct FailGdi {
    struct Swapped {
        const char* name;
        void* original;
    };
    std::vector<Swapped> swapped;
    explicit FailGdi(const std::vector<std::pair<const char*, void*>>& calls)
    {
        for (const auto& [name, replacement] : calls)
            if (void* original = SwapImport("gdi32.dll", name, replacement))
                swapped.push_back({name, original});
        EXPECT_FALSE(swapped.empty()) << "none of the creation calls is imported";
    }
    ~FailGdi()
    {
        for (const Swapped& s : swapped)
            SwapImport("gdi32.dll", s.name, s.original);
    }
};

void PaintWindow(HWND w, COLORREF c)
{
    HDC dc = GetDC(w);
    HBRUSH brush = CreateSolidBrush(c);
    const RECT r = {0, 0, kWidth, kHeight};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    ReleaseDC(w, dc);
}

// What start-up cannot build is missing: the saver still starts, its timers
// run, every tick in both modes draws nothing, and teardown releases the
// rest. The case with nothing failing shows that the test sees drawing.
TEST(ControllerWin32, SurfaceThatCannotBeBuiltDrawsNothingButRuns)
{
    const COLORREF grey = RGB(0x40, 0x50, 0x60);
    const struct {
        const char* fault;
        std::vector<std::pair<const char*, void*>> calls;
    } faults[] = {
        {"nothing fails", {}},
        {"no memory context", {{"CreateCompatibleDC", reinterpret_cast<void*>(&NoMemoryContext)}}},
        {"no bitmap",
         {{"CreateCompatibleBitmap", reinterpret_cast<void*>(&NoCompatibleBitmap)},
          {"CreateDIBSection", reinterpret_cast<void*>(&NoDibSection)}}},
    };
    HWND w = CreateTestWindow();  // one window: showing one is slow without a window manager
    ASSERT_NE(nullptr, w);
    for (const auto& f : faults) {
        SCOPED_TRACE(f.fault);
        const bool drawing = f.calls.empty();
        SaverRecord saver;
        SaverInit(&saver, w);
        saver.Settings.BlankScreen = 1;
        saver.Settings.AnimationTimer = 20;
        saver.Settings.CLSTimer = 50;
        PaintWindow(w, grey);
        ASSERT_EQ(std::set<COLORREF>{grey}, WindowColours(w));

        if (drawing) {
            SaverStart(&saver);
        } else {
            FailGdi fail(f.calls);
            SaverStart(&saver);
        }
        ASSERT_TRUE(saver.Ready);
        EXPECT_EQ(kWidth / 2, saver.View.CentreX);
        EXPECT_EQ(kHeight / 2, saver.View.CentreY);

        // Both modes, by hand and through the timers.
        for (uint32_t blank : {0u, 1u, 0u}) {
            saver.Settings.BlankScreen = blank;
            FrameTick(&saver);
            ClearTick(&saver);
            FrameTick(&saver);
        }
        saver.Settings.BlankScreen = 1;
        const double angle = saver.View.AngleY;
        PumpFor(300);
        EXPECT_GT(saver.View.AngleY, angle) << "the frame timer did not run";
        EXPECT_EQ(drawing, WindowColours(w) != std::set<COLORREF>{grey});

        SaverTeardown(&saver);
        EXPECT_EQ(nullptr, saver.Surface);
        EXPECT_FALSE(KillTimer(w, 1));
        EXPECT_FALSE(KillTimer(w, 2));
    }
    DestroyWindow(w);
}

// The error box of a start-up that fails after the configuration dialog
// has asked to quit: it waits for the user, and -1 is the code left.
std::atomic<bool> g_boxPressed{false};

DWORD WINAPI PressOkWhenTheBoxShows(void*)
{
    for (int waited = 0; waited < 10000; waited += 10) {
        HWND box = FindWindowA("#32770", "Memory Error");
        if (box && IsWindowVisible(box)) {
            char text[128] = "";
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            if (std::string(text) != "Cannot allocate memory for point buffer!")
                return 1;
            // Twice through the box's message loop: a quit that ends it
            // would have done so by the time the second message returns.
            DWORD_PTR r;
            SendMessageTimeoutA(box, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r);
            SendMessageTimeoutA(box, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r);
            if (!IsWindow(box))
                return 0;
            g_boxPressed = true;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return 0;
        }
        Sleep(10);
    }
    return 1;
}

TEST(ControllerWin32, ErrorBoxWaitsEvenWithAQuitPending)
{
    HWND w = CreateTestWindow();
    ASSERT_NE(nullptr, w);
    SaverRecord saver;
    SaverInit(&saver, w);
    saver.Settings.NumberPoints = 4294967295u;
    PostQuitMessage(0);  // as the configuration dialog's handler does
    g_boxPressed = false;
    HANDLE presser = CreateThread(nullptr, 0, PressOkWhenTheBoxShows, nullptr, 0, nullptr);
    SaverStart(&saver);
    EXPECT_TRUE(g_boxPressed) << "the box ended before it was pressed";
    WaitForSingleObject(presser, 10000);
    DWORD found = 1;
    GetExitCodeThread(presser, &found);
    CloseHandle(presser);
    EXPECT_EQ(0u, found) << "no box with the point buffer's text";
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(-1, static_cast<int>(m.wParam));
    SaverTeardown(&saver);
    DestroyWindow(w);
}

}  // namespace
