// savers_linux.h - the two savers behind the zorvane command on Linux
// (main_linux.cpp): on an X display (main_x11.cpp) and, one picture per
// output, on a Wayland compositor (main_wayland.cpp). Each runs until its
// end and returns the exit status; the end signals are caught already
// (shell/signal_pipe.h).
#pragma once

#include "shell/saver_options.h"

// A second descriptor a saver listens to beside its own (the session's
// idle source, say): once fd is readable, ready is called, and the pictures
// end (with status 0) when it returns true. Null where there is none.
struct SaverWatch {
    int fd;
    bool (*ready)(void* context);
    void* context;
};

int RunX11Saver(const SaverOptions* options);
int RunWaylandSaver(const SaverOptions* options, const SaverWatch* watch);

// Where the options draw: on Wayland when the session has a compositor
// (waylandDisplay, $WAYLAND_DISPLAY, is set and not empty) and no X11
// target option was given, else on X11.
bool ChooseWayland(const SaverOptions* options, const char* waylandDisplay);
