#pragma once
// The gamepad as the main window's keys. Left and Right are the arrow keys, repeated
// while held as a held key repeats; a face button is Z; Start presses START on the title
// screen and OK after a round. Each reaches the window's own handlers as a key would,
// so every rule of the keys holds for the pad (nothing during a shot, on the title
// screen or between rounds). Only while the main window is the active window: a press
// made while it is not does nothing, now or later.
//
// A press is acted on from a message of its own, not from inside the poll that read
// it: a shot that it fires then lets the poll run again meanwhile, so presses made
// during the shot reach the handler at once and are dropped there, as keys are.

#include "platform/gamepads.h"

#include <QObject>
#include <QTimer>

class TMainForm;

class PadControl : public QObject {
public:
    // Belongs to the form (deleted with it).
    explicit PadControl(TMainForm* form);

    // Starts the pads (SDL) now; false when they are not available. (Start-up leaves it
    // to gamepads().startWhenAttached().)
    bool start();
    Gamepads& gamepads() { return pads_; }

    // A held direction repeats after repeatDelayMs, then at the desktop's key repeat
    // rate.
    static constexpr int repeatDelayMs = 500;

private:
    void input(PadInput in, bool pressed);
    void act(PadInput in);
    void repeatTick();
    bool windowActive() const;

    TMainForm* form_;
    Gamepads pads_;
    QTimer repeat_;
    PadInput repeating_ = PadInput::Left;
};
