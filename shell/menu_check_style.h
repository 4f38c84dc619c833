#pragma once
// The look of a menu whose items the program checks itself: the chosen item shows its
// check mark and the others show nothing, no empty check box, as Windows menus do.
// Everything else is drawn by the application's style.

#include <QProxyStyle>

class MenuCheckStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};
