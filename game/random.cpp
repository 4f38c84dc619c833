#include "game/random.h"

namespace {
std::uint32_t seed = 0;
}

void setRandomSeed(std::uint32_t s) {
    seed = s;
}

std::uint32_t randomSeed() {
    return seed;
}

int randomDraw() {
    seed = seed * 22695477u + 1u; // unsigned: wraps modulo 2^32
    return static_cast<int>((seed >> 16) & 0x7FFFu);
}

void seedRandom(std::uint32_t s) {
    seed = s;
    randomDraw();
}

int randomBelow(int n) {
    return randomDraw() % n;
}
