// idle_gnome_linux.cpp - the idle source of a GNOME session: the idle
// monitor its compositor publishes on the session bus,
// org.gnome.Mutter.IdleMonitor at /org/gnome/Mutter/IdleMonitor/Core.
//
// An idle watch of the seconds asked fires each time the session has had
// that long without input (the compositor re-arms it after every input);
// when it fires, a user-active watch (which fires once, at the next input)
// tells when the quiet spell ends. Both belong to this connection and go
// with it.
//
// Idle inhibitors (org.gnome.SessionManager.Inhibit with flag 8, held by a
// playing video) are the session manager's: the compositor follows its
// InhibitedActions property and holds every idle watch while one is there,
// starting the count again when the last goes. A session manager the
// compositor does not follow is asked too: when the watch fires, IsInhibited(8);
// while it says yes, the source waits for InhibitorRemoved (no polling) and
// then arms a new idle watch, which the compositor counts from the later of
// the last input and the release. Without a session manager (no owner of
// the name) nothing inhibits.
//
// All calls after opening are asynchronous: read() only dispatches what has
// arrived and sends what follows from it, and never waits for a reply.
#include <systemd/sd-bus.h>

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <new>

#include "shell/idle_source.h"

namespace {

const char kMonitor[] = "org.gnome.Mutter.IdleMonitor";
const char kMonitorPath[] = "/org/gnome/Mutter/IdleMonitor/Core";
const char kSession[] = "org.gnome.SessionManager";
const char kSessionPath[] = "/org/gnome/SessionManager";
const uint32_t kInhibitIdle = 8;
// A reply is waited for as long as it takes: the descriptor may go unread
// for a long time (while the pictures show), and a reply that comes late is
// still good; a session that is gone says so by its name's owner going.
const uint64_t kNoTimeout = UINT64_MAX;

enum class Phase {
    Quiet,      // waiting for the idle watch
    Asking,     // the idle watch fired; IsInhibited asked
    Inhibited,  // an inhibitor holds the session: waiting for it to go
    Idle,       // idle; waiting for the user-active watch
};

struct GnomeIdle {
    sd_bus* bus = nullptr;
    uint64_t intervalMs = 0;
    uint32_t idleWatch = 0;
    uint32_t activeWatch = 0;
    Phase phase = Phase::Quiet;
    bool rearm = false;     // the pending IsInhibited follows a release: a new idle watch if none is left
    bool idle = false;      // what the session is now
    bool reported = false;  // what read() last told
    bool lost = false;
};

GnomeIdle* StateOf(void* userdata) { return static_cast<GnomeIdle*>(userdata); }

// An asynchronous call to the idle monitor, its reply to onReply. Any
// failure to send means the connection is gone.
void CallMonitor(GnomeIdle* g, const char* member, sd_bus_message_handler_t onReply, const char* types, ...);

int OnIdleWatchAdded(sd_bus_message* m, void* userdata, sd_bus_error*)
{
    GnomeIdle* g = StateOf(userdata);
    if (sd_bus_message_is_method_error(m, nullptr) || sd_bus_message_read(m, "u", &g->idleWatch) < 0)
        g->lost = true;  // the monitor no longer takes watches
    return 0;
}

void ArmIdleWatch(GnomeIdle* g)
{
    if (g->idleWatch)
        CallMonitor(g, "RemoveWatch", nullptr, "u", g->idleWatch);
    g->idleWatch = 0;
    CallMonitor(g, "AddIdleWatch", OnIdleWatchAdded, "t", g->intervalMs);
}

// Input between the idle watch firing and the user-active watch being
// added fires no watch: the idle time, asked after the watch is in place,
// shows it.
int OnIdletime(sd_bus_message* m, void* userdata, sd_bus_error*)
{
    GnomeIdle* g = StateOf(userdata);
    uint64_t ms = 0;
    if (sd_bus_message_is_method_error(m, nullptr) || sd_bus_message_read(m, "t", &ms) < 0)
        return 0;
    if (g->phase == Phase::Idle && ms < g->intervalMs) {
        g->idle = false;
        g->phase = Phase::Quiet;
        if (g->activeWatch)
            CallMonitor(g, "RemoveWatch", nullptr, "u", g->activeWatch);
        g->activeWatch = 0;
    }
    return 0;
}

int OnActiveWatchAdded(sd_bus_message* m, void* userdata, sd_bus_error*)
{
    GnomeIdle* g = StateOf(userdata);
    uint32_t id = 0;
    if (sd_bus_message_is_method_error(m, nullptr) || sd_bus_message_read(m, "u", &id) < 0) {
        g->lost = true;
        return 0;
    }
    if (g->phase != Phase::Idle) {  // active again before the watch was in place
        CallMonitor(g, "RemoveWatch", nullptr, "u", id);
        return 0;
    }
    g->activeWatch = id;
    CallMonitor(g, "GetIdletime", OnIdletime, "");
    return 0;
}

int OnInhibited(sd_bus_message* m, void* userdata, sd_bus_error*)
{
    GnomeIdle* g = StateOf(userdata);
    if (g->phase != Phase::Asking)
        return 0;
    int inhibited = 0;
    // An error reply (no session manager, or one without the method) is no inhibitor.
    if (!sd_bus_message_is_method_error(m, nullptr) && sd_bus_message_read(m, "b", &inhibited) < 0)
        inhibited = 0;
    if (inhibited) {
        g->phase = Phase::Inhibited;
    } else if (g->rearm) {
        g->phase = Phase::Quiet;
        ArmIdleWatch(g);
    } else {
        g->phase = Phase::Idle;
        g->idle = true;
        CallMonitor(g, "AddUserActiveWatch", OnActiveWatchAdded, "");
    }
    return 0;
}

// IsInhibited(8), never starting a session manager that is not running.
void AskInhibited(GnomeIdle* g, bool rearm)
{
    sd_bus_message* call = nullptr;
    g->phase = Phase::Asking;
    g->rearm = rearm;
    if (sd_bus_message_new_method_call(g->bus, &call, kSession, kSessionPath, kSession, "IsInhibited") < 0 ||
        sd_bus_message_set_auto_start(call, 0) < 0 || sd_bus_message_append(call, "u", kInhibitIdle) < 0 ||
        sd_bus_call_async(g->bus, nullptr, call, OnInhibited, g, kNoTimeout) < 0)
        g->lost = true;
    sd_bus_message_unref(call);
}

int OnWatchFired(sd_bus_message* m, void* userdata, sd_bus_error*)
{
    GnomeIdle* g = StateOf(userdata);
    uint32_t id = 0;
    if (sd_bus_message_read(m, "u", &id) < 0 || id == 0)
        return 0;
    if (id == g->idleWatch && (g->phase == Phase::Quiet || g->phase == Phase::Inhibited)) {
        AskInhibited(g, false);
    } else if (id == g->activeWatch) {
        g->activeWatch = 0;  // a user-active watch fires once
        g->idle = false;
        g->phase = Phase::Quiet;
    }
    return 0;
}

// An inhibitor gone, or the session manager itself: ask again.
int OnInhibitorChange(sd_bus_message*, void* userdata, sd_bus_error*)
{
    GnomeIdle* g = StateOf(userdata);
    if (g->phase == Phase::Inhibited)
        AskInhibited(g, true);
    return 0;
}

int OnMonitorOwner(sd_bus_message* m, void* userdata, sd_bus_error*)
{
    const char* name = nullptr;
    const char* from = nullptr;
    const char* to = nullptr;
    if (sd_bus_message_read(m, "sss", &name, &from, &to) >= 0 && std::strcmp(name, kMonitor) == 0)
        StateOf(userdata)->lost = true;  // gone, or another owner that knows none of our watches
    return 0;
}

void CallMonitor(GnomeIdle* g, const char* member, sd_bus_message_handler_t onReply, const char* types, ...)
{
    sd_bus_message* call = nullptr;
    va_list ap;
    va_start(ap, types);
    int r = sd_bus_message_new_method_call(g->bus, &call, kMonitor, kMonitorPath, kMonitor, member);
    if (r >= 0)
        r = sd_bus_message_appendv(call, types, ap);
    va_end(ap);
    if (r >= 0 && !onReply)
        r = sd_bus_message_set_expect_reply(call, 0);
    if (r >= 0)
        r = onReply ? sd_bus_call_async(g->bus, nullptr, call, onReply, g, kNoTimeout)
                    : sd_bus_send(g->bus, call, nullptr);
    if (r < 0)
        g->lost = true;
    sd_bus_message_unref(call);
}

// Runs what has arrived until nothing is left: afterwards sd-bus holds no
// unread message, so the descriptor is readable exactly when more comes.
// POLLIN alone suffices: sd-bus writes each call as it is sent, and a
// handful of small calls never fill the socket's buffer, so it never needs
// POLLOUT (whatever is left is written by the next sd_bus_process anyway);
// and no call has a timeout (kNoTimeout), so sd_bus_get_timeout has nothing
// to wake for.
void Dispatch(GnomeIdle* g)
{
    int r;
    while ((r = sd_bus_process(g->bus, nullptr)) > 0) {
    }
    if (r < 0)
        g->lost = true;
}

IdleEvent ReadGnome(IdleSource* s)
{
    GnomeIdle* g = StateOf(s->state);
    if (!g->lost)
        Dispatch(g);
    if (g->lost)
        return IdleEvent::Lost;
    if (g->idle == g->reported)
        return IdleEvent::Nothing;
    g->reported = g->idle;
    return g->idle ? IdleEvent::Idle : IdleEvent::Active;
}

// The pictures ended by their own input: quiet counts from that input on,
// with a fresh idle watch (the compositor counts it from the last input),
// whatever the session said meanwhile.
void RestartGnome(IdleSource* s)
{
    GnomeIdle* g = StateOf(s->state);
    if (g->lost)
        return;
    if (g->activeWatch)
        CallMonitor(g, "RemoveWatch", nullptr, "u", g->activeWatch);
    g->activeWatch = 0;
    g->phase = Phase::Quiet;
    g->idle = g->reported = false;
    ArmIdleWatch(g);
}

void CloseGnome(IdleSource* s)
{
    GnomeIdle* g = StateOf(s->state);
    sd_bus_flush_close_unref(g->bus);  // the watches go with the connection
    delete g;
}

bool Fail(GnomeIdle* g, std::string* why, const char* what)
{
    if (!why->empty())
        *why += "; ";
    *why += kMonitor;
    *why += ": ";
    *why += what;
    sd_bus_flush_close_unref(g->bus);
    delete g;
    return false;
}

std::string MatchOf(const char* rule, const char* arg)
{
    std::string match = rule;
    match += arg;
    match += "'";
    return match;
}

}  // namespace

