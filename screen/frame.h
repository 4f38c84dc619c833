#pragma once
// The five pictures of the game screen and the drawing operations the whole game uses.
// Everything is drawn into the off-screen frame TmpImage; presentFrame() copies it
// whole onto the visible MainImage. No operation presents by itself.

#include "screen/raster.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <functional>

struct Pictures {
    QImage CharaImage;  // the sprite sheet, 400x432, only read
    QImage TmpImage;    // the off-screen frame, 400x400
    QImage MainImage;   // the visible picture, 400x400, only written by presentFrame
    QImage BackImage;   // the background of the play field, 192x384
    QImage MybackImage; // the user's "back.bmp" once loaded
    // Drawing state of the frame: the raster operation of every copy onto it.
    CopyMode copyMode = CopyMode::SrcCopy;
    // The part of the frame drawn since the last present; only it is copied and shown.
    QRect changed;
};

extern Pictures pictures;

// Creates the pictures at their sizes with the sheet embedded in the program, or with
// the given sheet (400x432; converted to RGB32).
void initPictures();
void initPictures(const QImage& sheet);
// The embedded sprite sheet.
QImage loadSheet();

// Called after every present, so the window can repaint the visible picture when
// messages are next processed; presentedRect() is the part that changed.
void setPresentHook(std::function<void()> hook);
QRect presentedRect();

// --- Drawing onto the frame ---
void setCopyMode(CopyMode mode);
// Copies srcRect of src onto dstRect of the frame under the frame's copy mode.
void copyToFrame(const QRect& dstRect, const QImage& src, const QRect& srcRect);

// Makes MainImage what the frame is. Only the part drawn since the previous present is
// copied: the rest of MainImage is that already.
void presentFrame();
// Records that a rectangle of the frame was drawn by other means than the operations
// here, so that the next present shows it.
void markFrameChanged(const QRect& r);
// Copies the cell's square of BackImage onto field cell (c, r) of the frame.
void restoreCell(int c, int r);
// The rectangle form: background rectangle r (coordinates of BackImage) onto screen
// (26 + x, 8 + y).
void restoreWellRect(const QRect& backRect);
// Sprite of kind 1..5 through its mask onto the 32x32 square at dest (top-left).
void drawPiece(QPoint dest, int kind);
// A piece in flight: mask AND, sprite OR, mask OR, sprite OR (the star ball travels on
// a white square).
void drawFlyingPiece(QPoint dest, int kind);
// The crack overlay: black cracks over whatever lies at dest.
void drawCrack(QPoint dest);
// Sprite of kind 1..5 copied without mask.
void drawCellOpaque(QPoint dest, int kind);
// Copies a rectangle of the frame onto another place of the frame (overlap allowed).
void frameCopy(const QRect& src, QPoint destTopLeft);
// Returns a rectangle of the frame to its empty state from the sheet's frame zone.
void restorePanel(const QRect& r);

// --- Text ---
// Draws text bold and without background so that its right edge lies at anchor.x()
// and its bottom (the font's full cell height) at anchor.y(). Given the rectangle that
// the panel's redraw restores, the glyphs stay inside it: a face with a taller cell is
// moved down (or up) by as little as that needs. Returns where the cell went.
QRect drawTextRightAligned(const QString& text, const QFont& font, QColor colour, QPoint anchor,
                           const QRect& within = QRect());
