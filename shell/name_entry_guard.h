#pragma once
// Keeps keys meant for the game out of the rank entry's name. A player who fires as the
// field fills has presses queued when "OUT!" comes, and fingers still on the keys: the
// presses that come before the entry appears and within settleMs after it (long enough
// to see "OUT!") are dropped, and so are the repeats of a key held down since then,
// until it is released and pressed again. Keys pressed after that type as usual.

#include <QHash>
#include <QSet>

#include <cstdint>

class QKeyEvent;

class NameEntryGuard {
public:
    static constexpr int settleMs = 500;

    // The entry appears at nowMs (a steady clock).
    void open(std::int64_t nowMs);
    // Sees every key press and release of the window once; true when the press must not
    // reach the entry. entryOpen: the entry is shown.
    bool drops(const QKeyEvent& event, std::int64_t nowMs, bool entryOpen);

private:
    std::int64_t settledAtMs_ = 0;
    QSet<quint32> pressedSince_;         // keys pressed anew since the moment after the entry
    QHash<quint32, quint64> releasedAt_; // the event time of each key's last release
};
