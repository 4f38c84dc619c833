// MARINE: rows of waves on deepening water above a sandy shore.

#include "art.h"
#include "noise.h"

#include <QPolygonF>

#include <cmath>

namespace {

constexpr int W = 96, H = 192;
constexpr int bandTop = 176;
constexpr double pi = 3.14159265358979323846;
constexpr double spacing = 12.0;

// The crest of wave row k at column x, and how high it stands there (0 to 1).
struct Crest {
    double y, height;
};

Crest crestAt(int k, double x) {
    const double phase = k * 2.39;
    const double length = 26.0 + 14.0 * hash01(k, 0, 0x3a7eu);
    const double amplitude = 2.2 + 1.8 * hash01(k, 1, 0x3a7eu);
    const double swell = std::sin(2 * pi * x / length + phase);
    const double ripple = std::sin(2 * pi * x / 13.0 + phase * 1.7);
    const double h = 0.5 + 0.5 * (0.75 * swell + 0.25 * ripple);
    return {k * spacing - amplitude * h, h};
}

// The nearest crest above (x, y) and the distance below it.
Crest crestAbove(int x, int y, double& below) {
    const int k0 = int(std::floor(y / spacing));
    Crest best{0, 0};
    below = 1e9;
    for (int k = k0 - 1; k <= k0 + 2; ++k) {
        const Crest c = crestAt(k, x + 0.5);
        const double d = y + 0.5 - c.y;
        if (d >= 0 && d < below) {
            below = d;
            best = c;
        }
    }
    return best;
}

} // namespace

Canvas drawMarinePattern() {
    Canvas c(W, H);
    for (int y = 0; y < bandTop; ++y)
        for (int x = 0; x < W; ++x) {
            const double depth = y / double(bandTop);
            const Rgb deep = mix(rgb(64, 168, 220), rgb(12, 58, 140), depth);
            double d = 0;
            const Crest crest = crestAbove(x, y, d);
            const double t = std::min(1.0, d / spacing);
            // Lit just under the crest, darker into the trough.
            Rgb col = scaled(deep, 1.2 - 0.42 * t);
            const double n = fractalNoise(x / 7.0, y / 3.0, 0x3a41eu, 2);
            col = scaled(col, 0.95 + 0.1 * n);
            if (d < 1.0)
                col = mix(deep, rgb(190, 236, 255), 0.55 + 0.45 * crest.height);
            else if (d < 2.0)
                col = mix(col, rgb(150, 215, 245), 0.35);
            // Foam on the highest crests.
            if (d < 1.0 + crest.height && crest.height > 0.8)
                col = rgb(246, 252, 255);
            c.set(x, y, col);
        }
    // Glints on the water.
    Rng rng(0x9137u);
    for (int i = 0; i < 26; ++i) {
        const int x = rng.below(W), y = 2 + rng.below(bandTop - 4);
        c.blend(x, y, rgb(255, 255, 255), 0.8);
        c.blend(x - 1, y, rgb(220, 245, 255), 0.35);
        c.blend(x + 1, y, rgb(220, 245, 255), 0.35);
    }
    // A few fish passing in the deep.
    const QPointF fish[] = {{30, 110}, {42, 116}, {24, 121}, {70, 146}};
    for (QPointF f : fish) {
        QPainterPath body;
        body.addEllipse(f, 3.6, 1.5);
        body.moveTo(f + QPointF(3, 0));
        body.lineTo(f + QPointF(6, -1.8));
        body.lineTo(f + QPointF(6, 1.8));
        body.closeSubpath();
        body.setFillRule(Qt::WindingFill);
        c.fill(body, rgb(10, 44, 104), 0.75);
    }
    // Band: wet sand edge, then dry sand with grains, pebbles and a starfish.
    for (int y = bandTop; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const double n = fractalNoise(x / 4.0, y / 2.0, 0x5a2du, 3);
            Rgb sand = mix(rgb(236, 212, 158), rgb(206, 174, 118), n);
            if (y == bandTop)
                sand = rgb(166, 138, 98);
            else if (y == bandTop + 1)
                sand = rgb(190, 162, 116);
            const double g = hash01(x, y, 0x6a1bu);
            if (g > 0.92)
                sand = scaled(sand, 0.8);
            else if (g < 0.05)
                sand = mix(sand, rgb(255, 250, 235), 0.6);
            c.set(x, y, sand);
        }
    for (int i = 0; i < 5; ++i) {
        QPainterPath pebble;
        pebble.addEllipse(QPointF(rng.range(4, 92), rng.range(181, 189)), rng.range(1.2, 2.0), 1.1);
        c.fill(pebble, mix(rgb(150, 140, 130), rgb(110, 100, 96), rng.uniform()));
    }
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 ? 1.6 : 4.2;
        const double a = -pi / 2 + i * pi / 5 + 0.3;
        star << QPointF(70 + std::cos(a) * r, 184.5 + std::sin(a) * r);
    }
    QPainterPath starfish;
    starfish.addPolygon(star);
    starfish.closeSubpath();
    c.fill(starfish, rgb(238, 112, 72));
    c.stroke(starfish, 0.6, rgb(176, 64, 40));
    return c;
}
