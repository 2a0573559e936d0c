// The timer rule of the clocks that are not the platform's own: the period
// clamp, due times on the start's grid, the smaller id on a tie, and a timer
// that fell behind running once and dropping the ticks it missed.
#include <gtest/gtest.h>

#include <string>

#include "animation/timer_schedule.h"

namespace {

void Tick(SaverRecord*) {}

TEST(TimerSchedule, PeriodIsClampedToTenThroughMaxInt)
{
    const uint32_t in[] = {0, 9, 10, 11, 200, 0x7FFFFFFEu, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu};
    const uint32_t out[] = {10, 10, 10, 11, 200, 0x7FFFFFFEu, 0x7FFFFFFFu, 0x7FFFFFFFu, 0x7FFFFFFFu};
    for (size_t i = 0; i < sizeof in / sizeof in[0]; i++)
        EXPECT_EQ(out[i], ScheduleClampPeriod(in[i])) << "period " << in[i];

    TimerSchedule t = {};
    ScheduleStart(&t, 5, 0, Tick);
    EXPECT_TRUE(t.active);
    EXPECT_EQ(10u, t.period);
    EXPECT_EQ(15u, t.due);
    EXPECT_EQ(&Tick, t.handler);
}

// Periods 200 and 1000 from time 0, run on time like the headless clock:
// every tick on the grid, and the frame timer (id 1) first where they meet.
TEST(TimerSchedule, OnTimeTicksFollowTheGridAndTiesGoToTheSmallerId)
{
    TimerSchedule timers[TimerSlots] = {};
    uint64_t due = 77;
    EXPECT_EQ(0u, ScheduleNextDue(timers, &due));
    EXPECT_EQ(77u, due);

    ScheduleStart(&timers[2], 0, 1000, Tick);
    EXPECT_EQ(2u, ScheduleNextDue(timers, &due));
    EXPECT_EQ(1000u, due);
    ScheduleStart(&timers[1], 0, 200, Tick);
    std::string log;
    for (;;) {
        const unsigned id = ScheduleNextDue(timers, &due);
        if (due > 2000)
            break;
        log += std::to_string(due) + ":" + std::to_string(id) + " ";
        ScheduleAdvance(&timers[id], due);
    }
    EXPECT_EQ("200:1 400:1 600:1 800:1 1000:1 1000:2 1200:1 1400:1 1600:1 1800:1 2000:1 2000:2 ", log);

    // The earlier one runs first, whatever its id.
    timers[2].due = timers[1].due - 1;
    EXPECT_EQ(2u, ScheduleNextDue(timers, &due));
    EXPECT_EQ(timers[2].due, due);
}

// Run at `now`, a timer of period 200 started at `start` is next due at the
// first multiple of its grid after now: once late, ticks are dropped, never
// made up.
TEST(TimerSchedule, FellBehindRunsOnceThenTheNextMultipleAfterNow)
{
    struct {
        uint64_t start, now, next;
    } const cases[] = {
        {0, 200, 400},              // on time
        {0, 250, 400},              // late, still before the next tick: the grid holds
        {0, 399, 400},
        {0, 400, 600},              // one tick missed, exactly on a multiple
        {0, 1050, 1200},            // four missed
        {7, 1050, 1207},            // the grid is the start's
        {0, 1000000000001, 1000000000200},  // far behind
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "start " << c.start << ", run at " << c.now);
        TimerSchedule t = {};
        ScheduleStart(&t, c.start, 200, Tick);
        ScheduleAdvance(&t, c.now);
        EXPECT_EQ(c.next, t.due);
    }

    // The longest period, far behind on a clock past 32 bits.
    TimerSchedule t = {};
    ScheduleStart(&t, 0, 0x7FFFFFFFu, Tick);
    const uint64_t now = (uint64_t(1) << 40) + 3;
    ScheduleAdvance(&t, now);
    EXPECT_GT(t.due, now);
    EXPECT_LE(t.due - now, 0x7FFFFFFFu);
    EXPECT_EQ(0u, t.due % 0x7FFFFFFFu);
}

}  // namespace
