// trig_reference.h - the arguments over which the engine's sine and cosine
// are compared with MPFR, and the hash that condenses the results, shared
// by the table generator (native, MPFR) and the test that runs on every
// build against the generated table.
#pragma once
#include <cstdint>
#include <cstring>

// The degree constant of the view rotation (0x3F91DF46A2529D3A).
const double kTrigDegree = 0.0174532925199433;

// Exhaustive blocks of frames k = 0, 1, 2, ... at half a degree a frame,
// then sampled sets of the same number of arguments each.
const int kTrigBlockFrames = 1 << 16;
const int kTrigBlocks = 16;
const uint64_t kTrigFarFrames = 1ull << 26;     // sampled frames up to here,
const uint64_t kTrigBeyondFrames = 1ull << 40;  // and then up to here

inline uint64_t TrigMix(uint64_t z)  // splitmix64's finaliser
{
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

inline uint64_t TrigNext(uint64_t* state)
{
    *state += 0x9E3779B97F4A7C15ull;
    return TrigMix(*state);
}

// A frame number in [lo, hi).
inline uint64_t TrigSampleFrame(uint64_t* state, uint64_t lo, uint64_t hi)
{
    return lo + TrigNext(state) % (hi - lo);
}

// A finite double of random sign and bits, exponent uniform over
// [-1074, 1023] when wide, else over [-30, 30].
inline double TrigSampleDouble(uint64_t* state, bool wide)
{
    for (;;) {
        uint64_t bits = TrigNext(state);
        if (!wide)
            bits = (bits & 0x800FFFFFFFFFFFFFull) | (static_cast<uint64_t>(1023 - 30 + (bits >> 52 & 0x7FF) % 61) << 52);
        double d;
        std::memcpy(&d, &bits, sizeof d);
        if (d - d == 0.0)  // finite
            return d;
    }
}

inline uint64_t TrigHash(uint64_t h, double s, double c)
{
    uint64_t bs, bc;
    std::memcpy(&bs, &s, sizeof bs);
    std::memcpy(&bc, &c, sizeof bc);
    return TrigMix(TrigMix(h ^ bs) ^ bc);
}

const uint64_t kTrigHashStart = 0x6A09E667F3BCC909ull;
