// surface_x11.cpp - the off-screen surface on X11: an XImage of 32-bit
// pixels in the window's own format, in a shared memory segment when the
// X server offers MIT-SHM (XShmPutImage), else in ordinary memory
// (XPutImage). Each frame reaches the window in one image copy.
//
// At zoom N the picture is (width / N) x (height / N) pixels kept in
// ordinary memory, and each frame is magnified into the image, every
// pixel an N x N block, as it is presented. At zoom 1 the picture is the
// image itself. At most the screen's size is drawn, however large the
// window.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>
#include <cstring>

#include "animation/platform_x11.h"
#include "engine/pixel_buffer.h"
#include "settings/zoom.h"

struct OffscreenSurface {
    Display* display;
    Window window;
    XImage* image;         // the magnified picture, as the window gets it
    XShmSegmentInfo shm;   // shmid -1 when the image is in ordinary memory
    GC gc;
    uint32_t* pixels;      // the picture, row-major, width pixels per row
    uint32_t* own;         // the picture's own memory at zoom > 1 (else null: pixels is the image's)
    int32_t width, height;
    int32_t zoom;
    int redShift, greenShift, blueShift;
    bool tenBits;          // 10 bits per channel (depth 30), else 8
    uint32_t opaque;       // the alpha bits of a depth-32 visual, set in every pixel
};

// One window per process, so one surface at a time.
static OffscreenSurface g_surface;

static int MaskShift(unsigned long mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        shift++;
    }
    return shift;
}

// An 8-bit channel widened to the visual's channel: 10 bits repeat the top
// two bits at the bottom, so 0xFF becomes 0x3FF.
static uint32_t Channel(const OffscreenSurface* s, uint32_t c8)
{
    return s->tenBits ? (c8 << 2 | c8 >> 6) : c8;
}

// The pixel for a Colour (0x00BBGGRR) in the visual's layout.
static uint32_t PixelOf(const OffscreenSurface* s, Colour c)
{
    return Channel(s, c & 0xFFu) << s->redShift | Channel(s, c >> 8 & 0xFFu) << s->greenShift |
           Channel(s, c >> 16 & 0xFFu) << s->blueShift | s->opaque;
}

static bool g_attachFailed;
static int AttachFailed(Display*, XErrorEvent*)
{
    g_attachFailed = true;
    return 0;
}

// A shared image of w x h, attached on both sides; false if the server
// cannot share (a remote display, no extension, no segment to spare).
static bool CreateSharedImage(OffscreenSurface* s, const X11PlatformRecord* x, int32_t w, int32_t h)
{
    if (!XShmQueryExtension(x->display))
        return false;
    s->image = XShmCreateImage(x->display, x->visual, static_cast<unsigned>(x->depth), ZPixmap, nullptr, &s->shm,
                               static_cast<unsigned>(w), static_cast<unsigned>(h));
    if (!s->image)
        return false;
    const size_t bytes = static_cast<size_t>(s->image->bytes_per_line) * static_cast<size_t>(h);
    s->shm.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (s->shm.shmid >= 0) {
        s->shm.shmaddr = s->image->data = static_cast<char*>(shmat(s->shm.shmid, nullptr, 0));
        s->shm.readOnly = False;
        if (s->shm.shmaddr != reinterpret_cast<char*>(-1)) {
            XSync(x->display, False);
            g_attachFailed = false;
            XErrorHandler previous = XSetErrorHandler(AttachFailed);
            const Status attached = XShmAttach(x->display, &s->shm);
            XSync(x->display, False);
            XSetErrorHandler(previous);
            // Marked for removal now: the segment goes when both sides
            // detach, however the process ends.
            shmctl(s->shm.shmid, IPC_RMID, nullptr);
            if (attached && !g_attachFailed)
                return true;
            shmdt(s->shm.shmaddr);
        } else {
            shmctl(s->shm.shmid, IPC_RMID, nullptr);
        }
    }
    s->image->data = nullptr;
    XDestroyImage(s->image);
    s->image = nullptr;
    s->shm.shmid = -1;
    return false;
}

static bool CreatePlainImage(OffscreenSurface* s, const X11PlatformRecord* x, int32_t w, int32_t h)
{
    char* data = static_cast<char*>(std::calloc(static_cast<size_t>(w) * static_cast<size_t>(h), 4));
    if (!data)
        return false;
    s->image = XCreateImage(x->display, x->visual, static_cast<unsigned>(x->depth), ZPixmap, 0, data,
                            static_cast<unsigned>(w), static_cast<unsigned>(h), 32, w * 4);
    if (!s->image) {
        std::free(data);
        return false;
    }
    // The pixels are written as this machine's 32-bit numbers; Xlib
    // converts them if the server's byte order differs.
    s->image->byte_order = LSBFirst;
    union {
        uint32_t word;
        unsigned char bytes[4];
    } probe = {1};
    if (!probe.bytes[0])
        s->image->byte_order = MSBFirst;
    return true;
}

static int32_t AtMost(int32_t value, int32_t limit)
{
    return limit > 0 && value > limit ? limit : value;
}

