// surface_win32.cpp - the off-screen surface on Windows: a 32-bpp top-down
// DIB section of the window's client size, selected into a memory drawing
// context compatible with the window's. The pixels are stored straight into
// the section's memory, a few nanoseconds each where SetPixelV is a GDI call
// (hundreds of nanoseconds under Wine) with the same result, and each frame
// reaches the window in one block copy (BitBlt, SRCCOPY).
//
// On a large screen the picture follows the zoom rule (settings/zoom.h): at
// zoom N the section is (width / N) x (height / N) and each frame is
// stretched N times as it is copied (StretchBlt, COLORONCOLOR: at a whole
// factor every pixel becomes an exact N x N block, no blending). Screens up
// to ZoomFreeSide pixels a side are at zoom 1, the section the client size.
//
// GDI may batch its drawing, so each copy is finished (GdiFlush) before the
// CPU touches the pixels again.
#include <windows.h>

#include <cstdlib>

#include "animation/platform.h"
#include "settings/zoom.h"

struct DibSurface {
    OffscreenSurface surface;
    HWND window;       // where the copies go
    HDC dc;            // memory context
    HBITMAP bitmap;    // the DIB section
    HGDIOBJ original;  // the context's own bitmap, selected back before release
    int32_t zoom;      // each pixel shown as a zoom x zoom block
};

// A COLORREF is 0x00BBGGRR; a 32-bpp DIB pixel is 0x00RRGGBB.
constexpr PixelFormat kDibPixels = {16, 8, 0, false, 0};

static HBITMAP CreateSection(HDC dc, int32_t width, int32_t height, void** bits)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // negative: top-down, row 0 first
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    *bits = nullptr;
    return CreateDIBSection(dc, &bi, DIB_RGB_COLORS, bits, nullptr, 0);
}

static void Release(DibSurface* s)
{
    if (s->dc) {
        if (s->original)
            SelectObject(s->dc, s->original);
        DeleteDC(s->dc);
    }
    if (s->bitmap)
        DeleteObject(s->bitmap);
    std::free(s);
}

static void Present(OffscreenSurface* surface)
{
    DibSurface* s = static_cast<DibSurface*>(surface->owner);
    HDC windowDc = GetDC(s->window);
    if (s->zoom == 1) {
        RECT r = {0, 0, 0, 0};
        GetClientRect(s->window, &r);
        BitBlt(windowDc, 0, 0, r.right - r.left, r.bottom - r.top, s->dc, 0, 0, SRCCOPY);
    } else {
        const int32_t w = surface->width, h = surface->height;
        SetStretchBltMode(windowDc, COLORONCOLOR);
        StretchBlt(windowDc, 0, 0, w * s->zoom, h * s->zoom, s->dc, 0, 0, w, h, SRCCOPY);
    }
    ReleaseDC(s->window, windowDc);
    GdiFlush();
}

OffscreenSurface* PlatCreateSurface(SaverWindow window, SurfaceRect* clientRect)
{
    HWND hwnd = static_cast<HWND>(window);
    RECT r = {0, 0, 0, 0};
    GetClientRect(hwnd, &r);
    const int32_t zoom = PictureZoom(0, r.right - r.left, r.bottom - r.top);
    const int32_t width = (r.right - r.left) / zoom;
    const int32_t height = (r.bottom - r.top) / zoom;
    *clientRect = SurfaceRect{0, 0, width, height};
    DibSurface* s = static_cast<DibSurface*>(std::calloc(1, sizeof(DibSurface)));
    if (!s)
        return nullptr;
    s->window = hwnd;
    s->zoom = zoom;
    HDC windowDc = GetDC(hwnd);
    s->dc = CreateCompatibleDC(windowDc);
    ReleaseDC(hwnd, windowDc);

    // The memory is the system's, zero-filled: a fresh surface is black.
    void* bits = nullptr;
    if (s->dc)
        s->bitmap = CreateSection(s->dc, width, height, &bits);
    if (!s->dc || !s->bitmap || !bits) {
        // Half a surface draws nothing either: release what was made.
        Release(s);
        return nullptr;
    }
    s->original = SelectObject(s->dc, s->bitmap);
    OffscreenSurface& p = s->surface;
    p.pixels = static_cast<uint32_t*>(bits);
    p.width = width;
    p.height = height;
    p.format = kDibPixels;
    p.present = Present;
    p.owner = s;
    return &p;
}

void PlatReleaseSurface(OffscreenSurface* surface)
{
    Release(static_cast<DibSurface*>(surface->owner));
}
