// monitors_x11.cpp - see monitors_x11.h.
#include "shell/monitors_x11.h"

#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

// RandR 1.5's monitors (none before 1.5).
static std::vector<MonitorRect> RandrMonitors(Display* d)
{
    std::vector<MonitorRect> found;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(d, &event, &error) || !XRRQueryVersion(d, &major, &minor) ||
        major * 100 + minor < 105)
        return found;
    int n = 0;
    XRRMonitorInfo* m = XRRGetMonitors(d, DefaultRootWindow(d), True, &n);
    for (int i = 0; m && i < n; i++)
        found.push_back(MonitorRect{m[i].x, m[i].y, m[i].width, m[i].height});
    if (m)
        XRRFreeMonitors(m);
    return found;
}

static std::vector<MonitorRect> XineramaScreens(Display* d)
{
    std::vector<MonitorRect> found;
    int event = 0, error = 0, n = 0;
    if (!XineramaQueryExtension(d, &event, &error) || !XineramaIsActive(d))
        return found;
    XineramaScreenInfo* s = XineramaQueryScreens(d, &n);
    for (int i = 0; s && i < n; i++)
        found.push_back(MonitorRect{s[i].x_org, s[i].y_org, s[i].width, s[i].height});
    if (s)
        XFree(s);
    return found;
}

static MonitorRect Cut(MonitorRect m, int32_t screenW, int32_t screenH)
{
    const int32_t right = m.x + m.width < screenW ? m.x + m.width : screenW;
    const int32_t bottom = m.y + m.height < screenH ? m.y + m.height : screenH;
    m.x = m.x > 0 ? m.x : 0;
    m.y = m.y > 0 ? m.y : 0;
    m.width = right > m.x ? right - m.x : 0;
    m.height = bottom > m.y ? bottom - m.y : 0;
    return m;
}

static bool Within(const MonitorRect& a, const MonitorRect& b)
{
    return a.x >= b.x && a.y >= b.y && a.x + a.width <= b.x + b.width && a.y + a.height <= b.y + b.height;
}

std::vector<MonitorRect> X11ListMonitors(Display* d)
{
    const int32_t screenW = DisplayWidth(d, DefaultScreen(d)), screenH = DisplayHeight(d, DefaultScreen(d));
    std::vector<MonitorRect> listed = RandrMonitors(d);
    if (listed.empty())
        listed = XineramaScreens(d);
    std::vector<MonitorRect> kept;
    for (size_t i = 0; i < listed.size(); i++) {
        const MonitorRect m = Cut(listed[i], screenW, screenH);
        bool hidden = m.width <= 0 || m.height <= 0;
        for (size_t j = 0; j < kept.size() && !hidden; j++)
            hidden = Within(m, kept[j]);
        for (size_t j = i + 1; j < listed.size() && !hidden; j++) {
            const MonitorRect later = Cut(listed[j], screenW, screenH);
            hidden = Within(m, later) && !Within(later, m);
        }
        if (!hidden)
            kept.push_back(m);
    }
    if (kept.empty())
        kept.push_back(MonitorRect{0, 0, screenW, screenH});
    return kept;
}
