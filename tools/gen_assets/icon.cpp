// The application icon: an up-arrow block with the star ball in front of its lower
// right corner, drawn from one 32-unit geometry at any size, and as a scalable picture.

#include "art.h"

#include <QPainterPathStroker>
#include <QPolygonF>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace {

constexpr double pi = 3.14159265358979323846;

QPainterPath polygon(const QPolygonF& points) {
    QPainterPath p;
    p.addPolygon(points);
    p.closeSubpath();
    return p;
}

// What the icon is made of, in the units of its 32-unit square; a surface turns each
// into pixels or into SVG.
class IconSurface {
public:
    virtual ~IconSurface() = default;
    // The area of path less the area of minus, in one colour.
    virtual void fill(const QPainterPath& path, Rgb colour, double opacity = 1,
                      const QPainterPath& minus = QPainterPath()) = 0;
    // Shaded from c1 at `from` to c2 at `to` along the line between them.
    virtual void fillLinear(const QPainterPath& path, Rgb c1, QPointF from, Rgb c2, QPointF to) = 0;
    // Shaded from c1 at centre to c2 at radius and beyond.
    virtual void fillRadial(const QPainterPath& path, Rgb c1, QPointF centre, Rgb c2,
                            double radius) = 0;
    // The outline of path, mitred at its corners.
    virtual void stroke(const QPainterPath& path, double width, Rgb colour) = 0;
};

void drawIconOn(IconSurface& s) {
    // The block's face and its bevel.
    s.fillLinear(polygon(QRectF(0, 0, 32, 32)), rgb(226, 226, 232), {0, 0}, rgb(180, 180, 190),
                 {32, 32});
    const double b = 2.0;
    s.fill(polygon(QPolygonF{{0, 0}, {32, 0}, {32 - b, b}, {b, b}, {b, 32 - b}, {0, 32}}),
           rgb(252, 252, 255));
    s.fill(
        polygon(QPolygonF{{32, 32}, {0, 32}, {b, 32 - b}, {32 - b, 32 - b}, {32 - b, b}, {32, 0}}),
        rgb(96, 96, 108));

    // The arrow, a little up and left of the centre.
    const QPainterPath arrow = polygon(QPolygonF{
        {14, 4}, {24.5, 14.5}, {18.5, 14.5}, {18.5, 25}, {9.5, 25}, {9.5, 14.5}, {3.5, 14.5}});
    s.fillLinear(arrow, rgb(84, 150, 255), {0, 0}, rgb(16, 52, 190), {25, 25});
    s.fill(arrow, rgb(170, 210, 255), 0.8, arrow.translated(1.5, 1.5));
    s.stroke(arrow, 1.2, rgb(6, 22, 92));

    // The star ball.
    const QPointF centre(23, 23);
    QPainterPath disc;
    disc.addEllipse(centre, 8.6, 8.6);
    QPainterPath ball;
    ball.addEllipse(centre, 7.6, 7.6);
    s.fill(disc, rgb(110, 36, 0));
    s.fillRadial(ball, rgb(255, 200, 110), {20, 19.5}, rgb(214, 84, 0), 13);
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 ? 2.3 : 5.4;
        const double a = -pi / 2 + i * pi / 5;
        star << centre + QPointF(std::cos(a) * r, 0.5 + std::sin(a) * r);
    }
    s.fill(polygon(star), rgb(255, 240, 110));
}

// Pixels: each area is sampled at the icon's size, shaders at pixel centres.
class CanvasSurface final : public IconSurface {
public:
    explicit CanvasSurface(int size)
        : canvas(size, size), size_(size), k_(size / 32.0),
          toPixels_(QTransform::fromScale(k_, k_)) {}

    void fill(const QPainterPath& path, Rgb colour, double opacity,
              const QPainterPath& minus) override {
        Mask m = mask(path);
        if (!minus.isEmpty())
            m = m.minus(mask(minus));
        canvas.paint(m, colour, opacity);
    }
    void fillLinear(const QPainterPath& path, Rgb c1, QPointF from, Rgb c2, QPointF to) override {
        const QPointF d = to - from;
        const double length2 = d.x() * d.x() + d.y() * d.y();
        canvas.paint(mask(path), [&](int x, int y) {
            const double t =
                ((unit(x) - from.x()) * d.x() + (unit(y) - from.y()) * d.y()) / length2;
            return mix(c1, c2, std::clamp(t, 0.0, 1.0));
        });
    }
    void fillRadial(const QPainterPath& path, Rgb c1, QPointF centre, Rgb c2,
                    double radius) override {
        canvas.paint(mask(path), [&](int x, int y) {
            const double d = std::hypot(unit(x) - centre.x(), unit(y) - centre.y()) / radius;
            return mix(c1, c2, std::min(1.0, d));
        });
    }
    void stroke(const QPainterPath& path, double width, Rgb colour) override {
        QPainterPathStroker edge;
        edge.setWidth(width);
        edge.setJoinStyle(Qt::MiterJoin);
        canvas.paint(mask(edge.createStroke(path)), colour);
    }

    Canvas canvas;

private:
    Mask mask(const QPainterPath& unitPath) const {
        return Mask::fromPath(toPixels_.map(unitPath), size_, size_, size_ <= 32 ? 8 : 4);
    }
    double unit(int v) const { return (v + 0.5) / k_; }

    int size_;
    double k_;
    QTransform toPixels_;
};

