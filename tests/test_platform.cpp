// The platform contract, run against both platforms: the Qt one, and the virtual-time one
// that the game's tests run on, which proves nothing unless it behaves as the Qt one does.
// A pause dispatches nothing, handlers nest inside processMessages, ticks do not pile up
// and are not re-entered, starting a running timer changes nothing, a stopped one starts
// a fresh period, a paused one runs on with its period, animation steps take their fixed
// time, and an error in a handler goes to the display while dispatch goes on. On Qt the checks
// stand in real time without an upper limit on it: timer order against reference timers, time at
// least as long as due, and the sleep asked for. Then the cases of each platform alone.

#include "platform/application.h"
#include "platform/errors.h"
#include "platform/exception_display.h"
#include "platform/gamepads.h"
#include "platform/qt_platform.h"
#include "platform/virtual_platform.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// A platform under test with the means to drive it.
class Driver {
public:
    virtual ~Driver() = default;
    virtual Platform& platform() = 0;
    // A message that the loop dispatches ms from now.
    virtual void post(int ms, std::function<void()> message) = 0;
    // Runs the top-level message loop until done() holds (on Qt 10 s at most).
    virtual void runUntil(const std::function<bool()>& done) = 0;
    virtual void runFor(int ms) = 0;
    // Microseconds since the driver began.
    virtual std::int64_t nowUs() const = 0;
    // Microseconds of blocking asked of the system by pauses and animation steps (on
    // the virtual platform: the time they advanced the clock by).
    virtual std::int64_t askedUs() const = 0;
    // The virtual platform, for what only it can observe and where time is exact; null
    // on Qt.
    virtual VirtualPlatform* virtualPlatform() { return nullptr; }
};

class QtDriver final : public Driver {
public:
    QtDriver() {
        clock_.start();
        qt_.setSleep([this](std::chrono::nanoseconds t) {
            asked_ += t;
            std::this_thread::sleep_for(t);
        });
    }
    Platform& platform() override { return qt_; }
    void post(int ms, std::function<void()> message) override {
        QTimer::singleShot(ms, Qt::PreciseTimer, &context_, std::move(message));
    }
    void runUntil(const std::function<bool()>& done) override {
        (void)QTest::qWaitFor(done, 10000); // when done() never holds, the checks after fail
    }
    void runFor(int ms) override { QTest::qWait(ms); }
    std::int64_t nowUs() const override { return clock_.nsecsElapsed() / 1000; }
    std::int64_t askedUs() const override {
        return std::chrono::duration_cast<std::chrono::microseconds>(asked_).count();
    }

private:
    QtPlatform qt_;
    QObject context_; // pending messages die with the driver
    QElapsedTimer clock_;
    std::chrono::nanoseconds asked_{0};
};

class VirtualDriver final : public Driver {
public:
    Platform& platform() override { return vp_; }
    void post(int ms, std::function<void()> message) override {
        vp_.scheduleIn(ms, std::move(message));
    }
    void runUntil(const std::function<bool()>& done) override {
        const std::int64_t end = vp_.nowMs() + 60000;
        while (!done() && vp_.nowMs() < end)
            vp_.runUntil(vp_.nowMs() + 1);
    }
    void runFor(int ms) override { vp_.runUntil(vp_.nowMs() + ms); }
    std::int64_t nowUs() const override { return vp_.nowUs(); }
    std::int64_t askedUs() const override { return vp_.nowUs(); }
    VirtualPlatform* virtualPlatform() override { return &vp_; }

private:
    VirtualPlatform vp_;
};

enum class Kind { Qt, Virtual };

std::unique_ptr<Driver> driver(Kind kind) {
    if (kind == Kind::Qt)
        return std::make_unique<QtDriver>();
    return std::make_unique<VirtualDriver>();
}

// A time that is due at `due` microseconds: exactly then in virtual time, not earlier on
// Qt (a busy machine makes it later, by any amount).
bool onTime(Driver& d, std::int64_t actual, std::int64_t due) {
    return d.virtualPlatform() ? actual == due : actual >= due - 1000;
}

