// saver_options.cpp - see saver_options.h.
#include "shell/saver_options.h"

#include "settings/config_file.h"
#include "settings/options.h"

struct TargetSwitches {
    bool window, fullscreen, root, windowId;
    std::string autostart;  // --autostart's value, checked after parsing
};

static void AddIdleOption(OptionTable* t, SaverOptions* o)
{
    AddNumberOption(t, "idle", &o->idleSeconds, 1, MaxIdleSeconds,
                    "stay running; start the saver after N seconds without input", &o->idle);
}

static OptionTable SaverTable(SaverOptions* o, TargetSwitches* s)
{
    OptionTable t = {};
    AddSwitchOption(&t, "window", &s->window, "draw in a window of its own (the default); q or Escape closes it");
    AddSwitchOption(&t, "fullscreen", &s->fullscreen, "cover every monitor until the pointer moves, a key or a button");
    AddSwitchOption(&t, "root", &s->root, "draw in $XSCREENSAVER_WINDOW, else the root window");
    AddHexNumberOption(&t, "window-id", &o->windowId, "draw in that window (decimal or 0x hex)", &s->windowId);
    AddSwitchOption(&t, "wallpaper", &o->wallpaper,
                    "Wayland: draw on every output's background layer and ignore input (a live wallpaper)");
    AddSettingsOptions(&t, &o->settings, &o->seed, &o->seedGiven);
    AddZoomOption(&t, &o->zoom);
    AddIdleOption(&t, o);
    AddTextOption(&t, "autostart", &s->autostart, "N|off",
                  "write the login entry that runs zorvane --idle N (off: remove it), and exit");
    AddSwitchOption(&t, "print-settings", &o->printSettings, "print the settings these options give, and exit");
    AddIgnoredOption(&t, "fps", false);
    AddIgnoredOption(&t, "install", false);
    AddIgnoredOption(&t, "visual", true);
    return t;
}

// What the config file may set: the settings. Not --idle: that is how the
// program runs, and a file that made every zorvane a watcher would leave
// the idle daemons that start zorvane with nothing on the screen.
static OptionTable FileTable(SaverOptions* o)
{
    OptionTable t = {};
    AddSettingsOptions(&t, &o->settings, &o->seed, &o->seedGiven);
    AddZoomOption(&t, &o->zoom);
    return t;
}

// --autostart off, or SECONDS as --idle takes them, with --idle's message.
static int ParseAutostart(const std::string& text, int argc, SaverOptions* o, std::string* error)
{
    if (argc != 3) {
        *error = "--autostart: takes no other option (settings go in the config file)";
        return 2;
    }
    o->autostart = true;
    if (text == "off") {
        o->autostartOff = true;
        return 0;
    }
    SaverOptions seconds = {};
    OptionTable t = {};
    AddIdleOption(&t, &seconds);
    const char* argv[] = {"zorvane", "--idle", text.c_str()};
    if (ParseOptions(&t, 3, argv, error) != 0) {
        *error = "--autostart: expected off or " + error->substr(error->find("expected ") + 9);
        return 2;
    }
    o->autostartSeconds = seconds.idleSeconds;
    return 0;
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
           "   every Wayland output natively, as --fullscreen does on X11)\n"
           "  (--fps, --install and --visual NAME are accepted and ignored)\n"
           "The settings may also be kept in $XDG_CONFIG_HOME/zorvane/config\n"
           "(~/.config/zorvane/config), one a line: \"points 100000\" or \"points=100000\".\n"
           "Options given here win; --root and --window-id runs read no config file.\n";
}

int ParseSaverOptions(int argc, const char* const* argv, uint32_t now, SaverOptions* o, std::string* error,
                      const std::string* configText)
{
    *o = SaverOptions{};
    o->seed = now;
    o->settings = DefaultSettings;
    TargetSwitches s = {};
    const OptionTable t = SaverTable(o, &s);
    if (configText) {
        const OptionTable file = FileTable(o);
        if (ApplyConfigText(&file, &t, *configText, error) != 0)
            return SaverConfigBad;
    }
    const int status = ParseOptions(&t, argc, argv, error);
    if (status != 0)
        return status;
    if (!s.autostart.empty() && ParseAutostart(s.autostart, argc, o, error) != 0)
        return 2;
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
    if (o->idle && (o->x11Target || o->wallpaper)) {
        *error = "--idle covers every output when the session is idle: it takes no --window, --root, --window-id "
                 "or --wallpaper";
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
           std::to_string(o->seed) + "\nzoom " + std::to_string(o->zoom) + "\nidle " +
           (o->idle ? std::to_string(o->idleSeconds) : "off") + "\n";
}

bool ParseWindowId(const char* text, uint32_t* id)
{
    return text && ParseWholeNumber(text, true, id) && *id != 0;
}
