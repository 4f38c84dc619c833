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
    if (standIn_.isNull()) {
        update(rect);
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
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(rect(), *picture_);
}