bool OpenGnomeIdle(IdleSource* s, uint32_t seconds, std::string* why)
{
    GnomeIdle* g = new (std::nothrow) GnomeIdle;
    if (!g)
        return Fail(g, why, "out of memory");
    g->intervalMs = seconds ? uint64_t{seconds} * 1000 : 1;
    if (sd_bus_open_user(&g->bus) < 0) {
        const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
        return Fail(g, why, address && *address ? "cannot connect to the session bus at $DBUS_SESSION_BUS_ADDRESS"
                                                : "no session bus (DBUS_SESSION_BUS_ADDRESS is not set and there "
                                                  "is no $XDG_RUNTIME_DIR/bus)");
    }

    // The matches first, then the owner: a monitor that goes in between is seen.
    const std::string owner = MatchOf(
        "type='signal',sender='org.freedesktop.DBus',path='/org/freedesktop/DBus',"
        "interface='org.freedesktop.DBus',member='NameOwnerChanged',arg0='", kMonitor);
    const std::string session = MatchOf(
        "type='signal',sender='org.freedesktop.DBus',path='/org/freedesktop/DBus',"
        "interface='org.freedesktop.DBus',member='NameOwnerChanged',arg0='", kSession);
    const std::string removed = MatchOf(
        "type='signal',interface='org.gnome.SessionManager',member='InhibitorRemoved',path='", kSessionPath);
    if (sd_bus_add_match(g->bus, nullptr, owner.c_str(), OnMonitorOwner, g) < 0 ||
        sd_bus_add_match(g->bus, nullptr, session.c_str(), OnInhibitorChange, g) < 0 ||
        sd_bus_add_match(g->bus, nullptr, removed.c_str(), OnInhibitorChange, g) < 0)
        return Fail(g, why, "the session bus refused to pass on its signals");

    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    const char* unique = nullptr;
    int r = sd_bus_call_method(g->bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                               "GetNameOwner", &error, &reply, "s", kMonitor);
    if (r >= 0)
        r = sd_bus_message_read(reply, "s", &unique);
    std::string fired;
    if (r >= 0)
        fired = MatchOf("type='signal',interface='org.gnome.Mutter.IdleMonitor',member='WatchFired',"
                        "path='/org/gnome/Mutter/IdleMonitor/Core',sender='", unique);
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    if (r < 0)
        return Fail(g, why, "not on the session bus");
    if (sd_bus_add_match(g->bus, nullptr, fired.c_str(), OnWatchFired, g) < 0)
        return Fail(g, why, "the session bus refused to pass on its signals");
    Dispatch(g);
    if (g->lost)
        return Fail(g, why, "left the session bus");
    // The watch's reply, like all that follows, comes through the descriptor.
    ArmIdleWatch(g);
    if (g->lost)
        return Fail(g, why, "the session bus connection failed");

    s->name = kMonitor;
    s->fd = sd_bus_get_fd(g->bus);
    s->state = g;
    s->read = ReadGnome;
    s->restart = RestartGnome;
    s->close = CloseGnome;
    return true;
}
