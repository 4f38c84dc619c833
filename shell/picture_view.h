#pragma once
// MainImage: shows the visible game picture at 1:1, with the nearest pixel where a
// high-dpi screen scales it (never smoothed). Until the picture is first presented it
// holds nothing worth showing; a stand-in (the title screen as it was) is shown instead.

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
};
