// The 32x32 cells of the strip: arrow blocks, the star ball and its mask, the gauge
// stripes and the crack overlay.

#include "art.h"
#include "noise.h"

#include <QPolygonF>
#include <QTransform>

#include <array>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int S = 32;
constexpr double pi = 3.14159265358979323846;

// The bevelled light grey square under every arrow: white and light grey edges on the
// top and left, dark grey on the bottom and right (also the top-right and bottom-left
// corner pixels).
void drawBevelSquare(Canvas& c) {
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            const double t = (x + y) / double(2 * S - 2);
            Rgb face = mix(rgb(222, 222, 228), rgb(184, 184, 194), t);
            const int out = std::min(x, y), in = std::min(S - 1 - x, S - 1 - y);
            const bool shadowSide = in <= 1 && in <= out;
            if (shadowSide)
                face = in == 0 ? rgb(84, 84, 94) : rgb(132, 132, 144);
            else if (out == 0)
                face = rgb(252, 252, 255);
            else if (out == 1)
                face = rgb(238, 238, 242);
            c.set(x, y, face);
        }
}

// The arrow pointing up, in cell coordinates.
QPainterPath upArrow() {
    QPolygonF shape;
    shape << QPointF(16, 4) << QPointF(27.5, 16) << QPointF(21, 16) << QPointF(21, 27.5)
          << QPointF(11, 27.5) << QPointF(11, 16) << QPointF(4.5, 16) << QPointF(16, 4);
    QPainterPath p;
    p.addPolygon(shape);
    p.closeSubpath();
    return p;
}

// The crack lines: branches from an impact point to all four edges,
// each bent by midpoint displacement.
using Grid = std::array<std::array<bool, S>, S>;

void plotLine(Grid& g, QPoint a, QPoint b) {
    int x = a.x(), y = a.y();
    const int dx = std::abs(b.x() - x), dy = -std::abs(b.y() - y);
    const int sx = x < b.x() ? 1 : -1, sy = y < b.y() ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        if (x >= 0 && y >= 0 && x < S && y < S)
            g[size_t(y)][size_t(x)] = true;
        if (x == b.x() && y == b.y())
            break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void crackBranch(Grid& g, Rng& rng, QPointF a, QPointF b) {
    const QPointF d = b - a;
    const double len = std::hypot(d.x(), d.y());
    if (len < 4.0) {
        plotLine(g, a.toPoint(), b.toPoint());
        return;
    }
    const QPointF normal(-d.y() / len, d.x() / len);
    const QPointF mid = (a + b) / 2 + normal * rng.range(-0.22, 0.22) * len;
    crackBranch(g, rng, a, mid);
    crackBranch(g, rng, mid, b);
}

Grid crackLines() {
    Grid g{};
    Rng rng(0xc4ac4u);
    const QPointF hit(13, 12);
    crackBranch(g, rng, hit, QPointF(0, 5));
    crackBranch(g, rng, hit, QPointF(21, 0));
    crackBranch(g, rng, hit, QPointF(31, 19));
    crackBranch(g, rng, hit, QPointF(8, 31));
    crackBranch(g, rng, QPointF(23, 16), QPointF(27, 31));
    crackBranch(g, rng, QPointF(6, 8), QPointF(4, 0));
    crackBranch(g, rng, QPointF(10, 21), QPointF(0, 25));
    return g;
}

bool inStarDisc(int x, int y) {
    const double dx = x + 0.5 - 16, dy = y + 0.5 - 16;
    return dx * dx + dy * dy <= 15.0 * 15.0;
}

QPainterPath starPath(QPointF centre, double outer, double inner) {
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 ? inner : outer;
        const double a = -pi / 2 + i * pi / 5;
        star << centre + QPointF(std::cos(a) * r, std::sin(a) * r);
    }
    star << star.front();
    QPainterPath p;
    p.addPolygon(star);
    p.closeSubpath();
    return p;
}

} // namespace

