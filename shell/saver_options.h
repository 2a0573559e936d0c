// saver_options.h - the command line of zorvane, the X11 saver: where it
// draws, the settings options it shares with zorvane-render, and the few
// options other savers' users may pass (--fps, --install, --visual NAME),
// which are accepted and ignored.
#pragma once

#include <cstdint>
#include <string>

#include "settings/settings.h"

enum class SaverTarget {
    Window,      // its own resizable top-level window (the default)
    Fullscreen,  // a window covering the screen, closed by input
    Root,        // $XSCREENSAVER_WINDOW, else the root window
    WindowId,    // the window given by --window-id
};

struct SaverOptions {
    SaverTarget target;
    uint32_t windowId;             // --window-id
    uint32_t seed;                 // --seed (default: the current time)
    bool seedGiven;                // --seed was given
    SaverSettingsRecord settings;  // --points --frame-ms --clear-ms --blank --rotate --continuous
    uint32_t zoom;                 // --zoom: 0 automatic, else each point an N x N block
    bool printSettings;            // --print-settings: print the settings and exit
    bool wallpaper;                // --wallpaper: Wayland's background layer, no input
    bool x11Target;                // --window, --root or --window-id was given: draw on X11
    bool idle;                     // --idle SECONDS: wait for the session to be idle, show, wait again
    uint32_t idleSeconds;
};

// Fills *o. Returns 0; 1 for --help; 2 with a one-line message in *error.
// now is the default seed.
int ParseSaverOptions(int argc, const char* const* argv, uint32_t now, SaverOptions* o, std::string* error);
std::string SaverUsage();
std::string SaverSettingsText(const SaverOptions* o);  // "points 10000\nframe-ms 200\n..."

// A window id as XScreenSaver passes it: decimal or 0x hex, non-zero and
// 32-bit. Returns false for anything else.
bool ParseWindowId(const char* text, uint32_t* id);
