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
    X11.screenWidth = WidthOfScreen(a.screen);
    X11.screenHeight = HeightOfScreen(a.screen);
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
static bool CreateWindow(bool fullscreen, std::string* error)
{
    Display* d = X11.display;
    const int screen = DefaultScreen(d);
    X11.visual = DefaultVisual(d, screen);
    X11.depth = DefaultDepth(d, screen);
    if (!X11CheckVisual(&X11, error))
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
    X11.screenWidth = screenW;
    X11.screenHeight = screenH;
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
        X11Target.protocolsAtom = XInternAtom(d, "WM_PROTOCOLS", False);
    }
    XMapRaised(d, X11.window);
    XSync(d, False);
    if (fullscreen)
        GrabInput(d, X11.window, X11Target.cursor);
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
    if (!UseWindow(w, error) || !X11CheckVisual(&X11, error))
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
    if (X11Target.target == SaverTarget::Fullscreen) {
        XUngrabKeyboard(d, CurrentTime);
        XUngrabPointer(d, CurrentTime);
    }
    if (!X11.windowGone)
        XDestroyWindow(d, X11.window);
    if (X11Target.cursor)
        XFreeCursor(d, X11Target.cursor);
    X11Target = X11TargetRecord{};
}
