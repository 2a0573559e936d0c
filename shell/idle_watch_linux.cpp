// idle_watch_linux.cpp - zorvane --idle SECONDS: a resident watcher that
// waits, asleep in poll(), until the session says it has been idle for
// SECONDS, then shows the pictures on every output as zorvane does, and
// waits again when they end.
//
//   zorvane --idle 300 --points 100000
//
// The session is asked, never the input devices (shell/idle_source.h),
// the first that answers in this order: GNOME's idle monitor on the
// session bus (GNOME, Wayland or X11: it knows GNOME's own inhibitors),
// the compositor's idle notifications on Wayland, the X server's idle
// time on X11 (not on a Wayland session: Xwayland sees only its own
// clients' input). The pictures end on the
// usual input, and also when the session reports input anywhere else (a
// password typed into a lock screen that came up meanwhile). The watcher
// never inhibits idleness and never locks: the desktop's blanking,
// locking and power saving keep their own schedule. While it waits no
// picture exists.
//
// Each start shows the seeds S, S+1, ... per output: S is --seed when
// given, else the time of that start. Exit status: 0 on SIGTERM, SIGINT or
// SIGHUP, waiting or showing; 1 when no source answers or the session goes
// away.
#include <poll.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "shell/idle_source.h"
#include "shell/savers_linux.h"
#include "shell/signal_pipe.h"

static bool Set(const char* name)
{
    const char* value = std::getenv(name);
    return value && value[0];
}

#ifndef ZORVANE_WITH_WAYLAND
bool OpenWaylandIdle(IdleSource*, uint32_t, std::string* why)
{
    *why += "Wayland: not built in";
    return false;
}
#endif

static bool OpenIdleSource(IdleSource* s, uint32_t seconds, std::string* tried)
{
    if (OpenGnomeIdle(s, seconds, tried))
        return true;
    *tried += "; ";
    const bool wayland = Set("WAYLAND_DISPLAY");
    if (wayland && OpenWaylandIdle(s, seconds, tried))
        return true;
    if (!wayland)
        *tried += "Wayland: WAYLAND_DISPLAY is not set";
    *tried += "; ";
    if (wayland)
        *tried += "X11: not asked in a Wayland session";
    else if (OpenX11Idle(s, seconds, tried))
        return true;
    return false;
}

struct ShowRecord {
    IdleSource* source;
    bool lost;
};

// While the pictures show: the session saying the user is back ends them.
static bool SessionActive(void* context)
{
    auto* show = static_cast<ShowRecord*>(context);
    const IdleEvent e = IdleRead(show->source);
    if (e == IdleEvent::Lost)
        show->lost = true;
    return e == IdleEvent::Active || e == IdleEvent::Lost;
}

static int Show(const SaverOptions* options, IdleSource* source, bool* lost)
{
    SaverOptions o = *options;
    o.target = SaverTarget::Fullscreen;
    if (!o.seedGiven)
        o.seed = static_cast<uint32_t>(std::time(nullptr));
    ShowRecord show = {source, false};
    const SaverWatch watch = {source->fd, SessionActive, &show};
    const int status = RunSaver(&o, &watch);
    *lost = show.lost;
    return status;
}

int RunIdleWatcher(const SaverOptions* options)
{
    IdleSource source = {};
    std::string tried;
    if (!OpenIdleSource(&source, options->idleSeconds, &tried)) {
        std::fprintf(stderr, "zorvane: --idle: nothing here reports idle time (%s)\n", tried.c_str());
        return 1;
    }
    std::printf("zorvane: waiting for %u s of idle time, as %s reports it\n", options->idleSeconds, source.name);
    std::fflush(stdout);
    int status = -1;
    IdleEvent e = IdleRead(&source);  // what came with the opening, already read from the descriptor
    while (status < 0) {
        if (e == IdleEvent::Idle) {
            bool lost = false;
            const int shown = Show(options, &source, &lost);
            if (EndSignalCame())
                status = 0;
            else if (lost)
                e = IdleEvent::Lost;
            else if (shown != 0)
                status = shown;  // the display went away, or a picture could not start
            else
                e = IdleEvent::Nothing;
            if (status < 0 && e == IdleEvent::Nothing)
                IdleRestart(&source);
        }
        if (e == IdleEvent::Lost) {
            std::fprintf(stderr, "zorvane: --idle: the session's %s went away\n", source.name);
            status = 1;
        }
        if (status >= 0)
            break;
        pollfd fds[2] = {{source.fd, POLLIN, 0}, {EndSignalFd(), POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR) {
            std::perror("zorvane: poll");
            status = 1;
            break;
        }
        if (EndSignalled()) {
            status = 0;
            break;
        }
        e = fds[0].revents ? IdleRead(&source) : IdleEvent::Nothing;
        if (e == IdleEvent::Nothing && (fds[0].revents & (POLLHUP | POLLERR)))
            e = IdleEvent::Lost;
    }
    IdleClose(&source);
    return status;
}
