// options_web.cpp - see options_web.h.
#include "shell/options_web.h"

#include "settings/options.h"

static OptionTable PageTable(PageOptions* o)
{
    OptionTable t = {};
    AddSettingsOptions(&t, &o->settings, &o->seed);
    AddZoomOption(&t, &o->zoom);
    AddNumberOption(&t, "frames", &o->frames, 0, 0xFFFFFFFFu, "stop once N frame ticks have run", &o->stopAfterFrames);
    AddNumberOption(&t, "width", &o->width, 1, 16384, "canvas width in device pixels (the page's)", &o->fixedWidth);
    AddNumberOption(&t, "height", &o->height, 1, 16384, "canvas height in device pixels (the page's)",
                    &o->fixedHeight);
    return t;
}

int ParsePageOptions(int argc, const char* const* argv, uint32_t now, PageOptions* o, std::string* error)
{
    *o = PageOptions{};
    o->seed = now;
    o->settings = DefaultSettings;
    const OptionTable t = PageTable(o);
    const int status = ParseOptions(&t, argc, argv, error);
    if (status == OptionsHelp)
        *error = "Settings go in the address, e.g. ?seed=5&blank=1:\n" + OptionsUsage(&t);
    return status;
}
