#include "noise.h"

#include <cmath>

double hash01(int x, int y, std::uint32_t seed) {
    std::uint32_t h = seed ^ (std::uint32_t(x) * 0x8da6b343u) ^ (std::uint32_t(y) * 0xd8163841u);
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return (h >> 8) / 16777216.0;
}

double valueNoise(double x, double y, std::uint32_t seed) {
    const double fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    double tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    const double a = hash01(ix, iy, seed), b = hash01(ix + 1, iy, seed);
    const double c = hash01(ix, iy + 1, seed), d = hash01(ix + 1, iy + 1, seed);
    const double top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

double fractalNoise(double x, double y, std::uint32_t seed, int octaves) {
    double sum = 0, weight = 1, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += valueNoise(x, y, seed + std::uint32_t(i) * 101u) * weight;
        total += weight;
        weight *= 0.5;
        x *= 2.0;
        y *= 2.0;
    }
    return sum / total;
}
