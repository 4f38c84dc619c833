// The main window's keys: during a round Left, Right and Z reach FormKeyDown whichever
// control had the focus and whatever the keyboard layout, and arrow keys never move the
// focus or change the level list.

#include "shell/main_form.h"

#include "game/controls.h"
#include "platform/exception_display.h"
#include "platform/latin_keys.h"
#include "shell/picture_view.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

std::uint16_t TMainForm::virtualKeyOf(int qtKey) {
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return std::uint16_t(qtKey); // the same codes as the virtual keys
    switch (qtKey) {
    case Qt::Key_Left:
        return 0x25;
    case Qt::Key_Up:
        return 0x26;
    case Qt::Key_Right:
        return 0x27;
    case Qt::Key_Down:
        return 0x28;
    case Qt::Key_Space:
        return 0x20;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 0x0D;
    case Qt::Key_Escape:
        return 0x1B;
    default:
        return 0;
    }
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress)
        return gameKey(watched, static_cast<QKeyEvent*>(event));
    return QMainWindow::eventFilter(watched, event);
}

bool TMainForm::gameKey(QObject* receiver, QKeyEvent* event) {
    // A key event travels up from the focus widget to the window; take it once, where
    // it starts, and only in this window.
    if (!receiver->isWidgetType() || static_cast<QWidget*>(receiver)->window() != this)
        return false;
    QWidget* focus = QApplication::focusWidget();
    if (receiver != (focus && focus->window() == this ? focus : this))
        return false;

    // A layout of another script types its own letters: Z counts by its Latin meaning.
    std::uint16_t key = virtualKeyOf(event->key());
    if (key == 0)
        key = virtualKeyOf(latinLetterKey(*event));
    if (key != 0)
        runHandler([key] { FormKeyDown(key); });

    // On the game screen the arrows belong to the game, except in the name field.
    const bool arrow = event->key() == Qt::Key_Left || event->key() == Qt::Key_Right ||
                       event->key() == Qt::Key_Up || event->key() == Qt::Key_Down;
    return arrow && MainImage->isVisible() && focus != NameEdit;
}
