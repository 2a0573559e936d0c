// target_x11.cpp - see target_x11.h.
#include "shell/target_x11.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "animation/platform_x11.h"

static std::string Hex(unsigned long id)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%lx", id);
    return text;
}

// A window that exists, with its visual and size; false if it does not.
static bool UseWindow(X11PlatformRecord* x, Window w, std::string* error)
{
    XWindowAttributes a = {};
    x->window = w;
    x->windowGone = false;
    const Status ok = XGetWindowAttributes(x->display, w, &a);
    XSync(x->display, False);
    if (!ok || x->windowGone) {
        *error = "there is no window " + Hex(w);
        return false;
    }
    x->visual = a.visual;
    x->depth = a.depth;
    x->width = a.width;
    x->height = a.height;
    x->screenWidth = WidthOfScreen(a.screen);
    x->screenHeight = HeightOfScreen(a.screen);
    return true;
}

// --fullscreen: keys and the pointer come to the saver whatever the window
// manager's focus. Another client may hold a grab for a moment (a menu, a
// drag), so each grab is tried for up to a second; without it the saver
// still runs, on the events its window gets.
static void GrabInput(Display* d, Window w, Cursor cursor)
{
    bool keyboard = false, pointer = false;
    for (int attempt = 0; attempt < 20 && !(keyboard && pointer); attempt++) {
        if (attempt)
            usleep(50000);
        if (!keyboard)
            keyboard = XGrabKeyboard(d, w, True, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
        if (!pointer)
            pointer = XGrabPointer(d, w, True, PointerMotionMask | ButtonPressMask, GrabModeAsync, GrabModeAsync, w,
                                   cursor, CurrentTime) == GrabSuccess;
    }
    if (!keyboard)
        std::fprintf(stderr, "zorvane: could not grab the keyboard\n");
    if (!pointer)
        std::fprintf(stderr, "zorvane: could not grab the pointer\n");
    XSetInputFocus(d, w, RevertToParent, CurrentTime);
    XSync(d, False);
}

// A window of our own, black, on the default visual.
static bool CreateWindow(X11PlatformRecord* x, X11TargetRecord* t, bool fullscreen, std::string* error)
{
    Display* d = x->display;
    const int screen = DefaultScreen(d);
    x->visual = DefaultVisual(d, screen);
    x->depth = DefaultDepth(d, screen);
    if (!X11CheckVisual(x, error))
        return false;
    const int screenW = DisplayWidth(d, screen), screenH = DisplayHeight(d, screen);
    const int w = fullscreen ? screenW : (screenW < 1024 ? screenW : 1024);
    const int h = fullscreen ? screenH : (screenH < 768 ? screenH : 768);
    XSetWindowAttributes a = {};
    a.background_pixel = BlackPixel(d, screen);
    a.override_redirect = fullscreen ? True : False;
    a.event_mask = StructureNotifyMask | KeyPressMask |
                   (fullscreen ? (PointerMotionMask | ButtonPressMask) : 0);
    x->window = XCreateWindow(d, RootWindow(d, screen), 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h), 0,
                               x->depth, InputOutput, x->visual, CWBackPixel | CWOverrideRedirect | CWEventMask, &a);
    x->width = w;
    x->height = h;
    x->screenWidth = screenW;
    x->screenHeight = screenH;
    t->own = true;

    XClassHint hint = {const_cast<char*>("zorvane"), const_cast<char*>("Zorvane")};
    XSetClassHint(d, x->window, &hint);
    XStoreName(d, x->window, "Zorvane");
    const char title[] = "Zorvane";
    XChangeProperty(d, x->window, XInternAtom(d, "_NET_WM_NAME", False), XInternAtom(d, "UTF8_STRING", False), 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(title), sizeof title - 1);
    if (fullscreen) {
        // An invisible cursor over the whole screen.
        static const char bits[1] = {0};
        Pixmap blank = XCreateBitmapFromData(d, x->window, bits, 1, 1);
        XColor black = {};
        t->cursor = XCreatePixmapCursor(d, blank, blank, &black, &black, 0, 0);
        XFreePixmap(d, blank);
        XDefineCursor(d, x->window, t->cursor);
    } else {
        Atom del = XInternAtom(d, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(d, x->window, &del, 1);
        t->deleteAtom = del;
        t->protocolsAtom = XInternAtom(d, "WM_PROTOCOLS", False);
    }
    XMapRaised(d, x->window);
    XSync(d, False);
    if (fullscreen)
        GrabInput(d, x->window, t->cursor);
    return true;
}

bool X11OpenTarget(const SaverOptions* o, X11PlatformRecord* x, X11TargetRecord* t, std::string* error)
{
    *t = X11TargetRecord{};
    t->target = o->target;
    Window w = 0;
    switch (o->target) {
    case SaverTarget::Window:
        return CreateWindow(x, t, false, error);
    case SaverTarget::Fullscreen:
        return CreateWindow(x, t, true, error);
    case SaverTarget::Root: {
        const char* env = std::getenv("XSCREENSAVER_WINDOW");
        uint32_t id = 0;
        if (env && *env) {
            if (!ParseWindowId(env, &id)) {
                *error = "XSCREENSAVER_WINDOW is not a window id";
                return false;
            }
            w = id;
        } else {
            w = DefaultRootWindow(x->display);
        }
        break;
    }
    case SaverTarget::WindowId:
        w = o->windowId;
        break;
    }
    if (!UseWindow(x, w, error) || !X11CheckVisual(x, error))
        return false;
    // Only its size and its end are of interest: no input is taken.
    XSelectInput(x->display, w, StructureNotifyMask);
    XSync(x->display, False);
    if (x->windowGone) {
        *error = "there is no window " + Hex(w);
        return false;
    }
    return true;
}

void X11CloseTarget(X11PlatformRecord* x, X11TargetRecord* t)
{
    Display* d = x->display;
    if (!t->own || !d)
        return;
    if (t->target == SaverTarget::Fullscreen) {
        XUngrabKeyboard(d, CurrentTime);
        XUngrabPointer(d, CurrentTime);
    }
    if (!x->windowGone)
        XDestroyWindow(d, x->window);
    if (t->cursor)
        XFreeCursor(d, t->cursor);
    *t = X11TargetRecord{};
}
