#pragma once
// The program's one pseudo-random generator, shared by the new rows and the dealing of
// pieces: seed <- seed * 22695477 + 1 (mod 2^32), each draw (seed >> 16) & 0x7FFF.

#include <cstdint>

// Seeds the generator (at every START, with the clock's seconds) and throws one draw
// away.
void seedRandom(std::uint32_t seed);
// One draw, 0..32767.
int randomDraw();
// One draw taken modulo n (n > 0).
int randomBelow(int n);

// The raw seed, for tests that replay a sequence.
std::uint32_t randomSeed();
void setRandomSeed(std::uint32_t seed);
