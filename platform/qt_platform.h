#pragma once
// The platform on Qt: processEvents, a blocking sleep, the round timer, the active state
// of the main window, and animation steps paced by the clock. QTimer cannot resume a
// period: the round timer keeps its own due time on the clock and arms a single-shot
// QTimer for each tick, so a pause keeps what was left of the period.

#include "platform/platform.h"
#include "platform/tick_schedule.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <functional>

class QtPlatform final : public Platform {
public:
    QtPlatform();

    // The window whose activation counts; none means "active".
    void setMainWindow(QWidget* window) { mainWindow_ = window; }
    // The blocking wait of pauses and animation steps (a thread sleep); tests add up what
    // is asked of it.
    using Sleep = std::function<void(std::chrono::nanoseconds)>;
    void setSleep(Sleep sleep) { sleep_ = std::move(sleep); }

    void processMessages() override;
    void pause(int ms) override;
    void awaitAnimationStep() override;
    void startTimer() override;
    void stopTimer() override;
    void pauseTimer() override;
    void resumeTimer() override;
    bool timerRunning() const override;
    void setTimerHandler(std::function<void()> handler) override;
    bool mainWindowActive() const override;
    std::int64_t currentTimeSeconds() const override;
    std::int64_t steadyMs() const override;

private:
    void tick();
    void armTimer();

    // Armed for each tick, at the time it is due.
    QTimer timer_;
    TickSchedule schedule_{qint64(timerIntervalMs) * 1000000}; // nanoseconds of clock_
    bool inTick_ = false; // the tick handler runs: the next tick is armed when it returns
    std::function<void()> handler_;
    Sleep sleep_;
    QPointer<QWidget> mainWindow_;
    QElapsedTimer clock_;
    qint64 lastStepNs_ = -1;
};
