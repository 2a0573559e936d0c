// trig_test.cpp - the engine's sine and cosine give the bits MPFR gives,
// on every build: hashes of the results over every half-degree view angle
// to frame 2^20, over sampled angles to frame 2^40 and over sampled
// doubles, against the table trig_reference_gen wrote from MPFR.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/matrix.h"
#include "engine/trig.h"
#include "tests/engine/trig_reference.h"

namespace {

#include "tests/engine/trig_reference.inc"

// The rotation about y for frame k: m[2][0] = sin, m[2][2] = cos.
uint64_t HashFrame(uint64_t h, uint64_t k)
{
    Matrix4 m;
    MatRotateAxis(&m, 2, static_cast<double>(k) * 0.5);
    return TrigHash(h, m.m[8], m.m[10]);
}

TEST(Trig, EveryViewAngleToFrameTwoToTheTwentyMatchesMpfr)
{
    for (int b = 0; b < kTrigBlocks; b++) {
        uint64_t h = kTrigHashStart;
        for (uint64_t k = 0; k < kTrigBlockFrames; k++)
            h = HashFrame(h, static_cast<uint64_t>(b) * kTrigBlockFrames + k);
        EXPECT_EQ(kTrigBlockHashes[b], h) << "frames from " << b * kTrigBlockFrames;
    }
}

TEST(Trig, SampledViewAnglesMatchMpfr)
{
    uint64_t state = 1, h = kTrigHashStart;
    const uint64_t exhaustive = static_cast<uint64_t>(kTrigBlocks) * kTrigBlockFrames;
    for (int i = 0; i < kTrigBlockFrames; i++)
        h = HashFrame(h, TrigSampleFrame(&state, exhaustive, kTrigFarFrames + 1));
    EXPECT_EQ(kTrigFarHash, h) << "frames to 2^26";
    state = 2, h = kTrigHashStart;
    for (int i = 0; i < kTrigBlockFrames; i++)
        h = HashFrame(h, TrigSampleFrame(&state, kTrigFarFrames + 1, kTrigBeyondFrames));
    EXPECT_EQ(kTrigBeyondHash, h) << "frames to 2^40";
}

TEST(Trig, SampledDoublesMatchMpfr)
{
    const uint64_t expected[2] = {kTrigModerateDoubleHash, kTrigWideDoubleHash};
    for (int wide = 0; wide < 2; wide++) {
        uint64_t state = 3 + wide, h = kTrigHashStart;
        for (int i = 0; i < kTrigBlockFrames; i++) {
            double s, c;
            EngineSinCos(TrigSampleDouble(&state, wide), &s, &c);
            h = TrigHash(h, s, c);
        }
        EXPECT_EQ(expected[wide], h) << (wide ? "exponents -1074 to 1023" : "exponents -30 to 30");
    }
}

TEST(Trig, NonFiniteGivesNanAndZeroKeepsItsSign)
{
    const double nonFinite[] = {INFINITY, -INFINITY, NAN};
    for (double x : nonFinite) {
        double s = 0.0, c = 0.0;
        EngineSinCos(x, &s, &c);
        EXPECT_TRUE(std::isnan(s)) << x;
        EXPECT_TRUE(std::isnan(c)) << x;
    }
    double s, c;
    EngineSinCos(-0.0, &s, &c);
    EXPECT_TRUE(s == 0.0 && std::signbit(s));
    EXPECT_EQ(1.0, c);
}

}  // namespace
