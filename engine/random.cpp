// random.cpp - see random.h. A 32-bit linear congruential generator, and
// the two derived draws with their exact single-precision roundings.
#include "engine/random.h"

#include <cmath>

void RandomSeed(RandomStream* r, uint32_t seed)
{
    r->state = seed;
}

int RandomInt(RandomStream* r)
{
    r->state = RandomNextState(r->state);
    return RandomDrawOf(r->state);
}

float RandomUnit(RandomStream* stream, double k)
{
    const int a = RandomInt(stream);
    const int b = RandomInt(stream);
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
    const int c = RandomInt(stream);
    if (c < 16383)
        r = -r;
    return r;
}

Colour RandomColour(RandomStream* r)
{
    const uint32_t green = static_cast<uint32_t>(RandomInt(r) % 255);
    const uint32_t red = static_cast<uint32_t>(RandomInt(r) % 255);
    const uint32_t blue = static_cast<uint32_t>(RandomInt(r) % 255);
    return red | green << 8 | blue << 16;
}
