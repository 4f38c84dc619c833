#pragma once
// The title logo (300x93) and the version dialog's reduced copy (138x43), built into the
// program as plain pixels like the sprite sheet. Their drawings at twice the size, read
// only on screens that show them, are the files ":/assets/title_logo@2x.png" and
// ":/assets/small_logo@2x.png".

#include <QImage>

QImage titleLogo();
QImage smallLogo();
