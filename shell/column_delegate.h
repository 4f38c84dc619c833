#pragma once
// Draws the lines of a list as a table of fixed columns: each character at its column
// (columnWidth) in cells half as wide as the list's font is high, so the columns line up
// whatever face supplies a character. At one device pixel per pixel the half-width
// letters come from a 6x12 bitmap face, which draws them crisp: an outline face blurs
// the three strokes of "m" into a grey block in a 6-pixel cell. Everything else,
// and everything on a screen of more device pixels per pixel, comes from the list's
// font.

#include <QStyledItemDelegate>

class ColumnDelegate : public QStyledItemDelegate {
public:
    ColumnDelegate(int lineHeight, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // As wide as the line's columns, lineHeight high.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int lineHeight_;
};
