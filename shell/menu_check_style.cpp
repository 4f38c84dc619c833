#include "shell/menu_check_style.h"

#include <QStyleOptionMenuItem>

void MenuCheckStyle::drawControl(ControlElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element == CE_MenuItem && item && item->checkType == QStyleOptionMenuItem::NonExclusive &&
        !item->checked) {
        // Drawn as an item without a check box; the text keeps its place, since the menu
        // still has checkable items.
        QStyleOptionMenuItem unchecked = *item;
        unchecked.checkType = QStyleOptionMenuItem::NotCheckable;
        QProxyStyle::drawControl(element, &unchecked, painter, widget);
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}
