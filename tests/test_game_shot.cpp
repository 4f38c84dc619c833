// Shots: the travel, every row of the landing table, the blink, the drops and their
// awards, the caps, and what may happen while a shot is under way.

#include "game/controls.h"
#include "game/game_state.h"
#include "game/hud.h"
#include "game/round.h"
#include "game/round_mark.h"
#include "game/shot.h"
#include "screen/frame.h"
#include "screen/layout.h"
#include "screen/panels.h"
#include "support/game_harness.h"

#include <QtTest>

#include <algorithm>

namespace {

// Starts a round, puts the launcher at column with this piece over this field.
void setUp(GameHarness& h, const QStringList& field, int column, int piece, int level = 2) {
    h.start(level);
    gameState.launcherColumn = column;
    gameState.currentPiece = piece;
    h.setField(field);
}

QStringList rowsOf(const QString& text) {
    return text.split(QLatin1Char('|'));
}

// Every present, as the visible picture then was.
struct FrameRecorder {
    QList<QImage> frames;
    FrameRecorder() {
        setPresentHook([this] { frames << pictures.MainImage.copy(); });
    }
    ~FrameRecorder() { setPresentHook(nullptr); }
};

} // namespace

class TestGameShot : public QObject {
    Q_OBJECT
private slots:
    void landingTable_data();
    void landingTable();
    void travelRisesEightPixelsAFrame();
    void blinkTakesTwelveWaits();
    void dropAwards();
    void stepsTakeTheSameTimeOnEveryDisplay();
    void capsOfScoreAndVanish();
    void dropBelowTheFieldDoesNothing();
    void keysDuringTheShotAreDropped();
    void tickDuringTravelHoldsTheAdvance();
    void advancesKeepComingUnderQuickFire();
    void limitKeepsRealTimeUnderFire();
    void returnMidShotLeavesRoundOff();
    void startMidShotKeepsTheNewRound();
};

void TestGameShot::landingTable_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("piece");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("score");
    QTest::addColumn<int>("vanished");

    QTest::newRow("right faces left, two drop")
        << "3...3.|2...1.|1...2." << 3 << 1 << "3.....|2.....|1....." << 200 + 1200 << 4;
    QTest::newRow("right faces left at row 0, nothing below")
        << "3...3." << 3 << 1 << "3....." << 200 << 2;
    QTest::newRow("right in column 5 stays") << "3....3" << 5 << 1 << "3....3|.....1" << 0 << 0;
    QTest::newRow("right beside right stays")
        << "3.11..|...1.." << 2 << 1 << "3.11..|..11.." << 0 << 0;
    QTest::newRow("right beside down stays")
        << "3.12..|...2.." << 2 << 1 << "3.12..|..12.." << 0 << 0;
    QTest::newRow("right beside empty stays") << "3.1..." << 2 << 1 << "3.1...|..1..." << 0 << 0;
    QTest::newRow("down stays beside a left")
        << "3.13..|...3.." << 2 << 2 << "3.13..|..23.." << 0 << 0;
    QTest::newRow("down stays in an empty column") << "3....." << 2 << 2 << "3.2..." << 0 << 0;
    QTest::newRow("left faces right, one drops")
        << "3.12..|..1...|..2..." << 3 << 3 << "3.12.." << 200 + 300 << 3;
    QTest::newRow("left in column 0 stays") << ".....3" << 0 << 3 << "3....3" << 0 << 0;
    QTest::newRow("left beside left stays") << "33...." << 1 << 3 << "33....|.3...." << 0 << 0;
    QTest::newRow("up under down vanishes") << "3..1..|...2.." << 3 << 4 << "3..1.." << 200 << 2;
    QTest::newRow("up at row 0 stays") << "3....." << 3 << 4 << "3..4.." << 0 << 0;
    QTest::newRow("up under up stays") << "3..4.." << 3 << 4 << "3..4..|...4.." << 0 << 0;
    QTest::newRow("star takes the block above")
        << "3..1..|...4.." << 3 << 5 << "3..1.." << 200 << 2;
    QTest::newRow("star alone at row 0") << "3....." << 3 << 5 << "3....." << 100 << 1;
    QTest::newRow("row 10 full: up under down")
        << "3..2..|...2|...2|...2|...2|...2|...2|...2|...2|...2|...2" << 3 << 4
        << "3..2..|...2|...2|...2|...2|...2|...2|...2|...2|...2" << 200 << 2;
    QTest::newRow("row 10 full: star")
        << "3..2..|...2|...2|...2|...2|...2|...2|...2|...2|...2|...1" << 3 << 5
        << "3..2..|...2|...2|...2|...2|...2|...2|...2|...2|...2" << 200 << 2;
}

