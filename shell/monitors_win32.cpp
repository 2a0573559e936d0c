// monitors_win32.cpp - listing the monitors (see monitors_win32.h).
#include "shell/monitors_win32.h"

static BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM context)
{
    MonitorList* list = reinterpret_cast<MonitorList*>(context);
    if (rect->right > rect->left && rect->bottom > rect->top)
        list->rects[list->count++] = *rect;
    return list->count < MaxMonitors;
}

void ListMonitors(MonitorList* list)
{
    list->count = 0;
    EnumDisplayMonitors(NULL, NULL, AddMonitor, reinterpret_cast<LPARAM>(list));
    if (list->count == 0) {
        list->rects[0] = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        list->count = 1;
    }
}

RECT MonitorsBounds(const MonitorList* list)
{
    RECT bounds = list->rects[0];
    for (int i = 1; i < list->count; i++)
        UnionRect(&bounds, &bounds, &list->rects[i]);
    return bounds;
}
