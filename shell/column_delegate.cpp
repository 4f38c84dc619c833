#include "shell/column_delegate.h"

#include "store/text_columns.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPainter>

namespace {

// Shinonome's 6x12 face (ASCII and Latin-1). Desktops leave bitmap faces out of their
// font list, so it is loaded by its file; empty when it is not installed.
const QString& bitmapFamily() {
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFont(
            QStringLiteral("/usr/share/fonts/X11/misc/shnm6x12a.pcf.gz"));
        return id < 0 ? QString() : QFontDatabase::applicationFontFamilies(id).value(0);
    }();
    return family;
}

int textMargin(const QStyleOptionViewItem& option) {
    const QWidget* widget = option.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
}

// The length of the character at i with the marks that combine with it.
qsizetype clusterLength(const QString& text, qsizetype i) {
    qsizetype end = i;
    do {
        const bool pair =
            text[end].isHighSurrogate() && end + 1 < text.size() && text[end + 1].isLowSurrogate();
        end += pair ? 2 : 1;
    } while (end < text.size() && QChar::isMark(text.at(end).unicode()) &&
             !text[end].isSurrogate());
    return end - i;
}

} // namespace

ColumnDelegate::ColumnDelegate(int lineHeight, QObject* parent)
    : QStyledItemDelegate(parent), lineHeight_(lineHeight) {}

QSize ColumnDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const int cell = option.font.pixelSize() / 2;
    const QString text = index.data(Qt::DisplayRole).toString();
    return QSize(columnWidth(text) * cell + 2 * textMargin(option), lineHeight_);
}

void ColumnDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    const QWidget* widget = opt.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget); // background, focus

    const QFont outline = opt.font;
    QFont bitmap;
    const bool useBitmap =
        !bitmapFamily().isEmpty() && qFuzzyCompare(painter->device()->devicePixelRatioF(), 1.0);
    if (useBitmap) {
        bitmap = QFont(bitmapFamily());
        bitmap.setPixelSize(outline.pixelSize());
    }
    const QFontMetrics bitmapMetrics(bitmap);
    const QFontMetrics primary(useBitmap ? bitmap : outline);
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
    const int left = area.left() + textMargin(opt);
    const int baseline = area.top() + (area.height() - primary.height()) / 2 + primary.ascent();
    const int cell = outline.pixelSize() / 2;

    painter->save();
    const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (opt.state & QStyle::State_Active) ? QPalette::Active
                                                                            : QPalette::Inactive;
    painter->setPen(opt.palette.color(
        group, opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    int column = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = clusterLength(text, i);
        const QString cluster = text.mid(i, length);
        const int width = columnWidth(cluster);
        const bool narrowLetter =
            useBitmap && length == 1 && width == 1 && bitmapMetrics.inFont(cluster.front());
        painter->setFont(narrowLetter ? bitmap : outline);
        painter->drawText(QPoint(left + column * cell, baseline), cluster);
        column += width;
        i += length;
    }
    painter->restore();
}
