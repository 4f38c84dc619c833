#include "shell/qt_platform.h"

#include <QCoreApplication>
#include <QScreen>

#include <chrono>
#include <ctime>
#include <thread>

QtPlatform::QtPlatform() {
    timer_.setInterval(timerIntervalMs);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (handler_)
            handler_();
    });
    frameClock_.start();
}

void QtPlatform::processMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // Events posted while the pass ran (the paint of a label just shown, say) wait for
    // the next pass; deliver them too, so a message shown before a pause is on screen.
    QCoreApplication::sendPostedEvents();
}

void QtPlatform::pause(int ms) {
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

qint64 QtPlatform::frameIntervalNs() const {
    double hz = 0;
    if (mainWindow_ && mainWindow_->screen())
        hz = mainWindow_->screen()->refreshRate();
    if (!(hz >= 1.0 && hz <= 1000.0))
        hz = 60.0;
    return static_cast<qint64>(1e9 / hz);
}

void QtPlatform::awaitNextFrame() {
    const qint64 interval = frameIntervalNs();
    const qint64 now = frameClock_.nsecsElapsed();
    // A step that took longer than a refresh does not wait, nor build up a debt.
    if (lastFrameNs_ >= 0 && now - lastFrameNs_ < interval) {
        std::this_thread::sleep_for(std::chrono::nanoseconds(lastFrameNs_ + interval - now));
        lastFrameNs_ += interval;
    } else {
        lastFrameNs_ = now;
    }
}

void QtPlatform::startTimer() {
    if (!timer_.isActive())
        timer_.start();
}

void QtPlatform::stopTimer() {
    timer_.stop();
}

bool QtPlatform::timerRunning() const {
    return timer_.isActive();
}

void QtPlatform::setTimerHandler(std::function<void()> handler) {
    handler_ = std::move(handler);
}

bool QtPlatform::mainWindowActive() const {
    return !mainWindow_ || mainWindow_->isActiveWindow();
}

std::int64_t QtPlatform::currentTimeSeconds() const {
    return std::time(nullptr);
}
