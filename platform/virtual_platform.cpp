#include "platform/virtual_platform.h"

#include "platform/exception_display.h"

#include <algorithm>
#include <chrono>
#include <limits>

VirtualPlatform::VirtualPlatform(std::int64_t epochSeconds) : epoch_(epochSeconds) {}

void VirtualPlatform::schedule(std::int64_t atMs, std::function<void()> event) {
    queue_.emplace(std::make_pair(atMs * 1000, seq_++), std::move(event));
}

void VirtualPlatform::scheduleIn(std::int64_t delayMs, std::function<void()> event) {
    queue_.emplace(std::make_pair(nowUs_ + delayMs * 1000, seq_++), std::move(event));
}

void VirtualPlatform::dispatch(const std::function<void()>& fn) {
    ++depth_;
    maxDepth_ = std::max(maxDepth_, depth_);
    runHandler(fn);
    --depth_;
    if (afterDispatch_)
        afterDispatch_();
}

// Dispatches the first due message: scripted events first, a tick only when no other
// message waits (as the platform's timer message is produced).
bool VirtualPlatform::dispatchOne() {
    if (!queue_.empty() && queue_.begin()->first.first <= nowUs_) {
        auto node = queue_.extract(queue_.begin());
        dispatch(node.mapped());
        return true;
    }
    if (running_ && nowUs_ >= nextTickUs_ && (timerReentrant_ || inTick_ == 0)) {
        // As QTimer does: a tick late by less than a period keeps the periods where they
        // were; missed periods are not made up, the next one then counts from now.
        nextTickUs_ += timerIntervalMs * 1000;
        if (nextTickUs_ < nowUs_)
            nextTickUs_ = nowUs_ + timerIntervalMs * 1000;
        ++ticks_;
        ++inTick_;
        if (handler_)
            dispatch(handler_);
        --inTick_;
        return true;
    }
    return false;
}

void VirtualPlatform::processMessages() {
    while (dispatchOne()) {
    }
}

void VirtualPlatform::pause(int ms) {
    ++pauses_;
    if (ms > 0)
        nowUs_ += std::int64_t(ms) * 1000;
}

// Each step lasts animationStep exactly; counted from the first step, so that 240
// steps are one second to the microsecond.
void VirtualPlatform::awaitAnimationStep() {
    using std::chrono::microseconds, std::chrono::duration_cast;
    const auto at = [](int steps) {
        return duration_cast<microseconds>(steps * animationStep).count();
    };
    ++steps_;
    nowUs_ += at(steps_) - at(steps_ - 1);
}

void VirtualPlatform::startTimer() {
    if (running_)
        return;
    running_ = true;
    paused_ = false;
    nextTickUs_ = nowUs_ + timerIntervalMs * 1000;
}

void VirtualPlatform::stopTimer() {
    running_ = false;
    paused_ = false;
}

void VirtualPlatform::pauseTimer() {
    if (!running_)
        return;
    // Below 0 when a tick is due but waits behind other messages: it comes at once
    // when the timer resumes, and the periods after it keep their places.
    leftUs_ = nextTickUs_ - nowUs_;
    running_ = false;
    paused_ = true;
}

void VirtualPlatform::resumeTimer() {
    if (running_)
        return;
    if (!paused_) {
        startTimer();
        return;
    }
    running_ = true;
    paused_ = false;
    nextTickUs_ = nowUs_ + leftUs_;
}

// The time of the next message the loop will have: a scripted event or a tick.
std::int64_t VirtualPlatform::nextMessageUs() const {
    std::int64_t next = std::numeric_limits<std::int64_t>::max();
    if (!queue_.empty())
        next = queue_.begin()->first.first;
    if (running_)
        next = std::min(next, nextTickUs_);
    return next;
}

void VirtualPlatform::runUntil(std::int64_t untilMs) {
    const std::int64_t until = untilMs * 1000;
    for (std::int64_t next = nextMessageUs(); next <= until; next = nextMessageUs()) {
        nowUs_ = std::max(nowUs_, next);
        processMessages();
    }
    nowUs_ = std::max(nowUs_, until);
}
