#pragma once
// A picture drawn transparent: the colour of its bottom-left pixel lets the window show
// through (the title logo, the version dialog's logo).

#include <QImage>
#include <QLabel>

// The picture with every pixel of its bottom-left colour made fully transparent.
QImage withTransparentKey(const QImage& picture);

// A label showing such a picture at its own size.
QLabel* newTransparentPicture(const QImage& picture, QWidget* parent);
