#pragma once
// A picture in floating-point RGB with antialiased path filling of our own: paths are
// rasterised without antialiasing at a supersampled size and the samples counted, so
// the result depends only on integer scan conversion and our own arithmetic.

#include <QImage>
#include <QPainterPath>

#include <functional>
#include <vector>

struct Rgb {
    double r = 0, g = 0, b = 0;
};

constexpr Rgb rgb(int r, int g, int b) {
    return Rgb{double(r), double(g), double(b)};
}
Rgb mix(Rgb a, Rgb b, double t);
Rgb scaled(Rgb c, double f);

// Coverage of each pixel, 0 to 1.
class Mask {
public:
    Mask(int width, int height);
    // Pixel coverage of a filled path, sampled supersample x supersample per pixel.
    static Mask fromPath(const QPainterPath& path, int width, int height, int supersample = 6);
    // The outline of a path stroked with round caps and joins, filled.
    static Mask fromStroke(const QPainterPath& path, double penWidth, int width, int height,
                           int supersample = 6);

    int width() const { return w_; }
    int height() const { return h_; }
    double at(int x, int y) const;
    void set(int x, int y, double v) { v_[size_t(y * w_ + x)] = v; }
    // Pointwise this * (1 - other): the part of this mask that other does not cover.
    Mask minus(const Mask& other) const;
    Mask times(const Mask& other) const;

private:
    int w_, h_;
    std::vector<double> v_;
};

using Shader = std::function<Rgb(int x, int y)>;

class Canvas {
public:
    Canvas(int width, int height, Rgb fill = {});

    int width() const { return w_; }
    int height() const { return h_; }
    const Rgb& at(int x, int y) const { return px_[size_t(y * w_ + x)]; }
    Rgb& at(int x, int y) { return px_[size_t(y * w_ + x)]; }
    void set(int x, int y, Rgb c) { at(x, y) = c; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }

    // Blends the shader's colour over the canvas by the mask's coverage times opacity.
    void paint(const Mask& mask, const Shader& shader, double opacity = 1.0);
    void paint(const Mask& mask, Rgb colour, double opacity = 1.0);
    void fill(const QPainterPath& path, Rgb colour, double opacity = 1.0);
    void fill(const QPainterPath& path, const Shader& shader, double opacity = 1.0);
    void stroke(const QPainterPath& path, double penWidth, Rgb colour, double opacity = 1.0);
    void blend(int x, int y, Rgb colour, double alpha);
    // Copies src with its top-left corner at (dx, dy).
    void blit(const Canvas& src, int dx, int dy);

    // Rounded and clamped to 0..255, opaque RGB32.
    QImage toImage() const;

private:
    int w_, h_;
    std::vector<Rgb> px_;
};
