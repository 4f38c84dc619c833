#pragma once
// Keeps keys meant for the game out of the rank entry's name. A player who fires as the
// field fills has presses queued when "OUT!" comes, and fingers still on the keys: the
// presses that come before the entry appears and within settleMs after it (long enough
// to see "OUT!") are dropped, and so is every repeat of a key that was held down by
// then, until that key is released. Keys pressed after that type as usual.

#include <QSet>

#include <cstdint>

class QKeyEvent;

class NameEntryGuard {
public:
    static constexpr int settleMs = 500;

    // The entry appears at nowMs (a steady clock).
    void open(std::int64_t nowMs);
    // The window lost the keyboard: releases will not be seen, so no key counts as held.
    void forgetHeldKeys();
    // Sees every key press and release of the window once; true when the press must not
    // reach the entry. entryOpen: the entry is shown.
    bool drops(const QKeyEvent& event, std::int64_t nowMs, bool entryOpen);

private:
    QSet<quint32> held_;    // keys down now
    QSet<quint32> blocked_; // held since the entry appeared, or pressed in its first moment
    std::int64_t settledAtMs_ = 0;
};
