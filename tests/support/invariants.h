#pragma once
// The game's invariants, checked by the soaks after every handler the message loop
// dispatches. Some hold at every moment a handler can observe; the rest only between
// operations, when no handler is on the stack (a sequence in its middle may have
// moved a block on the frame before writing cells, say).

#include <QString>

class GameInvariants {
public:
    // The first violation, empty when none. timerRunning is the round timer's state;
    // idle says that no operation is under way.
    QString check(bool timerRunning, bool idle);

    // Checks of the frame against the field so far (made while a round ran and idle).
    long fieldChecks() const { return fieldChecks_; }

private:
    long fieldChecks_ = 0;
};
