// main_x11.cpp - zorvane, the saver on X11: standalone in a window or
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
// While its window is unmapped it draws nothing and sleeps in poll().
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
#include <ctime>
#include <string>

#include "animation/controller.h"
#include "animation/platform_x11.h"
#include "shell/pointer_rule.h"
#include "shell/saver_options.h"
#include "shell/signal_pipe.h"
#include "shell/target_x11.h"

struct LoopRecord {
    X11PlatformRecord* x;   // the picture's window
    const X11TargetRecord* target;
    SaverRecord* saver;
    bool end;               // leave the loop
    int status;             // exit status then
    bool haveStart;         // --fullscreen: the first pointer position is known
    int startX, startY;
    bool resize;            // a new size arrived
    int32_t newWidth, newHeight;
    bool hidden;            // the window is unmapped (iconified): no drawing
};

static void End(LoopRecord* loop, int status)
{
    loop->end = true;
    loop->status = status;
}

// The close rules of --fullscreen, as the Windows saver has them.
static void PointerAt(LoopRecord* loop, int x, int y)
{
    if (!loop->haveStart) {
        loop->haveStart = true;
        loop->startX = x;
        loop->startY = y;
    } else if (PointerMovedTooFar(loop->startX, loop->startY, x, y)) {
        End(loop, 0);
    }
}

static void HandleEvent(LoopRecord* loop, const XEvent& e)
{
    const X11TargetRecord* target = loop->target;
    if (e.xany.window != loop->x->window)
        return;
    const bool fullscreen = target->own && target->target == SaverTarget::Fullscreen;
    switch (e.type) {
    case ConfigureNotify:
        loop->resize = true;
        loop->newWidth = e.xconfigure.width;
        loop->newHeight = e.xconfigure.height;
        break;
    case DestroyNotify:
        loop->x->windowGone = true;
        break;
    case UnmapNotify:
        loop->hidden = true;
        break;
    case MapNotify:
        loop->hidden = false;
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

static int RunLoop(LoopRecord* loop)
{
    X11PlatformRecord* x = loop->x;
    Display* d = x->display;
    const int xfd = ConnectionNumber(d);
    while (!loop->end) {
        while (!loop->end && XPending(d) > 0) {
            XEvent e;
            XNextEvent(d, &e);
            HandleEvent(loop, e);
        }
        if (EndSignalled())
            End(loop, 0);
        if (x->quit)
            End(loop, x->quitCode != 0 ? 1 : 0);
        if (x->windowGone) {
            std::fprintf(stderr, "zorvane: the window 0x%lx is gone\n", x->window);
            End(loop, 1);
        }
        if (loop->end)
            break;
        if (loop->resize && (loop->newWidth != x->width || loop->newHeight != x->height)) {
            x->width = loop->newWidth;
            x->height = loop->newHeight;
            SaverResize(loop->saver);
        }
        loop->resize = false;

        uint64_t due = 0;
        const unsigned id = loop->hidden ? 0 : X11NextDue(loop->saver, &due);
        const uint64_t now = X11NowMs();
        if (id && due <= now) {
            X11RunTimer(loop->saver, id);
            continue;
        }
        const uint64_t wait = id ? due - now : UINT64_MAX;
        pollfd fds[2] = {{xfd, POLLIN, 0}, {EndSignalFd(), POLLIN, 0}};
        const int timeout = wait > INT_MAX ? (id ? INT_MAX : -1) : static_cast<int>(wait);
        if (poll(fds, 2, timeout) < 0 && errno != EINTR)
            End(loop, 1);
    }
    return loop->status;
}

int main(int argc, char** argv)
{
    SaverOptions o;
    std::string error;
    const int parsed = ParseSaverOptions(argc, argv, static_cast<uint32_t>(std::time(nullptr)), &o, &error);
    if (parsed == 1) {
        std::fputs(SaverUsage().c_str(), stdout);
        return 0;
    }
    if (parsed != 0) {
        std::fprintf(stderr, "zorvane: %s\n%s", error.c_str(), SaverUsage().c_str());
        return 2;
    }
    if (o.printSettings) {
        std::fputs(SaverSettingsText(&o).c_str(), stdout);
        return 0;
    }
    if (!CatchEndSignals()) {
        std::perror("zorvane: pipe");
        return 1;
    }
    X11Connection.display = XOpenDisplay(nullptr);
    if (!X11Connection.display) {
        std::fprintf(stderr, "zorvane: cannot open the display '%s'\n", XDisplayName(nullptr));
        return 1;
    }
    X11InstallErrorHandlers();
    X11PlatformRecord x = {};
    x.display = X11Connection.display;
    X11TargetRecord target = {};
    X11Attach(&x);
    int status = 1;
    if (!X11OpenTarget(&o, &x, &target, &error)) {
        std::fprintf(stderr, "zorvane: %s\n", error.c_str());
    } else {
        x.seed = o.seed;
        x.zoom = o.zoom;
        SaverRecord saver;
        SaverInit(&saver, &x);
        saver.Settings = o.settings;
        LoopRecord loop = {};
        loop.x = &x;
        loop.target = &target;
        loop.saver = &saver;
        if (o.target == SaverTarget::Fullscreen) {
            // The first position seen is where the pointer is now.
            Window root, child;
            int px, py, wx, wy;
            unsigned mask;
            if (XQueryPointer(x.display, x.window, &root, &child, &px, &py, &wx, &wy, &mask))
                PointerAt(&loop, px, py);
        }
        SaverStart(&saver);
        status = RunLoop(&loop);
        SaverTeardown(&saver);
    }
    X11CloseTarget(&x, &target);
    X11Detach(&x);
    XCloseDisplay(X11Connection.display);
    X11Connection.display = nullptr;
    ReleaseEndSignals();
    return status;
}
