// target_x11.h - the window zorvane draws in: found (--root, --window-id)
// or created (--window, --fullscreen), with its visual, depth and size
// put in the picture's X11 platform record.
#pragma once

#include <string>

#include "animation/platform_x11.h"
#include "shell/saver_options.h"

struct X11TargetRecord {
    bool own;            // we created the window (and may take input there)
    SaverTarget target;
    unsigned long deleteAtom;     // WM_DELETE_WINDOW, for --window (0: none)
    unsigned long protocolsAtom;  // WM_PROTOCOLS, the type of the message that carries it
    unsigned long cursor;      // the invisible cursor of --fullscreen (0: none)
};

// Finds or creates the window in x->display, filling *x and *t; false with
// a one-line message in *error when there is none to draw in.
bool X11OpenTarget(const SaverOptions* o, X11PlatformRecord* x, X11TargetRecord* t, std::string* error);
// Releases what X11OpenTarget created; a found window is left as it was.
void X11CloseTarget(X11PlatformRecord* x, X11TargetRecord* t);