#define QVERIFY_ON_TIME(d, actual, due)                                                            \
    QVERIFY2(onTime(d, actual, due),                                                               \
             qPrintable(QStringLiteral("%1 us, due at %2 us").arg(actual).arg(due)))

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    // On both platforms.
    void pauseDispatchesNothingAndMessagesWaitInOrder_data() { bothPlatforms(); }
    void pauseDispatchesNothingAndMessagesWaitInOrder();
    void handlersNestInsideProcessMessages_data() { bothPlatforms(); }
    void handlersNestInsideProcessMessages();
    void restartChangesNothingAndStopStartsAfreshPeriod_data() { bothPlatforms(); }
    void restartChangesNothingAndStopStartsAfreshPeriod();
    void pausedTimerRunsOnWithItsPeriod_data() { bothPlatforms(); }
    void pausedTimerRunsOnWithItsPeriod();
    void missedTicksAreNotMadeUp_data() { bothPlatforms(); }
    void missedTicksAreNotMadeUp();
    void tickIsNotReenteredByItsOwnTimer_data() { bothPlatforms(); }
    void tickIsNotReenteredByItsOwnTimer();
    void animationStepsTakeTheirFixedTime_data() { bothPlatforms(); }
    void animationStepsTakeTheirFixedTime();
    void errorsGoToTheDisplayAndDispatchGoesOn_data() { bothPlatforms(); }
    void errorsGoToTheDisplayAndDispatchGoesOn();
    // Qt alone.
    void qtActiveWindowState();
    void qtWidgetShownIsPaintedByOneProcessMessages();
    void qtGamepadsStartOnlyOnceAPadIsThere();
    // The virtual platform alone.
    void virtualEventsRunInTimeThenSchedulingOrder();
    void virtualTickWaitsWhileOtherMessagesWait();
    void virtualTimerReentersOnlyWhenAllowed();
    void virtualStepsIgnoreTheDisplayRefreshRate();

private:
    static void bothPlatforms() {
        QTest::addColumn<Kind>("kind");
        QTest::newRow("Qt") << Kind::Qt;
        QTest::newRow("virtual") << Kind::Virtual;
    }
};

void TestPlatform::pauseDispatchesNothingAndMessagesWaitInOrder() {
    QFETCH(Kind, kind);
    const auto d = driver(kind);
    Platform& p = d->platform();
    QStringList seen;
    std::int64_t keyAt = -1;
    d->post(0, [&] { seen << "first"; });
    d->post(0, [&] { seen << "second"; });
    d->post(30, [&] { // a key pressed during the pause acts at the next dispatch
        seen << "key";
        keyAt = d->nowUs();
    });
    const std::int64_t start = d->nowUs();
    const std::int64_t steady = p.steadyMs();
    p.pause(60);
    QVERIFY_ON_TIME(*d, d->nowUs() - start, 60000);
    QVERIFY(p.steadyMs() - steady >= 60);
    QVERIFY(seen.isEmpty());
    p.processMessages();
    QCOMPARE(seen.size(), 3);
    QVERIFY(seen.indexOf("first") < seen.indexOf("second"));
    QVERIFY_ON_TIME(*d, keyAt - start, 60000);
    if (VirtualPlatform* vp = d->virtualPlatform()) {
        QCOMPARE(seen, (QStringList{"first", "second", "key"}));
        QCOMPARE(vp->pauses(), 1);
    }
}

void TestPlatform::handlersNestInsideProcessMessages() {
    QFETCH(Kind, kind);
    const auto d = driver(kind);
    Platform& p = d->platform();
    VirtualPlatform* vp = d->virtualPlatform();
    QStringList seen;
    std::vector<int> depths; // of dispatch, where it can be seen
    p.setTimerHandler([&] {
        p.stopTimer();
        seen << "tick begins";
        if (vp)
            depths.push_back(vp->dispatchDepth());
        d->post(0, [&] {
            seen << "key";
            if (vp)
                depths.push_back(vp->dispatchDepth());
        });
        p.processMessages();
        seen << "tick ends";
        if (vp)
            depths.push_back(vp->dispatchDepth());
    });
    p.startTimer();
    d->runUntil([&] { return seen.size() == 3; });
    QCOMPARE(seen, (QStringList{"tick begins", "key", "tick ends"}));
    if (vp) {
        QCOMPARE(depths, (std::vector<int>{1, 2, 1}));
        QCOMPARE(vp->maxDispatchDepth(), 2);
    }
}

