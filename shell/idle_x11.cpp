// idle_x11.cpp - the X server's own idle time: the SYNC extension's
// IDLETIME counter (milliseconds since the last input on any device), with
// two alarms on a connection of their own. One fires when the counter
// rises through the idle time, the other when it falls back below it (the
// next input); both stay armed, so each quiet spell and each return is
// reported once, without polling. The counter knows no inhibitors, but a
// program that keeps the display awake the X11 way (XResetScreenSaver, as
// video players and `xset s reset` do) resets it as input does.
#include <X11/Xlib.h>
#include <X11/extensions/sync.h>

#include <cstring>
#include <new>

#include "shell/idle_source.h"

struct X11IdleRecord {
    Display* display;
    int syncEvent;          // the extension's first event code
    XSyncAlarm idle, back;  // rising through, falling below the idle time
    bool idleAlready;       // quiet for longer than the idle time when opened
};

static X11IdleRecord* Record(IdleSource* s)
{
    return static_cast<X11IdleRecord*>(s->state);
}

static XSyncAlarm MakeAlarm(Display* d, XSyncCounter counter, int64_t value, XSyncTestType test)
{
    XSyncAlarmAttributes a = {};
    a.trigger.counter = counter;
    a.trigger.value_type = XSyncAbsolute;
    XSyncIntsToValue(&a.trigger.wait_value, static_cast<unsigned>(value & 0xFFFFFFFF), static_cast<int>(value >> 32));
    a.trigger.test_type = test;
    XSyncIntToValue(&a.delta, 0);
    a.events = True;
    return XSyncCreateAlarm(d, XSyncCACounter | XSyncCAValueType | XSyncCAValue | XSyncCATestType | XSyncCADelta |
                                   XSyncCAEvents,
                            &a);
}

// Reads the alarms that fired; the last one counts. A broken connection
// ends the process through Xlib's I/O error handler, with its message.
static IdleEvent ReadX11Idle(IdleSource* s)
{
    X11IdleRecord* r = Record(s);
    IdleEvent latest = r->idleAlready ? IdleEvent::Idle : IdleEvent::Nothing;
    r->idleAlready = false;
    while (XPending(r->display) > 0) {
        XEvent e;
        XNextEvent(r->display, &e);
        if (e.type != r->syncEvent + XSyncAlarmNotify)
            continue;
        const XSyncAlarm alarm = reinterpret_cast<XSyncAlarmNotifyEvent*>(&e)->alarm;
        if (alarm == r->idle)
            latest = IdleEvent::Idle;
        else if (alarm == r->back)
            latest = IdleEvent::Active;
    }
    return latest;
}

static void CloseX11Idle(IdleSource* s)
{
    X11IdleRecord* r = Record(s);
    if (!r)
        return;
    if (r->display) {
        if (r->idle)
            XSyncDestroyAlarm(r->display, r->idle);
        if (r->back)
            XSyncDestroyAlarm(r->display, r->back);
        XCloseDisplay(r->display);
    }
    delete r;
}

bool OpenX11Idle(IdleSource* s, uint32_t seconds, std::string* why)
{
    auto* r = new (std::nothrow) X11IdleRecord{};
    if (!r)
        return false;
    *s = IdleSource{"XSync IDLETIME", -1, r, ReadX11Idle, nullptr, CloseX11Idle};  // input resets the counter itself
    const auto fail = [s, why](const char* reason) {
        *why += reason;
        IdleClose(s);
        return false;
    };
    r->display = XOpenDisplay(nullptr);
    if (!r->display)
        return fail("X11: no display to connect to");
    int errorBase = 0, major = 0, minor = 0;
    if (!XSyncQueryExtension(r->display, &r->syncEvent, &errorBase) ||
        !XSyncInitialize(r->display, &major, &minor))
        return fail("X11: the server has no SYNC extension");
    XSyncCounter idletime = 0;
    int count = 0;
    if (XSyncSystemCounter* counters = XSyncListSystemCounters(r->display, &count)) {
        for (int i = 0; i < count; i++)
            if (std::strcmp(counters[i].name, "IDLETIME") == 0)
                idletime = counters[i].counter;
        XSyncFreeSystemCounterList(counters);
    }
    if (!idletime)
        return fail("X11: the server has no IDLETIME counter");
    const int64_t ms = static_cast<int64_t>(seconds) * 1000;
    r->idle = MakeAlarm(r->display, idletime, ms, XSyncPositiveTransition);
    r->back = MakeAlarm(r->display, idletime, ms - 1, XSyncNegativeTransition);
    // The alarm fires on the way up through the idle time: a session quiet
    // for longer already is idle now.
    XSyncValue now;
    if (XSyncQueryCounter(r->display, idletime, &now))
        r->idleAlready = (static_cast<int64_t>(XSyncValueHigh32(now)) << 32 | XSyncValueLow32(now)) >= ms;
    XSync(r->display, False);
    s->fd = ConnectionNumber(r->display);
    return true;
}
