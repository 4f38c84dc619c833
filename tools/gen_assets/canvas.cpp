#include "canvas.h"

#include <QPainter>
#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>

Rgb mix(Rgb a, Rgb b, double t) {
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scaled(Rgb c, double f) {
    return Rgb{c.r * f, c.g * f, c.b * f};
}

Mask::Mask(int width, int height) : w_(width), h_(height), v_(size_t(width * height), 0.0) {}

double Mask::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= w_ || y >= h_)
        return 0.0;
    return v_[size_t(y * w_ + x)];
}

Mask Mask::fromPath(const QPainterPath& path, int width, int height, int supersample) {
    Mask m(width, height);
    const QRect bounds =
        path.boundingRect().toAlignedRect().adjusted(-1, -1, 1, 1) & QRect(0, 0, width, height);
    if (bounds.isEmpty())
        return m;
    const int s = supersample;
    QImage samples(bounds.width() * s, bounds.height() * s, QImage::Format_RGB32);
    samples.fill(0u);
    {
        QPainter p(&samples);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255));
        p.scale(s, s);
        p.translate(-bounds.left(), -bounds.top());
        p.drawPath(path);
    }
    const double total = double(s * s);
    for (int y = 0; y < bounds.height(); ++y) {
        for (int x = 0; x < bounds.width(); ++x) {
            int count = 0;
            for (int sy = 0; sy < s; ++sy) {
                const auto* line = reinterpret_cast<const QRgb*>(samples.constScanLine(y * s + sy));
                for (int sx = 0; sx < s; ++sx)
                    count += (line[x * s + sx] & 0xffu) != 0;
            }
            m.set(bounds.left() + x, bounds.top() + y, count / total);
        }
    }
    return m;
}

Mask Mask::fromStroke(const QPainterPath& path, double penWidth, int width, int height,
                      int supersample) {
    QPainterPathStroker stroker;
    stroker.setWidth(penWidth);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    QPainterPath outline = stroker.createStroke(path);
    outline.setFillRule(Qt::WindingFill);
    return fromPath(outline, width, height, supersample);
}

Mask Mask::minus(const Mask& other) const {
    Mask m(*this);
    for (size_t i = 0; i < v_.size(); ++i)
        m.v_[i] = v_[i] * (1.0 - other.v_[i]);
    return m;
}

Mask Mask::times(const Mask& other) const {
    Mask m(*this);
    for (size_t i = 0; i < v_.size(); ++i)
        m.v_[i] = v_[i] * other.v_[i];
    return m;
}

Canvas::Canvas(int width, int height, Rgb fill)
    : w_(width), h_(height), px_(size_t(width * height), fill) {}

void Canvas::blend(int x, int y, Rgb colour, double alpha) {
    if (!contains(x, y) || alpha <= 0.0)
        return;
    Rgb& d = at(x, y);
    d = alpha >= 1.0 ? colour : mix(d, colour, alpha);
}

void Canvas::paint(const Mask& mask, const Shader& shader, double opacity) {
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            const double a = mask.at(x, y) * opacity;
            if (a > 0.0)
                blend(x, y, shader(x, y), a);
        }
}

void Canvas::paint(const Mask& mask, Rgb colour, double opacity) {
    paint(
        mask, [colour](int, int) { return colour; }, opacity);
}

void Canvas::fill(const QPainterPath& path, Rgb colour, double opacity) {
    paint(Mask::fromPath(path, w_, h_), colour, opacity);
}

void Canvas::fill(const QPainterPath& path, const Shader& shader, double opacity) {
    paint(Mask::fromPath(path, w_, h_), shader, opacity);
}

void Canvas::stroke(const QPainterPath& path, double penWidth, Rgb colour, double opacity) {
    paint(Mask::fromStroke(path, penWidth, w_, h_), colour, opacity);
}

void Canvas::blit(const Canvas& src, int dx, int dy) {
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            if (contains(dx + x, dy + y))
                set(dx + x, dy + y, src.at(x, y));
}

QImage Canvas::toImage() const {
    QImage img(w_, h_, QImage::Format_RGB32);
    auto channel = [](double v) { return int(std::lround(std::clamp(v, 0.0, 255.0))); };
    for (int y = 0; y < h_; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w_; ++x) {
            const Rgb& c = at(x, y);
            line[x] = qRgb(channel(c.r), channel(c.g), channel(c.b));
        }
    }
    return img;
}