void TestPlatform::restartChangesNothingAndStopStartsAfreshPeriod() {
    QFETCH(Kind, kind);
    const auto d = driver(kind);
    Platform& p = d->platform();
    QStringList order;
    std::vector<std::int64_t> ticks;
    p.setTimerHandler([&] {
        order << "tick";
        ticks.push_back(d->nowUs());
    });
    // Due 270 ms after the start: a period begun afresh at the second start, at 120 ms,
    // would tick only after it. (Ticks after it may come with it on a busy machine.)
    d->post(270, [&] { order << "reference"; });
    const std::int64_t start = d->nowUs();
    p.startTimer();
    p.pause(120);
    p.startTimer(); // running already: the period begun at 0 goes on
    QVERIFY(p.timerRunning());
    d->runUntil([&] { return order.contains("reference"); });
    QCOMPARE(order.mid(0, 2).join(' '), QStringLiteral("tick reference"));
    QVERIFY_ON_TIME(*d, ticks[0] - start, 200000);

    p.stopTimer();
    p.stopTimer(); // stopped already: nothing
    QVERIFY(!p.timerRunning());
    order.clear();
    ticks.clear();
    d->runFor(300);
    QCOMPARE(order.join(' '), QString());

    // A fresh period from the new start: its first tick between references at 150 ms and
    // 250 ms.
    d->post(150, [&] { order << "before"; });
    const std::int64_t restart = d->nowUs();
    p.startTimer();
    d->post(250, [&] { order << "after"; });
    d->runUntil([&] { return order.contains("after"); });
    QCOMPARE(order.mid(0, 3).join(' '), QStringLiteral("before tick after"));
    QVERIFY_ON_TIME(*d, ticks[0] - restart, 200000);
    QVERIFY(p.timerRunning());
}

void TestPlatform::pausedTimerRunsOnWithItsPeriod() {
    QFETCH(Kind, kind);
    // Calls at times from the start and the ticks that follow, up to 700 ms.
    using Call = std::function<void(Platform&)>;
    const Call start = &Platform::startTimer, pause = &Platform::pauseTimer,
               resume = &Platform::resumeTimer, stop = &Platform::stopTimer,
               busy = [](Platform&p) { p.pause(60); }; // a slow handler
    struct Case {
        const char* what;
        std::vector<std::pair<int, Call>> calls;
        std::vector<std::int64_t> ticks; // ms
        // The tick waits behind the messages due with it, as only the virtual platform
        // has it (virtualTickWaitsWhileOtherMessagesWait).
        bool virtualOnly = false;
    };
    const Case cases[] = {
        {"paused 150 ms into a period: the rest after the resume",
         {{0, start}, {150, pause}, {400, resume}},
         {450, 650}},
        {"paused after a tick: the part since the tick",
         {{0, start}, {250, pause}, {300, resume}},
         {200, 450, 650}},
        {"a second pause keeps the first",
         {{0, start}, {150, pause}, {170, pause}, {400, resume}},
         {450, 650}},
        {"start after a pause: a fresh period", {{0, start}, {150, pause}, {400, start}}, {600}},
        {"a stop forgets the paused period",
         {{0, start}, {150, pause}, {160, stop}, {400, resume}},
         {600}},
        {"resuming a stopped timer starts it", {{100, resume}}, {300, 500, 700}},
        {"resuming a running timer changes nothing", {{0, start}, {150, resume}}, {200, 400, 600}},
        {"a tick overdue at the pause comes at the resume, the periods keep their places",
         {{0, start}, {190, busy}, {250, pause}, {260, resume}},
         {260, 410, 610},
         true},
        {"a tick late by less than a period keeps the periods",
         {{0, start}, {190, busy}},
         {250, 400, 600}},
    };
    for (const Case& c : cases) {
        if (c.virtualOnly && kind == Kind::Qt)
            continue;
        const auto d = driver(kind);
        Platform& p = d->platform();
        std::vector<std::int64_t> ticks;                // us from the start
        std::vector<std::pair<std::int64_t, Call>> ran; // the calls as they ran, us
        const std::int64_t begin = d->nowUs();
        p.setTimerHandler([&] { ticks.push_back(d->nowUs() - begin); });
        for (const auto& [at, call] : c.calls)
            d->post(at, [&, call = call] {
                ran.emplace_back(d->nowUs() - begin, call);
                call(p);
            });
        d->runUntil([&] { return ticks.size() == c.ticks.size(); });
        p.stopTimer();
        std::vector<std::int64_t> due; // ms
        if (d->virtualPlatform()) {
            d->runFor(int(700 - d->nowUs() / 1000));
            for (std::int64_t t : ticks)
                due.push_back(t / 1000);
            QVERIFY2(due == c.ticks, c.what);
            continue;
        }
        // On Qt the calls come as late as the system lets them: the ticks come no earlier
        // than the virtual platform gives them for the same calls at the times they ran.
        VirtualPlatform model;
        model.setTimerHandler([&] { due.push_back(model.nowMs()); });
        for (const auto& [atUs, call] : ran)
            model.schedule(atUs / 1000, [&model, call = call] { call(model); });
        while (due.size() < ticks.size() && model.nowMs() < 60000)
            model.runUntil(model.nowMs() + 1);
        QVERIFY2(ticks.size() == c.ticks.size() && due.size() == ticks.size(), c.what);
        for (std::size_t i = 0; i < ticks.size(); ++i)
            QVERIFY2(ticks[i] >= (due[i] - 2) * 1000,
                     qPrintable(QStringLiteral("%1: tick at %2 us, due at %3 ms")
                                    .arg(QLatin1String(c.what))
                                    .arg(ticks[i])
                                    .arg(due[i])));
    }
}

