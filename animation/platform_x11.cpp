// platform_x11.cpp - the connection's error handling, the visual check and
// the pictures attached to the connection, for the animation controller on
// X11 (see platform_x11.h).
#include "animation/platform_x11.h"

#include <X11/Xutil.h>

#include <cstdio>
#include <unistd.h>


X11ConnectionRecord X11Connection = {};

void X11Attach(X11PlatformRecord* x)
{
    x->common.createSurface = X11CreateSurface;
    x->common.releaseSurface = X11ReleaseSurface;
    x->next = X11Connection.pictures;
    X11Connection.pictures = x;
}

void X11Detach(X11PlatformRecord* x)
{
    for (X11PlatformRecord** p = &X11Connection.pictures; *p; p = &(*p)->next)
        if (*p == x) {
            *p = x->next;
            break;
        }
    x->next = nullptr;
}

static int RecordXError(Display* d, XErrorEvent* e)
{
    // A request on a window after it was destroyed: the window is gone.
    bool named = false;
    if (e->error_code == BadWindow || e->error_code == BadDrawable)
        for (X11PlatformRecord* x = X11Connection.pictures; x; x = x->next)
            if (e->resourceid == x->window) {
                x->windowGone = true;
                named = true;
            }
    if (named)
        return 0;
    // Anything else is reported, at most once a second, with a count of
    // those not shown in between.
    X11ConnectionRecord& c = X11Connection;
    const uint64_t now = LinuxNowMs();
    if (c.shownOnce && now - c.lastShown < 1000) {
        c.hidden++;
        return 0;
    }
    char text[128] = "";
    XGetErrorText(d, e->error_code, text, sizeof text);
    std::fprintf(stderr, "zorvane: X error: %s (request %u.%u, resource 0x%lx)", text, e->request_code,
                 e->minor_code, e->resourceid);
    if (c.hidden)
        std::fprintf(stderr, "; %lu more not shown", c.hidden);
    std::fputc('\n', stderr);
    c.shownOnce = true;
    c.lastShown = now;
    c.hidden = 0;
    return 0;
}

static int Trapped(Display*, XErrorEvent*)
{
    X11Connection.trapped = true;
    return 0;
}

bool X11Trap(Display* d, bool (*request)(void* context), void* context)
{
    XSync(d, False);
    X11Connection.trapped = false;
    XErrorHandler previous = XSetErrorHandler(Trapped);
    const bool sent = request(context);
    XSync(d, False);
    XSetErrorHandler(previous);
    return sent && !X11Connection.trapped;
}

static int DisplayLost(Display*)
{
    // Xlib cannot go on after this; end here, in one line, without a crash.
    static const char text[] = "zorvane: lost the connection to the X display\n";
    ssize_t ignored = write(2, text, sizeof text - 1);
    (void)ignored;
    _exit(1);
}

void X11InstallErrorHandlers()
{
    XSetErrorHandler(RecordXError);
    XSetIOErrorHandler(DisplayLost);
}

// The number of bits in mask if they are one run (0x3FF00000: 10), else 0.
static int RunOfBits(unsigned long mask)
{
    while (mask && !(mask & 1))
        mask >>= 1;
    int bits = 0;
    for (; mask & 1; mask >>= 1)
        bits++;
    return mask ? 0 : bits;
}

bool X11CheckVisual(const X11PlatformRecord* x, std::string* error)
{
    XVisualInfo info = {};
    info.visualid = XVisualIDFromVisual(x->visual);
    int n = 0;
    XVisualInfo* found = XGetVisualInfo(x->display, VisualIDMask, &info, &n);
    bool ok = false;
    if (found && n > 0) {
        const XVisualInfo& v = found[0];
        const int bits = RunOfBits(v.red_mask);
        const bool channels = (bits == 8 || bits == 10) && RunOfBits(v.green_mask) == bits &&
                              RunOfBits(v.blue_mask) == bits &&
                              (v.red_mask & v.green_mask) == 0 && ((v.red_mask | v.green_mask) & v.blue_mask) == 0;
        ok = v.c_class == TrueColor && channels &&
             (bits == 8 ? (v.depth == 24 || v.depth == 32) : v.depth == 30);
    }
    // The pixels are 32 bits each: the depth's pixmap format must say so.
    int formats = 0;
    XPixmapFormatValues* f = XListPixmapFormats(x->display, &formats);
    bool thirtyTwo = false;
    for (int i = 0; i < formats; i++)
        if (f[i].depth == x->depth && f[i].bits_per_pixel == 32)
            thirtyTwo = true;
    if (f)
        XFree(f);
    if (found)
        XFree(found);
    if (!ok || !thirtyTwo) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "the window's visual (0x%lx, depth %d) is not TrueColor of depth 24, 30 or 32",
                      static_cast<unsigned long>(XVisualIDFromVisual(x->visual)), x->depth);
        *error = text;
        return false;
    }
    return true;
}
