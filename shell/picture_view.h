#pragma once
// MainImage: shows the visible game picture. At a whole scale factor each pixel is a
// square of device pixels (never smoothed); between whole factors the picture is
// scaled sharp bilinear (screen/sharp_scale.h), and only the part each present changed
// is scaled again. Until the picture is first presented it holds nothing worth showing;
// a stand-in (the title screen as it was) is shown instead.

#include "screen/sharp_scale.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

class PictureView : public QWidget {
public:
    PictureView(const QImage* picture, QWidget* parent);

    bool everPresented() const { return everPresented_; }
    // Shows standIn until the picture is first presented; no effect after that.
    void showUntilPresented(const QPixmap& standIn);
    // The part rect of the picture has been presented.
    void presented(QRect rect);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QImage* picture_;
    QPixmap standIn_;
    bool everPresented_ = false;
    SharpScaler scaler_;
    QRect unscaled_; // presented since the scaled copy was last brought up to date
};
