// main_x11.cpp - the zorvane saver on X11: standalone in a window or
// full-screen, or as a hack drawing into a window it is given (--root,
// --window-id), as XScreenSaver runs its hacks.
//
//   zorvane --fullscreen --points 100000 --blank 1
//
// One thread and one loop: it waits in poll() on the X connection and a
// signal pipe, at most until the next timer is due, and runs the same
// controller as the Windows saver. Every turn looks at the signal pipe and
// at the events Xlib already holds before it runs a timer, so frames that
// take longer than their period never hold back a signal or an event.
// --fullscreen's pictures, one per monitor with seeds S, S+1, ..., share
// the loop: each turn runs the timer due first over all of them. While a
// window is unmapped its picture draws nothing; with none drawing, the
// loop sleeps in poll().
// Exit status: 0 after a normal end (SIGTERM, SIGINT, SIGHUP, the window
// closed, input in --fullscreen), 1 after a start-up failure or when the
// window or the display goes away, 2 for bad options.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "animation/controller.h"
#include "animation/platform_x11.h"
#include "shell/monitors_x11.h"
#include "shell/pointer_rule.h"
#include "shell/savers_linux.h"
#include "shell/signal_pipe.h"
#include "shell/target_x11.h"

// One picture: its window and its saver record.
struct Picture {
    X11PlatformRecord x;
    SaverRecord saver;
    bool resize;            // a new size arrived
    int32_t newWidth, newHeight;
    bool hidden;            // the window is unmapped (iconified): no drawing
};

struct LoopRecord {
    std::vector<Picture>* pictures;
    const X11TargetRecord* target;
    bool end;               // leave the loop
    int status;             // exit status then
    PointerWatch pointer;   // --fullscreen: where the pointer started, in the root window
    const SaverWatch* watch;  // the caller's descriptor, or null
};

static void End(LoopRecord* loop, int status)
{
    loop->end = true;
    loop->status = status;
}

// The close rules of --fullscreen, as the Windows saver has them.
static void PointerAt(LoopRecord* loop, int x, int y)
{
    if (PointerWatchMovedTooFar(&loop->pointer, x, y))
        End(loop, 0);
}

static void HandleEvent(LoopRecord* loop, const XEvent& e)
{
    const X11TargetRecord* target = loop->target;
    Picture* p = nullptr;
    for (Picture& each : *loop->pictures)
        if (e.xany.window == each.x.window)
            p = &each;
    if (!p)
        return;
    const bool fullscreen = target->own && target->target == SaverTarget::Fullscreen;
    switch (e.type) {
    case ConfigureNotify:
        p->resize = true;
        p->newWidth = e.xconfigure.width;
        p->newHeight = e.xconfigure.height;
        break;
    case DestroyNotify:
        p->x.windowGone = true;
        break;
    case UnmapNotify:
        p->hidden = true;
        break;
    case MapNotify:
        p->hidden = false;
        break;
    case ClientMessage:
        if (target->deleteAtom && e.xclient.message_type == target->protocolsAtom &&
            static_cast<unsigned long>(e.xclient.data.l[0]) == target->deleteAtom)
            End(loop, 0);
        break;
    case KeyPress:
        if (fullscreen) {
            End(loop, 0);
        } else if (target->own) {
            XKeyEvent key = e.xkey;
            const KeySym sym = XLookupKeysym(&key, 0);
            if (sym == XK_q || sym == XK_Escape)
                End(loop, 0);
        }
        break;
    case ButtonPress:
        if (fullscreen)
            End(loop, 0);
        break;
    case MotionNotify:
        if (fullscreen)
            PointerAt(loop, e.xmotion.x_root, e.xmotion.y_root);
        break;
    default:
        break;
    }
}

// Ends the loop when a picture asked to quit or lost its window.
static void CheckPictures(LoopRecord* loop)
{
    for (Picture& p : *loop->pictures) {
        if (p.x.common.quit)
            End(loop, p.x.common.quitCode != 0 ? 1 : 0);
        if (p.x.windowGone) {
            std::fprintf(stderr, "zorvane: the window 0x%lx is gone\n", p.x.window);
            End(loop, 1);
        }
    }
}

