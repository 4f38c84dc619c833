#pragma once
// Rectangle copies between RGB32 pictures under the three raster operations the game
// draws with, stretched with the nearest pixel where the sizes differ. Done by hand
// rather than by QPainter: exact bitwise results, safe overlap within one picture, and
// no painter set-up per cell.

#include <QImage>
#include <QRect>

enum class CopyMode : unsigned {
    SrcCopy = 0x00CC0020,  // destination := source
    SrcAnd = 0x008800C6,   // destination := destination AND source
    SrcPaint = 0x00EE0086, // destination := destination OR source
};

// Copies srcRect of src onto dstRect of dst (which may be the same picture; the result
// is that of reading the whole source first). Where the sizes differ, destination
// pixel x takes source pixel floor((x + 0.5) * sw / dw), likewise for y. Parts of
// either rectangle outside its picture are left out. Both pictures are Format_RGB32.
void copyRect(QImage& dst, const QRect& dstRect, const QImage& src, const QRect& srcRect,
              CopyMode mode);

// A new opaque picture of the given size, black. Its memory is zeroed by the system,
// which commits it only as it is drawn on: pictures not drawn on yet (the game's before
// the first round) cost nothing. (Format_RGB32 ignores the top byte, so zero is black.)
QImage newPicture(int width, int height);
