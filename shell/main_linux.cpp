// main_linux.cpp - zorvane, the saver on Linux: reads the options, over
// the config file's (config_linux.h), and runs the saver on Wayland or on
// X11, or the idle watcher (savers_linux.h), or writes the login entry.
//
//   zorvane --fullscreen --points 100000 --blank 1
//
// Exit status: 0 after a normal end (a signal, input, the window closed), 1
// after a start-up failure or when the display goes away, 2 for bad options
// (on the command line or in the config file).
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "shell/config_linux.h"
#include "shell/savers_linux.h"
#include "shell/signal_pipe.h"

bool ChooseWayland(const SaverOptions* options, const char* waylandDisplay)
{
    return waylandDisplay && waylandDisplay[0] && !options->x11Target;
}

int RunSaver(const SaverOptions* options, const SaverWatch* watch)
{
#ifdef ZORVANE_WITH_WAYLAND
    if (ChooseWayland(options, std::getenv("WAYLAND_DISPLAY")))
        return RunWaylandSaver(options, watch);
#endif
    return RunX11Saver(options, watch);
}

int main(int argc, char** argv)
{
    SaverOptions o;
    std::string error;
    const uint32_t now = static_cast<uint32_t>(std::time(nullptr));
    const int parsed = ParseSaverOptions(argc, argv, now, &o, &error);
    if (parsed == 1) {
        std::fputs(SaverUsage().c_str(), stdout);
        return 0;
    }
    if (parsed != 0) {
        std::fprintf(stderr, "zorvane: %s\n%s", error.c_str(), SaverUsage().c_str());
        return 2;
    }
    if (o.autostart)
        return RunAutostart(&o);
    // XScreenSaver's runs take only what XScreenSaver passes: it leaves out
    // the options at their defaults, and a file would change those behind
    // its settings program's back.
    ConfigFile config = {};
    if (o.target == SaverTarget::Root || o.target == SaverTarget::WindowId) {
        config.note = "--root and --window-id runs read none";
    } else {
        if (!ReadConfigFile(&config, &error)) {
            std::fprintf(stderr, "zorvane: %s\n", error.c_str());
            return 2;
        }
        if (config.found &&
            ParseSaverOptions(argc, argv, now, &o, &error, &config.text) != 0) {
            std::fprintf(stderr, "zorvane: %s:%s\n", config.path.c_str(), error.c_str());
            return 2;
        }
    }
    if (o.printSettings) {
        std::fputs(SaverSettingsText(&o).c_str(), stdout);
        std::printf("config %s\n", config.found ? config.path.c_str() : ("none (" + config.note + ")").c_str());
        return 0;
    }
#ifdef ZORVANE_WITH_WAYLAND
    const bool wayland = ChooseWayland(&o, std::getenv("WAYLAND_DISPLAY"));
#else
    const bool wayland = false;
#endif
    if (o.wallpaper && !wayland) {
        std::fprintf(stderr, "zorvane: --wallpaper draws on a Wayland compositor: WAYLAND_DISPLAY is not set%s\n",
                     ChooseWayland(&o, "wayland-0") ? " (or this build has no Wayland saver)" : "");
        return 2;
    }
    if (!CatchEndSignals()) {
        std::perror("zorvane: pipe");
        return 1;
    }
    if (o.idle) {
        const int status = RunIdleWatcher(&o);
        ReleaseEndSignals();
        return status;
    }
    const int status = RunSaver(&o, nullptr);
    ReleaseEndSignals();
    return status;
}
