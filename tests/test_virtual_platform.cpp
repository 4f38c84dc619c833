// The virtual-time platform must behave as the Qt one does, or the game's tests in
// virtual time prove nothing: nested dispatch, pauses that dispatch nothing, ticks that
// do not pile up, a fresh period at each start and a kept one across a pause.

#include "platform/virtual_platform.h"

#include "platform/errors.h"
#include "platform/exception_display.h"

#include <QTest>

#include <functional>
#include <vector>

class TestVirtualPlatform : public QObject {
    Q_OBJECT
private slots:
    void eventsRunInTimeThenSchedulingOrder();
    void pauseAdvancesTimeAndDispatchesNothing();
    void nestedDispatchInsideAHandler();
    void timerPeriodsStartAndStop();
    void pausedTimerRunsOnWithItsPeriod();
    void missedTicksAreNotMadeUp();
    void tickWaitsWhileOtherMessagesWait();
    void tickIsNotReenteredByItsOwnTimer();
    void errorsGoToTheDisplayAndDispatchGoesOn();
    void animationStepsTakeTheirFixedTime();
};

void TestVirtualPlatform::eventsRunInTimeThenSchedulingOrder() {
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

void TestVirtualPlatform::pauseAdvancesTimeAndDispatchesNothing() {
    VirtualPlatform vp;
    std::vector<std::int64_t> seenAt;
    // A key pressed during a pause waits in the queue and acts at the next dispatch.
    vp.schedule(0, [&] {
        vp.pause(600);
        QVERIFY(seenAt.empty());
        vp.processMessages();
    });
    vp.schedule(100, [&] { seenAt.push_back(vp.nowMs()); });
    vp.runUntil(0);
    QCOMPARE(seenAt, (std::vector<std::int64_t>{600}));
    QCOMPARE(vp.pauses(), 1);
}

void TestVirtualPlatform::nestedDispatchInsideAHandler() {
    VirtualPlatform vp;
    std::vector<int> depths;
    vp.schedule(0, [&] {
        depths.push_back(vp.dispatchDepth());
        vp.pause(20);
        vp.processMessages(); // the event of time 10 runs nested here
        depths.push_back(vp.dispatchDepth());
    });
    vp.schedule(10, [&] { depths.push_back(vp.dispatchDepth()); });
    vp.runUntil(100);
    QCOMPARE(depths, (std::vector<int>{1, 2, 1}));
    QCOMPARE(vp.maxDispatchDepth(), 2);
}

void TestVirtualPlatform::timerPeriodsStartAndStop() {
    VirtualPlatform vp;
    std::vector<std::int64_t> ticks;
    vp.setTimerHandler([&] { ticks.push_back(vp.nowMs()); });
    vp.schedule(50, [&] { vp.startTimer(); });
    vp.schedule(150, [&] { vp.startTimer(); }); // already running: no fresh period
    vp.schedule(500, [&] { vp.stopTimer(); });
    vp.schedule(520, [&] { vp.stopTimer(); });  // already stopped: nothing
    vp.schedule(600, [&] { vp.startTimer(); }); // fresh period from 600
    vp.runUntil(1000);
    QCOMPARE(ticks, (std::vector<std::int64_t>{250, 450, 800, 1000}));
    QVERIFY(vp.timerRunning());
}

void TestVirtualPlatform::pausedTimerRunsOnWithItsPeriod() {
    // Calls at virtual times and the ticks that follow, up to 700 ms.
    using Call = std::function<void(VirtualPlatform&)>;
    const Call start = &VirtualPlatform::startTimer, pause = &VirtualPlatform::pauseTimer,
               resume = &VirtualPlatform::resumeTimer, stop = &VirtualPlatform::stopTimer,
               busy = [](VirtualPlatform&p) { p.pause(60); }; // a slow handler
    struct Case {
        const char* what;
        std::vector<std::pair<std::int64_t, Call>> calls;
        std::vector<std::int64_t> ticks;
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
         {260, 410, 610}},
        {"a tick late by less than a period keeps the periods",
         {{0, start}, {190, busy}},
         {250, 400, 600}},
    };
    for (const Case& c : cases) {
        VirtualPlatform vp;
        std::vector<std::int64_t> ticks;
        vp.setTimerHandler([&] { ticks.push_back(vp.nowMs()); });
        for (const auto& [at, call] : c.calls)
            vp.schedule(at, [&vp, call = call] { call(vp); });
        vp.runUntil(700);
        QVERIFY2(ticks == c.ticks, c.what);
    }
}

void TestVirtualPlatform::missedTicksAreNotMadeUp() {
    VirtualPlatform vp;
    std::vector<std::int64_t> ticks;
    vp.setTimerHandler([&] { ticks.push_back(vp.nowMs()); });
    vp.startTimer();
    vp.schedule(100, [&] { vp.pause(1000); }); // busy through five periods
    vp.runUntil(1500);
    // One late tick at 1100, then periods counted from it.
    QCOMPARE(ticks, (std::vector<std::int64_t>{1100, 1300, 1500}));
}

void TestVirtualPlatform::tickWaitsWhileOtherMessagesWait() {
    VirtualPlatform vp;
    std::vector<QString> order;
    vp.setTimerHandler([&] { order.push_back("tick"); });
    vp.startTimer();
    vp.schedule(200, [&] { order.push_back("key"); });
    vp.runUntil(200);
    QCOMPARE(order, (std::vector<QString>{"key", "tick"}));
}

void TestVirtualPlatform::tickIsNotReenteredByItsOwnTimer() {
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

void TestVirtualPlatform::errorsGoToTheDisplayAndDispatchGoesOn() {
    QStringList shown;
    ExceptionShower old = setExceptionShower([&](const QString& text) { shown << text; });
    VirtualPlatform vp;
    bool afterThrow = false, nextRan = false;
    vp.schedule(0, [&] {
        throw AppError(QStringLiteral("ビットマップイメージが不正です"));
        afterThrow = true; // the rest of the handler is skipped
    });
    vp.schedule(0, [&] { nextRan = true; });
    vp.runUntil(10);
    setExceptionShower(old);
    QCOMPARE(shown, QStringList{QStringLiteral("ビットマップイメージが不正です.")});
    QVERIFY(!afterThrow);
    QVERIFY(nextRan);
}

void TestVirtualPlatform::animationStepsTakeTheirFixedTime() {
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

QTEST_GUILESS_MAIN(TestVirtualPlatform)
#include "test_virtual_platform.moc"
