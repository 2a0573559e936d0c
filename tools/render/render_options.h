// render_options.h - the command line of zorvane-render: the settings
// options it shares with the saver (settings/options.h) and its own.
#pragma once

#include <cstdint>
#include <string>

#include "settings/settings.h"

struct RenderOptions {
    uint32_t seed;                 // --seed (default: the current time, as the saver seeds)
    SaverSettingsRecord settings;  // --points --frame-ms --clear-ms --blank --rotate --continuous
    int32_t width, height;         // --width --height (1024 x 768)
    uint32_t zoom;                 // --zoom: each point an N x N block (1; 0: automatic, as the saver)
    bool byTime;                   // --time-ms given instead of --frames
    uint32_t frames;               // --frames: stop once this many frame ticks ran (1)
    uint32_t timeMs;               // --time-ms: run every tick due at or before this
    std::string out;               // --out FILE.png: the last presented frame
    std::string framesDir;         // --frames-dir DIR: every presented frame
};

constexpr int32_t kMaxRenderSize = 16384;  // largest --width / --height

// Fills *o from the arguments. Returns 0; 2 with a one-line message in
// *error naming the option at fault; or 2 with an empty *error for --help.
// now is the default seed.
int ParseRenderOptions(int argc, const char* const* argv, uint32_t now, RenderOptions* o, std::string* error);
std::string RenderUsage();
