#include "screen/frame.h"

#include "screen/layout.h"

#include <QFontMetrics>
#include <QPainter>

#include <cstdint>
#include <cstring>

Pictures pictures;

namespace {
std::function<void()>& presentHook() {
    static std::function<void()> hook;
    return hook;
}
} // namespace

// The sheet's pixels, built into the program from assets/sheet.png.
extern const std::uint32_t flinderSheetPixels[];

QImage loadSheet() {
    // Read only, so never written to: the pixels stay where they lie in the program.
    return QImage(reinterpret_cast<const uchar*>(flinderSheetPixels), layout::sheetWidth,
                  layout::sheetHeight, layout::sheetWidth * 4, QImage::Format_RGB32);
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
    pictures.changed = pictures.TmpImage.rect();
}

void setPresentHook(std::function<void()> hook) {
    presentHook() = std::move(hook);
}

void setCopyMode(CopyMode mode) {
    pictures.copyMode = mode;
}

void markFrameChanged(const QRect& r) {
    pictures.changed |= r.intersected(pictures.TmpImage.rect());
}

void copyToFrame(const QRect& dstRect, const QImage& src, const QRect& srcRect) {
    copyRect(pictures.TmpImage, dstRect, src, srcRect, pictures.copyMode);
    markFrameChanged(dstRect);
}

namespace {
QRect lastPresented;
}

QRect presentedRect() {
    return lastPresented;
}

void presentFrame() {
    QImage& main = pictures.MainImage;
    const QImage& tmp = pictures.TmpImage;
    const QRect r = pictures.changed.intersected(tmp.rect());
    if (!r.isEmpty()) {
        // Same size and format by construction: straight copies of the changed rows.
        const qsizetype stride = tmp.bytesPerLine();
        const size_t bytes = size_t(r.width()) * 4;
        uchar* dst = main.bits() + r.top() * stride + r.left() * 4;
        const uchar* src = tmp.constBits() + r.top() * stride + r.left() * 4;
        if (r.width() == tmp.width() && stride == qsizetype(bytes))
            std::memcpy(dst, src, bytes * size_t(r.height()));
        else
            for (int y = 0; y < r.height(); ++y, dst += stride, src += stride)
                std::memcpy(dst, src, bytes);
    }
    lastPresented = r;
    pictures.changed = QRect();
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
    markFrameChanged(QRect(dest, QSize(32, 32)));
}

void frameCopy(const QRect& src, QPoint destTopLeft) {
    copyRect(pictures.TmpImage, QRect(destTopLeft, src.size()), pictures.TmpImage, src,
             CopyMode::SrcCopy);
    markFrameChanged(QRect(destTopLeft, src.size()));
}

void restorePanel(const QRect& r) {
    copyRect(pictures.TmpImage, r, pictures.CharaImage, r, CopyMode::SrcCopy);
    markFrameChanged(r);
}

QRect drawTextRightAligned(const QString& text, const QFont& font, QColor colour, QPoint anchor,
                           const QRect& within) {
    const QFontMetrics metrics(font);
    const int w = metrics.horizontalAdvance(text);
    const int h = metrics.height();
    QRect box(anchor.x() - w, anchor.y() - h, w, h);
    if (within.isValid()) {
        // The glyphs' height, taken with the digits so a number does not jump as it
        // changes; what lies outside the panel would stay there after its next redraw.
        const QRect ink = metrics.tightBoundingRect(text)
                              .united(metrics.tightBoundingRect(QStringLiteral("0123456789")))
                              .translated(box.left(), box.top() + metrics.ascent());
        if (ink.top() < within.top())
            box.translate(0, within.top() - ink.top());
        else if (ink.bottom() > within.bottom())
            box.translate(0, within.bottom() - ink.bottom());
    }
    QPainter painter(&pictures.TmpImage);
    painter.setFont(font);
    painter.setPen(colour);
    painter.setBrush(Qt::NoBrush);
    painter.drawText(QPoint(box.left(), box.top() + metrics.ascent()), text);
    // Glyphs may reach a little beyond their advance box.
    const QRect ink =
        metrics.boundingRect(text).translated(box.left(), box.top() + metrics.ascent());
    markFrameChanged(box.united(ink).adjusted(-2, -2, 2, 2));
    return box;
}
