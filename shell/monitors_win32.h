// monitors_win32.h - the monitors the full-screen saver covers, one
// picture each.
//
//   MonitorList monitors;
//   ListMonitors(&monitors);            // monitors.rects[i] gets seed S + i
//   RECT all = MonitorsBounds(&monitors);
#pragma once

#include <windows.h>

constexpr int MaxMonitors = 16;  // pictures beyond this many monitors are not made

struct MonitorList {
    int count;               // 1..MaxMonitors
    RECT rects[MaxMonitors];  // in virtual-screen coordinates (the primary's top left is 0, 0)
};

// The monitors in the order EnumDisplayMonitors gives them, each its whole
// area (rcMonitor); an empty one is left out. Where the system lists none,
// the primary screen (SM_CXSCREEN x SM_CYSCREEN at 0, 0). Never empty.
void ListMonitors(MonitorList* list);

// The smallest rectangle holding every monitor: the virtual screen.
RECT MonitorsBounds(const MonitorList* list);
