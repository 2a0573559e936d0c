// surface_win32.cpp - the off-screen surface: a GDI memory drawing context,
// compatible with the window's, with a 32-bpp top-down DIB section of the
// window's client size selected into it. GDI fills it (FillRect) and copies
// it to the window (BitBlt, SRCCOPY); pixels are stored straight into the
// section's memory, a few nanoseconds each where SetPixelV is a GDI call
// (hundreds of nanoseconds under Wine) with the same result.
//
// GDI may batch its drawing, so before the CPU touches the pixels after GDI
// has drawn into or copied from the section, GdiFlush finishes that work.
#include <windows.h>

#include "animation/platform.h"
#include "engine/pixel_buffer.h"

struct OffscreenSurface {
    HDC dc;            // memory context, or null when the surface is missing
    HBITMAP bitmap;    // the DIB section, or null when the surface is missing
    HGDIOBJ original;  // the context's own bitmap, selected back before release
    uint32_t* pixels;  // the section's pixels, 0x00RRGGBB, rows from the top
    int32_t width, height;  // of the pixels; 0 x 0 when the surface is missing
    bool gdiPending;   // GDI has used the section since the CPU last stored into it
};

// One saver window per process, so one surface.
static OffscreenSurface g_surface;

// A COLORREF is 0x00BBGGRR; a 32-bpp DIB pixel is 0x00RRGGBB.
static uint32_t DibPixel(Colour c)
{
    return (c & 0xFFu) << 16 | (c & 0xFF00u) | (c >> 16 & 0xFFu);
}

static void BeforeCpuStores(OffscreenSurface* s)
{
    if (s->gdiPending) {
        GdiFlush();
        s->gdiPending = false;
    }
}

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

OffscreenSurface* PlatCreateSurface(SaverWindow window, SurfaceRect* clientRect)
{
    HWND hwnd = static_cast<HWND>(window);
    OffscreenSurface* s = &g_surface;
    *s = OffscreenSurface{};

    HDC windowDc = GetDC(hwnd);
    s->dc = CreateCompatibleDC(windowDc);
    ReleaseDC(hwnd, windowDc);

    RECT r = {0, 0, 0, 0};
    GetClientRect(hwnd, &r);
    *clientRect = SurfaceRect{r.left, r.top, r.right, r.bottom};
    const int32_t width = r.right - r.left;
    const int32_t height = r.bottom - r.top;

    // The memory is the system's, zero-filled: a fresh surface is black.
    void* bits = nullptr;
    if (s->dc)
        s->bitmap = CreateSection(s->dc, width, height, &bits);
    if (s->dc && s->bitmap && bits) {
        s->original = SelectObject(s->dc, s->bitmap);
        s->pixels = static_cast<uint32_t*>(bits);
        s->width = width;
        s->height = height;
    } else {
        // Half a surface draws nothing either: release what was made, so
        // every drawing call below finds the surface missing.
        PlatReleaseSurface(s);
    }
    return s;
}

void PlatReleaseSurface(OffscreenSurface* s)
{
    if (s->dc) {
        if (s->original)
            SelectObject(s->dc, s->original);
        DeleteDC(s->dc);
    }
    if (s->bitmap)
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
    if (!s->pixels)
        return;
    const RECT rect = {r->left, r->top, r->right, r->bottom};
    FillRect(s->dc, &rect, reinterpret_cast<HBRUSH>(brush));
    s->gdiPending = true;
}

static PixelBuffer Buffer(const OffscreenSurface* s)
{
    return PixelBuffer{s->pixels, s->width, s->height};
}

void SurfaceSetPixel(OffscreenSurface* s, int32_t x, int32_t y, Colour c)
{
    if (!s->pixels)
        return;
    BeforeCpuStores(s);
    PixelsSet(Buffer(s), x, y, DibPixel(c));
}

void SurfaceSetPixels(OffscreenSurface* s, const uint32_t* indices, uint32_t n, Colour c)
{
    if (!s->pixels)
        return;
    BeforeCpuStores(s);
    PixelsSetMany(Buffer(s), indices, n, DibPixel(c));
}

void SurfaceCopyToWindow(OffscreenSurface* s, SaverWindow window)
{
    if (!s->pixels)
        return;  // nothing was ever drawn: the window keeps what it shows
    HWND hwnd = static_cast<HWND>(window);
    HDC windowDc = GetDC(hwnd);
    RECT r = {0, 0, 0, 0};
    GetClientRect(hwnd, &r);
    BitBlt(windowDc, 0, 0, r.right - r.left, r.bottom - r.top, s->dc, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, windowDc);
    s->gdiPending = true;
}
