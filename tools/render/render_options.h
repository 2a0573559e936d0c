// render_options.h - the command line of zorvane-render.
#pragma once

#include <cstdint>
#include <string>

struct RenderOptions {
    uint32_t seed;            // --seed (default: the current time, as the saver seeds)
    int32_t width, height;    // --width --height (1024 x 768)
    uint32_t points;          // --points       -> NumberPoints (10000)
    uint32_t frameMs;         // --frame-ms     -> AnimationTimer (200)
    uint32_t clearMs;         // --clear-ms     -> CLSTimer (1000)
    uint32_t blank;           // --blank 0|1    -> BlankScreen (0)
    uint32_t rotate;          // --rotate 0|1   -> EnableRotation (1)
    uint32_t continuous;      // --continuous 0|1 -> EnableContinuous (1)
    bool byTime;              // --time-ms given instead of --frames
    uint32_t frames;          // --frames: stop once this many frame ticks ran (1)
    uint32_t timeMs;          // --time-ms: run every tick due at or before this
    std::string out;          // --out FILE.png: the last presented frame
    std::string framesDir;    // --frames-dir DIR: every presented frame
};

constexpr int32_t kMaxRenderSize = 16384;  // largest --width / --height

// Fills *o from the arguments. Returns 0, or 2 with a one-line message in
// *error naming the option at fault. now is the default seed.
int ParseRenderOptions(int argc, const char* const* argv, uint32_t now, RenderOptions* o, std::string* error);
const char* RenderUsage();
