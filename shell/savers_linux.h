// savers_linux.h - the two savers behind the zorvane command on Linux
// (main_linux.cpp): on an X display (main_x11.cpp) and, one picture per
// output, on a Wayland compositor (main_wayland.cpp); and the idle watcher
// of --idle (idle_watch_linux.cpp), which starts the saver when the
// session is idle. Each runs until its end and returns the exit status;
// for the savers the end signals are caught already (shell/signal_pipe.h).
#pragma once

#include "shell/saver_options.h"

// A descriptor a saver's loop watches beside its own, for a caller that
// listens to something else while the pictures show (zorvane --idle): when
// fd is readable the loop calls ready, and ends with status 0 when it
// returns true.
struct SaverWatch {
    int fd;
    bool (*ready)(void* context);
    void* context;
};

// watch may be null: nothing else is watched.
int RunX11Saver(const SaverOptions* options, const SaverWatch* watch);
int RunWaylandSaver(const SaverOptions* options, const SaverWatch* watch);
// The one of the two that ChooseWayland picks (main_linux.cpp).
int RunSaver(const SaverOptions* options, const SaverWatch* watch);
// zorvane --idle SECONDS (idle_watch_linux.cpp): waits for the session to
// be idle, shows the pictures until input, and waits again.
int RunIdleWatcher(const SaverOptions* options);

// Where the options draw: on Wayland when the session has a compositor
// (waylandDisplay, $WAYLAND_DISPLAY, is set and not empty) and no X11
// target option was given, else on X11.
bool ChooseWayland(const SaverOptions* options, const char* waylandDisplay);
