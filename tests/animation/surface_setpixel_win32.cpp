// surface_setpixel_win32.cpp - the reference the saver's surface is held
// to: a memory context compatible with the window's, a compatible bitmap
// of the client size, and every pixel set with SetPixelV. Linked only into
// surface_setpixel_render, never into the saver.
#include <windows.h>

#include "animation/platform.h"

struct OffscreenSurface {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ original;
    int32_t width, height;
};

static OffscreenSurface g_surface;

OffscreenSurface* PlatCreateSurface(SaverWindow window, SurfaceRect* clientRect)
{
    HWND hwnd = static_cast<HWND>(window);
    OffscreenSurface* s = &g_surface;
    *s = OffscreenSurface{};
    HDC windowDc = GetDC(hwnd);
    s->dc = CreateCompatibleDC(windowDc);
    RECT r = {0, 0, 0, 0};
    GetClientRect(hwnd, &r);
    *clientRect = SurfaceRect{r.left, r.top, r.right, r.bottom};
    s->width = r.right - r.left;
    s->height = r.bottom - r.top;
    s->bitmap = CreateCompatibleBitmap(windowDc, s->width, s->height);
    ReleaseDC(hwnd, windowDc);
    s->original = SelectObject(s->dc, s->bitmap);
    return s;
}

void PlatReleaseSurface(OffscreenSurface* s)
{
    SelectObject(s->dc, s->original);
    DeleteDC(s->dc);
    DeleteObject(s->bitmap);
    *s = OffscreenSurface{};
}

SurfaceBrush PlatCreateBlackBrush()
{
    return reinterpret_cast<SurfaceBrush>(CreateSolidBrush(RGB(0, 0, 0)));
}

void PlatReleaseBrush(SurfaceBrush brush)
{
    DeleteObject(reinterpret_cast<HBRUSH>(brush));
}

int32_t SurfaceWidth(const OffscreenSurface* s)
{
    return s->width;
}

int32_t SurfaceHeight(const OffscreenSurface* s)
{
    return s->height;
}

void SurfaceFill(OffscreenSurface* s, const SurfaceRect* r, SurfaceBrush brush)
{
    const RECT rect = {r->left, r->top, r->right, r->bottom};
    FillRect(s->dc, &rect, reinterpret_cast<HBRUSH>(brush));
}

void SurfaceSetPixel(OffscreenSurface* s, int32_t x, int32_t y, Colour c)
{
    SetPixelV(s->dc, x, y, static_cast<COLORREF>(c));
}

void SurfaceSetPixels(OffscreenSurface* s, const uint32_t* indices, uint32_t n, Colour c)
{
    const uint32_t width = static_cast<uint32_t>(s->width);
    const uint32_t size = width * static_cast<uint32_t>(s->height);
    for (uint32_t i = 0; i < n; i++)
        if (indices[i] < size)
            SetPixelV(s->dc, static_cast<int>(indices[i] % width), static_cast<int>(indices[i] / width),
                      static_cast<COLORREF>(c));
}

void SurfaceCopyToWindow(OffscreenSurface* s, SaverWindow window)
{
    HWND hwnd = static_cast<HWND>(window);
    HDC windowDc = GetDC(hwnd);
    RECT r = {0, 0, 0, 0};
    GetClientRect(hwnd, &r);
    BitBlt(windowDc, 0, 0, r.right - r.left, r.bottom - r.top, s->dc, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, windowDc);
}
