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
    blocked_ = held_;
}

void NameEntryGuard::forgetHeldKeys() {
    held_.clear();
    blocked_.clear();
}

bool NameEntryGuard::drops(const QKeyEvent& event, std::int64_t nowMs, bool entryOpen) {
    const quint32 key = keyOf(event);
    if (event.type() == QEvent::KeyRelease) {
        if (!event.isAutoRepeat()) {
            held_.remove(key);
            blocked_.remove(key);
        }
        return false;
    }
    held_.insert(key);
    if (!entryOpen || (nowMs >= settledAtMs_ && !blocked_.contains(key)))
        return false;
    blocked_.insert(key);
    return true;
}