OffscreenSurface* PlatCreateSurface(SaverWindow window, SurfaceRect* clientRect)
{
    const X11PlatformRecord* x = static_cast<const X11PlatformRecord*>(window);
    OffscreenSurface* s = &g_surface;
    *s = OffscreenSurface{};
    s->shm.shmid = -1;
    const int32_t shownW = AtMost(x->width, x->screenWidth), shownH = AtMost(x->height, x->screenHeight);
    const int32_t zoom = PictureZoom(x->zoom, shownW, shownH);
    *clientRect = SurfaceRect{0, 0, 0, 0};
    if (shownW <= 0 || shownH <= 0 || static_cast<uint64_t>(shownW) * static_cast<uint64_t>(shownH) >= 0xFFFFFFFFu)
        return nullptr;
    const int32_t w = shownW / zoom, h = shownH / zoom;
    *clientRect = SurfaceRect{0, 0, w, h};
    s->display = x->display;
    s->window = x->window;
    s->zoom = zoom;
    if (!CreateSharedImage(s, x, w * zoom, h * zoom) && !CreatePlainImage(s, x, w * zoom, h * zoom))
        return nullptr;
    if (zoom > 1) {
        s->own = static_cast<uint32_t*>(std::malloc(static_cast<size_t>(w) * static_cast<size_t>(h) * 4));
        if (!s->own) {
            PlatReleaseSurface(s);
            return nullptr;
        }
    }
    s->pixels = s->own ? s->own : reinterpret_cast<uint32_t*>(s->image->data);
    s->width = w;
    s->height = h;
    s->redShift = MaskShift(s->image->red_mask);
    s->greenShift = MaskShift(s->image->green_mask);
    s->blueShift = MaskShift(s->image->blue_mask);
    s->tenBits = x->depth == 30;
    s->opaque = x->depth == 32 ? ~static_cast<uint32_t>(s->image->red_mask | s->image->green_mask | s->image->blue_mask) : 0;
    const uint32_t black = PixelOf(s, 0);
    for (size_t i = 0; i < static_cast<size_t>(w) * static_cast<size_t>(h); i++)
        s->pixels[i] = black;  // a fresh surface is black (all zero unless there are alpha bits)
    s->gc = XCreateGC(s->display, s->window, 0, nullptr);
    return s;
}

void PlatReleaseSurface(OffscreenSurface* s)
{
    if (!s->image)
        return;
    if (s->gc)
        XFreeGC(s->display, s->gc);
    if (s->shm.shmid >= 0) {
        XShmDetach(s->display, &s->shm);
        XSync(s->display, False);
        shmdt(s->shm.shmaddr);
        s->image->data = nullptr;
    }
    XDestroyImage(s->image);  // frees the plain image's pixels too
    std::free(s->own);
    *s = OffscreenSurface{};
}

SurfaceBrush PlatCreateBlackBrush()
{
    return PixelsBrush(0);
}

void PlatReleaseBrush(SurfaceBrush)
{
}

int32_t SurfaceWidth(const OffscreenSurface* s)
{
    return s ? s->width : 0;
}

int32_t SurfaceHeight(const OffscreenSurface* s)
{
    return s ? s->height : 0;
}

static PixelBuffer Buffer(OffscreenSurface* s)
{
    return PixelBuffer{s->pixels, s->width, s->height};
}

void SurfaceFill(OffscreenSurface* s, const SurfaceRect* r, SurfaceBrush brush)
{
    if (s && brush)
        PixelsFill(Buffer(s), r, PixelOf(s, PixelsBrushColour(brush)));
}

void SurfaceSetPixel(OffscreenSurface* s, int32_t x, int32_t y, Colour c)
{
    if (s)
        PixelsSet(Buffer(s), x, y, PixelOf(s, c));
}

void SurfaceSetPixels(OffscreenSurface* s, const uint32_t* indices, uint32_t n, Colour c)
{
    if (s)
        PixelsSetMany(Buffer(s), indices, n, PixelOf(s, c));
}

// The picture into the image, each pixel a zoom x zoom block: the first
// row of each block is widened, the others are copies of it.
static void Magnify(OffscreenSurface* s)
{
    const size_t zoom = static_cast<size_t>(s->zoom), width = static_cast<size_t>(s->width);
    const size_t stride = static_cast<size_t>(s->image->bytes_per_line);
    for (size_t y = 0; y < static_cast<size_t>(s->height); y++) {
        const uint32_t* from = s->pixels + y * width;
        char* first = s->image->data + y * zoom * stride;
        uint32_t* to = reinterpret_cast<uint32_t*>(first);
        for (size_t x = 0; x < width; x++)
            for (size_t k = 0; k < zoom; k++)
                *to++ = from[x];
        for (size_t k = 1; k < zoom; k++)
            std::memcpy(first + k * stride, first, width * zoom * 4);
    }
}

void SurfaceCopyToWindow(OffscreenSurface* s, SaverWindow)
{
    if (!s)
        return;
    if (s->own)
        Magnify(s);
    const unsigned w = static_cast<unsigned>(s->image->width), h = static_cast<unsigned>(s->image->height);
    if (s->shm.shmid >= 0) {
        XShmPutImage(s->display, s->window, s->gc, s->image, 0, 0, 0, 0, w, h, False);
        XSync(s->display, False);  // the server has read the pixels before they change again
    } else {
        XPutImage(s->display, s->window, s->gc, s->image, 0, 0, 0, 0, w, h);
        XFlush(s->display);
    }
}
