#pragma once
// A picture drawn transparent: the colour of its bottom-left pixel lets the window show
// through (the title logo, the version dialog's logo).

#include <QImage>
#include <QLabel>

// The picture with every pixel of its bottom-left colour made fully transparent.
QImage withTransparentKey(const QImage& picture);

// Such a picture made for a screen of the given device pixel ratio: at even factors from
// `detailed` (the same drawing at twice the size), at odd ones from the picture, each
// pixel a square of device pixels; between whole factors the next whole one reduced
// smoothly (screen/sharp_scale.h). Its device pixel ratio is set to match.
QImage pictureForScreen(const QImage& picture, const QImage& detailed, qreal ratio);

// A label showing the picture at its own size, made for its parent's screen from it or
// from the drawing in detailedFile.
QLabel* newTransparentPicture(const QImage& picture, const QString& detailedFile, QWidget* parent);