QString number(double v) {
    QString s = QString::number(v, 'f', 3);
    while (s.endsWith(QLatin1Char('0')))
        s.chop(1);
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    return s == QLatin1String("-0") ? QStringLiteral("0") : s;
}

QString colourText(Rgb c) {
    auto channel = [](double v) { return int(std::lround(std::clamp(v, 0.0, 255.0))); };
    return QStringLiteral("#%1%2%3")
        .arg(channel(c.r), 2, 16, QLatin1Char('0'))
        .arg(channel(c.g), 2, 16, QLatin1Char('0'))
        .arg(channel(c.b), 2, 16, QLatin1Char('0'));
}

// SVG path data; a subpath that ends where it began is closed.
QString pathData(const QPainterPath& path) {
    QString d;
    QPointF start;
    auto point = [](QPointF p) { return number(p.x()) + QLatin1Char(' ') + number(p.y()); };
    auto closeIfBack = [&](int end) {
        if (end > 0 && QPointF(path.elementAt(end - 1)) == start)
            d += QLatin1String(" Z");
    };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            closeIfBack(i);
            start = e;
            d += (d.isEmpty() ? QStringLiteral("M ") : QStringLiteral(" M ")) + point(e);
        } else if (e.isLineTo()) {
            d += QStringLiteral(" L ") + point(e);
        } else if (e.isCurveTo()) {
            d += QStringLiteral(" C ") + point(e) + QLatin1Char(' ') +
                 point(path.elementAt(i + 1)) + QLatin1Char(' ') + point(path.elementAt(i + 2));
            i += 2;
        }
    }
    closeIfBack(path.elementCount());
    return d;
}

// The scalable picture: the same areas as paths, the shading as SVG gradients.
class SvgSurface final : public IconSurface {
public:
    void fill(const QPainterPath& path, Rgb colour, double opacity,
              const QPainterPath& minus) override {
        QString attributes = QStringLiteral(" fill=\"%1\"").arg(colourText(colour));
        if (opacity != 1)
            attributes += QStringLiteral(" fill-opacity=\"%1\"").arg(number(opacity));
        if (minus.isEmpty()) {
            element(pathData(path), attributes);
            return;
        }
        // The part of path outside minus: both with even-odd filling, clipped to path.
        const QString id = nextId(QStringLiteral("clip"));
        body += QStringLiteral("<defs><clipPath id=\"%1\"><path d=\"%2\"/></clipPath></defs>\n")
                    .arg(id, pathData(path));
        element(pathData(path) + QLatin1Char(' ') + pathData(minus),
                attributes +
                    QStringLiteral(" fill-rule=\"evenodd\" clip-path=\"url(#%1)\"").arg(id));
    }
    void fillLinear(const QPainterPath& path, Rgb c1, QPointF from, Rgb c2, QPointF to) override {
        const QString id = nextId(QStringLiteral("linear"));
        body +=
            QStringLiteral("<defs><linearGradient id=\"%1\" gradientUnits=\"userSpaceOnUse\" "
                           "x1=\"%2\" y1=\"%3\" x2=\"%4\" y2=\"%5\">%6</linearGradient></defs>\n")
                .arg(id, number(from.x()), number(from.y()), number(to.x()), number(to.y()),
                     stops(c1, c2));
        element(pathData(path), QStringLiteral(" fill=\"url(#%1)\"").arg(id));
    }
    void fillRadial(const QPainterPath& path, Rgb c1, QPointF centre, Rgb c2,
                    double radius) override {
        const QString id = nextId(QStringLiteral("radial"));
        body += QStringLiteral("<defs><radialGradient id=\"%1\" gradientUnits=\"userSpaceOnUse\" "
                               "cx=\"%2\" cy=\"%3\" r=\"%4\">%5</radialGradient></defs>\n")
                    .arg(id, number(centre.x()), number(centre.y()), number(radius), stops(c1, c2));
        element(pathData(path), QStringLiteral(" fill=\"url(#%1)\"").arg(id));
    }
    void stroke(const QPainterPath& path, double width, Rgb colour) override {
        // SVG measures the miter limit from the inner corner, Qt from the path: 4 is
        // Qt's default of 2.
        element(pathData(path), QStringLiteral(" fill=\"none\" stroke=\"%1\" stroke-width=\"%2\" "
                                               "stroke-linejoin=\"miter\" stroke-miterlimit=\"4\"")
                                    .arg(colourText(colour), number(width)));
    }

    QString document() const {
        return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                              "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" "
                              "height=\"32\" viewBox=\"0 0 32 32\">\n") +
               body + QStringLiteral("</svg>\n");
    }

private:
    void element(const QString& d, const QString& attributes) {
        body += QStringLiteral("<path d=\"%1\"%2/>\n").arg(d, attributes);
    }
    QString nextId(const QString& kind) { return kind + QString::number(++ids_); }
    static QString stops(Rgb c1, Rgb c2) {
        return QStringLiteral("<stop offset=\"0\" stop-color=\"%1\"/>"
                              "<stop offset=\"1\" stop-color=\"%2\"/>")
            .arg(colourText(c1), colourText(c2));
    }

    QString body;
    int ids_ = 0;
};

} // namespace

Canvas drawIcon(int size) {
    CanvasSurface s(size);
    drawIconOn(s);
    return s.canvas;
}

QByteArray drawIconSvg() {
    SvgSurface s;
    drawIconOn(s);
    return s.document().toUtf8();
}