void TestGameShot::landingTable() {
    QFETCH(QString, field);
    QFETCH(int, column);
    QFETCH(int, piece);
    QFETCH(QString, after);
    QFETCH(int, score);
    QFETCH(int, vanished);
    GameHarness h;
    setUp(h, rowsOf(field), column, piece);
    const int next = gameState.nextPiece;
    h.press(keyFire);
    QString expected;
    for (int r = 0; r < 12; ++r)
        expected += (rowsOf(after).value(r) + QStringLiteral("......")).left(6) + QLatin1Char('\n');
    QCOMPARE(fieldText(), expected);
    QCOMPARE(gameState.score, score);
    QCOMPARE(gameState.vanishCount, vanished);
    QCOMPARE(gameState.blockCount, occupiedCells());
    QCOMPARE(gameState.currentPiece, next); // the next piece has been dealt
    QCOMPARE(gameState.inputEnabled, 1);
    QVERIFY(h.vp.timerRunning());
    const QString mismatch = fieldFrameMismatch(pictures.MainImage);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
}

void TestGameShot::travelRisesEightPixelsAFrame() {
    {
        GameHarness h;
        setUp(h, {"3....."}, 2, StarBall);
        h.vp.setMainWindowActive(false); // no tick presents among the travel frames
        FrameRecorder rec;
        const int framesBefore = h.vp.stepsAwaited();
        h.press(keyFire);
        QCOMPARE(h.vp.stepsAwaited() - framesBefore, 11 * 4);
        // Frame k of the travel shows the ball 8(k+1) pixels above the launcher's cell,
        // on a white square, with the background below it.
        const QImage mask = pictures.CharaImage.copy(layout::starMask);
        const QImage sprite = blockCellImage(StarBall);
        for (int k : {0, 5, 43}) {
            const QImage& frame = rec.frames[k];
            const int top = 360 - 8 * (k + 1);
            const QImage ball = frame.copy(26 + 64, top, 32, 32);
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x)
                    QCOMPARE(ball.pixel(x, y), mask.pixel(x, y) | sprite.pixel(x, y));
            if (top + 32 < 392) {
                const QImage below = frame.copy(26 + 64, top + 32, 32, 8);
                QCOMPARE(below, pictures.BackImage.copy(64, top + 32 - 8, 32, 8));
            }
        }
    }
    // An occupied row 10: no travel at all.
    GameHarness h2;
    setUp(h2, {"3.2...", "..2", "..2", "..2", "..2", "..2", "..2", "..2", "..2", "..2", "..2"}, 2,
          StarBall);
    const int before2 = h2.vp.stepsAwaited();
    h2.press(keyFire);
    QCOMPARE(h2.vp.stepsAwaited(), before2);
    QCOMPARE(gameState.score, 200);
}

void TestGameShot::blinkTakesTwelveWaits() {
    GameHarness h;
    setUp(h, {"1.2..."}, 1, LeftArrow);
    h.vp.setMainWindowActive(false); // no tick presents among the shot's frames
    FrameRecorder rec;
    const int pausesBefore = h.vp.pauses();
    const qint64 t0 = h.vp.nowUs();
    h.press(keyFire);
    QCOMPARE(h.vp.pauses() - pausesBefore, 12);
    QCOMPARE(h.vp.nowUs() - t0, 12 * 50000 + 11 * 4 * 1000000 / 240);
    // Presents: 44 travel frames, then 13 of the blink, starting and ending empty.
    const QImage& erased = rec.frames[44];
    const QImage& shown = rec.frames[45];
    const QImage& last = rec.frames[56];
    for (const QImage* f : {&erased, &last}) {
        QCOMPARE(screenCell(*f, 1, 0), backgroundCellImage(1, 0));
        QCOMPARE(screenCell(*f, 0, 0), backgroundCellImage(0, 0));
    }
    QCOMPARE(screenCell(shown, 1, 0), blockCellImage(LeftArrow));
    QCOMPARE(screenCell(shown, 0, 0), blockCellImage(RightArrow));
    QCOMPARE(gameState.blockCount, 1);
}

