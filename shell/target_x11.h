// target_x11.h - the windows zorvane draws in: found (--root, --window-id)
// or created (--window, and --fullscreen's one per monitor), each with its
// visual, depth and size put in its picture's X11 platform record.
//
//   X11TargetRecord t = {};
//   for each picture: X11OpenTarget(&o, &monitor, &x, &t, &error);
//   if --fullscreen: X11GrabInput(&first, &t);
//   ... for each picture: X11CloseTarget(&x, &t); then X11ReleaseTarget(display, &t);
#pragma once

#include <string>

#include "animation/platform_x11.h"
#include "shell/monitors_x11.h"
#include "shell/saver_options.h"

// What the windows of one run share.
struct X11TargetRecord {
    bool own;            // we created the windows (and may take input there)
    SaverTarget target;
    unsigned long deleteAtom;     // WM_DELETE_WINDOW, for --window (0: none)
    unsigned long protocolsAtom;  // WM_PROTOCOLS, the type of the message that carries it
    unsigned long cursor;      // the invisible cursor of --fullscreen (0: none)
    bool grabbed;              // X11GrabInput ran
};

// Finds or creates one picture's window in x->display, filling *x and *t;
// --fullscreen's covers *monitor, which is also the most it draws. False
// with a one-line message in *error when there is none to draw in.
bool X11OpenTarget(const SaverOptions* o, const MonitorRect* monitor, X11PlatformRecord* x, X11TargetRecord* t,
                   std::string* error);
// --fullscreen: keys and the pointer come to the saver's windows, through x's.
void X11GrabInput(const X11PlatformRecord* x, X11TargetRecord* t);
// Releases the window X11OpenTarget created for x; a found one is left as it was.
void X11CloseTarget(X11PlatformRecord* x, const X11TargetRecord* t);
// Releases what the windows shared: the grabs and the cursor.
void X11ReleaseTarget(Display* d, X11TargetRecord* t);
