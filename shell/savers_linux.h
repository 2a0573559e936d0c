// savers_linux.h - the two savers behind the zorvane command on Linux
// (main_linux.cpp): on an X display (main_x11.cpp) and, one picture per
// output, on a Wayland compositor (main_wayland.cpp); and the idle watcher
// of --idle (idle_watch_linux.cpp), which starts the saver when the
// session is idle. Each runs until its end and returns the exit status;
// for the savers the end signals are caught already (shell/signal_pipe.h).
#pragma once

#include "shell/saver_options.h"

int RunX11Saver(const SaverOptions* options);
int RunWaylandSaver(const SaverOptions* options);
int RunIdleWatcher(const SaverOptions* options);

// Where the options draw: on Wayland when the session has a compositor
// (waylandDisplay, $WAYLAND_DISPLAY, is set and not empty) and no X11
// target option was given, else on X11.
bool ChooseWayland(const SaverOptions* options, const char* waylandDisplay);
