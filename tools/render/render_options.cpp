// render_options.cpp - see render_options.h.
#include "tools/render/render_options.h"

#include "settings/options.h"

// The table writes into *o; built afresh for parsing and for the usage.
static OptionTable RenderTable(RenderOptions* o, uint32_t* width, uint32_t* height, bool* sawFrames)
{
    OptionTable t = {};
    AddSettingsOptions(&t, &o->settings, &o->seed);
    const uint32_t maxSize = static_cast<uint32_t>(kMaxRenderSize);
    AddNumberOption(&t, "width", width, 1, maxSize, "picture width, 1 to 16384 (1024)");
    AddNumberOption(&t, "height", height, 1, maxSize, "picture height, 1 to 16384 (768)");
    AddZoomOption(&t, &o->zoom);
    AddNumberOption(&t, "frames", &o->frames, 0, 0xFFFFFFFFu, "stop once N frame ticks have run (1)", sawFrames);
    AddNumberOption(&t, "time-ms", &o->timeMs, 0, 0xFFFFFFFFu, "instead: run every tick due at or before N ms",
                    &o->byTime);
    AddTextOption(&t, "out", &o->out, "FILE", "write the last presented frame (black if none)");
    AddTextOption(&t, "frames-dir", &o->framesDir, "DIR", "also write every frame, DIR/frame-00001.png, ...");
    return t;
}

std::string RenderUsage()
{
    RenderOptions o = {};
    uint32_t width = 0, height = 0;
    bool sawFrames = false;
    const OptionTable t = RenderTable(&o, &width, &height, &sawFrames);
    return "usage: zorvane-render [options] --out FILE.png | --frames-dir DIR\n"
           "Runs the saver's animation headless on a virtual clock and writes its frames as PNG.\n" +
           OptionsUsage(&t) +
           "Exit status: 0 done; 1 the saver's start-up failed or memory ran out; 2 bad options or an\n"
           "output that cannot be written.\n";
}

int ParseRenderOptions(int argc, const char* const* argv, uint32_t now, RenderOptions* o, std::string* error)
{
    *o = RenderOptions{};
    o->seed = now;
    o->settings = DefaultSettings;
    o->frames = 1;
    o->zoom = 1;  // a picture of exactly --width x --height pixels unless asked
    uint32_t width = 1024, height = 768;
    bool sawFrames = false;
    const OptionTable t = RenderTable(o, &width, &height, &sawFrames);
    const int status = ParseOptions(&t, argc, argv, error);
    if (status == OptionsHelp) {
        error->clear();
        return 2;
    }
    if (status != 0)
        return 2;
    o->width = static_cast<int32_t>(width);
    o->height = static_cast<int32_t>(height);
    if (sawFrames && o->byTime) {
        *error = "--time-ms: give either --frames or --time-ms, not both";
        return 2;
    }
    if (o->out.empty() && o->framesDir.empty()) {
        *error = "--out: nothing to write; give --out FILE.png or --frames-dir DIR";
        return 2;
    }
    return 0;
}
