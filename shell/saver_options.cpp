// saver_options.cpp - see saver_options.h.
#include "shell/saver_options.h"

#include "settings/options.h"

struct TargetSwitches {
    bool window, fullscreen, root, windowId;
};

static OptionTable SaverTable(SaverOptions* o, TargetSwitches* s)
{
    OptionTable t = {};
    AddSwitchOption(&t, "window", &s->window, "draw in a window of its own (the default); q or Escape closes it");
    AddSwitchOption(&t, "fullscreen", &s->fullscreen, "cover every monitor until the pointer moves, a key or a button");
    AddSwitchOption(&t, "root", &s->root, "draw in $XSCREENSAVER_WINDOW, else the root window");
    AddHexNumberOption(&t, "window-id", &o->windowId, "draw in that window (decimal or 0x hex)", &s->windowId);
    AddSwitchOption(&t, "wallpaper", &o->wallpaper,
                    "Wayland: draw on every output's background layer and ignore input (a live wallpaper)");
    AddNumberOption(&t, "idle", &o->idleSeconds, 1, 86400, "wait for SECONDS of idle time, cover every output, wait again", &o->idle);
    AddSettingsOptions(&t, &o->settings, &o->seed, &o->seedGiven);
    AddZoomOption(&t, &o->zoom);
    AddSwitchOption(&t, "print-settings", &o->printSettings, "print the settings these options give, and exit");
    AddIgnoredOption(&t, "fps", false);
    AddIgnoredOption(&t, "install", false);
    AddIgnoredOption(&t, "visual", true);
    return t;
}

std::string SaverUsage()
{
    SaverOptions o = {};
    TargetSwitches s = {};
    const OptionTable t = SaverTable(&o, &s);
    return "usage: zorvane [--window | --fullscreen | --root | --window-id ID | --wallpaper] [options]\n"
           "Random three-dimensional attractors of iterated function systems.\n" +
           OptionsUsage(&t) +
           "  (of several targets the first of --window-id, --root, --fullscreen, --window wins)\n"
           "  (with WAYLAND_DISPLAY set and none of --window, --root, --window-id, it covers\n"
           "   every Wayland output natively, as --fullscreen does on X11)\n" + "  (--fps, --install and --visual NAME are accepted and ignored)\n";
}

int ParseSaverOptions(int argc, const char* const* argv, uint32_t now, SaverOptions* o, std::string* error)
{
    *o = SaverOptions{};
    o->seed = now;
    o->settings = DefaultSettings;
    TargetSwitches s = {};
    const OptionTable t = SaverTable(o, &s);
    const int status = ParseOptions(&t, argc, argv, error);
    if (status != 0)
        return status;
    if (s.windowId && o->windowId == 0) {
        *error = "--window-id: expected a window id, got '0'";
        return 2;
    }
    // Several targets may be given, as XScreenSaver gives "--root
    // --window-id ID" for its preview: the strongest one wins, whatever
    // the order.
    o->x11Target = s.window || s.root || s.windowId;
    if (o->wallpaper && o->x11Target) {
        *error = "--wallpaper draws on Wayland: it takes no --window, --root or --window-id";
        return 2;
    }
    o->target = s.windowId     ? SaverTarget::WindowId
                : s.root       ? SaverTarget::Root
                : s.fullscreen ? SaverTarget::Fullscreen
                               : SaverTarget::Window;
    return 0;
}

std::string SaverSettingsText(const SaverOptions* o)
{
    const SaverSettingsRecord& s = o->settings;
    return "points " + std::to_string(s.NumberPoints) + "\nframe-ms " + std::to_string(s.AnimationTimer) +
           "\nclear-ms " + std::to_string(s.CLSTimer) + "\nblank " + std::to_string(s.BlankScreen) + "\nrotate " +
           std::to_string(s.EnableRotation) + "\ncontinuous " + std::to_string(s.EnableContinuous) + "\nseed " +
           std::to_string(o->seed) + "\nzoom " + std::to_string(o->zoom) + "\n";
}

bool ParseWindowId(const char* text, uint32_t* id)
{
    return text && ParseWholeNumber(text, true, id) && *id != 0;
}
