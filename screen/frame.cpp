#include "screen/frame.h"

#include "screen/layout.h"

#include <QFontMetrics>
#include <QPainter>

#include <cstring>

Pictures pictures;

namespace {
std::function<void()>& presentHook() {
    static std::function<void()> hook;
    return hook;
}
} // namespace

QImage loadSheet() {
    QImage sheet(QStringLiteral(":/assets/sheet.png"));
    return sheet.convertToFormat(QImage::Format_RGB32);
}

void initPictures() {
    initPictures(loadSheet());
}

void initPictures(const QImage& sheet) {
    pictures.CharaImage = sheet.convertToFormat(QImage::Format_RGB32);
    pictures.TmpImage = newPicture(layout::screenWidth, layout::screenHeight);
    pictures.MainImage = newPicture(layout::screenWidth, layout::screenHeight);
    pictures.BackImage = newPicture(layout::backWidth, layout::backHeight);
    pictures.MybackImage = QImage();
    pictures.copyMode = CopyMode::SrcCopy;
}

void setPresentHook(std::function<void()> hook) {
    presentHook() = std::move(hook);
}

void setCopyMode(CopyMode mode) {
    pictures.copyMode = mode;
}

void copyToFrame(const QRect& dstRect, const QImage& src, const QRect& srcRect) {
    copyRect(pictures.TmpImage, dstRect, src, srcRect, pictures.copyMode);
}

void presentFrame() {
    QImage& main = pictures.MainImage;
    const QImage& tmp = pictures.TmpImage;
    // Same size and format by construction: one straight copy of the bytes.
    std::memcpy(main.bits(), tmp.constBits(), size_t(tmp.sizeInBytes()));
    if (presentHook())
        presentHook()();
}

void restoreCell(int c, int r) {
    copyToFrame(layout::cellRect(c, r), pictures.BackImage, layout::backCellRect(c, r));
}

void restoreWellRect(const QRect& backRect) {
    copyToFrame(backRect.translated(layout::fieldLeft, layout::fieldTop), pictures.BackImage,
                backRect);
}

void drawPiece(QPoint dest, int kind) {
    const QRect d(dest, QSize(32, 32));
    setCopyMode(CopyMode::SrcAnd);
    copyToFrame(d, pictures.CharaImage, layout::maskOf(kind));
    setCopyMode(CopyMode::SrcPaint);
    copyToFrame(d, pictures.CharaImage, layout::spriteOf(kind));
    setCopyMode(CopyMode::SrcCopy);
}

void drawFlyingPiece(QPoint dest, int kind) {
    const QRect d(dest, QSize(32, 32));
    setCopyMode(CopyMode::SrcAnd);
    for (int pass = 0; pass < 2; ++pass) {
        copyToFrame(d, pictures.CharaImage, layout::maskOf(kind));
        setCopyMode(CopyMode::SrcPaint);
        copyToFrame(d, pictures.CharaImage, layout::spriteOf(kind));
    }
    setCopyMode(CopyMode::SrcCopy);
}

void drawCrack(QPoint dest) {
    const QRect d(dest, QSize(32, 32));
    setCopyMode(CopyMode::SrcAnd);
    copyToFrame(d, pictures.CharaImage, layout::crackMask);
    setCopyMode(CopyMode::SrcPaint);
    copyToFrame(d, pictures.CharaImage, layout::crackSprite);
    setCopyMode(CopyMode::SrcCopy);
}

void drawCellOpaque(QPoint dest, int kind) {
    copyRect(pictures.TmpImage, QRect(dest, QSize(32, 32)), pictures.CharaImage,
             layout::spriteOf(kind), CopyMode::SrcCopy);
}

void frameCopy(const QRect& src, QPoint destTopLeft) {
    copyRect(pictures.TmpImage, QRect(destTopLeft, src.size()), pictures.TmpImage, src,
             CopyMode::SrcCopy);
}

void restorePanel(const QRect& r) {
    copyRect(pictures.TmpImage, r, pictures.CharaImage, r, CopyMode::SrcCopy);
}

QRect drawTextRightAligned(const QString& text, const QFont& font, QColor colour, QPoint anchor) {
    const QFontMetrics metrics(font);
    const int w = metrics.horizontalAdvance(text);
    const int h = metrics.height();
    const QRect box(anchor.x() - w, anchor.y() - h, w, h);
    QPainter painter(&pictures.TmpImage);
    painter.setFont(font);
    painter.setPen(colour);
    painter.setBrush(Qt::NoBrush);
    painter.drawText(QPoint(box.left(), box.top() + metrics.ascent()), text);
    return box;
}
