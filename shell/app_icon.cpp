#include "shell/app_icon.h"

#include <QIconEngine>
#include <QPainter>

#include <algorithm>
#include <array>

namespace {

constexpr std::array<int, 8> iconSizes = {16, 22, 24, 32, 48, 64, 128, 256};

class IconFiles final : public QIconEngine {
public:
    QIconEngine* clone() const override { return new IconFiles; }
    QString key() const override { return QStringLiteral("flinder-icon"); }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (int s : iconSizes)
            sizes << QSize(s, s);
        return sizes;
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return QSize(side, side);
    }
    // The drawing of that size, or the next larger one reduced.
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        if (side <= 0)
            return QPixmap();
        int drawn = iconSizes.back();
        for (int s : iconSizes)
            if (s >= side) {
                drawn = s;
                break;
            }
        QImage image(QStringLiteral(":/assets/icon%1.png").arg(drawn));
        if (drawn != side)
            image = image.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return QPixmap::fromImage(image);
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        painter->drawPixmap(
            rect, pixmap(rect.size() * painter->device()->devicePixelRatio(), mode, state));
    }
};

} // namespace

QIcon applicationIcon() {
    return QIcon(new IconFiles);
}
