// The title logo: "Flinder" in rounded letters, each a stroked skeleton, outlined in
// navy and rimmed in white, with a small speech bubble at the upper left, on the grey
// that the window draws transparent. One geometry of 300x93 serves every size.

#include "art.h"

#include <QPainterPathStroker>
#include <QPolygonF>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double unitW = 300, unitH = 93;
constexpr double ascender = 16, xHeight = 44, baseline = 77;
constexpr double core = 11, outline = 3, rim = 2.5;
constexpr Rgb background = rgb(192, 192, 192);
constexpr Rgb navy = rgb(36, 34, 96);

// The centre lines of the letters.
QPainterPath letterSkeleton() {
    QPainterPath p;
    // F
    p.moveTo(72, ascender);
    p.lineTo(48, ascender);
    p.lineTo(48, baseline);
    p.moveTo(48, 46);
    p.lineTo(67, 46);
    // l
    p.moveTo(88, ascender);
    p.lineTo(88, 68);
    p.quadTo(88, baseline, 97, baseline);
    // i, the dot a stroke of no length
    p.moveTo(113, xHeight);
    p.lineTo(113, baseline);
    p.moveTo(113, 24);
    p.lineTo(113, 24.001);
    // n
    p.moveTo(133, baseline);
    p.lineTo(133, xHeight);
    p.moveTo(133, 60);
    p.cubicTo(133, 40, 157, 40, 157, 58);
    p.lineTo(157, baseline);
    // d
    p.addEllipse(QPointF(185.5, 61), 11.5, 15.5);
    p.moveTo(197, ascender);
    p.lineTo(197, baseline);
    // e
    p.moveTo(217, 61);
    p.lineTo(241, 61);
    p.arcTo(QRectF(217, 45, 24, 32), 0, 305);
    // r
    p.moveTo(262, baseline);
    p.lineTo(262, xHeight);
    p.moveTo(262, 62);
    p.cubicTo(262, 46, 272, 42, 284, 46);
    return p;
}

QPainterPath bubbleShape() {
    QPainterPath ellipse;
    ellipse.addEllipse(QPointF(19.5, 14.5), 14, 10);
    QPolygonF tail;
    tail << QPointF(19, 22) << QPointF(29, 31.5) << QPointF(27, 20) << QPointF(19, 22);
    QPainterPath t;
    t.addPolygon(tail);
    t.closeSubpath();
    return ellipse.united(t);
}

QPainterPath bubbleArrow() {
    QPolygonF a;
    a << QPointF(19.5, 6) << QPointF(26.5, 13.5) << QPointF(22.2, 13.5) << QPointF(22.2, 21.5)
      << QPointF(16.8, 21.5) << QPointF(16.8, 13.5) << QPointF(12.5, 13.5) << QPointF(19.5, 6);
    QPainterPath p;
    p.addPolygon(a);
    p.closeSubpath();
    return p;
}

QPainterPath outlineOf(const QPainterPath& skeleton, double width) {
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    QPainterPath o = stroker.createStroke(skeleton);
    o.setFillRule(Qt::WindingFill);
    return o;
}

// Fills the pockets of background that the rims close in (between F and l, say), as on
// a sticker: only the grey that reaches the border stays the transparent key, and only
// pixels next to it keep their soft edge.
Mask withPocketsFilled(const Mask& rim) {
    const int w = rim.width(), h = rim.height();
    std::vector<char> outside(size_t(w * h), 0);
    std::vector<QPoint> todo;
    for (int x = 0; x < w; ++x)
        todo.insert(todo.end(), {QPoint(x, 0), QPoint(x, h - 1)});
    for (int y = 0; y < h; ++y)
        todo.insert(todo.end(), {QPoint(0, y), QPoint(w - 1, y)});
    while (!todo.empty()) {
        const QPoint p = todo.back();
        todo.pop_back();
        if (p.x() < 0 || p.y() < 0 || p.x() >= w || p.y() >= h)
            continue;
        char& o = outside[size_t(p.y() * w + p.x())];
        if (o || rim.at(p.x(), p.y()) > 0.0)
            continue;
        o = 1;
        todo.insert(todo.end(),
                    {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)});
    }
    auto isOutside = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < w && y < h && outside[size_t(y * w + x)];
    };
    Mask filled = rim;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (isOutside(x, y))
                continue;
            bool edge = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    edge = edge || isOutside(x + dx, y + dy);
            if (!edge)
                filled.set(x, y, 1.0);
        }
    return filled;
}

} // namespace

