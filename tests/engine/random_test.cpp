// The random stream: the generator, draw counts, the unit draw's roundings
// and its divide-by-zero rule, and the colour draw.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/random.h"

namespace {

constexpr auto Step = RandomNextState;
constexpr auto DrawOf = RandomDrawOf;

// The seed whose next state is `next`: inverts the generator's step.
uint32_t SeedBefore(uint32_t next)
{
    uint32_t inv = 214013u;  // Newton's iteration for the inverse modulo 2^32
    for (int i = 0; i < 5; i++)
        inv *= 2u - 214013u * inv;
    return (next - 2531011u) * inv;
}

// A seed after which the next three draws are a, then b and c matching the
// predicates; found by searching the states whose draw is a.
template <typename B, typename C>
uint32_t FindSeed(int a, B wantB, C wantC)
{
    for (uint32_t high = 0; high < 2; high++)
        for (uint32_t low = 0; low < 0x10000; low++) {
            const uint32_t s1 = high << 31 | static_cast<uint32_t>(a) << 16 | low;
            const uint32_t s2 = Step(s1);
            if (wantB(DrawOf(s2)) && wantC(DrawOf(Step(s2))))
                return SeedBefore(s1);
        }
    ADD_FAILURE() << "no seed found";
    return 0;
}

TEST(Random, KnownFirstDraws)
{
    RandomStream g = UnseededStream;  // the state before any seeding
    EXPECT_EQ(41, RandomInt(&g));
    RandomSeed(&g, 0);
    EXPECT_EQ(38, RandomInt(&g));
    EXPECT_EQ(7719, RandomInt(&g));
    EXPECT_EQ(21238, RandomInt(&g));
}

TEST(Random, IntRangeCoversZeroTo32767)
{
    RandomStream g = UnseededStream;
    RandomSeed(&g, 12345);
    int lo = 32767, hi = 0;
    for (int i = 0; i < 200000; i++) {
        const int v = RandomInt(&g);
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
        lo = v < lo ? v : lo;
        hi = v > hi ? v : hi;
    }
    EXPECT_EQ(0, lo);
    EXPECT_EQ(32767, hi);
}

TEST(Random, DrawCounts)
{
    RandomStream g = UnseededStream;
    RandomSeed(&g, 99);
    uint32_t s = 99;
    RandomUnit(&g, 1.0);
    s = Step(Step(Step(s)));
    EXPECT_EQ(s, g.state);
    RandomColour(&g);
    s = Step(Step(Step(s)));
    EXPECT_EQ(s, g.state);
}

TEST(Random, UnitWithZeroNumerator)
{
    RandomStream g = UnseededStream;
    // a = 0, b > 0: the quotient is 0, so r = -1, flipped when c < 16383.
    RandomSeed(&g, FindSeed(0, [](int b) { return b > 0; }, [](int c) { return c >= 16383; }));
    EXPECT_EQ(-1.0f, RandomUnit(&g, 1.0));
    RandomSeed(&g, FindSeed(0, [](int b) { return b > 0; }, [](int c) { return c < 16383; }));
    EXPECT_EQ(1.0f, RandomUnit(&g, 1.0));
    // The sign boundary: c = 16383 keeps the sign, 16382 flips it.
    RandomSeed(&g, FindSeed(0, [](int b) { return b > 0; }, [](int c) { return c == 16383; }));
    EXPECT_EQ(-1.0f, RandomUnit(&g, 1.0));
    RandomSeed(&g, FindSeed(0, [](int b) { return b > 0; }, [](int c) { return c == 16382; }));
    EXPECT_EQ(1.0f, RandomUnit(&g, 1.0));
}

TEST(Random, UnitWithZeroDivisorIsNotFinite)
{
    RandomStream g = UnseededStream;
    RandomSeed(&g, FindSeed(5, [](int b) { return b == 0; }, [](int c) { return c >= 16383; }));
    float r = RandomUnit(&g, 1.0);
    EXPECT_TRUE(std::isinf(r));
    EXPECT_GT(r, 0.0f);
    RandomSeed(&g, FindSeed(5, [](int b) { return b == 0; }, [](int c) { return c < 16383; }));
    r = RandomUnit(&g, 1.0);
    EXPECT_TRUE(std::isinf(r));
    EXPECT_LT(r, 0.0f);
    const uint32_t seed = FindSeed(0, [](int b) { return b == 0; }, [](int) { return true; });
    RandomSeed(&g, seed);
    EXPECT_TRUE(std::isnan(RandomUnit(&g, 1.0)));
    EXPECT_EQ(Step(Step(Step(seed))), g.state);  // still three draws
}

TEST(Random, UnitRoundsQuotientToSinglePrecision)
{
    RandomStream g = UnseededStream;
    // The fraction comes from the single-precision quotient, not the double
    // one, and each step is rounded to single precision again; over these
    // draws that differs from the all-double result at least once.
    int differsFromDouble = 0;
    for (int a = 32700; a <= 32767; a++) {
        RandomSeed(&g, FindSeed(a, [](int b) { return b > 1; }, [](int c) { return c >= 16383; }));
        const int b = DrawOf(Step(Step(g.state)));
        const float r = RandomUnit(&g, 1.0);
        const double q = static_cast<double>(a) / b;
        const int n = static_cast<int>(q);
        const float f = static_cast<float>(static_cast<double>(static_cast<float>(q)) - n);
        EXPECT_EQ(static_cast<float>(static_cast<double>(f) - 1.0), r) << a << " / " << b;
        differsFromDouble += r != static_cast<float>(q - n - 1.0);
    }
    EXPECT_GT(differsFromDouble, 0);
}

TEST(Random, UnitStaysWithinOneOverManySeeds)
{
    RandomStream g = UnseededStream;
    int nonFinite = 0, positive = 0, negative = 0;
    for (uint32_t seed = 0; seed < 2000; seed++) {
        RandomSeed(&g, seed * 2654435761u);
        for (int i = 0; i < 100; i++) {
            const uint32_t before = g.state;
            const float r = RandomUnit(&g, 1.0);
            const bool zeroDivisor = DrawOf(Step(Step(before))) == 0;
            if (zeroDivisor) {
                EXPECT_FALSE(std::isfinite(r));
                nonFinite++;
                continue;
            }
            ASSERT_GE(r, -1.0f);
            ASSERT_LE(r, 1.0f);
            (r > 0 ? positive : negative)++;
        }
    }
    EXPECT_GT(positive, 50000);
    EXPECT_GT(negative, 50000);
}

TEST(Random, ColourDrawsGreenThenRedThenBlue)
{
    RandomStream g = UnseededStream;
    for (uint32_t seed = 0; seed < 5000; seed++) {
        RandomSeed(&g, seed);
        const uint32_t s1 = Step(seed), s2 = Step(s1), s3 = Step(s2);
        const Colour c = RandomColour(&g);
        EXPECT_EQ(static_cast<uint32_t>(DrawOf(s1) % 255), (c >> 8) & 0xFF);
        EXPECT_EQ(static_cast<uint32_t>(DrawOf(s2) % 255), c & 0xFF);
        EXPECT_EQ(static_cast<uint32_t>(DrawOf(s3) % 255), (c >> 16) & 0xFF);
        EXPECT_EQ(0u, c >> 24);
    }
    // Draws 300, 10, 255 give green 45, red 10, blue 0.
    RandomSeed(&g, FindSeed(300, [](int b) { return b == 10; }, [](int) { return true; }));
    const uint32_t third = DrawOf(Step(Step(Step(g.state))));
    const Colour c = RandomColour(&g);
    EXPECT_EQ(0x2D0Au | (third % 255) << 16, c);
}

}  // namespace
