#pragma once
// The services of the message loop that the round's blocking sequences rest on:
// dispatching pending messages, pausing, the 200 ms round timer, the active-window
// state and the clock. The game reaches time and events only through this, so the
// same code runs on Qt (QtPlatform) and in virtual time for tests (VirtualPlatform).

#include <chrono>
#include <cstdint>
#include <functional>

class Platform {
public:
    virtual ~Platform() = default;

    // Dispatches every pending message (paint, timer, keys, menu), then returns.
    // Handlers run nested inside the caller.
    virtual void processMessages() = 0;
    // Blocks for ms milliseconds; nothing is dispatched meanwhile (Sleep).
    virtual void pause(int ms) = 0;
    // For animation steps without a pause of their own (a piece in flight, falling
    // blocks): waits out the rest of one animationStep since the previous such wait.
    virtual void awaitAnimationStep() = 0;

    // The round timer (200 ms). Ticks do not pile up: a tick that comes late keeps the
    // periods where they were, unless a whole period was missed; then the next period
    // counts from it. The timer is stopped, running or paused:
    // - startTimer: a stopped or paused timer runs with a fresh period;
    // - stopTimer: it stops at once and forgets its period;
    // - pauseTimer: a running timer stops at once but keeps the part of its period that
    //   has run;
    // - resumeTimer: a paused timer runs on with its period, so the next tick comes when
    //   the rest of it has run; a stopped one starts as with startTimer.
    // Any other call changes nothing (starting a running timer, stopping a stopped one).
    // So a clock counted in ticks keeps time across pauses, less the paused time.
    virtual void startTimer() = 0;
    virtual void stopTimer() = 0;
    virtual void pauseTimer() = 0;
    virtual void resumeTimer() = 0;
    // True while running (not while stopped or paused).
    virtual bool timerRunning() const = 0;
    // The handler run at each tick (timerTimer).
    virtual void setTimerHandler(std::function<void()> handler) = 0;

    // Whether the main window holds the focus (not a dialog, not another program).
    virtual bool mainWindowActive() const = 0;
    // Calendar time in whole seconds.
    virtual std::int64_t currentTimeSeconds() const = 0;
    // Milliseconds of a steady clock (not the calendar), for short waits of the window.
    virtual std::int64_t steadyMs() const = 0;

    static constexpr int timerIntervalMs = 200;
    // The real time of one animation step, the same on every display: a row of travel
    // (4 steps) takes 1/60 s, a row of fall (8 steps) 1/30 s. Each step is still drawn
    // and presented; the screen shows the latest one at its own refresh.
    using AnimationTime = std::chrono::duration<std::int64_t, std::ratio<1, 240>>;
    static constexpr AnimationTime animationStep{1};
};

// The platform in use: QtPlatform in the program, VirtualPlatform in tests.
Platform& platform();
void setPlatform(Platform* p);