static int RunLoop(LoopRecord* loop)
{
    Display* d = X11Connection.display;
    const int xfd = ConnectionNumber(d);
    while (!loop->end) {
        while (!loop->end && XPending(d) > 0) {
            XEvent e;
            XNextEvent(d, &e);
            HandleEvent(loop, e);
        }
        if (EndSignalled())
            End(loop, 0);
        CheckPictures(loop);
        if (loop->end)
            break;
        // The timer due first, over every picture that is shown.
        SaverRecord* next = nullptr;
        unsigned id = 0;
        uint64_t due = 0;
        for (Picture& p : *loop->pictures) {
            if (p.resize && (p.newWidth != p.x.width || p.newHeight != p.x.height)) {
                p.x.width = p.newWidth;
                p.x.height = p.newHeight;
                SaverResize(&p.saver);
            }
            p.resize = false;
            uint64_t when = 0;
            const unsigned which = p.hidden ? 0 : LinuxNextDue(&p.saver, &when);
            if (which && (!id || when < due)) {
                next = &p.saver;
                id = which;
                due = when;
            }
        }
        const uint64_t now = LinuxNowMs();
        if (id && due <= now) {
            LinuxRunTimer(next, id);
            continue;
        }
        const uint64_t wait = id ? due - now : UINT64_MAX;
        const SaverWatch* watch = loop->watch;
        pollfd fds[3] = {{xfd, POLLIN, 0}, {EndSignalFd(), POLLIN, 0}, {watch ? watch->fd : -1, POLLIN, 0}};
        const int timeout = wait > INT_MAX ? (id ? INT_MAX : -1) : static_cast<int>(wait);
        if (poll(fds, 3, timeout) < 0 && errno != EINTR)
            End(loop, 1);
        if (watch && fds[2].revents && watch->ready(watch->context))
            End(loop, 0);
    }
    return loop->status;
}

// Starts the pictures in their open windows, runs the loop and tears them
// down; the exit status.
static int RunPictures(const SaverOptions* o, std::vector<Picture>* pictures, X11TargetRecord* target,
                       const SaverWatch* watch)
{
    LoopRecord loop = {};
    loop.watch = watch;
    loop.pictures = pictures;
    loop.target = target;
    X11PlatformRecord* first = &(*pictures)[0].x;
    if (o->target == SaverTarget::Fullscreen) {
        X11GrabInput(first, target);
        // The first position seen is where the pointer is now.
        Window root, child;
        int px, py, wx, wy;
        unsigned mask;
        if (XQueryPointer(first->display, first->window, &root, &child, &px, &py, &wx, &wy, &mask))
            PointerAt(&loop, px, py);
    }
    for (Picture& p : *pictures) {
        SaverInit(&p.saver, &p.x);
        p.saver.Settings = o->settings;
    }
    // A start-up failure is shown once: the pictures after it are not started.
    for (Picture& p : *pictures) {
        SaverStart(&p.saver);
        if (p.x.common.quit)
            break;
    }
    const int status = RunLoop(&loop);
    for (Picture& p : *pictures)
        SaverTeardown(&p.saver);
    return status;
}

int RunX11Saver(const SaverOptions* options, const SaverWatch* watch)
{
    const SaverOptions& o = *options;
    std::string error;
    X11Connection.display = XOpenDisplay(nullptr);
    if (!X11Connection.display) {
        std::fprintf(stderr, "zorvane: cannot open the display '%s'\n", XDisplayName(nullptr));
        return 1;
    }
    X11InstallErrorHandlers();
    Display* d = X11Connection.display;
    // --fullscreen: a picture per monitor; otherwise one, in the one window.
    const bool fullscreen = o.target == SaverTarget::Fullscreen;
    const std::vector<MonitorRect> monitors = fullscreen ? X11ListMonitors(d) : std::vector<MonitorRect>(1);
    std::vector<Picture> pictures(monitors.size());
    X11TargetRecord target = {};
    bool opened = true;
    for (size_t i = 0; i < pictures.size() && opened; i++) {
        X11PlatformRecord& x = pictures[i].x;
        x.display = d;
        x.common.seed = o.seed + static_cast<uint32_t>(i);
        x.zoom = o.zoom;
        X11Attach(&x);
        opened = X11OpenTarget(&o, &monitors[i], &x, &target, &error);
    }
    int status = 1;
    if (opened)
        status = RunPictures(&o, &pictures, &target, watch);
    else
        std::fprintf(stderr, "zorvane: %s\n", error.c_str());
    for (Picture& p : pictures) {
        X11CloseTarget(&p.x, &target);
        X11Detach(&p.x);
    }
    X11ReleaseTarget(d, &target);
    XCloseDisplay(d);
    X11Connection.display = nullptr;
    return status;
}
