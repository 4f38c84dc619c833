#pragma once
// The services of the message loop that the round's blocking sequences rest on:
// dispatching pending messages, pausing, the 200 ms round timer, the active-window
// state and the clock. The game reaches time and events only through this, so the
// same code runs on Qt (QtPlatform) and in virtual time for tests (VirtualPlatform).

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
    // For animation steps without a pause of their own: waits out the rest of one
    // display refresh since the previous such wait, so every frame reaches the screen.
    virtual void awaitNextFrame() = 0;

    // The round timer (200 ms). Ticks do not pile up; starting a stopped timer begins a
    // fresh period; starting a running one or stopping a stopped one changes nothing.
    virtual void startTimer() = 0;
    virtual void stopTimer() = 0;
    virtual bool timerRunning() const = 0;
    // The handler run at each tick (timerTimer).
    virtual void setTimerHandler(std::function<void()> handler) = 0;

    // Whether the main window holds the focus (not a dialog, not another program).
    virtual bool mainWindowActive() const = 0;
    // Calendar time in whole seconds.
    virtual std::int64_t currentTimeSeconds() const = 0;

    static constexpr int timerIntervalMs = 200;
};

// The platform in use: QtPlatform in the program, VirtualPlatform in tests.
Platform& platform();
void setPlatform(Platform* p);
