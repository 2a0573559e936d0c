// render_options.cpp - see render_options.h.
#include "tools/render/render_options.h"

#include <cstring>

// A whole decimal number in the unsigned 32-bit range, nothing else.
static bool ParseU32(const char* s, uint32_t* out)
{
    if (!s || !*s)
        return false;
    uint64_t v = 0;
    for (const char* p = s; *p; p++) {
        if (*p < '0' || *p > '9')
            return false;
        v = v * 10 + static_cast<uint64_t>(*p - '0');
        if (v > 0xFFFFFFFFu)
            return false;
    }
    *out = static_cast<uint32_t>(v);
    return true;
}

const char* RenderUsage()
{
    return "usage: zorvane-render [--seed N] [--width W] [--height H] [--points N] [--frame-ms N]\n"
           "                      [--clear-ms N] [--blank 0|1] [--rotate 0|1] [--continuous 0|1]\n"
           "                      [--frames N | --time-ms T] [--out FILE.png] [--frames-dir DIR]\n";
}

int ParseRenderOptions(int argc, const char* const* argv, uint32_t now, RenderOptions* o, std::string* error)
{
    *o = RenderOptions{now, 1024, 768, 10000, 200, 1000, 0, 1, 1, false, 1, 0, "", ""};
    uint32_t width = 1024, height = 768;
    const uint32_t maxSize = static_cast<uint32_t>(kMaxRenderSize);
    const struct Number {
        const char* name;
        uint32_t* field;
        uint32_t min, max;
    } numbers[] = {
        {"--seed", &o->seed, 0, 0xFFFFFFFFu},       {"--points", &o->points, 0, 0xFFFFFFFFu},
        {"--frame-ms", &o->frameMs, 0, 0xFFFFFFFFu}, {"--clear-ms", &o->clearMs, 0, 0xFFFFFFFFu},
        {"--blank", &o->blank, 0, 1},                {"--rotate", &o->rotate, 0, 1},
        {"--continuous", &o->continuous, 0, 1},      {"--frames", &o->frames, 0, 0xFFFFFFFFu},
        {"--time-ms", &o->timeMs, 0, 0xFFFFFFFFu},   {"--width", &width, 1, maxSize},
        {"--height", &height, 1, maxSize},
    };
    bool sawFrames = false;
    for (int i = 1; i < argc; i++) {
        const std::string name = argv[i];
        if (name == "--help" || name == "-h") {
            *error = "";
            return 2;
        }
        const Number* number = nullptr;
        for (const Number& n : numbers)
            if (name == n.name)
                number = &n;
        const bool isPath = name == "--out" || name == "--frames-dir";
        if (!number && !isPath) {
            *error = name + ": unknown option";
            return 2;
        }
        const char* value = i + 1 < argc ? argv[++i] : nullptr;
        if (!value || (isPath && !*value)) {
            *error = name + ": missing value";
            return 2;
        }
        if (isPath) {
            (name == "--out" ? o->out : o->framesDir) = value;
            continue;
        }
        if (!ParseU32(value, number->field) || *number->field < number->min || *number->field > number->max) {
            *error = name + ": expected " +
                     (number->max == 1 ? std::string("0 or 1")
                                       : "a whole number from " + std::to_string(number->min) + " to " +
                                             std::to_string(number->max)) +
                     ", got '" + value + "'";
            return 2;
        }
        sawFrames |= name == "--frames";
        o->byTime |= name == "--time-ms";
    }
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