void TestGameShot::dropAwards() {
    const int awards[] = {300, 1200, 3000, 6000, 10500, 16800, 25200, 36000, 49500, 66000};
    for (int n = 1; n <= 10; ++n) {
        GameHarness h;
        QStringList field{"3...3."};
        for (int i = 0; i < n; ++i)
            field << QStringLiteral("....2.");
        setUp(h, field, 3, RightArrow);
        FrameRecorder rec;
        const int framesBefore = h.vp.stepsAwaited();
        h.press(keyFire);
        QCOMPARE(gameState.score, 200 + awards[n - 1]);
        QCOMPARE(gameState.bonus, awards[n - 1]);
        QCOMPARE(gameState.vanishCount, 2 + n);
        QCOMPARE(gameState.blockCount, 1);
        // The fall: 8 frames for each of rows 1..11.
        QCOMPARE(h.vp.stepsAwaited() - framesBefore, 11 * 4 + 8 * 11);
        // Nothing was drawn below the field.
        for (const QImage& f : rec.frames)
            QCOMPARE(f.copy(154, 392, 32, 8), pictures.CharaImage.copy(154, 392, 32, 8));
        const QString mismatch = fieldFrameMismatch(pictures.MainImage);
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    }
}

void TestGameShot::stepsTakeTheSameTimeOnEveryDisplay() {
    // A full-height flight (44 steps), the blink, and ten blocks falling out from row 1
    // (88 steps): 1/240 s a step at 60 Hz, 144 Hz and an unreported rate alike.
    for (double hz : {60.0, 144.0, 0.0}) {
        GameHarness h;
        h.vp.setDisplayRefreshHz(hz);
        QStringList field{"3...3."};
        for (int i = 0; i < 10; ++i)
            field << QStringLiteral("....2.");
        setUp(h, field, 3, RightArrow);
        const qint64 t0 = h.vp.nowUs();
        const int pausesBefore = h.vp.pauses();
        h.press(keyFire);
        QCOMPARE(gameState.bonus, 66000);
        QCOMPARE(h.vp.pauses() - pausesBefore, 12);
        QVERIFY(qAbs(h.vp.nowUs() - t0 - (12 * 50000 + 132 * 1000000 / 240)) <= 1);
    }
}

void TestGameShot::capsOfScoreAndVanish() {
    GameHarness h;
    setUp(h, {"3...3."}, 3, RightArrow);
    gameState.score = 999999900;
    gameState.vanishCount = 9998;
    h.press(keyFire);
    QCOMPARE(gameState.score, 999999999);
    QCOMPARE(gameState.vanishCount, 9999);
    const QImage bonusBox = pictures.MainImage.copy(layout::bonusPanel);
    const QImage vanishPanel = pictures.MainImage.copy(layout::vanishPanel);
    // The box shows the whole award and VANISH the capped count.
    gameState.score = 0;
    gameState.bonus = 200;
    awardBonus();
    gameState.vanishCount = 9999;
    drawVanishPanel();
    QCOMPARE(bonusBox, pictures.TmpImage.copy(layout::bonusPanel));
    QCOMPARE(vanishPanel, pictures.TmpImage.copy(layout::vanishPanel));
}

void TestGameShot::dropBelowTheFieldDoesNothing() {
    GameHarness h;
    setUp(h, {"3.2..."}, 1, RightArrow);
    // Whatever lies beyond the column's last row must not be read as a block.
    const GameState before = gameState;
    dropDetachedBlocks(1, 12);
    QCOMPARE(gameState.score, before.score);
    QCOMPARE(gameState.blockCount, before.blockCount);
    QCOMPARE(fieldText().count(QLatin1Char('.')), 72 - 2);
}

void TestGameShot::keysDuringTheShotAreDropped() {
    GameHarness h;
    setUp(h, {"1.2..."}, 1, LeftArrow);
    const qint64 t = h.vp.nowMs();
    // During the travel (183 ms) and during the blink (600 ms).
    for (qint64 at : {t + 20, t + 150, t + 300, t + 700})
        for (std::uint16_t key : {keyLeft, keyRight, keyFire})
            h.keyAt(at, key);
    h.keyAt(t, keyFire);
    h.vp.runUntil(t + 3000);
    QCOMPARE(gameState.launcherColumn, 1);
    QCOMPARE(gameState.vanishCount, 2);
    QCOMPARE(gameState.blockCount, 1);
    QCOMPARE(gameState.inputEnabled, 1);
    QVERIFY(fieldFrameMismatch(pictures.MainImage).isEmpty());
}

