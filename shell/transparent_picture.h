#pragma once
// A picture drawn transparent: the colour of its bottom-left pixel lets the window show
// through (the title logo, the version dialog's logo).

#include <QImage>
#include <QLabel>

// The picture with every pixel of its bottom-left colour made fully transparent.
QImage withTransparentKey(const QImage& picture);

// A label showing such a picture at its own size. Where the screen draws more than one
// device pixel per pixel, the label shows `detailed` (the same drawing at twice the
// size) instead, so the picture stays sharp.
QLabel* newTransparentPicture(const QImage& picture, QWidget* parent,
                              const QImage& detailed = QImage());
