// The main window's keys: during a round Left, Right and Z reach FormKeyDown whichever
// control had the focus and whatever the keyboard layout, and arrow keys never move the
// focus or change the level list; keys meant for the game never type into the rank
// entry's name.

#include "shell/main_form.h"

#include "game/controls.h"
#include "platform/exception_display.h"
#include "platform/latin_keys.h"
#include "platform/platform.h"
#include "shell/picture_view.h"

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

namespace {

// A key event of a window goes to its focus widget first (or to the window itself) and
// travels up from there; true where it starts.
bool startsIn(QWidget* window, QObject* receiver) {
    QWidget* focus = window->focusWidget();
    return receiver == (focus ? focus : window);
}

} // namespace

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) && startsIn(this, watched)) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool entryOpen = NameEdit->isVisible();
        if (nameGuard_.drops(*key, entryOpen ? platform().steadyMs() : 0, entryOpen))
            return true;
        return type == QEvent::KeyPress && gameKey(key);
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TMainForm::gameKey(QKeyEvent* event) {
    // A layout of another script types its own letters: Z counts by its Latin meaning.
    std::uint16_t key = virtualKeyOf(event->key());
    if (key == 0)
        key = virtualKeyOf(latinLetterKey(*event));
    if (key != 0)
        runHandler([key] { FormKeyDown(key); });

    // On the game screen the arrows belong to the game, except in the name field.
    const bool arrow = event->key() == Qt::Key_Left || event->key() == Qt::Key_Right ||
                       event->key() == Qt::Key_Up || event->key() == Qt::Key_Down;
    return arrow && MainImage->isVisible() && focusWidget() != NameEdit;
}
