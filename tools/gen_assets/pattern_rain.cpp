// RAIN: a girl with a red umbrella on the bank under willow leaves in the rain, dark
// water below.

#include "art.h"
#include "noise.h"

#include <QPolygonF>
#include <QTransform>

#include <cmath>

namespace {

constexpr int W = 96, H = 192;
constexpr int bandTop = 175;

void drawSky(Canvas& c) {
    for (int y = 0; y < bandTop; ++y)
        for (int x = 0; x < W; ++x) {
            const double mist = fractalNoise(x / 18.0, y / 10.0, 0x3157u, 3);
            Rgb col = mix(rgb(52, 64, 86), rgb(104, 120, 140), y / double(bandTop));
            col = mix(col, rgb(130, 144, 162), mist * 0.3);
            c.set(x, y, col);
        }
    // The bank the girl stands on.
    for (int y = 166; y < bandTop; ++y)
        for (int x = 0; x < W; ++x) {
            const double n = fractalNoise(x / 3.0, y / 2.0, 0xba7cu, 2);
            const int edge = 166 + int(2.0 * std::sin(x / 9.0) + 1.5);
            if (y >= edge)
                c.set(x, y, mix(rgb(44, 62, 40), rgb(70, 84, 52), n));
        }
}

QPainterPath leafAt(QPointF p, double angle) {
    QPainterPath leaf;
    leaf.moveTo(0, 0);
    leaf.quadTo(QPointF(2.5, -1.4), QPointF(5.5, 0));
    leaf.quadTo(QPointF(2.5, 1.4), QPointF(0, 0));
    QTransform tr;
    tr.translate(p.x(), p.y());
    tr.rotate(angle);
    return tr.map(leaf);
}

void drawWillow(Canvas& c) {
    Rng rng(0x3111u);
    // Dense leaves where the branches start, just above the picture.
    for (int i = 0; i < 70; ++i) {
        const QPointF p(rng.range(-4, 100), rng.range(-3, 7));
        const Rgb green = mix(rgb(70, 120, 48), rgb(130, 180, 80), rng.uniform());
        c.fill(leafAt(p, rng.range(50, 130)), green);
    }
    for (int i = 0; i < 13; ++i) {
        const double x0 = -4 + i * 8.5 + rng.range(-3, 3);
        const double len = rng.range(40, 110);
        const double sway = rng.range(-8, 8);
        QPainterPath branch(QPointF(x0, -2));
        const QPointF c1(x0 + sway * 0.2, len * 0.35), c2(x0 + sway, len * 0.7);
        const QPointF end(x0 + sway * 0.8, len);
        branch.cubicTo(c1, c2, end);
        c.stroke(branch, 0.8, rgb(58, 74, 40));
        // Leaves along the branch, alternating sides, pointing down along it.
        for (double t = 0.12; t < 1.0; t += rng.range(0.06, 0.1)) {
            const QPointF p = branch.pointAtPercent(t);
            const double angle = branch.angleAtPercent(t);
            const double side = (int(t * 100) % 2) ? 35 : -35;
            const Rgb green = mix(rgb(96, 150, 60), rgb(150, 196, 90), rng.uniform());
            c.fill(leafAt(p, -angle + side), green);
        }
    }
}

void drawGirl(Canvas& c) {
    const Rgb coat = rgb(246, 204, 52), coatShade = rgb(206, 158, 30);
    const Rgb skin = rgb(252, 222, 200), hair = rgb(40, 28, 24), boot = rgb(196, 40, 48);
    // Legs and boots.
    QPainterPath legs;
    legs.addRect(QRectF(49.5, 158, 2.2, 6));
    legs.addRect(QRectF(53.5, 158, 2.2, 6));
    c.fill(legs, skin);
    QPainterPath boots;
    boots.addRoundedRect(QRectF(48.6, 162.5, 3.6, 5), 1, 1);
    boots.addRoundedRect(QRectF(53, 162.5, 3.6, 5), 1, 1);
    c.fill(boots, boot);
    // Raincoat, widening to the hem.
    QPainterPath body;
    body.moveTo(49.5, 141);
    body.lineTo(55.5, 141);
    body.lineTo(58.5, 159);
    body.lineTo(46.5, 159);
    body.closeSubpath();
    c.fill(body, [&](int x, int) { return x > 53 ? coatShade : coat; });
    c.stroke(body, 0.6, rgb(150, 110, 20));
    // Head with a bob of hair, face turned a little to the left.
    QPainterPath head;
    head.addEllipse(QPointF(52.5, 136.5), 4.3, 4.5);
    c.fill(head, hair);
    QPainterPath face;
    face.addEllipse(QPointF(51.6, 137.6), 2.8, 3.0);
    c.fill(face, skin);
    QPainterPath fringe;
    fringe.addRect(QRectF(48.5, 132, 8, 3.2));
    c.fill(fringe, hair);
    QPainterPath eyes;
    eyes.addEllipse(QPointF(50.2, 137.4), 0.5, 0.6);
    eyes.addEllipse(QPointF(52.9, 137.4), 0.5, 0.6);
    c.fill(eyes, rgb(40, 28, 24));
    QPainterPath cheek;
    cheek.addEllipse(QPointF(50.3, 139.2), 0.9, 0.6);
    c.fill(cheek, rgb(248, 160, 160), 0.8);
    // Arm raised to the handle.
    QPainterPath arm(QPointF(55, 143));
    arm.lineTo(57.5, 146);
    arm.lineTo(57.5, 140);
    c.stroke(arm, 2.0, coatShade);
    QPainterPath hand;
    hand.addEllipse(QPointF(57.6, 139.5), 1.2, 1.2);
    c.fill(hand, skin);
}

void drawUmbrella(Canvas& c) {
    const QPointF top(58, 112);
    // Shaft from the canopy down to the hand.
    QPainterPath shaft(QPointF(58, 116));
    shaft.lineTo(58, 141);
    shaft.quadTo(QPointF(58, 144), QPointF(56, 143.5));
    c.stroke(shaft, 0.9, rgb(60, 40, 28));
    // Canopy: a low dome with a scalloped rim.
    const double r = 22, rimY = 128;
    QPainterPath canopy(QPointF(top.x() - r, rimY));
    canopy.cubicTo(QPointF(top.x() - r, 116), QPointF(top.x() - 8, top.y()), top);
    canopy.cubicTo(QPointF(top.x() + 8, top.y()), QPointF(top.x() + r, 116),
                   QPointF(top.x() + r, rimY));
    const int panels = 6;
    for (int i = panels; i > 0; --i) {
        const double x1 = top.x() - r + (i - 1) * 2 * r / panels;
        const double x0 = top.x() - r + i * 2 * r / panels;
        canopy.quadTo(QPointF((x0 + x1) / 2, rimY - 3), QPointF(x1, rimY));
    }
    canopy.closeSubpath();
    c.fill(canopy, [&](int x, int y) {
        const double d = std::hypot(x + 0.5 - (top.x() - 8), y + 0.5 - (top.y() + 4));
        return mix(rgb(240, 76, 96), rgb(170, 24, 48), std::min(1.0, d / 30.0));
    });
    // The white ring of a snake-eye umbrella.
    QPainterPath ring;
    ring.addEllipse(QPointF(top.x(), 121), 13, 7);
    QPainterPath inner;
    inner.addEllipse(QPointF(top.x(), 121), 9.5, 5);
    const Mask canopyMask = Mask::fromPath(canopy, W, H);
    const Mask ringMask = Mask::fromPath(ring.subtracted(inner), W, H).times(canopyMask);
    c.paint(ringMask, rgb(250, 236, 236), 0.9);
    // Ribs.
    QPainterPath ribs;
    for (int i = 0; i <= panels; ++i) {
        const double x = top.x() - r + i * 2 * r / panels;
        ribs.moveTo(top);
        ribs.quadTo(QPointF((top.x() + x) / 2 + (x - top.x()) * 0.3, top.y() + 2),
                    QPointF(x, rimY));
    }
    c.paint(Mask::fromStroke(ribs, 0.5, W, H).times(canopyMask), rgb(120, 14, 34), 0.8);
    c.stroke(canopy, 0.6, rgb(110, 10, 30));
    QPainterPath tip(top);
    tip.lineTo(top.x(), top.y() - 3);
    c.stroke(tip, 1.0, rgb(60, 40, 28));
}

void drawWater(Canvas& c) {
    for (int y = bandTop; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const double n = fractalNoise(x / 10.0, y / 2.0, 0x3a7e4u, 2);
            Rgb col = mix(rgb(18, 26, 44), rgb(34, 46, 70), n);
            if (y == bandTop)
                col = rgb(62, 76, 96);
            c.set(x, y, col);
        }
    // Reflection of the umbrella and the girl, broken by the ripples.
    for (int y = bandTop + 1; y < H; ++y)
        for (int x = 44; x < 74; ++x) {
            const double wobble = std::sin(y * 1.9) * 1.5;
            const double dx = x + wobble - 58;
            if (std::abs(dx) < 13 - (y - bandTop) * 0.5 && (y % 3) != 0)
                c.blend(x, y, rgb(150, 40, 60), 0.35);
        }
    // Rings where drops fall.
    Rng rng(0x41b6u);
    for (int i = 0; i < 7; ++i) {
        QPainterPath ripple;
        ripple.addEllipse(QPointF(rng.range(4, 92), rng.range(180, 189)), rng.range(2.5, 5), 1.2);
        c.stroke(ripple, 0.6, rgb(120, 140, 170), 0.8);
    }
}

void drawRainStreaks(Canvas& c) {
    Rng rng(0x4a19u);
    QPainterPath streaks;
    for (int i = 0; i < 90; ++i) {
        const QPointF a(rng.range(-10, W + 4), rng.range(-10, bandTop - 10));
        const double len = rng.range(5, 9);
        streaks.moveTo(a);
        streaks.lineTo(a + QPointF(len * 0.25, len));
    }
    c.paint(Mask::fromStroke(streaks, 0.55, W, H), rgb(214, 226, 240), 0.55);
}

} // namespace

Canvas drawRainPattern() {
    Canvas c(W, H);
    drawSky(c);
    drawWillow(c);
    drawGirl(c);
    drawUmbrella(c);
    drawWater(c);
    drawRainStreaks(c);
    return c;
}
