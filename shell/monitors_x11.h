// monitors_x11.h - the monitors of the X screen, where --fullscreen puts
// one picture each.
//
//   std::vector<MonitorRect> monitors = X11ListMonitors(display);
//   for (i ...) a window at monitors[i], drawn with seed S + i
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <vector>

struct MonitorRect {
    int32_t x, y;            // top left corner, in the root window
    int32_t width, height;
};

// The default screen's monitors in the order the server lists them: RandR
// 1.5 monitors when the server has them, else the Xinerama screens, else
// the whole screen. Each is cut to the screen; one that lies within a
// monitor kept before it, or within a later one (a clone, a copy, a region
// of a larger monitor), is left out, so no window hides another. Never empty.
std::vector<MonitorRect> X11ListMonitors(Display* d);
