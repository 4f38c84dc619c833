#include "shell/transparent_picture.h"

#include "screen/sharp_scale.h"

#include <QPixmap>

#include <cmath>

QImage withTransparentKey(const QImage& picture) {
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    if (out.isNull())
        return out;
    const QRgb key = out.pixel(0, out.height() - 1) | 0xFF000000u;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((line[x] | 0xFF000000u) == key)
                line[x] = 0;
    }
    return out;
}

namespace {

// The whole factor at or above the ratio.
int wholeAbove(qreal ratio) {
    return std::max(1, int(std::ceil(ratio - 1e-3)));
}

} // namespace

QImage pictureForScreen(const QImage& picture, const QImage& detailed, qreal ratio) {
    // Up to the next whole factor from the drawing that divides it (the detailed one for
    // even factors), then down to the ratio.
    const int whole = wholeAbove(ratio);
    const bool useDetailed = !detailed.isNull() && whole % 2 == 0;
    const QImage& base = useDetailed ? detailed : picture;
    const qreal baseRatio = useDetailed ? qreal(detailed.width()) / picture.width() : 1;
    QImage out = withTransparentKey(base).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (whole != baseRatio)
        out = sharpScaled(out, whole / baseRatio);
    if (!isWholeFactor(ratio))
        out = sharpScaled(out, ratio / whole);
    out.setDevicePixelRatio(qreal(out.width()) / picture.width());
    return out;
}

QLabel* newTransparentPicture(const QImage& picture, const QString& detailedFile, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setAttribute(Qt::WA_TranslucentBackground);
    const qreal ratio = parent ? parent->devicePixelRatioF() : 1;
    // The detailed drawing is read only where it is shown.
    const QImage detailed = wholeAbove(ratio) % 2 == 0 ? QImage(detailedFile) : QImage();
    label->setPixmap(QPixmap::fromImage(pictureForScreen(picture, detailed, ratio)));
    label->setFixedSize(picture.size());
    return label;
}
