// options_web.h - the settings of the web page, given in its address as
// the Linux programs' option names and values: "?seed=5&blank=1" reaches
// main() as "--seed 5 --blank 1" (shell/page_web.js) and is parsed here
// with the same option table and messages.
//
//   ?seed=N ?points=N ?frame-ms=N ?clear-ms=N ?blank=0|1 ?rotate=0|1
//   ?continuous=0|1 ?zoom=N (0: automatic) ?frames=K (stop after K frame
//   ticks) ?width=W ?height=H (the canvas size, else the page's)
#pragma once

#include <cstdint>
#include <string>

#include "settings/settings.h"

struct PageOptions {
    uint32_t seed;                 // seed (default: the current time)
    SaverSettingsRecord settings;  // points frame-ms clear-ms blank rotate continuous
    uint32_t zoom;                 // 0: automatic
    bool stopAfterFrames;          // frames given
    uint32_t frames;               // stop once this many frame ticks ran
    bool fixedWidth, fixedHeight;  // width / height given
    uint32_t width, height;        // the canvas size in device pixels, 1 to 16384
};

// Fills *o. Returns 0; OptionsHelp (usage in *error); or OptionsBad with
// the one-line message in *error. now is the default seed.
int ParsePageOptions(int argc, const char* const* argv, uint32_t now, PageOptions* o, std::string* error);