Canvas drawArrowCell(int kind) {
    Canvas c(S, S);
    drawBevelSquare(c);
    // Kinds 1 right, 2 down, 3 left, 4 up: the up arrow turned clockwise.
    QTransform turn;
    turn.translate(16, 16);
    turn.rotate(90.0 * (kind % 4));
    turn.translate(-16, -16);
    const QPainterPath arrow = turn.map(upArrow());
    const Mask body = Mask::fromPath(arrow, S, S);
    const Mask shifted = Mask::fromPath(arrow.translated(1.5, 1.5), S, S);
    c.paint(shifted.minus(body), rgb(90, 90, 110), 0.45); // shadow on the face
    c.paint(body,
            [](int x, int y) { return mix(rgb(84, 150, 255), rgb(16, 52, 190), (x + y) / 62.0); });
    // A lit rim on the upper left of the arrow, a darker one on the lower right.
    const Mask upLeft = Mask::fromPath(arrow.translated(1.6, 1.6), S, S);
    const Mask downRight = Mask::fromPath(arrow.translated(-1.6, -1.6), S, S);
    c.paint(body.minus(upLeft), rgb(170, 210, 255), 0.8);
    c.paint(body.minus(downRight), rgb(8, 30, 120), 0.6);
    c.stroke(arrow, 1.2, rgb(6, 22, 92));
    return c;
}

Canvas drawStarBallCell() {
    Canvas c(S, S);
    QPainterPath disc;
    disc.addEllipse(QPointF(16, 16), 15, 15);
    QPainterPath ball;
    ball.addEllipse(QPointF(16, 16), 13.9, 13.9);
    c.fill(disc, rgb(120, 40, 0));
    c.fill(ball, [](int x, int y) {
        const double d = std::hypot(x + 0.5 - 11.0, y + 0.5 - 10.0) / 22.0;
        if (d < 0.45)
            return mix(rgb(255, 214, 140), rgb(255, 140, 24), d / 0.45);
        return mix(rgb(255, 140, 24), rgb(196, 70, 0), std::min(1.0, (d - 0.45) / 0.55));
    });
    const QPainterPath star = starPath(QPointF(16, 16.8), 9.6, 4.0);
    c.stroke(star, 2.2, rgb(150, 54, 0));
    c.fill(star, [](int, int y) { return mix(rgb(255, 250, 170), rgb(255, 214, 40), y / 32.0); });
    QPainterPath shine;
    shine.addEllipse(QPointF(9.5, 9.0), 3.2, 2.2);
    c.fill(shine, rgb(255, 255, 240), 0.85);
    // Outside the disc the sprite is pure black: the mask keeps the field there.
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x)
            if (!inStarDisc(x, y))
                c.set(x, y, rgb(0, 0, 0));
    return c;
}

Canvas drawStarMaskCell() {
    Canvas c(S, S, rgb(255, 255, 255));
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x)
            if (inStarDisc(x, y))
                c.set(x, y, rgb(0, 0, 0));
    return c;
}

Canvas drawGaugeCell() {
    // Cylinder shading of the stripes, top row first.
    static constexpr std::array<int, 18> v = {10,  39,  77,  117, 157, 193, 221, 239, 250,
                                              253, 248, 235, 214, 184, 148, 107, 67,  27};
    Canvas c(S, S, rgb(255, 255, 255));
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 8; ++x) {
            const int s = v[size_t(y)];
            c.set(x, y, rgb(s, 255, s));
            c.set(8 + x, y, rgb(255, 255, s));
            c.set(16 + x, y, rgb(255, s, s));
        }
    return c;
}

Canvas drawCrackCell(bool mask) {
    // The sprite ORs (1,0,0) on the lines, practically nothing; the mask ANDs them black.
    const Grid g = crackLines();
    Canvas c(S, S, mask ? rgb(255, 255, 255) : rgb(0, 0, 0));
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x)
            if (g[size_t(y)][size_t(x)])
                c.set(x, y, mask ? rgb(0, 0, 0) : rgb(1, 0, 0));
    return c;
}
