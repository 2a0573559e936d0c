// random.h - the pseudo-random integer stream behind every random choice of
// one picture. Each picture owns its stream; nothing else draws from it.
//
// Each operation draws a fixed number of integers, so any sequence of
// operations is reproducible from the seed.
#pragma once

#include <cstdint>

// A colour laid out as 0x00BBGGRR: red in the low byte, blue in the third.
using Colour = uint32_t;

struct RandomStream {
    uint32_t state;  // the generator state; 1 before any seeding
};

constexpr RandomStream UnseededStream = {1};

void RandomSeed(RandomStream* r, uint32_t seed);   // set the generator state (no draw)
int RandomInt(RandomStream* r);                    // next integer in 0..32767 (1 draw)
float RandomUnit(RandomStream* r, double k);       // signed unit coefficient; [-1, 1] for k = 1 unless the
                                                   // divisor was 0 (3 draws)
Colour RandomColour(RandomStream* r);              // channels in 0..254, green drawn first (3 draws)

// The generator's step and draw on a state held by the caller, for a hot loop
// that keeps the state in a register and stores it back into the stream.
constexpr uint32_t RandomNextState(uint32_t s) { return s * 214013u + 2531011u; }          // one step
constexpr int RandomDrawOf(uint32_t s) { return static_cast<int>((s >> 16) & 0x7FFFu); }   // its integer
