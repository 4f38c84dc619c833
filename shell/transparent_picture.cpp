#include "shell/transparent_picture.h"

#include <QPixmap>

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

QLabel* newTransparentPicture(const QImage& picture, QWidget* parent, const QImage& detailed) {
    auto* label = new QLabel(parent);
    label->setAttribute(Qt::WA_TranslucentBackground);
    const bool useDetailed = !detailed.isNull() && parent && parent->devicePixelRatioF() > 1.25;
    QPixmap pixmap = QPixmap::fromImage(withTransparentKey(useDetailed ? detailed : picture));
    if (useDetailed)
        pixmap.setDevicePixelRatio(qreal(detailed.width()) / picture.width());
    label->setPixmap(pixmap);
    label->setFixedSize(picture.size());
    return label;
}
