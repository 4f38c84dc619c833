#pragma once
// A label whose one line of text always shows whole inside its rectangle. A text that
// fits is drawn exactly as QLabel draws it; one that does not keeps its face and is
// narrowed (a horizontal stretch of the same face) when too wide, made smaller when too
// tall, and placed by its glyphs as the alignment says.

#include <QLabel>

class FittedLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    // Draws the text as the label shows it, in the label's coordinates. The painter may
    // be another device's: tests draw it unclipped to see where the glyphs go.
    void paintText(QPainter& painter) const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