void TestGameShot::tickDuringTravelHoldsTheAdvance() {
    GameHarness h;
    setUp(h, {"3....."}, 3, DownArrow, 0);
    gameState.limitElapsed = gameState.limit - 1;
    gameState.tickCount = 4;
    // Fired just before the tick that runs the limit out; the travel takes 183 ms.
    h.keyAt(1799, keyFire);
    FrameRecorder rec;
    QList<QPair<int, int>> phaseAndDeals; // at every present
    setPresentHook([&] {
        rec.frames << pictures.MainImage.copy();
        phaseAndDeals << qMakePair(gameState.phase, gameState.piecesSinceStar);
    });
    h.vp.runUntil(1799);
    // The tick that ran the limit out, during the flight, and the next one 200 ms of the
    // clock later, while the advance's row came in (the landing itself took no time).
    QCOMPARE(h.vp.ticksDelivered(), 2);
    // During the flight the gauge showed a 1-pixel red bar and no row entered.
    const QImage& mid = rec.frames[30];
    QCOMPARE(phaseAndDeals[30].first, 1);
    QCOMPARE(mid.pixel(237, 312), qRgb(255, 10, 10));
    QCOMPARE(mid.pixel(238, 312), qRgb(0, 0, 0));
    QCOMPARE(screenCell(mid, 1, 0), backgroundCellImage(1, 0));
    // Once the shot was resolved the advance ran, before the next piece was dealt.
    QCOMPARE(gameState.phase, 2);
    QCOMPARE(gameState.blockCount, 8);
    QCOMPARE(gameState.cells[3][1], int(DownArrow));
    QCOMPARE(gameState.limitElapsed, 0);
    const auto firstOfPhase2 = std::find_if(phaseAndDeals.begin(), phaseAndDeals.end(),
                                            [](auto p) { return p.first == 2; });
    QVERIFY(firstOfPhase2 != phaseAndDeals.end());
    QCOMPARE(firstOfPhase2->second, phaseAndDeals.first().second);
    QCOMPARE(gameState.inputEnabled, 1);
    QVERIFY(fieldFrameMismatch(pictures.MainImage).isEmpty());
    setPresentHook(nullptr);

    // A held row that reaches the bottom row ends the round as an advance does.
    GameHarness h2;
    setUp(h2, {"1.....", "2", "1", "2", "1", "2", "1", "2", "1", "2", "1"}, 3, DownArrow, 0);
    gameState.limitElapsed = gameState.limit - 1;
    gameState.tickCount = 4;
    const int dealt = gameState.piecesSinceStar;
    h2.keyAt(1799, keyFire);
    h2.vp.runUntil(1799);
    QCOMPARE(gameState.phase, 2);
    QCOMPARE(gameState.cells[0][11], 1);
    QCOMPARE(roundMark(), RoundMark::Ended);
    QCOMPARE(h2.view.messages.last().first, QStringLiteral("OUT!"));
    QCOMPARE(h2.view.okShowings, 1);
    QCOMPARE(gameState.piecesSinceStar, dealt); // no next piece
    QCOMPARE(gameState.inputEnabled, 0);
    QVERIFY(!h2.vp.timerRunning());
}

void TestGameShot::advancesKeepComingUnderQuickFire() {
    // A player who fires a fixed time after each new piece, at every level: when the
    // limit runs out, its rows come by the end of the shot then under way.
    for (int level = 0; level <= 4; ++level) {
        for (int pace : {40, 150, 190, 400}) {
            GameHarness h;
            setUp(h, {"3....."}, 3, DownArrow, level);
            int advances = 0;
            for (int shot = 0; shot < 4 && roundMark() == RoundMark::Running; ++shot) {
                if (gameState.limitElapsed == 0) { // the next tick runs the limit out
                    gameState.limitElapsed = gameState.limit - 1;
                    gameState.tickCount = 4;
                }
                const int phase = gameState.phase;
                h.vp.runUntil(h.vp.nowMs() + pace);
                h.press(keyFire);
                advances += gameState.phase - phase;
                QVERIFY2(gameState.limitElapsed < gameState.limit,
                         qPrintable(QStringLiteral("level %1, pace %2 ms, shot %3: advance held")
                                        .arg(level)
                                        .arg(pace)
                                        .arg(shot)));
            }
            QVERIFY2(advances >= 3, qPrintable(QString::number(advances)));
        }
    }
}

