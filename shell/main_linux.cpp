// main_linux.cpp - zorvane, the saver on Linux: reads the options and runs
// the saver on Wayland or on X11 (savers_linux.h).
//
//   zorvane --fullscreen --points 100000 --blank 1
//
// Exit status: 0 after a normal end (a signal, input, the window closed), 1
// after a start-up failure or when the display goes away, 2 for bad options.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "shell/savers_linux.h"
#include "shell/signal_pipe.h"

bool ChooseWayland(const SaverOptions* options, const char* waylandDisplay)
{
    return waylandDisplay && waylandDisplay[0] && !options->x11Target;
}

int main(int argc, char** argv)
{
    SaverOptions o;
    std::string error;
    const int parsed = ParseSaverOptions(argc, argv, static_cast<uint32_t>(std::time(nullptr)), &o, &error);
    if (parsed == 1) {
        std::fputs(SaverUsage().c_str(), stdout);
        return 0;
    }
    if (parsed != 0) {
        std::fprintf(stderr, "zorvane: %s\n%s", error.c_str(), SaverUsage().c_str());
        return 2;
    }
    if (o.printSettings) {
        std::fputs(SaverSettingsText(&o).c_str(), stdout);
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
#ifdef ZORVANE_WITH_WAYLAND
    const int status = wayland ? RunWaylandSaver(&o, nullptr) : RunX11Saver(&o, nullptr);
#else
    const int status = RunX11Saver(&o, nullptr);
#endif
    ReleaseEndSignals();
    return status;
}
