// trig_mpfr_test.cpp - the engine's sine and cosine, bit for bit, against
// MPFR's correctly rounded ones (native only). Every half-degree view angle
// up to frame 2^22 by default; ZORVANE_TRIG_FRAMES=N checks frames 0 to N
// instead (N = 67108864 takes a few minutes).
#include <gtest/gtest.h>

#include <cfloat>
#include <cstdlib>
#include <cstring>

#include "engine/matrix.h"
#include "engine/trig.h"
#include "tests/engine/trig_mpfr.h"
#include "tests/engine/trig_reference.h"

namespace {

uint64_t Bits(double d)
{
    uint64_t b;
    std::memcpy(&b, &d, sizeof b);
    return b;
}

// Counts the mismatches of one comparison after another and reports the
// first few.
struct Mismatches {
    int count = 0;
    void Check(const char* what, double arg, double sine, double cosine, double refSine, double refCosine)
    {
        if (Bits(sine) == Bits(refSine) && Bits(cosine) == Bits(refCosine))
            return;
        if (++count <= 5)
            ADD_FAILURE() << what << " " << arg << std::hexfloat << " (" << arg << "): sin " << sine << " cos "
                          << cosine << ", MPFR " << refSine << " " << refCosine;
    }
};

// The rotation about y for an angle in degrees: m[2][0] = sin, m[2][2] = cos.
void CheckAngle(Mismatches* bad, double angle)
{
    Matrix4 m;
    MatRotateAxis(&m, 2, angle);
    double s, c;
    ReferenceSinCos(angle * kTrigDegree, &s, &c);
    bad->Check("angle", angle, m.m[8], m.m[10], s, c);
}

void CheckDouble(Mismatches* bad, double x)
{
    double s, c, rs, rc;
    EngineSinCos(x, &s, &c);
    ReferenceSinCos(x, &rs, &rc);
    bad->Check("x", x, s, c, rs, rc);
}

TEST(TrigMpfr, EveryHalfDegreeViewAngle)
{
    const char* env = std::getenv("ZORVANE_TRIG_FRAMES");
    const uint64_t last = env ? std::strtoull(env, nullptr, 10) : 1ull << 22;
    Mismatches bad;
    for (uint64_t k = 0; k <= last; k++)
        CheckAngle(&bad, static_cast<double>(k) * 0.5);
    EXPECT_EQ(0, bad.count) << "of frames 0 to " << last;
}

TEST(TrigMpfr, SampledViewAnglesFurtherOn)
{
    uint64_t state = 11;
    Mismatches bad;
    for (int i = 0; i < 200000; i++) {
        const double angle = static_cast<double>(TrigSampleFrame(&state, 1ull << 22, kTrigFarFrames + 1)) * 0.5;
        CheckAngle(&bad, i % 2 ? -angle : angle);
    }
    for (int i = 0; i < 100000; i++)
        CheckAngle(&bad, static_cast<double>(TrigSampleFrame(&state, kTrigFarFrames, kTrigBeyondFrames)) * 0.5);
    EXPECT_EQ(0, bad.count);
}

TEST(TrigMpfr, RandomDoubles)
{
    uint64_t state = 12;
    Mismatches bad;
    for (int i = 0; i < 100000; i++) {
        CheckDouble(&bad, TrigSampleDouble(&state, true));
        CheckDouble(&bad, TrigSampleDouble(&state, false));
    }
    // The ends of each path: the smallest and largest doubles, either side
    // of 2^-27 and pi/4, the doubles nearest pi/2 and pi, and the double
    // closest to a multiple of pi/2 of all.
    const double edges[] = {DBL_TRUE_MIN, DBL_MIN, 0x1.fffffffffffffp-28, 0x1p-27, 0x1.921fb54442d17p-1,
                            0x1.921fb54442d18p-1, 0x1.921fb54442d19p-1, 0x1.921fb54442d18p+0,
                            0x1.921fb54442d18p+1, 0x1.6ac5b262ca1ffp+849, DBL_MAX};
    for (double x : edges) {
        CheckDouble(&bad, x);
        CheckDouble(&bad, -x);
    }
    EXPECT_EQ(0, bad.count);
}

}  // namespace