void TestPlatform::missedTicksAreNotMadeUp() {
    QFETCH(Kind, kind);
    const auto d = driver(kind);
    Platform& p = d->platform();
    QStringList order;
    std::vector<std::int64_t> ticks;
    p.setTimerHandler([&] {
        order << "tick";
        ticks.push_back(d->nowUs());
    });
    const std::int64_t start = d->nowUs();
    p.startTimer();
    d->post(100, [&] {
        p.pause(1000); // busy through five periods
        d->post(100, [&] { order << "reference"; });
    });
    d->runUntil([&] { return ticks.size() == 3; });
    // One late tick at 1100, then periods counted from it.
    QCOMPARE(order.join(' '), QStringLiteral("tick reference tick tick"));
    QVERIFY_ON_TIME(*d, ticks[0] - start, 1100000);
    QVERIFY_ON_TIME(*d, ticks[1] - ticks[0], 200000);
    QVERIFY_ON_TIME(*d, ticks[2] - ticks[0], 400000);
}

void TestPlatform::tickIsNotReenteredByItsOwnTimer() {
    QFETCH(Kind, kind);
    const auto d = driver(kind);
    Platform& p = d->platform();
    int depth = 0, maxDepth = 0, count = 0;
    p.setTimerHandler([&] {
        ++depth;
        ++count;
        maxDepth = std::max(maxDepth, depth);
        if (count == 1) {
            p.pause(300); // the next tick is due meanwhile
            p.processMessages();
        }
        --depth;
    });
    p.startTimer();
    d->runUntil([&] { return count == 2; });
    QCOMPARE(count, 2);
    QCOMPARE(maxDepth, 1);
}

void TestPlatform::animationStepsTakeTheirFixedTime() {
    QFETCH(Kind, kind);
    const auto d = driver(kind);
    Platform& p = d->platform();
    // 24 steps of 1/240 s, the first one included: 100 ms, whatever the display. As long
    // as that (the sleep asked for never more), however late the system wakes the program.
    p.pause(50); // a new animation
    std::int64_t start = d->nowUs();
    std::int64_t asked = d->askedUs();
    for (int i = 0; i < 24; ++i)
        p.awaitAnimationStep();
    QVERIFY_ON_TIME(*d, d->nowUs() - start, 100000);
    const std::int64_t askedForSteps = d->askedUs() - asked;
    QVERIFY2(askedForSteps <= 100000, qPrintable(QString::number(askedForSteps)));
    // A step that came late does not build up a debt of steps to rush through.
    p.pause(5);
    start = d->nowUs();
    p.awaitAnimationStep();
    p.awaitAnimationStep();
    QVERIFY(d->nowUs() - start >= 4000);
}

void TestPlatform::errorsGoToTheDisplayAndDispatchGoesOn() {
    QFETCH(Kind, kind);
    const auto d = driver(kind);
    QStringList shown;
    ExceptionShower old = setExceptionShower([&](const QString& text) { shown << text; });
    bool afterThrow = false, nextRan = false;
    d->post(0, [&] {
        throw AppError(QStringLiteral("ビットマップイメージが不正です"));
        afterThrow = true; // the rest of the handler is skipped
    });
    d->post(0, [&] { nextRan = true; });
    d->runUntil([&] { return nextRan; });
    setExceptionShower(old);
    QCOMPARE(shown, QStringList{QStringLiteral("ビットマップイメージが不正です.")});
    QVERIFY(!afterThrow);
    QVERIFY(nextRan);
}

