// random.cpp - see random.h. A 32-bit linear congruential generator, and
// the two derived draws with their exact single-precision roundings.
#include "engine/random.h"

#include <cmath>

static uint32_t g_state = 1;

void RandomSeed(uint32_t seed)
{
    g_state = seed;
}

uint32_t RandomState()
{
    return g_state;
}

int RandomInt()
{
    g_state = RandomNextState(g_state);
    return RandomDrawOf(g_state);
}

float RandomUnit(double k)
{
    const int a = RandomInt();
    const int b = RandomInt();
    float r;
    if (b == 0) {
        // The quotient is not finite: +inf for a > 0, NaN for 0 / 0. It is
        // passed on as it is, and the sign draw below still happens.
        r = a > 0 ? INFINITY : NAN;
    } else {
        const double q = static_cast<double>(a) / static_cast<double>(b);
        const float qs = static_cast<float>(q);
        const int n = static_cast<int>(q);  // q <= 32767, so this is exact truncation
        const float f = static_cast<float>(static_cast<double>(qs) - static_cast<double>(n));
        // n mod trunc(k), exact in double for any positive k; every caller passes 1.
        const double rem = std::fmod(static_cast<double>(n), std::trunc(k));
        r = static_cast<float>(rem - 1.0 + static_cast<double>(f));
    }
    const int c = RandomInt();
    if (c < 16383)
        r = -r;
    return r;
}

Colour RandomColour()
{
    const uint32_t green = static_cast<uint32_t>(RandomInt() % 255);
    const uint32_t red = static_cast<uint32_t>(RandomInt() % 255);
    const uint32_t blue = static_cast<uint32_t>(RandomInt() % 255);
    return red | green << 8 | blue << 16;
}
