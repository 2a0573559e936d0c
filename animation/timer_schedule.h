// timer_schedule.h - when the saver's periodic timers are due, written once
// for every clock: the headless virtual clock and the X11 event loop.
//
// Usage:
//   TimerSchedule timers[TimerSlots] = {};
//   ScheduleStart(&timers[1], now, periodMs, FrameTick);
//   uint64_t due;
//   unsigned id = ScheduleNextDue(timers, &due);   // 0: nothing running
//   if (id && due <= now) ScheduleRun(&timers[id], now, window);
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
void ScheduleRun(TimerSchedule* t, uint64_t now, SaverWindow window);                      // run it at now: advance, then its handler