Canvas drawLogo(int width, int height) {
    const double sx = width / unitW, sy = height / unitH;
    const QTransform toPixels = QTransform::fromScale(sx, sy);
    const int ss = width < 200 ? 8 : 6;
    auto mask = [&](const QPainterPath& unitPath) {
        return Mask::fromPath(toPixels.map(unitPath), width, height, ss);
    };
    // Pixel position back in logo units, for the shading.
    auto unitY = [&](int y) { return (y + 0.5) / sy; };

    const QPainterPath skeleton = letterSkeleton();
    const QPainterPath letters = outlineOf(skeleton, core);
    const QPainterPath bubble = bubbleShape();

    Canvas c(width, height, background);
    // White rim round everything, then the navy outline, then the faces.
    // The rim's outer edge is hard, each pixel white or the key: a pixel blended between
    // the two would show as a grey ring round the logo on the window's own colour.
    Mask rimMask = withPocketsFilled(mask(outlineOf(skeleton, core + 2 * (outline + rim))
                                              .united(outlineOf(bubble, 2 * (outline + rim) - 2))));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            rimMask.set(x, y, rimMask.at(x, y) >= 0.5 ? 1.0 : 0.0);
    c.paint(rimMask, rgb(255, 255, 255));
    c.paint(mask(outlineOf(skeleton, core + 2 * outline)), navy);
    c.paint(mask(outlineOf(bubble, 4)), navy);
    c.paint(mask(bubble), rgb(255, 255, 255));
    c.paint(mask(bubbleArrow()), [&](int, int y) {
        return mix(rgb(90, 160, 255), rgb(20, 70, 200), (unitY(y) - 6) / 16);
    });

    const Mask face = mask(letters);
    c.paint(face, [&](int, int y) {
        const double t =
            std::clamp((unitY(y) - ascender + 5) / (baseline - ascender + 10), 0.0, 1.0);
        return t < 0.5 ? mix(rgb(255, 244, 120), rgb(255, 196, 40), t / 0.5)
                       : mix(rgb(255, 196, 40), rgb(246, 118, 14), (t - 0.5) / 0.5);
    });
    // Lit upper-left edge, shaded lower-right edge of each stroke.
    const double d = 1.8;
    c.paint(face.minus(mask(letters.translated(d, d))), rgb(255, 255, 230), 0.75);
    c.paint(face.minus(mask(letters.translated(-d, -d))), rgb(190, 70, 0), 0.55);
    // A gloss streak along the upper part of the tall strokes.
    QPainterPath gloss;
    gloss.moveTo(46, ascender + 6);
    gloss.lineTo(46, 34);
    gloss.moveTo(86, ascender + 6);
    gloss.lineTo(86, 34);
    gloss.moveTo(195, ascender + 6);
    gloss.lineTo(195, 34);
    c.paint(mask(outlineOf(gloss, 2.4)), rgb(255, 255, 255), 0.7);

    // The grey is the transparent key: no drawn pixel may round to it.
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (rimMask.at(x, y) <= 0.0)
                continue;
            Rgb& p = c.at(x, y);
            if (std::lround(p.r) == 192 && std::lround(p.g) == 192 && std::lround(p.b) == 192)
                p = rgb(193, 193, 193);
        }
    return c;
}
