// idle_wayland.cpp - the compositor's own idle notifications, on a
// connection of their own: ext_idle_notifier_v1 where the compositor offers
// it (KDE Plasma 5.27 and 6, sway 1.8 and later, Hyprland, labwc, niri,
// COSMIC), else KDE's older org_kde_kwin_idle (sway 1.7, older Plasma).
// Both count only the seat's input, and both honour the compositor's idle
// inhibitors: ext_idle_notifier_v1's get_idle_notification says so, and
// sway holds back org_kde_kwin_idle's timeouts the same way while an
// inhibitor is active. KWin counts an inhibitor only on a shown window.
#include <poll.h>
#include <wayland-client.h>

#include <cstring>
#include <new>

#include "ext-idle-notify-v1-client-protocol.h"
#include "shell/idle_source.h"
#ifdef ZORVANE_WITH_KDE_IDLE
#include "idle-client-protocol.h"
#endif

struct WaylandIdleRecord {
    wl_display* display;
    wl_registry* registry;
    wl_seat* seat;
    ext_idle_notifier_v1* notifier;
    ext_idle_notification_v1* notification;
#ifdef ZORVANE_WITH_KDE_IDLE
    org_kde_kwin_idle* kdeIdle;
    org_kde_kwin_idle_timeout* kdeTimeout;
#endif
    uint32_t ms;       // the idle time asked for
    IdleEvent latest;  // the last change read, until IdleRead hands it on
};

static WaylandIdleRecord* Record(void* data)
{
    return static_cast<WaylandIdleRecord*>(data);
}

static void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
    WaylandIdleRecord* r = Record(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !r->seat)
        r->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0 && !r->notifier)
        r->notifier = static_cast<ext_idle_notifier_v1*>(
            wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1));
#ifdef ZORVANE_WITH_KDE_IDLE
    else if (std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0 && !r->kdeIdle)
        r->kdeIdle = static_cast<org_kde_kwin_idle*>(wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1));
#endif
}

static void OnGlobalRemove(void*, wl_registry*, uint32_t) {}

static const wl_registry_listener RegistryListener = {OnGlobal, OnGlobalRemove};

static void OnIdled(void* data, ext_idle_notification_v1*)
{
    Record(data)->latest = IdleEvent::Idle;
}

static void OnResumed(void* data, ext_idle_notification_v1*)
{
    Record(data)->latest = IdleEvent::Active;
}

static const ext_idle_notification_v1_listener NotificationListener = {OnIdled, OnResumed};

#ifdef ZORVANE_WITH_KDE_IDLE
static void OnKdeIdle(void* data, org_kde_kwin_idle_timeout*)
{
    Record(data)->latest = IdleEvent::Idle;
}

static void OnKdeResumed(void* data, org_kde_kwin_idle_timeout*)
{
    Record(data)->latest = IdleEvent::Active;
}

static const org_kde_kwin_idle_timeout_listener KdeTimeoutListener = {OnKdeIdle, OnKdeResumed};
#endif

// What arrived, without waiting: events read only when the socket has
// some. Of several changes in one read the last one counts (idle and
// active again at once is simply active).
static IdleEvent ReadWaylandIdle(IdleSource* s)
{
    WaylandIdleRecord* r = Record(s->state);
    wl_display* d = r->display;
    while (wl_display_prepare_read(d) != 0)
        wl_display_dispatch_pending(d);
    wl_display_flush(d);
    pollfd fd = {wl_display_get_fd(d), POLLIN, 0};
    if (poll(&fd, 1, 0) > 0)
        wl_display_read_events(d);
    else
        wl_display_cancel_read(d);
    wl_display_dispatch_pending(d);
    if (wl_display_get_error(d) != 0)
        return IdleEvent::Lost;
    const IdleEvent latest = r->latest;
    r->latest = IdleEvent::Nothing;
    return latest;
}

// A notification counting from now. Both compositors' timers stay in
// their idle state when input comes while an inhibitor holds them (sway
// sends no resumed then, and so no idle after it): a new one starts fresh.
static void DropNotification(WaylandIdleRecord* r)
{
    if (r->notification)
        ext_idle_notification_v1_destroy(r->notification);
    r->notification = nullptr;
#ifdef ZORVANE_WITH_KDE_IDLE
    if (r->kdeTimeout)
        org_kde_kwin_idle_timeout_release(r->kdeTimeout);
    r->kdeTimeout = nullptr;
#endif
}

static void Watch(WaylandIdleRecord* r)
{
    DropNotification(r);
#ifdef ZORVANE_WITH_KDE_IDLE
    if (!r->notifier && r->kdeIdle) {
        r->kdeTimeout = org_kde_kwin_idle_get_idle_timeout(r->kdeIdle, r->seat, r->ms);
        org_kde_kwin_idle_timeout_add_listener(r->kdeTimeout, &KdeTimeoutListener, r);
    }
#endif
    if (r->notifier) {
        r->notification = ext_idle_notifier_v1_get_idle_notification(r->notifier, r->ms, r->seat);
        ext_idle_notification_v1_add_listener(r->notification, &NotificationListener, r);
    }
    r->latest = IdleEvent::Nothing;
    wl_display_flush(r->display);
}

static void RestartWaylandIdle(IdleSource* s)
{
    Watch(Record(s->state));
}

static void CloseWaylandIdle(IdleSource* s)
{
    WaylandIdleRecord* r = Record(s->state);
    if (!r)
        return;
    DropNotification(r);
    if (r->notifier)
        ext_idle_notifier_v1_destroy(r->notifier);
#ifdef ZORVANE_WITH_KDE_IDLE
    if (r->kdeIdle)
        org_kde_kwin_idle_destroy(r->kdeIdle);
#endif
    if (r->seat)
        wl_seat_destroy(r->seat);
    if (r->registry)
        wl_registry_destroy(r->registry);
    if (r->display)
        wl_display_disconnect(r->display);
    delete r;
}

bool OpenWaylandIdle(IdleSource* s, uint32_t seconds, std::string* why)
{
    auto* r = new (std::nothrow) WaylandIdleRecord{};
    if (!r)
        return false;
    *s = IdleSource{"", -1, r, ReadWaylandIdle, RestartWaylandIdle, CloseWaylandIdle};
    const auto fail = [s, why](const char* reason) {
        *why += reason;
        IdleClose(s);
        return false;
    };
    r->display = wl_display_connect(nullptr);
    if (!r->display)
        return fail("Wayland: no compositor to connect to");
    r->registry = wl_display_get_registry(r->display);
    wl_registry_add_listener(r->registry, &RegistryListener, r);
    if (wl_display_roundtrip(r->display) < 0)
        return fail("Wayland: the compositor closed the connection");
    if (!r->seat)
        return fail("Wayland: the compositor has no seat");
    r->ms = seconds > UINT32_MAX / 1000 ? UINT32_MAX : seconds * 1000;
#ifdef ZORVANE_WITH_KDE_IDLE
    if (!r->notifier && !r->kdeIdle)
        return fail("Wayland: the compositor offers neither ext_idle_notifier_v1 nor org_kde_kwin_idle");
#else
    if (!r->notifier)
        return fail("Wayland: the compositor does not offer ext_idle_notifier_v1");
#endif
    s->name = r->notifier ? "ext_idle_notifier_v1" : "org_kde_kwin_idle";
    Watch(r);
    if (wl_display_roundtrip(r->display) < 0)
        return fail("Wayland: the compositor refused the idle notification");
    s->fd = wl_display_get_fd(r->display);
    return true;
}
