// timer_schedule.h - when a picture's periodic timers are due, written once
// for every clock the platform does not run itself: the headless virtual
// clock, the X11 event loop and the web page's timeout.
//
// Usage:
//   ScheduleStart(&saver->Timers[FrameTimerId], now, periodMs, FrameTick);
//   uint64_t due;
//   unsigned id = ScheduleNextDue(saver->Timers, &due);   // 0: nothing running
//   if (id && due <= now) ScheduleRun(saver, id, now);
//
// Rules: a period is clamped to 10..0x7FFFFFFF ms, as a window timer is; a
// timer of period p started at time s is due at s + k * p for k = 1, 2, ...;
// the earliest due timer runs first and a tie goes to the smaller id. A
// timer that fell behind runs once and is then due at its next multiple
// after now: missed ticks are dropped, never queued.
#pragma once

#include <cstdint>

#include "animation/platform.h"

constexpr unsigned TimerSlots = 3;  // ids 1 and 2 are used; slot 0 stays empty

struct TimerSchedule {
    bool active;
    uint32_t period;       // after clamping, ms
    uint64_t due;          // next due time, ms on the caller's clock
    TimerHandler handler;
};

uint32_t ScheduleClampPeriod(uint32_t periodMs);                                           // 10..0x7FFFFFFF
void ScheduleStart(TimerSchedule* t, uint64_t now, uint32_t periodMs, TimerHandler handler);  // due at now + period
unsigned ScheduleNextDue(const TimerSchedule timers[TimerSlots], uint64_t* due);           // id of the earliest, 0 if none
void ScheduleAdvance(TimerSchedule* t, uint64_t now);                                      // after running at now: next due
void ScheduleRun(SaverRecord* saver, unsigned id, uint64_t now);  // run saver's timer id at now: advance, then its handler
