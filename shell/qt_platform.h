#pragma once
// The platform on Qt: processEvents, a blocking sleep, a QTimer, the active state of
// the main window, and frame pacing from the window's screen.

#include "shell/platform.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class QtPlatform final : public Platform {
public:
    QtPlatform();

    // The window whose activation and screen count; none means "active", 60 Hz.
    void setMainWindow(QWidget* window) { mainWindow_ = window; }

    void processMessages() override;
    void pause(int ms) override;
    void awaitNextFrame() override;
    void startTimer() override;
    void stopTimer() override;
    bool timerRunning() const override;
    void setTimerHandler(std::function<void()> handler) override;
    bool mainWindowActive() const override;
    std::int64_t currentTimeSeconds() const override;

    // The refresh interval of the main window's screen in nanoseconds (60 Hz when the
    // screen does not report a rate).
    qint64 frameIntervalNs() const;

private:
    QTimer timer_;
    std::function<void()> handler_;
    QPointer<QWidget> mainWindow_;
    QElapsedTimer frameClock_;
    qint64 lastFrameNs_ = -1;
};
