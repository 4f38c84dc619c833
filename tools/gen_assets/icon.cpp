// The application icon: an up-arrow block with the star ball in front of its lower
// right corner, drawn from one 32-unit geometry at any size.

#include "art.h"

#include <QPainterPathStroker>
#include <QPolygonF>
#include <QTransform>

#include <cmath>

namespace {

constexpr double pi = 3.14159265358979323846;

QPainterPath polygon(const QPolygonF& points) {
    QPainterPath p;
    p.addPolygon(points);
    p.closeSubpath();
    return p;
}

} // namespace

Canvas drawIcon(int size) {
    const double k = size / 32.0;
    const QTransform toPixels = QTransform::fromScale(k, k);
    auto mask = [&](const QPainterPath& unitPath) {
        return Mask::fromPath(toPixels.map(unitPath), size, size, size <= 32 ? 8 : 4);
    };
    auto unit = [&](int v) { return (v + 0.5) / k; };

    Canvas c(size, size);
    // The block's face and its bevel.
    c.paint(mask(polygon(QRectF(0, 0, 32, 32))), [&](int x, int y) {
        return mix(rgb(226, 226, 232), rgb(180, 180, 190), (unit(x) + unit(y)) / 64);
    });
    const double b = 2.0;
    c.paint(mask(polygon(QPolygonF{{0, 0}, {32, 0}, {32 - b, b}, {b, b}, {b, 32 - b}, {0, 32}})),
            rgb(252, 252, 255));
    c.paint(mask(polygon(
                QPolygonF{{32, 32}, {0, 32}, {b, 32 - b}, {32 - b, 32 - b}, {32 - b, b}, {32, 0}})),
            rgb(96, 96, 108));

    // The arrow, a little up and left of the centre.
    const QPainterPath arrow = polygon(QPolygonF{
        {14, 4}, {24.5, 14.5}, {18.5, 14.5}, {18.5, 25}, {9.5, 25}, {9.5, 14.5}, {3.5, 14.5}});
    const Mask body = mask(arrow);
    c.paint(body, [&](int x, int y) {
        return mix(rgb(84, 150, 255), rgb(16, 52, 190), (unit(x) + unit(y)) / 50);
    });
    c.paint(body.minus(mask(arrow.translated(1.5, 1.5))), rgb(170, 210, 255), 0.8);
    QPainterPathStroker edge;
    edge.setWidth(1.2);
    edge.setJoinStyle(Qt::MiterJoin);
    c.paint(mask(edge.createStroke(arrow)), rgb(6, 22, 92));

    // The star ball.
    const QPointF centre(23, 23);
    QPainterPath disc;
    disc.addEllipse(centre, 8.6, 8.6);
    QPainterPath ball;
    ball.addEllipse(centre, 7.6, 7.6);
    c.paint(mask(disc), rgb(110, 36, 0));
    c.paint(mask(ball), [&](int x, int y) {
        const double d = std::hypot(unit(x) - 20.0, unit(y) - 19.5) / 13.0;
        return mix(rgb(255, 200, 110), rgb(214, 84, 0), std::min(1.0, d));
    });
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 ? 2.3 : 5.4;
        const double a = -pi / 2 + i * pi / 5;
        star << centre + QPointF(std::cos(a) * r, 0.5 + std::sin(a) * r);
    }
    c.paint(mask(polygon(star)), rgb(255, 240, 110));
    return c;
}
