#pragma once
// The platform in virtual time. A pause advances a fake clock at once; events that a
// test schedules (ticks come from the timer, keys, menu commands, activation changes
// are closures) are dispatched by processMessages() once their virtual time has come,
// in the order of their time and, at equal times, of scheduling. Errors thrown by an
// event go to the exception display, as on Qt.

#include "platform/platform.h"
#include "platform/tick_schedule.h"

#include <cstdint>
#include <functional>
#include <map>
#include <utility>

class VirtualPlatform final : public Platform {
public:
    // Virtual time at the start is 0. The calendar clock starts at epochSeconds.
    explicit VirtualPlatform(std::int64_t epochSeconds = 1700000000);

    // --- scripting ---
    // Schedules an event at virtual time atMs (an earlier time than now means "waiting
    // in the queue": it is dispatched at the next processMessages).
    void schedule(std::int64_t atMs, std::function<void()> event);
    void scheduleIn(std::int64_t delayMs, std::function<void()> event);
    void setMainWindowActive(bool active) { active_ = active; }
    // The refresh rate of the display the virtual window is on (0: not reported). The
    // game's timing must not follow it: tests vary it to show that.
    void setDisplayRefreshHz(double hz) { refreshHz_ = hz; }
    double displayRefreshHz() const { return refreshHz_; }
    // Qt never re-enters a timer's handler from its own timer; tests of the game's own
    // guard against nested ticks can let the virtual timer do it.
    void setTimerReentrant(bool reentrant) { timerReentrant_ = reentrant; }

    // The top-level message loop: dispatches events and ticks in time order, advancing
    // the clock to each, until virtual time untilMs (which the clock then shows).
    void runUntil(std::int64_t untilMs);

    // --- observation ---
    std::int64_t nowUs() const { return nowUs_; }
    std::int64_t nowMs() const { return nowUs_ / 1000; }
    int pendingEvents() const { return static_cast<int>(queue_.size()); }
    int ticksDelivered() const { return ticks_; }
    int stepsAwaited() const { return steps_; }
    int pauses() const { return pauses_; }
    int dispatchDepth() const { return depth_; }
    int maxDispatchDepth() const { return maxDepth_; }
    bool inTick() const { return inTick_ > 0; }
    // Called after every dispatched event and tick (for invariant checks).
    void setAfterDispatch(std::function<void()> hook) { afterDispatch_ = std::move(hook); }

    // --- Platform ---
    void processMessages() override;
    void pause(int ms) override;
    void awaitAnimationStep() override;
    void startTimer() override;
    void stopTimer() override;
    void pauseTimer() override;
    void resumeTimer() override;
    bool timerRunning() const override { return schedule_.running(); }
    void setTimerHandler(std::function<void()> handler) override { handler_ = std::move(handler); }
    bool mainWindowActive() const override { return active_; }
    std::int64_t currentTimeSeconds() const override { return epoch_ + nowUs_ / 1000000; }
    std::int64_t steadyMs() const override { return nowMs(); }

private:
    bool dispatchOne();
    std::int64_t nextMessageUs() const;
    void dispatch(const std::function<void()>& fn);

    std::int64_t epoch_;
    std::int64_t nowUs_ = 0;
    double refreshHz_ = 60;
    std::uint64_t seq_ = 0;
    std::map<std::pair<std::int64_t, std::uint64_t>, std::function<void()>> queue_;
    std::function<void()> handler_;
    std::function<void()> afterDispatch_;
    TickSchedule schedule_{timerIntervalMs * 1000}; // microseconds of nowUs_
    bool active_ = true;
    bool timerReentrant_ = false;
    int inTick_ = 0;
    int ticks_ = 0;
    int steps_ = 0;
    int pauses_ = 0;
    int depth_ = 0;
    int maxDepth_ = 0;
};
