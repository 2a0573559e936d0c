// surface_setpixel_win32.cpp - the reference the saver's DIB surface is held
// to: the picture is kept as Colour values (COLORREF's own layout) and
// each present paints it with GDI alone - a compatible bitmap of the
// client size in a memory context, filled black, every other pixel set with
// SetPixelV, and one block copy to the window. Linked only into
// surface_setpixel_render, never into the saver.
#include <windows.h>

#include <cstdlib>

#include "animation/platform.h"
#include "engine/surface_memory.h"

struct ReferenceSurface {
    HWND window;
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ original;
};

static void Present(OffscreenSurface* s)
{
    const ReferenceSurface* r = static_cast<const ReferenceSurface*>(s->owner);
    const RECT all = {0, 0, s->width, s->height};
    FillRect(r->dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    for (int32_t y = 0; y < s->height; y++)
        for (int32_t x = 0; x < s->width; x++)
            if (const Colour c = s->pixels[y * s->width + x])
                SetPixelV(r->dc, x, y, static_cast<COLORREF>(c));
    HDC windowDc = GetDC(r->window);
    RECT client = {0, 0, 0, 0};
    GetClientRect(r->window, &client);
    BitBlt(windowDc, 0, 0, client.right - client.left, client.bottom - client.top, r->dc, 0, 0, SRCCOPY);
    ReleaseDC(r->window, windowDc);
}

OffscreenSurface* PlatCreateSurface(SaverWindow window, SurfaceRect* clientRect)
{
    HWND hwnd = static_cast<HWND>(window);
    RECT c = {0, 0, 0, 0};
    GetClientRect(hwnd, &c);
    *clientRect = SurfaceRect{c.left, c.top, c.right, c.bottom};
    OffscreenSurface* s = MemorySurfaceCreate(c.right - c.left, c.bottom - c.top);
    ReferenceSurface* r = static_cast<ReferenceSurface*>(std::calloc(1, sizeof(ReferenceSurface)));
    r->window = hwnd;
    HDC windowDc = GetDC(hwnd);
    r->dc = CreateCompatibleDC(windowDc);
    r->bitmap = CreateCompatibleBitmap(windowDc, s->width, s->height);
    ReleaseDC(hwnd, windowDc);
    r->original = SelectObject(r->dc, r->bitmap);
    s->present = Present;
    s->owner = r;
    return s;
}

void PlatReleaseSurface(OffscreenSurface* s)
{
    ReferenceSurface* r = static_cast<ReferenceSurface*>(s->owner);
    SelectObject(r->dc, r->original);
    DeleteDC(r->dc);
    DeleteObject(r->bitmap);
    std::free(r);
    MemorySurfaceDestroy(s);
}
