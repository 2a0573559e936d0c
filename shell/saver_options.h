// saver_options.h - the command line of zorvane, the saver on Linux: where
// it draws, the settings options it shares with zorvane-render, the idle
// watcher and its autostart entry, and the few options other savers' users
// may pass (--fps, --install, --visual NAME), which are accepted and
// ignored. The settings and --idle may also come from a config file's text
// (settings/config_file.h), which the command line overrides.
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
    bool idle;                     // --idle: watch the session and start the saver when it is idle
    uint32_t idleSeconds;          // --idle SECONDS: that long without input (1 to MaxIdleSeconds)
    bool autostart;                // --autostart: write or remove the login entry, and exit
    bool autostartOff;             // --autostart off: remove it
    uint32_t autostartSeconds;     // --autostart SECONDS: the entry runs zorvane --idle SECONDS
};

constexpr uint32_t MaxIdleSeconds = 86400;  // a day
constexpr int SaverConfigBad = 3;           // ParseSaverOptions: the config text has a bad line

// Fills *o from the config file's text (none when configText is null),
// then from the command line. Returns 0; 1 for --help; 2 with a one-line
// message in *error for the command line; SaverConfigBad with "LINE:
// message" in *error for the text. now is the default seed.
int ParseSaverOptions(int argc, const char* const* argv, uint32_t now, SaverOptions* o, std::string* error,
                      const std::string* configText = nullptr);
std::string SaverUsage();
std::string SaverSettingsText(const SaverOptions* o);  // "points 10000\nframe-ms 200\n...idle off\n"

// A window id as XScreenSaver passes it: decimal or 0x hex, non-zero and
// 32-bit. Returns false for anything else.
bool ParseWindowId(const char* text, uint32_t* id);
