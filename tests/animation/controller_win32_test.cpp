// The animation controller on the Win32 layer, in a real window: GDI
// surface, window timers, presentation and teardown.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "animation/controller.h"
#include "engine/render.h"
#include "settings/settings.h"

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
    ResetSettings();
    ResetViewState();
    SaverSettings.BlankScreen = 1;
    SaverSettings.EnableRotation = 1;
    SaverSettings.AnimationTimer = 20;
    SaverSettings.CLSTimer = 100000;
    HWND w = CreateTestWindow();
    ASSERT_NE(nullptr, w);

    SaverStart(w);
    ASSERT_TRUE(AnimationState.Ready);
    EXPECT_EQ(kWidth / 2, CentreX);
    EXPECT_EQ(kHeight / 2, CentreY);
    EXPECT_EQ(0, AnimationState.ClientRect.left);
    EXPECT_EQ(kWidth, AnimationState.ClientRect.right);
    EXPECT_EQ(kHeight, AnimationState.ClientRect.bottom);

    FrameTick(w);
    const std::set<COLORREF> shown = WindowColours(w);
    EXPECT_EQ(2u, shown.size()) << "black and one colour";
    EXPECT_EQ(1u, shown.count(0));
    EXPECT_EQ(1u, shown.count(AnimationState.Colour));

    // The frame timer runs through the message loop and spins the view.
    const double angle = ViewState.AngleY;
    PumpFor(400);
    EXPECT_GT(ViewState.AngleY, angle);

    SaverTeardown(w);
    EXPECT_FALSE(AnimationState.Ready);
    EXPECT_EQ(nullptr, AnimationState.Surface);
    EXPECT_FALSE(KillTimer(w, 1)) << "frame timer still running";
    EXPECT_FALSE(KillTimer(w, 2)) << "clear timer still running";
    const double stopped = ViewState.AngleY;
    PumpFor(100);
    EXPECT_EQ(stopped, ViewState.AngleY);
    SaverTeardown(w);  // a second teardown is harmless
    DestroyWindow(w);
}

TEST(ControllerWin32, OverpaintModeAccumulatesColoursUntilTheClear)
{
    ResetSettings();
    ResetViewState();
    SaverSettings.AnimationTimer = 100000;
    SaverSettings.CLSTimer = 100000;
    HWND w = CreateTestWindow();
    SaverStart(w);
    ASSERT_TRUE(AnimationState.Ready);
    for (int i = 0; i < 4; i++)
        FrameTick(w);
    EXPECT_GT(WindowColours(w).size(), 2u);
    ClearTick(w);
    SaverSettings.BlankScreen = 1;  // show the cleared surface with one attractor on it
    SaverSettings.EnableContinuous = 0;
    FrameTick(w);
    EXPECT_EQ(2u, WindowColours(w).size());
    SaverTeardown(w);
    DestroyWindow(w);
}

}  // namespace
