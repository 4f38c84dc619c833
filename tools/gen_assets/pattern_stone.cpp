// STONE: a wall of dressed stones above a bright red line over dark bricks.

#include "art.h"
#include "noise.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int W = 96, H = 192;
constexpr int bandTop = 176;

// Fills one course of blocks: joints (1-pixel mortar columns) at random widths.
struct Block {
    int left, right; // inclusive
    Rgb tone;
};

std::vector<Block> course(Rng& rng, int minWidth, int maxWidth, const std::vector<Rgb>& tones) {
    std::vector<Block> blocks;
    int x = -rng.below(minWidth);
    while (x < W) {
        const int w = minWidth + rng.below(maxWidth - minWidth + 1);
        blocks.push_back({x, x + w - 2, tones[size_t(rng.below(int(tones.size())))]});
        x += w;
    }
    return blocks;
}

// One block's pixel: speckled stone with a lit top-left edge and a shaded bottom-right.
Rgb blockPixel(const Block& b, int top, int bottom, int x, int y, std::uint32_t seed) {
    const double grain = fractalNoise(x / 3.0, y / 3.0, seed, 3);
    const double speck = hash01(x, y, seed + 5u);
    double f = 0.82 + 0.36 * grain;
    if (speck > 0.93)
        f *= 0.78;
    else if (speck < 0.04)
        f *= 1.15;
    if (y == top || x == b.left)
        f *= 1.28;
    else if (y == bottom || x == b.right)
        f *= 0.66;
    else if (y == bottom - 1 || x == b.right - 1)
        f *= 0.88;
    return scaled(b.tone, f);
}

} // namespace

Canvas drawStonePattern() {
    Canvas c(W, H, rgb(46, 42, 40));
    Rng rng(0x570e5u);
    const std::vector<Rgb> stone = {rgb(132, 128, 122), rgb(118, 116, 114), rgb(140, 132, 118),
                                    rgb(112, 108, 100), rgb(124, 124, 130), rgb(146, 138, 128)};
    // Wall: 16 courses of 10 rows plus a mortar row.
    for (int k = 0; k < 16; ++k) {
        const int top = k * 11, bottom = top + 9;
        for (const Block& b : course(rng, 18, 32, stone))
            for (int y = top; y <= bottom; ++y)
                for (int x = std::max(0, b.left); x <= std::min(W - 1, b.right); ++x)
                    c.set(x, y, blockPixel(b, top, bottom, x, y, 0x570e5u + std::uint32_t(k)));
    }
    // A little moss in the lower joints.
    for (int y = 120; y < bandTop; ++y)
        for (int x = 0; x < W; ++x) {
            const double moss = fractalNoise(x / 6.0, y / 4.0, 0x3055u, 2);
            const double depth = (y - 120) / double(bandTop - 120);
            if (moss > 0.78 - 0.16 * depth)
                c.blend(x, y, rgb(84, 110, 54), 0.55);
        }
    // Band: the red line, then dark bricks.
    for (int x = 0; x < W; ++x)
        c.set(x, bandTop, rgb(255, 64, 64));
    const std::vector<Rgb> brick = {rgb(72, 34, 28), rgb(62, 30, 26), rgb(80, 40, 30),
                                    rgb(58, 34, 30)};
    for (int k = 0; k < 3; ++k) {
        const int top = bandTop + 1 + k * 5, bottom = top + 3;
        for (int y = top; y <= bottom + 1; ++y)
            for (int x = 0; x < W; ++x)
                c.set(x, y, rgb(22, 16, 14));
        const int shift = k % 2 ? 6 : 0;
        for (int x0 = -shift; x0 < W; x0 += 12) {
            const Block b{x0, x0 + 10, brick[size_t(rng.below(int(brick.size())))]};
            for (int y = top; y <= bottom; ++y)
                for (int x = std::max(0, b.left); x <= std::min(W - 1, b.right); ++x)
                    c.set(x, y, blockPixel(b, top, bottom, x, y, 0xb41c5u));
        }
    }
    return c;
}
