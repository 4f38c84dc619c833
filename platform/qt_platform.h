#pragma once
// The platform on Qt: processEvents, a blocking sleep, a QTimer, the active state of
// the main window, and animation steps paced by the clock.

#include "platform/platform.h"

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
    bool timerRunning() const override;
    void setTimerHandler(std::function<void()> handler) override;
    bool mainWindowActive() const override;
    std::int64_t currentTimeSeconds() const override;

private:
    QTimer timer_;
    std::function<void()> handler_;
    Sleep sleep_;
    QPointer<QWidget> mainWindow_;
    QElapsedTimer stepClock_;
    qint64 lastStepNs_ = -1;
};
