// surface_x11.cpp - the off-screen surface on X11: an XImage of 32-bit
// pixels in the window's own format, in a shared memory segment when the
// X server offers MIT-SHM (XShmPutImage), else in ordinary memory
// (XPutImage). Each frame reaches the window in one image copy.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>

#include "animation/platform_x11.h"
#include "engine/pixel_buffer.h"

struct OffscreenSurface {
    XImage* image;
    XShmSegmentInfo shm;   // shmid -1 when the image is in ordinary memory
    GC gc;
    uint32_t* pixels;      // image->data, row-major, width pixels per row
    int32_t width, height;
    int redShift, greenShift, blueShift;
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

// The pixel for a Colour (0x00BBGGRR) in the visual's layout.
static uint32_t PixelOf(const OffscreenSurface* s, Colour c)
{
    return (c & 0xFFu) << s->redShift | (c >> 8 & 0xFFu) << s->greenShift | (c >> 16 & 0xFFu) << s->blueShift |
           s->opaque;
}

static bool g_attachFailed;
static int AttachFailed(Display*, XErrorEvent*)
{
    g_attachFailed = true;
    return 0;
}

// A shared image of w x h, attached on both sides; false if the server
// cannot share (a remote display, no extension, no segment to spare).
static bool CreateSharedImage(OffscreenSurface* s, int32_t w, int32_t h)
{
    if (!XShmQueryExtension(X11.display))
        return false;
    s->image = XShmCreateImage(X11.display, X11.visual, static_cast<unsigned>(X11.depth), ZPixmap, nullptr, &s->shm,
                               static_cast<unsigned>(w), static_cast<unsigned>(h));
    if (!s->image)
        return false;
    const size_t bytes = static_cast<size_t>(s->image->bytes_per_line) * static_cast<size_t>(h);
    s->shm.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (s->shm.shmid >= 0) {
        s->shm.shmaddr = s->image->data = static_cast<char*>(shmat(s->shm.shmid, nullptr, 0));
        s->shm.readOnly = False;
        if (s->shm.shmaddr != reinterpret_cast<char*>(-1)) {
            XSync(X11.display, False);
            g_attachFailed = false;
            XErrorHandler previous = XSetErrorHandler(AttachFailed);
            const Status attached = XShmAttach(X11.display, &s->shm);
            XSync(X11.display, False);
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

static bool CreatePlainImage(OffscreenSurface* s, int32_t w, int32_t h)
{
    char* data = static_cast<char*>(std::calloc(static_cast<size_t>(w) * static_cast<size_t>(h), 4));
    if (!data)
        return false;
    s->image = XCreateImage(X11.display, X11.visual, static_cast<unsigned>(X11.depth), ZPixmap, 0, data,
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

OffscreenSurface* PlatCreateSurface(SaverWindow, SurfaceRect* clientRect)
{
    OffscreenSurface* s = &g_surface;
    *s = OffscreenSurface{};
    s->shm.shmid = -1;
    const int32_t w = X11.width, h = X11.height;
    *clientRect = SurfaceRect{0, 0, w, h};
    if (w <= 0 || h <= 0 || static_cast<uint64_t>(w) * static_cast<uint64_t>(h) >= 0xFFFFFFFFu)
        return nullptr;
    if (!CreateSharedImage(s, w, h) && !CreatePlainImage(s, w, h))
        return nullptr;
    s->pixels = reinterpret_cast<uint32_t*>(s->image->data);
    s->width = w;
    s->height = h;
    s->redShift = MaskShift(s->image->red_mask);
    s->greenShift = MaskShift(s->image->green_mask);
    s->blueShift = MaskShift(s->image->blue_mask);
    s->opaque = X11.depth == 32 ? ~static_cast<uint32_t>(s->image->red_mask | s->image->green_mask | s->image->blue_mask) : 0;
    const uint32_t black = PixelOf(s, 0);
    for (size_t i = 0; i < static_cast<size_t>(w) * static_cast<size_t>(h); i++)
        s->pixels[i] = black;  // a fresh surface is black (all zero unless there are alpha bits)
    s->gc = XCreateGC(X11.display, X11.window, 0, nullptr);
    return s;
}

void PlatReleaseSurface(OffscreenSurface* s)
{
    if (!s->image)
        return;
    if (s->gc)
        XFreeGC(X11.display, s->gc);
    if (s->shm.shmid >= 0) {
        XShmDetach(X11.display, &s->shm);
        XSync(X11.display, False);
        shmdt(s->shm.shmaddr);
        s->image->data = nullptr;
    }
    XDestroyImage(s->image);  // frees the plain image's pixels too
    *s = OffscreenSurface{};
}

// The brush is the colour itself, carried in the pointer's bits.
SurfaceBrush PlatCreateBlackBrush()
{
    return reinterpret_cast<SurfaceBrush>(static_cast<uintptr_t>(1));
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
        PixelsFill(Buffer(s), r, PixelOf(s, static_cast<Colour>(reinterpret_cast<uintptr_t>(brush) - 1)));
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

void SurfaceCopyToWindow(OffscreenSurface* s, SaverWindow)
{
    if (!s)
        return;
    const unsigned w = static_cast<unsigned>(s->width), h = static_cast<unsigned>(s->height);
    if (s->shm.shmid >= 0) {
        XShmPutImage(X11.display, X11.window, s->gc, s->image, 0, 0, 0, 0, w, h, False);
        XSync(X11.display, False);  // the server has read the pixels before they change again
    } else {
        XPutImage(X11.display, X11.window, s->gc, s->image, 0, 0, 0, 0, w, h);
        XFlush(X11.display);
    }
}
