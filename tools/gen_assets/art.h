#pragma once
// The drawings of the sprite sheet, the logos and the icon. Each returns a new canvas.

#include "canvas.h"

#include <QByteArray>

#include <cstdint>

// Wood grain: light and dark share the ring pattern, a seed chooses the board.
struct WoodTone {
    Rgb light, mid, dark;
};
Rgb woodAt(double x, double y, const WoodTone& tone, std::uint32_t seed);

// The empty game screen (400x400): board, frames, tabs, black interiors. The well is
// left black for the patterns.
Canvas drawBoard();

// The 96x192 background patterns, bottom band included.
Canvas drawStonePattern();
Canvas drawMarinePattern();
Canvas drawWaPattern();
Canvas drawRainPattern();

// The 32x32 cells of the strip.
Canvas drawArrowCell(int kind); // kinds 1 to 4
Canvas drawStarBallCell();
Canvas drawStarMaskCell();
Canvas drawGaugeCell();
Canvas drawCrackCell(bool mask);

// The whole 400x432 sheet.
Canvas drawSheet();

// The title logo at any size (drawn from one geometry of 300x93).
Canvas drawLogo(int width, int height);

// The application icon, square, at any size; and the same drawing as a scalable picture
// (an SVG document of 32 units).
Canvas drawIcon(int size);
QByteArray drawIconSvg();
