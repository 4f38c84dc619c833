#include "platform/qt_platform.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <thread>

QtPlatform::QtPlatform()
    : sleep_([](std::chrono::nanoseconds t) { std::this_thread::sleep_for(t); }) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    clock_.start();
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
    const qint64 now = clock_.nsecsElapsed();
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

void QtPlatform::armTimer() {
    if (inTick_)
        return;
    // To the nearest millisecond, the timer's own resolution; the next due time is
    // counted from this one's, so the rounding does not add up.
    const qint64 left = std::max<qint64>(0, schedule_.due() - clock_.nsecsElapsed());
    timer_.start(int((left + 500000) / 1000000));
}

void QtPlatform::tick() {
    if (!schedule_.running())
        return;
    schedule_.advance(clock_.nsecsElapsed());
    // Never a tick inside the handler of the one before (it processes messages during
    // a row advance), as with a periodic timer: the next is armed when it returns, due
    // where its period ends.
    inTick_ = true;
    struct Done {
        QtPlatform* p;
        ~Done() {
            p->inTick_ = false;
            if (p->schedule_.running())
                p->armTimer();
        }
    } done{this};
    if (handler_)
        handler_();
}

void QtPlatform::startTimer() {
    if (schedule_.start(clock_.nsecsElapsed()))
        armTimer();
}

void QtPlatform::stopTimer() {
    schedule_.stop();
    timer_.stop();
}

void QtPlatform::pauseTimer() {
    schedule_.pause(clock_.nsecsElapsed());
    timer_.stop();
}

void QtPlatform::resumeTimer() {
    if (schedule_.resume(clock_.nsecsElapsed()))
        armTimer();
}

bool QtPlatform::timerRunning() const {
    return schedule_.running();
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

std::int64_t QtPlatform::steadyMs() const {
    return clock_.elapsed();
}
