#include "shell/pad_control.h"

#include "game/controls.h"
#include "platform/exception_display.h"
#include "platform/platform.h"
#include "shell/main_form.h"

#include <QApplication>
#include <QPushButton>
#include <QStyleHints>

#include <algorithm>

PadControl::PadControl(TMainForm* form) : QObject(form), form_(form) {
    pads_.setHandler([this](PadInput in, bool pressed) { input(in, pressed); });
    connect(&repeat_, &QTimer::timeout, this, &PadControl::repeatTick);
}

bool PadControl::start() {
    return pads_.start();
}

bool PadControl::windowActive() const {
    // An open menu has the keys, not the window.
    return platform().mainWindowActive() && !QApplication::activePopupWidget();
}

void PadControl::input(PadInput in, bool pressed) {
    const bool direction = in == PadInput::Left || in == PadInput::Right;
    if (!pressed) {
        // As with keys, releasing the repeating direction ends the repeat, even when
        // the other one is still held.
        if (direction && in == repeating_)
            repeat_.stop();
        return;
    }
    if (!windowActive())
        return;
    if (direction) {
        repeating_ = in;
        repeat_.start(repeatDelayMs);
    }
    QMetaObject::invokeMethod(
        this, [this, in] { act(in); }, Qt::QueuedConnection);
}

void PadControl::act(PadInput in) {
    if (!windowActive())
        return;
    // The key handler itself, as the window calls it for a key.
    auto key = [](std::uint16_t k) { runHandler([k] { FormKeyDown(k); }); };
    switch (in) {
    case PadInput::Left:
        key(keyLeft);
        break;
    case PadInput::Right:
        key(keyRight);
        break;
    case PadInput::Face:
        key(keyFire);
        break;
    case PadInput::Start:
        // click() does nothing on a hidden or disabled button.
        if (form_->StartButton->isVisible())
            form_->StartButton->click();
        else if (form_->okButton->isVisible())
            form_->okButton->click();
        break;
    }
}

void PadControl::repeatTick() {
    if (!windowActive()) {
        repeat_.stop();
        return;
    }
    const int rate = std::clamp(QGuiApplication::styleHints()->keyboardAutoRepeatRate(), 1, 60);
    if (repeat_.interval() != 1000 / rate)
        repeat_.start(1000 / rate);
    act(repeating_);
}
