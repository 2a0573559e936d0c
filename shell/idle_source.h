// idle_source.h - the session's own word on when the user is idle and when
// active again, for zorvane --idle: one record per source, each read from a
// descriptor the watcher polls. No source polls input itself.
//
//   IdleSource s = {};
//   std::string why;
//   if (!OpenWaylandIdle(&s, seconds, &why) && !OpenGnomeIdle(&s, seconds, &why) ...) fail(why);
//   ... poll s.fd for POLLIN ...
//   switch (IdleRead(&s)) { case IdleEvent::Idle: ...; case IdleEvent::Active: ...; }
//   IdleClose(&s);
//
// Each source reports Idle once the session has had no input for the
// seconds it was opened with (and no idle inhibitor holds it, where the
// session has them), then Active at the next input, then Idle again after
// the next quiet spell, and so on. Lost means the session went away (the
// compositor, the bus or the X server): the watcher ends.
#pragma once

#include <cstdint>
#include <string>

enum class IdleEvent {
    Nothing,  // nothing that changes idleness arrived (X11 takes "None")
    Idle,    // quiet for the seconds asked
    Active,  // input again after Idle
    Lost,    // the connection to the session is gone
};

struct IdleSource {
    const char* name;  // what it listens to, for the start-up line ("ext_idle_notifier_v1", ...)
    int fd;            // readable when there is something for IdleRead
    void* state;       // the source's own record
    IdleEvent (*read)(IdleSource* s);  // reads what arrived, never waits
    // Counts quiet from now on, for when the pictures ended by their own
    // input and the session may not have said Active (it says nothing while
    // an inhibitor holds it). May be null: the source needs nothing.
    void (*restart)(IdleSource* s);
    void (*close)(IdleSource* s);
};

inline IdleEvent IdleRead(IdleSource* s) { return s->read(s); }
inline void IdleRestart(IdleSource* s)
{
    if (s->restart)
        s->restart(s);
}
inline void IdleClose(IdleSource* s)
{
    if (s->close)
        s->close(s);
    *s = IdleSource{};
}

// Each opens its source for seconds of quiet and returns true, or returns
// false with *why extended by a few words on what it tried and why that
// failed ("ext_idle_notifier_v1: the compositor does not offer it").
bool OpenWaylandIdle(IdleSource* s, uint32_t seconds, std::string* why);  // ext_idle_notifier_v1, else org_kde_kwin_idle
bool OpenGnomeIdle(IdleSource* s, uint32_t seconds, std::string* why);    // org.gnome.Mutter.IdleMonitor, session bus
bool OpenX11Idle(IdleSource* s, uint32_t seconds, std::string* why);      // the X server's XSync IDLETIME
