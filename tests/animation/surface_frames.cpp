// surface_frames.cpp - see surface_frames.h.
#include "tests/animation/surface_frames.h"

#include "animation/controller.h"

HWND CreateFrameWindow()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ZorvaneSurfaceFrames";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, kFrameWidth,
                             kFrameHeight, nullptr, nullptr, wc.hInstance, nullptr);
    UpdateWindow(w);
    return w;
}

static std::vector<uint32_t> ReadWindow(HWND w)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(kFrameWidth) * kFrameHeight);
    HDC windowDc = GetDC(w);
    HDC dc = CreateCompatibleDC(windowDc);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = kFrameWidth;
    bi.bmiHeader.biHeight = -kFrameHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, dib);
    BitBlt(dc, 0, 0, kFrameWidth, kFrameHeight, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    const uint32_t* px = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < pixels.size(); i++)
        pixels[i] = px[i] & 0xFFFFFFu;
    SelectObject(dc, old);
    DeleteObject(dib);
    DeleteDC(dc);
    ReleaseDC(w, windowDc);
    return pixels;
}

std::vector<uint32_t> RenderFrames(HWND window, uint32_t blank, uint32_t seed)
{
    SaverRecord saver;
    SaverInit(&saver, window);
    saver.Settings.BlankScreen = blank;
    saver.Settings.AnimationTimer = 1000000;
    saver.Settings.CLSTimer = 1000000;
    SaverStart(&saver);
    RandomSeed(&saver.Random, seed);
    // A clear between frames, so that the fill is compared in both modes.
    ClearTick(&saver);
    for (int i = 0; i < 4; i++)
        FrameTick(&saver);
    ClearTick(&saver);
    for (int i = 0; i < 3; i++)
        FrameTick(&saver);
    std::vector<uint32_t> shown = ReadWindow(window);
    SaverTeardown(&saver);
    return shown;
}