void TestGameShot::limitKeepsRealTimeUnderFire() {
    // Shots fired a fixed gap after each new piece, every other one a star ball that
    // blinks, through the last five seconds of the first limit: the advance comes when
    // they have run in real time less the blinks, and no later than the end of the shot
    // during which they ran out.
    const QStringList field{"...2..", "...2", "...2", "...2", "...2",
                            "...2",   "...2", "...2", "...2"};
    const qint64 flight = 2 * 4 * 1000 / 240 + 1; // two rows up
    for (int level = 0; level <= 4; ++level) {
        for (int gap : {40, 100, 150, 250, 400}) {
            GameHarness h;
            setUp(h, field, 3, DownArrow, level);
            const qint64 t0 = h.vp.nowMs();
            gameState.limitElapsed = gameState.limit - 5;
            const qint64 limit = 5000;
            // Real time less the blinks, 600 ms each (a star ball vanishes with a block).
            const auto clock = [&] {
                return h.vp.nowMs() - t0 - 600 * (gameState.vanishCount / 2);
            };
            qint64 counted = -1; // at the advance
            setPresentHook([&] {
                if (counted < 0 && gameState.phase > 1)
                    counted = clock();
            });
            for (int shot = 0; counted < 0 && clock() < 2 * limit; ++shot) {
                h.vp.runUntil(h.vp.nowMs() + gap);
                gameState.currentPiece = shot % 2 ? StarBall : DownArrow;
                h.setField(field);
                h.press(keyFire);
            }
            setPresentHook(nullptr);
            QVERIFY2(counted >= limit && counted <= limit + flight,
                     qPrintable(QStringLiteral("level %1, gap %2 ms: advance after %3 ms")
                                    .arg(level)
                                    .arg(gap)
                                    .arg(counted)));
        }
    }
}

void TestGameShot::returnMidShotLeavesRoundOff() {
    // During the travel, during the blink, during the fall.
    for (qint64 delay : {100, 500, 900}) {
        GameHarness h;
        setUp(h, {"3...3.", "....2.", "....2."}, 3, RightArrow);
        const int next = gameState.nextPiece;
        const qint64 t = h.vp.nowMs();
        h.keyAt(t, keyFire);
        h.vp.schedule(t + delay, [&h] { h.view.menuReturnToTitle(); });
        h.vp.runUntil(t + 5000);
        // The shot ran to its end; nothing turned the round back on.
        QCOMPARE(fieldText().count(QLatin1Char('.')), 72 - 1);
        QCOMPARE(gameState.score, 200 + 1200);
        QCOMPARE(gameState.currentPiece, int(RightArrow));
        QCOMPARE(gameState.nextPiece, next);
        QCOMPARE(gameState.inputEnabled, 0);
        QVERIFY(!h.vp.timerRunning());
        QCOMPARE(roundMark(), RoundMark::Left);
        QVERIFY(h.view.violations.isEmpty());
    }
}

void TestGameShot::startMidShotKeepsTheNewRound() {
    for (qint64 delay : {100, 500, 900}) {
        GameHarness h;
        setUp(h, {"3...3.", "....2.", "....2."}, 3, RightArrow);
        const qint64 t = h.vp.nowMs();
        h.keyAt(t, keyFire);
        h.vp.schedule(t + delay, [&h] {
            h.view.menuReturnToTitle();
            h.view.clickStart();
        });
        h.vp.runUntil(t + 5000);
        QCOMPARE(roundMark(), RoundMark::Running);
        QCOMPARE(gameState.score, 0);
        QCOMPARE(gameState.blockCount, 24);
        QCOMPARE(occupiedCells(), 24);
        QCOMPARE(gameState.inputEnabled, 1);
        QVERIFY(h.vp.timerRunning());
        const QString mismatch = fieldFrameMismatch(pictures.MainImage);
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
        QVERIFY(h.view.violations.isEmpty());
    }
}

QTEST_MAIN(TestGameShot)
#include "test_game_shot.moc"
