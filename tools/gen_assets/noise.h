#pragma once
// Fixed-seed randomness of our own, so every run draws the same pictures.

#include <cstdint>

// A linear congruential generator (Numerical Recipes constants).
class Rng {
public:
    explicit Rng(std::uint32_t seed) : s_(seed) {}
    std::uint32_t next() {
        s_ = s_ * 1664525u + 1013904223u;
        return s_;
    }
    // Uniform in [0, 1).
    double uniform() { return (next() >> 8) / 16777216.0; }
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    int below(int n) { return int((next() >> 8) % std::uint32_t(n)); }

private:
    std::uint32_t s_;
};

// A well-mixed value in [0, 1) for a lattice point.
double hash01(int x, int y, std::uint32_t seed);
// Smooth value noise in [0, 1): lattice values blended with a smoothstep.
double valueNoise(double x, double y, std::uint32_t seed);
// Several octaves of value noise, normalised to [0, 1).
double fractalNoise(double x, double y, std::uint32_t seed, int octaves);
