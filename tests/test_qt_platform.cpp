// The Qt platform keeps the semantics the round's sequences rely on: a pause dispatches
// nothing, handlers nest inside processMessages, ticks do not pile up, restarting a
// running timer changes nothing, and animation steps take their fixed time.

#include "platform/gamepads.h"
#include "platform/qt_platform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <limits>

class TestQtPlatform : public QObject {
    Q_OBJECT
private slots:
    void pauseDispatchesNothingAndMessagesWaitInOrder();
    void handlersNestInsideProcessMessages();
    void ticksDoNotPileUpAndRestartChangesNothing();
    void animationStepsTakeTheirFixedTime();
    void activeWindowState();
    void gamepadsStartOnlyOnceAPadIsThere();
    void aWidgetShownIsPaintedByOneProcessMessages();
};

void TestQtPlatform::pauseDispatchesNothingAndMessagesWaitInOrder() {
    QtPlatform p;
    QStringList seen;
    QTimer::singleShot(0, [&] { seen << "first"; });
    QTimer::singleShot(0, [&] { seen << "second"; });
    QElapsedTimer clock;
    clock.start();
    p.pause(60);
    QVERIFY(clock.elapsed() >= 60);
    QVERIFY(seen.isEmpty());
    p.processMessages();
    QCOMPARE(seen, (QStringList{"first", "second"}));
}

void TestQtPlatform::handlersNestInsideProcessMessages() {
    QtPlatform p;
    QStringList seen;
    p.setTimerHandler([&] {
        p.stopTimer();
        seen << "tick begins";
        QTimer::singleShot(0, [&] { seen << "key"; });
        p.processMessages();
        seen << "tick ends";
    });
    p.startTimer();
    QTRY_COMPARE_WITH_TIMEOUT(seen.size(), 3, 2000);
    QCOMPARE(seen, (QStringList{"tick begins", "key", "tick ends"}));
}

void TestQtPlatform::ticksDoNotPileUpAndRestartChangesNothing() {
    QtPlatform p;
    QElapsedTimer clock;
    QList<qint64> ticks;
    p.setTimerHandler([&] { ticks << clock.elapsed(); });
    clock.start();
    p.startTimer();
    p.pause(120);
    p.startTimer(); // running already: the period started at 0 goes on
    QVERIFY(p.timerRunning());
    QTRY_VERIFY_WITH_TIMEOUT(!ticks.isEmpty(), 2000);
    QVERIFY2(ticks.first() < 310, qPrintable(QString::number(ticks.first())));

    // Busy through five periods: one late tick, not five.
    ticks.clear();
    p.pause(1000);
    clock.restart();
    while (clock.elapsed() < 100)
        p.processMessages();
    QCOMPARE(ticks.size(), 1);

    p.stopTimer();
    p.stopTimer();
    QVERIFY(!p.timerRunning());
    ticks.clear();
    clock.restart();
    while (clock.elapsed() < 300)
        p.processMessages();
    QVERIFY(ticks.isEmpty());
}

void TestQtPlatform::animationStepsTakeTheirFixedTime() {
    QtPlatform p;
    QWidget window; // whatever its screen's refresh rate
    p.setMainWindow(&window);
    window.show();
    // 24 steps of 1/240 s, the first one included: 100 ms. The best of three runs, so a
    // busy machine's late wake-ups do not count.
    qint64 best = std::numeric_limits<qint64>::max();
    for (int run = 0; run < 3; ++run) {
        p.pause(50); // a new animation
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < 24; ++i)
            p.awaitAnimationStep();
        best = std::min(best, clock.nsecsElapsed());
    }
    QVERIFY2(best >= 99'000'000 && best < 250'000'000, qPrintable(QString::number(best)));
    // A step that came late does not build up a debt of steps to rush through.
    p.pause(5);
    QElapsedTimer clock;
    clock.start();
    p.awaitAnimationStep();
    p.awaitAnimationStep();
    QVERIFY(clock.nsecsElapsed() >= 4'000'000);
}

void TestQtPlatform::activeWindowState() {
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
void TestQtPlatform::aWidgetShownIsPaintedByOneProcessMessages() {
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

void TestQtPlatform::gamepadsStartOnlyOnceAPadIsThere() {
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

QTEST_MAIN(TestQtPlatform)
#include "test_qt_platform.moc"
