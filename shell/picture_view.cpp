#include "shell/picture_view.h"

#include <QPainter>

PictureView::PictureView(const QImage* picture, QWidget* parent)
    : QWidget(parent), picture_(picture) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureView::showUntilPresented(const QPixmap& standIn) {
    if (everPresented_)
        return;
    standIn_ = standIn;
    update();
}

void PictureView::presented(QRect rect) {
    everPresented_ = true;
    unscaled_ |= rect;
    if (standIn_.isNull()) {
        // Scaled between whole factors, a pixel's border mixes into the device pixels
        // around it.
        update(rect.adjusted(-1, -1, 1, 1));
        return;
    }
    standIn_ = QPixmap();
    update();
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!standIn_.isNull()) {
        painter.drawPixmap(rect(), standIn_);
        return;
    }
    const qreal ratio = devicePixelRatioF();
    if (isWholeFactor(ratio)) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(rect(), *picture_);
        return;
    }
    if (scaler_.scaled().isNull() || scaler_.factor() != ratio ||
        scaler_.sourceSize() != picture_->size()) {
        scaler_.reset(*picture_, ratio);
    } else if (!unscaled_.isEmpty()) {
        scaler_.update(*picture_, unscaled_);
    }
    unscaled_ = QRect();
    painter.drawImage(QPointF(0, 0), scaler_.scaled()); // device pixels one to one
}
