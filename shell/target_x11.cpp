// target_x11.cpp - see target_x11.h.
#include "shell/target_x11.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "animation/platform_x11.h"

X11TargetRecord X11Target = {};

static std::string Hex(unsigned long id)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%lx", id);
    return text;
}

// A window that exists, with its visual and size; false if it does not.
static bool UseWindow(Window w, std::string* error)
{
    XWindowAttributes a = {};
    X11.window = w;
    X11.windowGone = false;
    const Status ok = XGetWindowAttributes(X11.display, w, &a);
    XSync(X11.display, False);
    if (!ok || X11.windowGone) {
        *error = "there is no window " + Hex(w);
        return false;
    }
    X11.visual = a.visual;
    X11.depth = a.depth;
    X11.width = a.width;
    X11.height = a.height;
    return true;
}

// A window of our own, black, on the default visual.
static bool CreateWindow(bool fullscreen, std::string* error)
{
    Display* d = X11.display;
    const int screen = DefaultScreen(d);
    X11.visual = DefaultVisual(d, screen);
    X11.depth = DefaultDepth(d, screen);
    if (!X11CheckVisual(error))
        return false;
    const int screenW = DisplayWidth(d, screen), screenH = DisplayHeight(d, screen);
    const int w = fullscreen ? screenW : (screenW < 1024 ? screenW : 1024);
    const int h = fullscreen ? screenH : (screenH < 768 ? screenH : 768);
    XSetWindowAttributes a = {};
    a.background_pixel = BlackPixel(d, screen);
    a.override_redirect = fullscreen ? True : False;
    a.event_mask = StructureNotifyMask | KeyPressMask |
                   (fullscreen ? (PointerMotionMask | ButtonPressMask) : 0);
    X11.window = XCreateWindow(d, RootWindow(d, screen), 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h), 0,
                               X11.depth, InputOutput, X11.visual, CWBackPixel | CWOverrideRedirect | CWEventMask, &a);
    X11.width = w;
    X11.height = h;
    X11Target.own = true;

    XClassHint hint = {const_cast<char*>("zorvane"), const_cast<char*>("Zorvane")};
    XSetClassHint(d, X11.window, &hint);
    XStoreName(d, X11.window, "Zorvane");
    const char title[] = "Zorvane";
    XChangeProperty(d, X11.window, XInternAtom(d, "_NET_WM_NAME", False), XInternAtom(d, "UTF8_STRING", False), 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(title), sizeof title - 1);
    if (fullscreen) {
        // An invisible cursor over the whole screen.
        static const char bits[1] = {0};
        Pixmap blank = XCreateBitmapFromData(d, X11.window, bits, 1, 1);
        XColor black = {};
        X11Target.cursor = XCreatePixmapCursor(d, blank, blank, &black, &black, 0, 0);
        XFreePixmap(d, blank);
        XDefineCursor(d, X11.window, X11Target.cursor);
    } else {
        Atom del = XInternAtom(d, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(d, X11.window, &del, 1);
        X11Target.deleteAtom = del;
    }
    XMapRaised(d, X11.window);
    XSync(d, False);
    if (fullscreen) {
        // Keys come to the saver whatever the window manager's focus.
        XGrabKeyboard(d, X11.window, True, GrabModeAsync, GrabModeAsync, CurrentTime);
        XSetInputFocus(d, X11.window, RevertToParent, CurrentTime);
    }
    return true;
}

bool X11OpenTarget(const SaverOptions* o, std::string* error)
{
    X11Target = X11TargetRecord{};
    X11Target.target = o->target;
    Window w = 0;
    switch (o->target) {
    case SaverTarget::Window:
        return CreateWindow(false, error);
    case SaverTarget::Fullscreen:
        return CreateWindow(true, error);
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
            w = DefaultRootWindow(X11.display);
        }
        break;
    }
    case SaverTarget::WindowId:
        w = o->windowId;
        break;
    }
    if (!UseWindow(w, error) || !X11CheckVisual(error))
        return false;
    // Only its size and its end are of interest: no input is taken.
    XSelectInput(X11.display, w, StructureNotifyMask);
    XSync(X11.display, False);
    if (X11.windowGone) {
        *error = "there is no window " + Hex(w);
        return false;
    }
    return true;
}

void X11CloseTarget()
{
    Display* d = X11.display;
    if (!X11Target.own || !d)
        return;
    if (X11Target.target == SaverTarget::Fullscreen)
        XUngrabKeyboard(d, CurrentTime);
    if (!X11.windowGone)
        XDestroyWindow(d, X11.window);
    if (X11Target.cursor)
        XFreeCursor(d, X11Target.cursor);
    X11Target = X11TargetRecord{};
}
