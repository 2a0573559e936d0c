// random.h - the one pseudo-random integer stream behind every random choice.
//
// Each operation draws a fixed number of integers, so any sequence of
// operations is reproducible from the seed.
#pragma once

#include <cstdint>

// A colour laid out as 0x00BBGGRR: red in the low byte, blue in the third.
using Colour = uint32_t;

void RandomSeed(uint32_t seed);   // set the generator state (no draw)
int RandomInt();                  // next integer in 0..32767 (1 draw)
float RandomUnit(double k);       // signed unit coefficient; [-1, 1] for k = 1 unless the divisor was 0 (3 draws)
Colour RandomColour();            // channels in 0..254, green drawn first (3 draws)
uint32_t RandomState();           // current generator state, for tests and tools

// The generator's step and draw on a state held by the caller, for a hot loop
// that keeps the state in a register (RandomSeed(RandomState()) brackets it).
constexpr uint32_t RandomNextState(uint32_t s) { return s * 214013u + 2531011u; }          // one step
constexpr int RandomDrawOf(uint32_t s) { return static_cast<int>((s >> 16) & 0x7FFFu); }   // its integer
