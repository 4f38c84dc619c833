#pragma once
// MainImage: shows the visible game picture at 1:1, with the nearest pixel where a
// high-dpi screen scales it (never smoothed).

#include <QImage>
#include <QWidget>

class PictureView : public QWidget {
public:
    PictureView(const QImage* picture, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QImage* picture_;
};
