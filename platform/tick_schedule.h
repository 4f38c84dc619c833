#pragma once

#include <cstdint>

// When the round timer's ticks are due, kept alike by the Qt and the virtual-time
// platform. Ticks come a period apart as QTimer schedules them; a pause keeps the part
// of the period that had run, so a timer stopped for a moment (a landing) and resumed
// does not begin its period again. Times are in one unit of a steady clock.
class TickSchedule {
public:
    explicit constexpr TickSchedule(std::int64_t period) : period_(period) {}

    bool running() const { return state_ == Running; }
    // While running: when the next tick is due.
    std::int64_t due() const { return due_; }

    // A fresh period from now, unless it runs already. True when it started.
    bool start(std::int64_t now) {
        if (state_ == Running)
            return false;
        state_ = Running;
        due_ = now + period_;
        return true;
    }
    void stop() { state_ = Stopped; }
    // Keeps what is left of the period. Below 0 when a tick is due but not yet taken:
    // it comes at once on resuming, and the periods after it keep their places.
    void pause(std::int64_t now) {
        if (state_ != Running)
            return;
        left_ = due_ - now;
        state_ = Paused;
    }
    // The rest of a paused period, or a fresh one when stopped. True when it started.
    bool resume(std::int64_t now) {
        if (state_ != Paused)
            return start(now);
        state_ = Running;
        due_ = now + left_;
        return true;
    }
    // After the tick that was due: a late tick keeps the periods where they were, unless
    // a whole period was missed; missed ticks are not made up, the next counts from now.
    void advance(std::int64_t now) {
        due_ += period_;
        if (due_ < now)
            due_ = now + period_;
    }

private:
    enum State { Stopped, Running, Paused };
    std::int64_t period_;
    State state_ = Stopped;
    std::int64_t due_ = 0;
    std::int64_t left_ = 0;
};
