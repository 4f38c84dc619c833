// WA: pale washi paper with a folded paper crane and a bell on a red cord, above a
// green mat. The four rows a round starts with cover the top third (rows 0 to 63 here):
// the crane and the bell sit below them, so they show at the start of a round.

#include "art.h"
#include "noise.h"

#include <QPolygonF>
#include <QTransform>

#include <cmath>

namespace {

constexpr int W = 96, H = 192;
constexpr int bandTop = 176;
constexpr double pi = 3.14159265358979323846;
// The motifs are drawn in the coordinates of their first sketch and placed by these.
const QTransform cranePlace =
    QTransform().translate(50, 91).scale(0.78, 0.78).translate(-48.5, -52);
const QTransform bellPlace = QTransform::fromTranslate(0, 22);

QPainterPath polygon(std::initializer_list<QPointF> points) {
    QPolygonF poly(points);
    poly << poly.front();
    QPainterPath p;
    p.addPolygon(poly);
    p.closeSubpath();
    return p;
}

void drawPaper(Canvas& c) {
    for (int y = 0; y < bandTop; ++y)
        for (int x = 0; x < W; ++x) {
            const double mottle = fractalNoise(x / 14.0, y / 14.0, 0x3a5e1u, 3);
            c.set(x, y, mix(rgb(250, 245, 230), rgb(236, 226, 204), mottle));
        }
    // Fibres: short curved strokes, a shade darker or lighter than the paper.
    Rng rng(0xf1b3u);
    for (int i = 0; i < 160; ++i) {
        const QPointF a(rng.range(-4, W + 4), rng.range(-4, bandTop));
        const double angle = rng.range(0, 2 * pi), len = rng.range(4, 11);
        const QPointF b = a + QPointF(std::cos(angle), std::sin(angle)) * len;
        const QPointF bend = (a + b) / 2 + QPointF(rng.range(-2, 2), rng.range(-2, 2));
        QPainterPath fibre(a);
        fibre.quadTo(bend, b);
        const bool dark = rng.uniform() < 0.6;
        c.stroke(fibre, 0.7, dark ? rgb(214, 200, 170) : rgb(255, 253, 246), 0.55);
    }
}

void drawCrane(Canvas& c) {
    const Rgb lit = rgb(226, 52, 60), mid = rgb(196, 32, 46), shade = rgb(150, 18, 34);
    // Far wing behind, then tail and neck, body, near wing in front.
    c.fill(cranePlace.map(polygon({{50, 66}, {70, 22}, {62, 68}})), shade);
    c.fill(cranePlace.map(polygon({{58, 70}, {86, 46}, {82, 48}, {62, 74}})), mid);
    c.fill(cranePlace.map(polygon({{40, 72}, {16, 42}, {20, 44}, {44, 74}})), mid);
    c.fill(cranePlace.map(polygon({{16, 42}, {11, 50}, {19, 45}})), shade); // head
    c.fill(cranePlace.map(polygon({{36, 72}, {52, 64}, {66, 72}, {52, 82}})), lit);
    c.fill(cranePlace.map(polygon({{52, 64}, {66, 72}, {52, 82}})), mid);
    c.fill(cranePlace.map(polygon({{44, 68}, {30, 24}, {56, 66}})), lit);
    c.fill(cranePlace.map(polygon({{44, 68}, {36, 40}, {56, 66}})), rgb(238, 84, 84));
    // Folds.
    const Rgb fold = rgb(120, 12, 26);
    QPainterPath folds;
    folds.moveTo(52, 64);
    folds.lineTo(52, 82);
    folds.moveTo(44, 68);
    folds.lineTo(30, 24);
    c.stroke(cranePlace.map(folds), 0.6, fold, 0.7);
}

void drawBell(Canvas& c) {
    const QPointF centre(48, 136);
    // Cord from the top edge with a bow, and its tassels.
    QPainterPath cord(QPointF(48, 100));
    cord.cubicTo(QPointF(44, 108), QPointF(52, 116), QPointF(48, 122));
    c.stroke(bellPlace.map(cord), 1.6, rgb(200, 30, 44));
    QPainterPath bow;
    bow.addEllipse(QPointF(43, 104), 4.5, 2.6);
    bow.addEllipse(QPointF(53, 104), 4.5, 2.6);
    c.stroke(bellPlace.map(bow), 1.4, rgb(200, 30, 44));
    QPainterPath tails(QPointF(47, 105));
    tails.cubicTo(QPointF(40, 112), QPointF(38, 118), QPointF(36, 124));
    tails.moveTo(49, 105);
    tails.cubicTo(QPointF(56, 112), QPointF(58, 118), QPointF(60, 124));
    c.stroke(bellPlace.map(tails), 1.3, rgb(200, 30, 44));
    QPainterPath knot;
    knot.addEllipse(QPointF(48, 104.5), 2, 2);
    c.fill(bellPlace.map(knot), rgb(160, 20, 34));
    // Loop and sphere.
    QPainterPath loop;
    loop.addEllipse(QPointF(48, 123), 2.6, 2.2);
    c.stroke(bellPlace.map(loop), 1.3, rgb(150, 104, 20));
    QPainterPath sphere;
    sphere.addEllipse(centre, 13, 13);
    c.fill(bellPlace.map(sphere.translated(1.5, 2)), rgb(190, 176, 150), 0.5);
    c.fill(bellPlace.map(sphere), [](int x, int y) {
        const QPointF at = bellPlace.inverted().map(QPointF(x + 0.5, y + 0.5));
        const double d = std::hypot(at.x() - 43.0, at.y() - 130.0) / 24.0;
        return mix(rgb(255, 240, 150), rgb(196, 130, 20), std::min(1.0, d));
    });
    c.stroke(bellPlace.map(sphere), 1.0, rgb(120, 78, 10));
    QPainterPath groove;
    groove.moveTo(35.6, 134);
    groove.cubicTo(QPointF(42, 137), QPointF(54, 137), QPointF(60.4, 134));
    c.stroke(bellPlace.map(groove), 1.4, rgb(140, 92, 14));
    QPainterPath slit;
    slit.addEllipse(QPointF(41, 142), 2.2, 2.2);
    slit.addEllipse(QPointF(55, 142), 2.2, 2.2);
    slit.moveTo(41, 142);
    slit.lineTo(55, 142);
    c.fill(bellPlace.map(slit), rgb(70, 44, 8));
    c.stroke(bellPlace.map(slit), 1.4, rgb(70, 44, 8));
    QPainterPath shine;
    shine.addEllipse(QPointF(42, 129), 3, 2);
    c.fill(bellPlace.map(shine), rgb(255, 255, 230), 0.8);
}

void drawPetals(Canvas& c) {
    Rng rng(0x5a4au);
    const QPointF spots[] = {{12, 12},  {80, 14},  {84, 96},  {14, 116},
                             {22, 160}, {76, 160}, {70, 122}, {8, 84}};
    for (QPointF p : spots) {
        QPainterPath petal;
        petal.addEllipse(QPointF(0, 0), 2.6, 1.6);
        QTransform t;
        t.translate(p.x(), p.y());
        t.rotate(rng.range(0, 180));
        c.fill(t.map(petal), rgb(246, 176, 190));
    }
}

void drawMat(Canvas& c) {
    for (int y = bandTop; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            Rgb col;
            if (y < bandTop + 3) {
                // The cloth edge of the mat, dark green with a fine weave.
                col = (x + y) % 4 == 0 ? rgb(52, 76, 44) : rgb(38, 58, 34);
            } else {
                // Rushes: alternating rows, slightly uneven.
                const double n = valueNoise(x / 3.0, y, 0x7a7au);
                col = (y % 2) ? rgb(148, 168, 88) : rgb(128, 150, 72);
                col = scaled(col, 0.92 + 0.14 * n);
                if (x % 24 == 11)
                    col = scaled(col, 0.8); // stitching
            }
            c.set(x, y, col);
        }
}

} // namespace

Canvas drawWaPattern() {
    Canvas c(W, H);
    drawPaper(c);
    drawPetals(c);
    drawCrane(c);
    drawBell(c);
    drawMat(c);
    return c;
}
