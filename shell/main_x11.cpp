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
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <string>

#include "animation/controller.h"
#include "animation/platform_x11.h"
#include "settings/settings.h"
#include "shell/pointer_rule.h"
#include "shell/saver_options.h"
#include "shell/target_x11.h"

static int g_signalPipe[2] = {-1, -1};

static void OnSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    ssize_t ignored = write(g_signalPipe[1], &byte, 1);
    (void)ignored;
    errno = saved;
}

static bool CatchSignals()
{
    if (pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        sigaction(sig, &action, nullptr);
    return true;
}

struct LoopRecord {
    bool end;               // leave the loop
    int status;             // exit status then
    bool haveStart;         // --fullscreen: the first pointer position is known
    int startX, startY;
    bool resize;            // a new size arrived
    int32_t newWidth, newHeight;
    bool hidden;            // the window is unmapped (iconified): no drawing
};

static LoopRecord g_loop;

static void End(int status)
{
    g_loop.end = true;
    g_loop.status = status;
}

// The close rules of --fullscreen, as the Windows saver has them.
static void PointerAt(int x, int y)
{
    if (!g_loop.haveStart) {
        g_loop.haveStart = true;
        g_loop.startX = x;
        g_loop.startY = y;
    } else if (PointerMovedTooFar(g_loop.startX, g_loop.startY, x, y)) {
        End(0);
    }
}

static void HandleEvent(const XEvent& e)
{
    if (e.xany.window != X11.window)
        return;
    const bool fullscreen = X11Target.own && X11Target.target == SaverTarget::Fullscreen;
    switch (e.type) {
    case ConfigureNotify:
        g_loop.resize = true;
        g_loop.newWidth = e.xconfigure.width;
        g_loop.newHeight = e.xconfigure.height;
        break;
    case DestroyNotify:
        X11.windowGone = true;
        break;
    case UnmapNotify:
        g_loop.hidden = true;
        break;
    case MapNotify:
        g_loop.hidden = false;
        break;
    case ClientMessage:
        if (X11Target.deleteAtom && e.xclient.message_type == X11Target.protocolsAtom &&
            static_cast<unsigned long>(e.xclient.data.l[0]) == X11Target.deleteAtom)
            End(0);
        break;
    case KeyPress:
        if (fullscreen) {
            End(0);
        } else if (X11Target.own) {
            XKeyEvent key = e.xkey;
            const KeySym sym = XLookupKeysym(&key, 0);
            if (sym == XK_q || sym == XK_Escape)
                End(0);
        }
        break;
    case ButtonPress:
        if (fullscreen)
            End(0);
        break;
    case MotionNotify:
        if (fullscreen)
            PointerAt(e.xmotion.x_root, e.xmotion.y_root);
        break;
    default:
        break;
    }
}

// True once a signal has written to the pipe; never waits.
static bool Signalled()
{
    char bytes[16];
    return read(g_signalPipe[0], bytes, sizeof bytes) > 0;
}

static int RunLoop()
{
    Display* d = X11.display;
    const int xfd = ConnectionNumber(d);
    while (!g_loop.end) {
        while (!g_loop.end && XPending(d) > 0) {
            XEvent e;
            XNextEvent(d, &e);
            HandleEvent(e);
        }
        if (Signalled())
            End(0);
        if (X11.quit)
            End(X11.quitCode != 0 ? 1 : 0);
        if (X11.windowGone) {
            std::fprintf(stderr, "zorvane: the window 0x%lx is gone\n", X11.window);
            End(1);
        }
        if (g_loop.end)
            break;
        if (g_loop.resize && (g_loop.newWidth != X11.width || g_loop.newHeight != X11.height)) {
            X11.width = g_loop.newWidth;
            X11.height = g_loop.newHeight;
            SaverResize(X11Window());
        }
        g_loop.resize = false;

        uint64_t due = 0;
        const unsigned id = g_loop.hidden ? 0 : X11NextDue(&due);
        const uint64_t now = X11NowMs();
        if (id && due <= now) {
            X11RunTimer(id);
            continue;
        }
        const uint64_t wait = id ? due - now : UINT64_MAX;
        pollfd fds[2] = {{xfd, POLLIN, 0}, {g_signalPipe[0], POLLIN, 0}};
        const int timeout = wait > INT_MAX ? (id ? INT_MAX : -1) : static_cast<int>(wait);
        if (poll(fds, 2, timeout) < 0 && errno != EINTR)
            End(1);
    }
    return g_loop.status;
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
    if (!CatchSignals()) {
        std::perror("zorvane: pipe");
        return 1;
    }
    X11.display = XOpenDisplay(nullptr);
    if (!X11.display) {
        std::fprintf(stderr, "zorvane: cannot open the display '%s'\n", XDisplayName(nullptr));
        return 1;
    }
    X11InstallErrorHandlers();
    int status = 1;
    if (!X11OpenTarget(&o, &error)) {
        std::fprintf(stderr, "zorvane: %s\n", error.c_str());
    } else {
        SaverSettings = o.settings;
        X11.seed = o.seed;
        X11.zoom = o.zoom;
        g_loop = LoopRecord{};
        if (o.target == SaverTarget::Fullscreen) {
            // The first position seen is where the pointer is now.
            Window root, child;
            int x, y, wx, wy;
            unsigned mask;
            if (XQueryPointer(X11.display, X11.window, &root, &child, &x, &y, &wx, &wy, &mask))
                PointerAt(x, y);
        }
        SaverStart(X11Window());
        status = RunLoop();
        SaverTeardown(X11Window());
    }
    X11CloseTarget();
    XCloseDisplay(X11.display);
    X11.display = nullptr;
    close(g_signalPipe[0]);
    close(g_signalPipe[1]);
    return status;
}
