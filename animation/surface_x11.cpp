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

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "animation/platform_x11.h"
#include "settings/zoom.h"

// The surface's pixels are the picture; the rest is the X side of it.
struct X11Surface {
    OffscreenSurface surface;  // first: the controller holds a pointer to it
    Display* display;
    Window window;
    XImage* image;         // the magnified picture, as the window gets it
    XShmSegmentInfo shm;   // shmid -1 when the image is in ordinary memory
    GC gc;
    uint32_t* own;         // the picture's own memory at zoom > 1 (else null: the pixels are the image's)
    int32_t zoom;
};

static int MaskShift(unsigned long mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        shift++;
    }
    return shift;
}

static bool Attach(void* context)
{
    X11Surface* s = static_cast<X11Surface*>(context);
    return XShmAttach(s->display, &s->shm) != 0;
}

// A shared image of w x h, attached on both sides; false if the server
// cannot share (a remote display, no extension, no segment to spare).
static bool CreateSharedImage(X11Surface* s, const X11PlatformRecord* x, int32_t w, int32_t h)
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
            const bool attached = X11Trap(x->display, Attach, s);
            // Marked for removal now: the segment goes when both sides
            // detach, however the process ends.
            shmctl(s->shm.shmid, IPC_RMID, nullptr);
            if (attached)
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

static bool CreatePlainImage(X11Surface* s, const X11PlatformRecord* x, int32_t w, int32_t h)
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

static void Release(X11Surface* s)
{
    if (s->image) {
        if (s->gc)
            XFreeGC(s->display, s->gc);
        if (s->shm.shmid >= 0) {
            XShmDetach(s->display, &s->shm);
            XSync(s->display, False);
            shmdt(s->shm.shmaddr);
            s->image->data = nullptr;
        }
        XDestroyImage(s->image);  // frees the plain image's pixels too
    }
    std::free(s->own);
    std::free(s);
}

static_assert(std::is_standard_layout_v<X11Surface> && offsetof(X11Surface, surface) == 0);
static_assert(std::is_standard_layout_v<X11PlatformRecord> && offsetof(X11PlatformRecord, common) == 0);

static X11Surface* Container(OffscreenSurface* surface)
{
    return reinterpret_cast<X11Surface*>(surface);  // its first member
}

// The picture into the image, each pixel a zoom x zoom block: the first
// row of each block is widened, the others are copies of it.
static void Magnify(X11Surface* s)
{
    const size_t zoom = static_cast<size_t>(s->zoom), width = static_cast<size_t>(s->surface.width);
    const size_t stride = static_cast<size_t>(s->image->bytes_per_line);
    for (size_t y = 0; y < static_cast<size_t>(s->surface.height); y++) {
        const uint32_t* from = s->surface.pixels + y * width;
        char* first = s->image->data + y * zoom * stride;
        uint32_t* to = reinterpret_cast<uint32_t*>(first);
        for (size_t x = 0; x < width; x++)
            for (size_t k = 0; k < zoom; k++)
                *to++ = from[x];
        for (size_t k = 1; k < zoom; k++)
            std::memcpy(first + k * stride, first, width * zoom * 4);
    }
}

static void Present(OffscreenSurface* surface)
{
    X11Surface* s = Container(surface);
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

static int32_t AtMost(int32_t value, int32_t limit)
{
    return limit > 0 && value > limit ? limit : value;
}

OffscreenSurface* X11CreateSurface(LinuxWindowRecord* window, SurfaceRect* clientRect)
{
    const X11PlatformRecord* x = reinterpret_cast<const X11PlatformRecord*>(window);  // its first member
    const int32_t shownW = AtMost(x->width, x->screenWidth), shownH = AtMost(x->height, x->screenHeight);
    const int32_t zoom = PictureZoom(x->zoom, shownW, shownH);
    *clientRect = SurfaceRect{0, 0, 0, 0};
    if (shownW <= 0 || shownH <= 0 || static_cast<uint64_t>(shownW) * static_cast<uint64_t>(shownH) >= 0xFFFFFFFFu)
        return nullptr;
    const int32_t w = shownW / zoom, h = shownH / zoom;
    *clientRect = SurfaceRect{0, 0, w, h};
    X11Surface* s = static_cast<X11Surface*>(std::calloc(1, sizeof(X11Surface)));
    if (!s)
        return nullptr;
    s->shm.shmid = -1;
    s->display = x->display;
    s->window = x->window;
    s->zoom = zoom;
    if (!CreateSharedImage(s, x, w * zoom, h * zoom) && !CreatePlainImage(s, x, w * zoom, h * zoom)) {
        Release(s);
        return nullptr;
    }
    if (zoom > 1) {
        s->own = static_cast<uint32_t*>(std::malloc(static_cast<size_t>(w) * static_cast<size_t>(h) * 4));
        if (!s->own) {
            Release(s);
            return nullptr;
        }
    }
    const unsigned long r = s->image->red_mask, g = s->image->green_mask, b = s->image->blue_mask;
    OffscreenSurface& p = s->surface;
    p.pixels = s->own ? s->own : reinterpret_cast<uint32_t*>(s->image->data);
    p.width = w;
    p.height = h;
    p.format = PixelFormat{MaskShift(r), MaskShift(g), MaskShift(b), x->depth == 30,
                           x->depth == 32 ? ~static_cast<uint32_t>(r | g | b) : 0u};
    p.present = Present;
    p.owner = window;
    const SurfaceRect all = {0, 0, w, h};
    SurfaceFill(&p, &all, 0);  // a fresh surface is black (all zero unless there are alpha bits)
    s->gc = XCreateGC(s->display, s->window, 0, nullptr);
    return &p;
}

void X11ReleaseSurface(OffscreenSurface* surface)
{
    Release(Container(surface));
}
