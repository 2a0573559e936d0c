// surface_wayland.cpp - the surface of a picture on a Wayland output, and
// the copy of its frames into the compositor's buffers (picture_wayland.h).
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <type_traits>

#include "animation/picture_wayland.h"
#include "engine/surface_memory.h"
#include "settings/zoom.h"

static_assert(std::is_standard_layout_v<WaylandPictureRecord> && offsetof(WaylandPictureRecord, common) == 0);

constexpr uint32_t Opaque = 0xFF000000u;  // XRGB pixels keep a full top byte: some compositors read it

static WaylandPictureRecord* Record(void* window)
{
    return static_cast<WaylandPictureRecord*>(window);  // the record begins with its LinuxWindowRecord
}

static void Presented(OffscreenSurface* s)
{
    Record(s->owner)->presented = true;
}

static OffscreenSurface* CreateSurface(LinuxWindowRecord* window, SurfaceRect* clientRect)
{
    WaylandPictureRecord* p = Record(window);
    const int32_t zoom = PictureZoom(p->zoom, p->width, p->height);
    const int32_t w = p->width / zoom, h = p->height / zoom;
    *clientRect = SurfaceRect{0, 0, w, h};
    OffscreenSurface* s = MemorySurfaceCreate(w, h);
    if (!s) {
        *clientRect = SurfaceRect{0, 0, 0, 0};
        return nullptr;
    }
    s->format = PixelFormat{16, 8, 0, false, Opaque};
    s->present = Presented;
    s->owner = p;
    SurfaceFill(s, clientRect, 0);  // black with the top byte set
    p->surface = s;
    return s;
}

static void ReleaseSurface(OffscreenSurface* s)
{
    WaylandPictureRecord* p = Record(s->owner);
    if (p->surface == s)
        p->surface = nullptr;
    MemorySurfaceDestroy(s);
}

void WaylandPictureInit(WaylandPictureRecord* p, uint32_t seed, uint32_t zoom, int32_t width, int32_t height)
{
    *p = WaylandPictureRecord{};
    p->common.createSurface = CreateSurface;
    p->common.releaseSurface = ReleaseSurface;
    p->common.seed = seed;
    p->zoom = zoom;
    p->width = width;
    p->height = height;
}

// Grows r to hold x0..x1 (exclusive) on rows y0..y1.
static void Include(SurfaceRect* r, int32_t x0, int32_t x1, int32_t y0, int32_t y1)
{
    if (r->left >= r->right) {
        *r = SurfaceRect{x0, y0, x1, y1};
        return;
    }
    *r = SurfaceRect{std::min(r->left, x0), std::min(r->top, y0), std::max(r->right, x1), std::max(r->bottom, y1)};
}

bool WaylandCopyFrame(WaylandPictureRecord* p, uint32_t* pixels, int32_t width, int32_t height,
                      const SurfaceRect*, SurfaceRect* damage)
{
    if (!p->presented)
        return false;
    p->presented = false;
    *damage = SurfaceRect{0, 0, 0, 0};
    const OffscreenSurface* s = p->surface;
    if (!s)
        return true;
    const size_t zoom = static_cast<size_t>(PictureZoom(p->zoom, p->width, p->height));
    const size_t w = static_cast<size_t>(std::min(s->width, width / static_cast<int32_t>(zoom)));
    const size_t h = static_cast<size_t>(std::min(s->height, height / static_cast<int32_t>(zoom)));
    const size_t stride = static_cast<size_t>(width);
    // The border the zoom leaves (right and bottom) is black, once.
    if (pixels[0] == 0) {
        for (size_t y = 0; y < static_cast<size_t>(height); y++)
            for (size_t x = y < h * zoom ? w * zoom : 0; x < stride; x++)
                pixels[y * stride + x] = Opaque;
        if (w * zoom < stride || h * zoom < static_cast<size_t>(height))
            Include(damage, 0, width, 0, height);
    }
    // Row by row, the span between the first and the last pixel that
    // differ, widened into zoom x zoom blocks: whatever the buffer held
    // before, stale or not, it now holds the frame. Most rows of most frames
    // are unchanged: at zoom 1 one memcmp tells.
    for (size_t y = 0; y < h; y++) {
        const uint32_t* from = s->pixels + y * static_cast<size_t>(s->width);
        uint32_t* first = pixels + y * zoom * stride;
        size_t left = 0, right = w;
        if (zoom == 1) {
            if (std::memcmp(first, from, w * 4) == 0)
                continue;
            while (first[left] == from[left])
                left++;
            while (first[right - 1] == from[right - 1])
                right--;
            std::memcpy(first + left, from + left, (right - left) * 4);
        } else {
            while (left < w && first[left * zoom] == from[left])
                left++;
            while (right > left && first[(right - 1) * zoom] == from[right - 1])
                right--;
            if (left == right)
                continue;
            for (size_t x = left; x < right; x++)
                for (size_t k = 0; k < zoom; k++)
                    first[x * zoom + k] = from[x];
            for (size_t k = 1; k < zoom; k++)
                std::memcpy(first + k * stride + left * zoom, first + left * zoom, (right - left) * zoom * 4);
        }
        Include(damage, static_cast<int32_t>(left * zoom), static_cast<int32_t>(right * zoom),
                static_cast<int32_t>(y * zoom), static_cast<int32_t>((y + 1) * zoom));
    }
    return true;
}
