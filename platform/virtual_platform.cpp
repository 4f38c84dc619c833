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
    if (schedule_.running() && nowUs_ >= schedule_.due() && (timerReentrant_ || inTick_ == 0)) {
        schedule_.advance(nowUs_);
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
    schedule_.start(nowUs_);
}

void VirtualPlatform::stopTimer() {
    schedule_.stop();
}

void VirtualPlatform::pauseTimer() {
    schedule_.pause(nowUs_);
}

void VirtualPlatform::resumeTimer() {
    schedule_.resume(nowUs_);
}

// The time of the next message the loop will have: a scripted event or a tick.
std::int64_t VirtualPlatform::nextMessageUs() const {
    std::int64_t next = std::numeric_limits<std::int64_t>::max();
    if (!queue_.empty())
        next = queue_.begin()->first.first;
    if (schedule_.running())
        next = std::min(next, schedule_.due());
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