void TestPlatform::qtActiveWindowState() {
    QtPlatform p;
    QWidget main, other;
    p.setMainWindow(&main);
    main.show();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QVERIFY(p.mainWindowActive());
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QVERIFY(!p.mainWindowActive());
    QVERIFY(p.currentTimeSeconds() > 1700000000);
}

namespace {
class PaintCounter : public QWidget {
public:
    using QWidget::QWidget;
    int paints = 0;
    void paintEvent(QPaintEvent*) override { ++paints; }
};
} // namespace

// A message label shown just before a pause must be on screen during the pause.
void TestPlatform::qtWidgetShownIsPaintedByOneProcessMessages() {
    QtPlatform p;
    QWidget window;
    window.resize(200, 100);
    auto* label = new PaintCounter(&window);
    label->resize(100, 50);
    label->hide();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    p.processMessages();
    label->show();
    p.processMessages();
    QCOMPARE(label->paints, 1);
}

void TestPlatform::qtGamepadsStartOnlyOnceAPadIsThere() {
    // SDL is not loaded while the input devices hold no pad: a keyboard's event device
    // (a file here, which answers no device query) is none. A joystick device appearing
    // starts it.
    QTemporaryDir devices;
    QFile keyboard(devices.filePath(QStringLiteral("event0")));
    QVERIFY(keyboard.open(QIODevice::WriteOnly));
    keyboard.close();
    Gamepads pads;
    pads.startWhenAttached(devices.path());
    QCoreApplication::processEvents();
    QVERIFY(!pads.started());
    QFile joystick(devices.filePath(QStringLiteral("js0")));
    QVERIFY(joystick.open(QIODevice::WriteOnly));
    joystick.close();
    QTRY_VERIFY(pads.started());
}

void TestPlatform::virtualEventsRunInTimeThenSchedulingOrder() {
    VirtualPlatform vp;
    std::vector<int> order;
    vp.schedule(30, [&] { order.push_back(3); });
    vp.schedule(10, [&] { order.push_back(1); });
    vp.schedule(10, [&] { order.push_back(2); });
    vp.schedule(50, [&] { order.push_back(4); });
    vp.runUntil(40);
    QCOMPARE(order, (std::vector<int>{1, 2, 3}));
    QCOMPARE(vp.nowMs(), 40);
    vp.runUntil(100);
    QCOMPARE(order, (std::vector<int>{1, 2, 3, 4}));
}

// As the platform's timer message is produced: only when no other message waits.
void TestPlatform::virtualTickWaitsWhileOtherMessagesWait() {
    VirtualPlatform vp;
    std::vector<QString> order;
    vp.setTimerHandler([&] { order.push_back("tick"); });
    vp.startTimer();
    vp.schedule(200, [&] { order.push_back("key"); });
    vp.runUntil(200);
    QCOMPARE(order, (std::vector<QString>{"key", "tick"}));
}

// Qt never re-enters a timer's handler from its own timer; tests of the game's own guard
// against nested ticks can let the virtual timer do it.
void TestPlatform::virtualTimerReentersOnlyWhenAllowed() {
    for (bool reentrant : {false, true}) {
        VirtualPlatform vp;
        vp.setTimerReentrant(reentrant);
        int depth = 0, maxDepth = 0, count = 0;
        vp.setTimerHandler([&] {
            ++depth;
            ++count;
            maxDepth = std::max(maxDepth, depth);
            if (count == 1) {
                vp.pause(300);
                vp.processMessages();
            }
            --depth;
        });
        vp.startTimer();
        vp.runUntil(250);
        QCOMPARE(maxDepth, reentrant ? 2 : 1);
    }
}

void TestPlatform::virtualStepsIgnoreTheDisplayRefreshRate() {
    // 1/240 s each, whatever display the window is on, without rounding drift.
    for (double hz : {60.0, 144.0, 0.0}) {
        VirtualPlatform vp;
        vp.setDisplayRefreshHz(hz);
        for (int i = 0; i < 4; ++i)
            vp.awaitAnimationStep();
        QVERIFY(qAbs(vp.nowUs() - 16667) <= 1); // a row of travel: 1/60 s
        for (int i = 4; i < 240; ++i)
            vp.awaitAnimationStep();
        QCOMPARE(vp.stepsAwaited(), 240);
        QCOMPARE(vp.nowUs(), 1000000);
    }
}

int main(int argc, char** argv) {
    Application app(argc, argv); // catches what a handler throws, as in the program
    TestPlatform test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_platform.moc"
