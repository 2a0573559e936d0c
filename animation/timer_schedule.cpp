// timer_schedule.cpp - see timer_schedule.h.
#include "animation/timer_schedule.h"

#include "animation/controller.h"

uint32_t ScheduleClampPeriod(uint32_t periodMs)
{
    if (periodMs < 10)
        return 10;
    return periodMs > 0x7FFFFFFFu ? 0x7FFFFFFFu : periodMs;
}

void ScheduleStart(TimerSchedule* t, uint64_t now, uint32_t periodMs, TimerHandler handler)
{
    const uint32_t period = ScheduleClampPeriod(periodMs);
    *t = TimerSchedule{true, period, now + period, handler};
}

unsigned ScheduleNextDue(const TimerSchedule timers[TimerSlots], uint64_t* due)
{
    unsigned next = 0;
    for (unsigned id = 1; id < TimerSlots; id++)
        if (timers[id].active && (next == 0 || timers[id].due < timers[next].due))
            next = id;  // strictly earlier: on a tie the smaller id, found first, stays
    if (next && due)
        *due = timers[next].due;
    return next;
}

void ScheduleAdvance(TimerSchedule* t, uint64_t now)
{
    t->due += t->period;
    if (t->due <= now)  // fell behind: skip to the first multiple after now
        t->due += (now - t->due) / t->period * t->period + t->period;
}

void ScheduleRun(SaverRecord* saver, unsigned id, uint64_t now)
{
    TimerSchedule* t = &saver->Timers[id];
    ScheduleAdvance(t, now);
    t->handler(saver);
}
