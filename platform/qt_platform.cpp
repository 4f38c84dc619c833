#include "platform/qt_platform.h"

#include <QCoreApplication>

#include <chrono>
#include <ctime>
#include <thread>

QtPlatform::QtPlatform()
    : sleep_([](std::chrono::nanoseconds t) { std::this_thread::sleep_for(t); }) {
    timer_.setInterval(timerIntervalMs);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (handler_)
            handler_();
    });
    stepClock_.start();
}

void QtPlatform::processMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // Events posted while the pass ran (the paint of a label just shown, say) wait for
    // the next pass; deliver them too, so a message shown before a pause is on screen.
    QCoreApplication::sendPostedEvents();
}

void QtPlatform::pause(int ms) {
    if (ms > 0)
        sleep_(std::chrono::milliseconds(ms));
}

void QtPlatform::awaitAnimationStep() {
    constexpr qint64 interval =
        std::chrono::duration_cast<std::chrono::nanoseconds>(animationStep).count();
    const qint64 now = stepClock_.nsecsElapsed();
    const qint64 since = now - lastStepNs_;
    if (lastStepNs_ >= 0 && since < interval) {
        sleep_(std::chrono::nanoseconds(interval - since));
        lastStepNs_ += interval;
    } else if (lastStepNs_ >= 0 && since < 2 * interval) {
        // A step that took longer than its time does not wait, nor build up a debt.
        lastStepNs_ = now;
    } else {
        // The first step of an animation: it was just presented and stays a whole step.
        sleep_(std::chrono::nanoseconds(interval));
        lastStepNs_ = now + interval;
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
