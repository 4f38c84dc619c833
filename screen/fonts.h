#pragma once
// The fonts the game draws with, by the names it asks for, at fixed pixel sizes (so
// every machine draws the same, whatever its dpi). Free faces stand in for the names:
// "Century" is C059, the two MS Gothic faces are IPA Gothic.

#include <QFont>
#include <QString>

inline const QString centuryFamily = QStringLiteral("Century");
inline const QString gothicFamily = QStringLiteral("ＭＳ ゴシック");
inline const QString pGothicFamily = QStringLiteral("ＭＳ Ｐゴシック");

// Registers the stand-in faces under those names; idempotent.
void installFontSubstitutions();

// The font of that family at that pixel height; bold as every game text is.
QFont gameFont(const QString& family, int pixelSize, bool bold = true);

// Windows maps N points to MulDiv(N, 96, 72) pixels: 18 pt is 24 px, 11 pt is 15 px.
constexpr int pointsToPixels(int points) {
    return (points * 96 + 36) / 72;
}
