#include "shell/name_entry_guard.h"

#include <QKeyEvent>

namespace {

// A physical key: its scan code, or its Qt key where there is none (synthetic events).
quint32 keyOf(const QKeyEvent& event) {
    return event.nativeScanCode() != 0 ? event.nativeScanCode()
                                       : 0x80000000u | quint32(event.key());
}

} // namespace

void NameEntryGuard::open(std::int64_t nowMs) {
    settledAtMs_ = nowMs + settleMs;
    pressedSince_.clear();
}

bool NameEntryGuard::drops(const QKeyEvent& event, std::int64_t nowMs, bool entryOpen) {
    const quint32 key = keyOf(event);
    if (event.type() == QEvent::KeyRelease) {
        releasedAt_.insert(key, event.timestamp());
        return false;
    }
    // A held key repeats as presses marked so, or (on X11, where Qt cannot always tell)
    // as a release and a press of the same event time.
    const bool repeat = event.isAutoRepeat() ||
                        (event.timestamp() != 0 && releasedAt_.value(key) == event.timestamp());
    if (!entryOpen)
        return false;
    if (nowMs < settledAtMs_)
        return true;
    if (!repeat)
        pressedSince_.insert(key);
    return !pressedSince_.contains(key);
}
