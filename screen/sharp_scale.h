#pragma once
// Pixel art on a screen that draws more than one device pixel per pixel.
//
// At a whole factor every pixel becomes a square of device pixels (nearest neighbour):
// no colour appears that the picture lacks. Between whole factors nearest neighbour
// would make neighbouring pixels one and two device pixels wide; instead the picture is
// scaled "sharp bilinear": as if enlarged by nearest neighbour to the next whole factor
// and then reduced smoothly to the exact size. That comes to each device pixel taking
// the mean of the picture's pixels it covers, so device pixels inside a pixel keep its
// colour, those on a border between two pixels mix them by how much each covers, and
// every pixel keeps the same width (one and a half device pixels at 150 %).

#include <QImage>
#include <QRect>

#include <array>
#include <vector>

// Whether a factor is whole (within rounding of the screen's ratio).
bool isWholeFactor(qreal factor);

// The picture scaled by factor (nearest neighbour for whole factors, else as above),
// round(width * factor) x round(height * factor), with factor as its device pixel ratio.
// Takes RGB32 or premultiplied ARGB32 and returns the same format; other formats are
// converted to one of those first.
QImage sharpScaled(const QImage& picture, qreal factor);

// A scaled copy of a picture that is kept up to date part by part: a picture redrawn a
// little at a time (the game picture) is scaled only where it changed.
class SharpScaler {
public:
    // Scales the whole picture (RGB32 or premultiplied ARGB32) anew.
    void reset(const QImage& picture, qreal factor);
    // Scales again the device pixels that show sourceRect of the picture (which must
    // have kept the size given to reset).
    void update(const QImage& picture, const QRect& sourceRect);
    // The scaled picture, with the factor as its device pixel ratio.
    const QImage& scaled() const { return scaled_; }
    qreal factor() const { return factor_; }
    QSize sourceSize() const { return sourceSize_; }
    // The device pixels that show sourceRect.
    QRect deviceRect(const QRect& sourceRect) const;

private:
    // For each device column (or row): the first source pixel it covers, how many, and
    // their weights (in 1/256, summing to 256).
    struct Axis {
        std::vector<int> first, count;
        std::vector<std::array<int, 4>> weights;
    };
    static Axis axis(int sourceSize, int deviceSize);
    void updateEnlarged(const QImage& source, const QRect& deviceRect);
    static void range(const Axis& a, int lo, int hi, int& from, int& to);

    QImage scaled_;
    QSize sourceSize_;
    qreal factor_ = 1;
    Axis columns_, rows_;
    bool enlarged_ = false; // no device pixel meets more than two pixels along an axis
};
