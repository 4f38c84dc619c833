#include "shell/fitted_label.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>

#include <cmath>

namespace {

// Where the glyphs of text lie when a line is laid out as QLabel lays it out: its
// advance and cell height aligned in area, the baseline at the ascent.
QRectF laidOutGlyphs(const QFontMetricsF& m, const QString& text, Qt::Alignment align,
                     const QRectF& area, QPointF* origin) {
    const QSizeF cell(m.horizontalAdvance(text), m.height());
    const QRectF box = QStyle::alignedRect(Qt::LeftToRight, align, cell.toSize(), area.toRect());
    *origin = QPointF(box.left(), box.top() + m.ascent());
    return m.tightBoundingRect(text).translated(*origin);
}

// Moves the glyphs into room along one axis, as the alignment places them.
qreal shiftInto(qreal low, qreal high, qreal roomLow, qreal roomHigh, bool toLow, bool toHigh) {
    if (toLow)
        return roomLow - low;
    if (toHigh)
        return roomHigh - high;
    return (roomLow + roomHigh) / 2 - (low + high) / 2;
}

} // namespace

void FittedLabel::paintText(QPainter& painter) const {
    const QString line = text();
    const QRectF area = contentsRect();
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    QFont font = this->font();
    QPointF origin;
    QFontMetricsF m(font, this);
    QRectF glyphs = laidOutGlyphs(m, line, align, area, &origin);
    // A pixel of slack for the rounding of the layout.
    if (line.isEmpty() || area.adjusted(1, 1, -1, -1).contains(glyphs)) {
        // As QLabel draws it; not clipped, so that a painter of a larger device shows
        // the glyphs where they really go.
        painter.setFont(font);
        style()->drawItemText(&painter, contentsRect(), int(align) | Qt::TextDontClip, palette(),
                              isEnabled(), line, foregroundRole());
        return;
    }
    // Half a pixel of slack, so a screen scaled up draws its own hinting inside too.
    const QRectF room = area.adjusted(0.5, 0.5, -0.5, -0.5);
    while (font.pixelSize() > 1 && m.tightBoundingRect(line).height() > room.height()) {
        font.setPixelSize(font.pixelSize() - 1);
        m = QFontMetricsF(font, this);
    }
    const qreal width = m.tightBoundingRect(line).width();
    if (width > room.width()) {
        int stretch = std::max(1, int(std::floor(100 * room.width() / width)));
        do {
            font.setStretch(stretch--);
            m = QFontMetricsF(font, this);
        } while (stretch > 1 && m.tightBoundingRect(line).width() > room.width());
    }
    // Along an axis where the laid-out line now fits it stays where QLabel puts it.
    glyphs = laidOutGlyphs(m, line, align, area, &origin);
    QPointF shift;
    if (glyphs.left() < room.left() || glyphs.right() > room.right())
        shift.rx() = shiftInto(glyphs.left(), glyphs.right(), room.left(), room.right(),
                               align.testFlag(Qt::AlignLeft), align.testFlag(Qt::AlignRight));
    if (glyphs.top() < room.top() || glyphs.bottom() > room.bottom())
        shift.ry() = shiftInto(glyphs.top(), glyphs.bottom(), room.top(), room.bottom(),
                               align.testFlag(Qt::AlignTop), align.testFlag(Qt::AlignBottom));
    painter.setFont(font);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    painter.drawText(origin + shift, line);
}

void FittedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintText(painter);
}
