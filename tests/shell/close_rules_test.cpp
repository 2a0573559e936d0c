// PointerMovedTooFar: the movement that ends the saver; CloseOnPointer:
// the start it measures from, and a start taken afresh.
#include <gtest/gtest.h>

#include "shell/close_rules.h"

namespace {

// Manhattan distance from the first position, more than 3 to close, with
// no overflow across the whole range of 32-bit screen coordinates.
TEST(PointerRule, MoreThanThreePixelsInAnyMixOfDirections)
{
    struct {
        int64_t x0, y0, x, y;
        bool tooFar;
    } const cases[] = {
        {0, 0, 0, 0, false},    {0, 0, 2, 1, false},     {0, 0, 3, 0, false},
        {0, 0, -1, -2, false},  {10, 10, 8, 11, false},  {0, 0, 2, 2, true},
        {0, 0, -4, 0, true},    {0, 0, 0, 4, true},      {10, 10, 7, 9, true},
        {-2147483648LL, 0, 2147483647LL, 0, true},        {5, -2147483648LL, 5, -2147483645LL, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "(" << c.x0 << "," << c.y0 << ") to (" << c.x << "," << c.y << ")");
        EXPECT_EQ(c.tooFar, PointerMovedTooFar(c.x0, c.y0, c.x, c.y));
    }
}

// The first position is the start, never moved by the positions after it,
// until the layout changes.
TEST(CloseRules, PointerStartTakenOnceAndAfreshAfterALayoutChange)
{
    CloseRulesRecord r = {};
    EXPECT_FALSE(CloseOnPointer(&r, 100, 100));
    EXPECT_FALSE(CloseOnPointer(&r, 103, 100));
    EXPECT_FALSE(CloseOnPointer(&r, 100, 97));
    EXPECT_TRUE(CloseOnPointer(&r, 102, 102));
    CloseRulesRestartPointer(&r);
    EXPECT_FALSE(CloseOnPointer(&r, 900, 50));
    EXPECT_FALSE(CloseOnPointer(&r, 901, 52));
    EXPECT_TRUE(CloseOnPointer(&r, 100, 100));
}

}  // namespace
