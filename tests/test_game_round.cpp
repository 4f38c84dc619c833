// The round flow: START, the limit and its advances, "PERFECT!", the end with the rank
// test, and the returns to the title that can come in the middle of all of them.

#include "game/controls.h"
#include "game/field.h"
#include "game/game_state.h"
#include "game/round.h"
#include "game/round_mark.h"
#include "screen/frame.h"
#include "screen/layout.h"
#include "support/game_harness.h"

#include <QtTest>

namespace {

const QColor aqua(0, 255, 255), lime(0, 255, 0), yellow(255, 255, 0), red(255, 0, 0);

// One tick with the timer stopped, so that no other tick comes in between.
void tickOnce() {
    platform().stopTimer();
    timerTimer();
}

// Sets the counters so that the next tick runs an advance.
void expireLimit() {
    gameState.limitElapsed = gameState.limit;
    gameState.tickCount = 0;
}

void endRoundNow() {
    gameState.inputEnabled = 0;
    endRound();
}

QStringList fullColumnZero() {
    return {"1.....", "2", "1", "2", "1", "2", "1", "2", "1", "2", "1"};
}

} // namespace

class TestGameRound : public QObject {
    Q_OBJECT
private slots:
    void startSetsUpEachLevel();
    void limitFollowsThePhases();
    void phaseStopsAt999();
    void firstAdvanceComesAfterTheLimit();
    void inactiveWindowPausesTheRound();
    void ticksNeverNest();
    void shotBetweenRowsOfAnAdvance();
    void advanceStopsAtTheRowThatEndsTheRound();
    void perfectClearAddsARow();
    void rankTestNeedsMoreThanTheTenth();
    void malformedRankEntryIsReported();
    void endHappensOnce();
    void keysDuringGoPauseAreKept();
    void returnDuringStartLeavesRoundOff();
    void returnDuringCrackStopsBeforeOut();
    void startDuringOldEndRoundKeepsTheNewRound();
};

void TestGameRound::startSetsUpEachLevel() {
    for (int level = 0; level <= 4; ++level) {
        GameHarness h;
        gameState.bonus = 77; // not reset by START
        h.start(level);
        const GameState& g = gameState;
        QCOMPARE(g.level, level);
        QCOMPARE(g.limit, 5 * level + 15);
        QCOMPARE(g.limitBase, g.limit);
        QCOMPARE(g.phase, 1);
        QCOMPARE(g.rowsPerAdvance, 1);
        QCOMPARE(g.launcherColumn, 3);
        QCOMPARE(g.currentPiece, int(StarBall));
        QVERIFY(g.nextPiece >= 1 && g.nextPiece <= 4);
        QCOMPARE(g.blockCount, 24);
        QCOMPARE(g.bonus, 77);
        QCOMPARE(g.inputEnabled, 1);
        QVERIFY(h.vp.timerRunning());
        QCOMPARE(h.vp.nowMs(), 1600); // "READY" 1000 ms, "G o !" 600 ms
        QVERIFY(!h.view.titleVisible);
        QVERIFY(h.view.mainImageVisible);
        QCOMPARE(h.view.inputMethodClosings, 1);
        QCOMPARE(h.view.messages.size(), 2);
        QCOMPARE(h.view.messages[0], qMakePair(QStringLiteral("READY"), aqua));
        QCOMPARE(h.view.messages[1], qMakePair(QStringLiteral("G o !"), lime));
        QVERIFY(!h.view.messageVisible);
        // The LIMIT panel starts full and green, end to end.
        QCOMPARE(pictures.MainImage.pixel(237, 312), qRgb(10, 255, 10));
        QCOMPARE(pictures.MainImage.pixel(382, 329), qRgb(27, 255, 27));
        QVERIFY(fieldFrameMismatch(pictures.MainImage).isEmpty());
    }
}

void TestGameRound::limitFollowsThePhases() {
    // limit in force during a phase, levels 4..0.
    const QMap<int, QList<int>> table{
        {2, {31, 26, 21, 16, 11}},  {5, {25, 20, 15, 10, 5}}, {10, {15, 10, 5, 5, 5}},
        {11, {35, 30, 25, 20, 15}}, {20, {17, 12, 7, 5, 5}},  {21, {35, 30, 25, 20, 15}},
        {30, {17, 12, 7, 5, 5}},    {36, {5, 5, 5, 5, 5}},    {60, {5, 5, 5, 5, 5}}};
    for (int level = 0; level <= 4; ++level) {
        GameHarness h;
        h.start(level);
        for (int phase = 2; phase <= 60; ++phase) {
            h.setField({});
            expireLimit();
            tickOnce();
            QCOMPARE(gameState.phase, phase);
            QCOMPARE(gameState.limitElapsed, 0);
            if (table.contains(phase))
                QCOMPARE(gameState.limit, table[phase][4 - level]);
            const int rows = phase < 11   ? 1
                             : phase < 21 ? (level < 3 ? 2 : 1)
                                          : (level < 3 ? 3 : 2);
            QCOMPARE(gameState.rowsPerAdvance, rows);
            QCOMPARE(gameState.blockCount, 6 * rows);
            // The advance empties the LIMIT panel.
            QCOMPARE(pictures.MainImage.pixel(237, 320), qRgb(0, 0, 0));
        }
    }
}

void TestGameRound::phaseStopsAt999() {
    GameHarness h;
    h.start(0);
    gameState.phase = 998;
    gameState.limitBase = 57;
    gameState.rowsPerAdvance = 3;
    for (int i = 0; i < 2; ++i) {
        h.setField({});
        expireLimit();
        tickOnce();
        QCOMPARE(gameState.phase, 999);
        QCOMPARE(gameState.limit, 5);
        QCOMPARE(gameState.limitBase, 57);
        QCOMPARE(gameState.rowsPerAdvance, 3);
    }
}

void TestGameRound::firstAdvanceComesAfterTheLimit() {
    for (int level : {0, 4}) {
        GameHarness h;
        h.start(level);
        const int ticks = 5 * (5 * level + 15);
        // Remaining seconds 5: yellow; 2: red (sampled at the bar's left end).
        const int yellowTick = 5 * (5 * level + 10), redTick = 5 * (5 * level + 13);
        h.vp.runUntil(1600 + 200 * yellowTick);
        QCOMPARE(pictures.MainImage.pixel(237, 312), qRgb(255, 255, 10));
        h.vp.runUntil(1600 + 200 * redTick);
        QCOMPARE(pictures.MainImage.pixel(237, 312), qRgb(255, 10, 10));
        h.vp.runUntil(1600 + 200 * (ticks - 1));
        QCOMPARE(gameState.phase, 1);
        QCOMPARE(gameState.blockCount, 24);
        h.vp.runUntil(1600 + 200 * ticks);
        QCOMPARE(h.vp.ticksDelivered(), ticks);
        QCOMPARE(gameState.phase, 2);
        QCOMPARE(gameState.limit, 5 * level + 11);
        QCOMPARE(gameState.blockCount, 30);
        QVERIFY(fieldFrameMismatch(pictures.MainImage).isEmpty());
    }
}

void TestGameRound::inactiveWindowPausesTheRound() {
    GameHarness h;
    h.start(2);
    gameState.bonusTicks = 3;
    h.vp.setMainWindowActive(false);
    h.vp.runUntil(10000);
    QCOMPARE(gameState.tickCount, 0);
    QCOMPARE(gameState.limitElapsed, 0);
    QCOMPARE(gameState.bonusTicks, 3);
    h.vp.setMainWindowActive(true);
    h.vp.runUntil(10400);
    QCOMPARE(gameState.tickCount, 2);
    QCOMPARE(gameState.bonusTicks, 1);
}

void TestGameRound::ticksNeverNest() {
    GameHarness h;
    h.vp.setTimerReentrant(true); // let the platform try what Qt never does
    h.start(0);
    h.setField({});
    gameState.rowsPerAdvance = 2;
    expireLimit();
    // The tick at 1800 inserts its second row at 1850 and processes messages: a slow
    // handler then lets the next period pass, and a tick is due inside the advance.
    h.vp.schedule(1801, [&h] { h.vp.pause(250); });
    h.vp.runUntil(1800);
    QCOMPARE(h.vp.ticksDelivered(), 2);
    QCOMPARE(gameState.phase, 2);
    QCOMPARE(gameState.blockCount, 12);
    QCOMPARE(gameState.limitElapsed, 0);
    QCOMPARE(gameState.tickCount, 0);
}

void TestGameRound::shotBetweenRowsOfAnAdvance() {
    GameHarness h;
    h.start(0);
    gameState.currentPiece = DownArrow;
    h.setField({"1....."});
    gameState.rowsPerAdvance = 3;
    expireLimit();
    // Fired at 1801, handled after the advance's second row; it flies 150 ms.
    h.keyAt(1801, keyFire);
    h.vp.runUntil(1800);
    QVERIFY2(h.vp.nowMs() >= 1800 + 50 + 150 + 50, "the shot did not fly inside the advance");
    QCOMPARE(gameState.phase, 2);
    QCOMPARE(gameState.limitElapsed, 0);
    QCOMPARE(gameState.blockCount, 1 + 18 + 1);
    QCOMPARE(gameState.cells[3][3], int(DownArrow)); // landed under two rows, then one more
    QCOMPARE(gameState.inputEnabled, 1);
    QVERIFY(fieldFrameMismatch(pictures.MainImage).isEmpty());
}

void TestGameRound::advanceStopsAtTheRowThatEndsTheRound() {
    GameHarness h;
    h.start(0);
    h.setField(fullColumnZero());
    gameState.rowsPerAdvance = 3;
    expireLimit();
    tickOnce();
    QCOMPARE(gameState.blockCount, 11 + 6);
    QCOMPARE(gameState.cells[0][11], 1);
    QCOMPARE(roundMark(), RoundMark::Ended);
    QCOMPARE(h.view.okShowings, 1);
    QCOMPARE(h.view.messages.last().first, QStringLiteral("OUT!"));
    QCOMPARE(h.view.messages.last().second, red);
    QVERIFY(!h.vp.timerRunning());
    QCOMPARE(gameState.inputEnabled, 0);
}

void TestGameRound::perfectClearAddsARow() {
    GameHarness h;
    h.start(2);
    gameState.currentPiece = UpArrow;
    h.setField({"...2.."});
    const qint64 t0 = h.vp.nowMs();
    h.press(keyFire);
    QCOMPARE(h.view.messages.last(), qMakePair(QStringLiteral("PERFECT!"), yellow));
    QVERIFY(!h.view.messageVisible);
    QCOMPARE(gameState.score, 200 + 80000);
    QCOMPARE(gameState.vanishCount, 2);
    QCOMPARE(gameState.blockCount, 6);
    for (int c = 0; c < 6; ++c)
        QVERIFY(gameState.cells[c][0] != 0);
    QVERIFY(h.vp.nowMs() - t0 >= 600 + 1000);
    QVERIFY(h.vp.timerRunning());
    QCOMPARE(gameState.inputEnabled, 1);
    QVERIFY(fieldFrameMismatch(pictures.MainImage).isEmpty());
}

void TestGameRound::rankTestNeedsMoreThanTheTenth() {
    struct Case {
        int level;
        QString tenth;
        int score;
        bool enters;
    };
    const Case cases[] = {{2, "500:3;2", 500, false}, {2, "500:3;2", 501, true},
                          {4, "0:0;0", 0, false},     {0, "-5:0;0", 0, true},
                          {1, "+7:0;0", 8, true},     {3, "2147483647:1;1", 999999999, false}};
    for (const Case& k : cases) {
        GameHarness h;
        h.start(k.level);
        // Only the tenth of this level is set: the others would let any score in.
        for (QString& entry : h.view.ranking.RankNumberList)
            entry = QStringLiteral("-1:0;0");
        h.view.ranking.RankNumberList[10 * (4 - k.level) + 9] = k.tenth;
        gameState.score = k.score;
        endRoundNow();
        QCOMPARE(h.view.messages.last(), qMakePair(QStringLiteral("OUT!"), red));
        QCOMPARE(h.view.rankEntryVisible, k.enters);
        QCOMPARE(h.view.offeredNames, k.enters ? QStringList{"PLAYER"} : QStringList{});
        QCOMPARE(h.view.okShowings, 1);
        QVERIFY(h.errors.isEmpty());
    }
}

void TestGameRound::malformedRankEntryIsReported() {
    for (const char* text : {"12a:1;1", ":1;1", " 5:1;1", "2147483648:0;0", "none"}) {
        const QString bad = QString::fromUtf8(text);
        GameHarness h;
        h.start(2);
        h.view.ranking.RankNumberList[29] = bad;
        gameState.score = 1000;
        h.vp.scheduleIn(0, endRoundNow);
        h.vp.processMessages();
        // The score part is the text before the first ":", empty without one.
        const QString part =
            bad.contains(QLatin1Char(':')) ? bad.section(QLatin1Char(':'), 0, 0) : QString();
        QCOMPARE(h.errors, QStringList{QStringLiteral("'%1' は整数ではありません.").arg(part)});
        QCOMPARE(h.view.okShowings, 0);
        QVERIFY(!h.view.rankEntryVisible);
        QCOMPARE(h.view.messageText, QStringLiteral("OUT!"));
        // The menu command remains the way out.
        QVERIFY(h.view.menuReturnToTitle());
    }
}

void TestGameRound::endHappensOnce() {
    GameHarness h;
    h.start(2);
    endRoundNow();
    const qint64 t = h.vp.nowMs();
    endRoundNow();
    h.setField(fullColumnZero());
    insertRow(); // a block reaches row 11 again: no second end
    QCOMPARE(h.vp.nowMs(), t);
    QCOMPARE(h.view.okShowings, 1);
    QCOMPARE(h.view.messages.count(qMakePair(QStringLiteral("OUT!"), red)), 1);
    h.press(keyLeft);
    QCOMPARE(gameState.launcherColumn, 3);
    h.vp.runUntil(t + 5000);
    QCOMPARE(h.vp.ticksDelivered(), 0);
}

void TestGameRound::keysDuringGoPauseAreKept() {
    GameHarness h;
    h.keyAt(0, keyRight);   // handled during the start sequence: dropped
    h.keyAt(1200, keyLeft); // pressed during the "G o !" pause: waits in the queue
    h.keyAt(1300, keyLeft);
    h.start(2);
    QCOMPARE(gameState.launcherColumn, 3);
    h.vp.processMessages();
    QCOMPARE(gameState.launcherColumn, 1);
    QVERIFY(fieldFrameMismatch(pictures.MainImage).isEmpty());
}

void TestGameRound::returnDuringStartLeavesRoundOff() {
    // At 0 the menu command is handled before "READY"; at 500 right after "G o !".
    for (qint64 at : {0, 500}) {
        GameHarness h;
        h.vp.schedule(at, [&h] { h.view.menuReturnToTitle(); });
        h.start(2);
        h.vp.runUntil(5000);
        QCOMPARE(h.view.messages.size(), at == 0 ? 0 : 2);
        QVERIFY(!h.view.messageVisible);
        QVERIFY(h.view.titleVisible);
        QCOMPARE(gameState.inputEnabled, 0);
        QVERIFY(!h.vp.timerRunning());
        QCOMPARE(h.vp.ticksDelivered(), 0);
        QCOMPARE(roundMark(), RoundMark::Left);
        QVERIFY2(h.view.violations.isEmpty(), qPrintable(h.view.violations.join('\n')));
    }
}

void TestGameRound::returnDuringCrackStopsBeforeOut() {
    GameHarness h;
    h.start(2);
    h.setField({"123123", "2.2", "3"});
    gameState.score = 100; // would enter the default ranking
    const qint64 t = h.vp.nowMs();
    h.vp.schedule(t, endRoundNow);
    h.vp.schedule(t + 30, [&h] { h.view.menuReturnToTitle(); }); // during the crack
    h.vp.runUntil(t + 1000);
    QCOMPARE(roundMark(), RoundMark::Left);
    QCOMPARE(h.view.messages.size(), 2); // READY and G o ! only
    QCOMPARE(h.view.okShowings, 0);
    QVERIFY(h.view.offeredNames.isEmpty());
    QVERIFY(h.view.violations.isEmpty());
    QCOMPARE(pictures.copyMode, CopyMode::SrcCopy);
    // The crack drawing ran to its end: row 0 is cracked too.
    QVERIFY(screenCell(pictures.MainImage, 0, 0) != blockCellImage(1));
    QVERIFY(!h.vp.timerRunning());
}

void TestGameRound::startDuringOldEndRoundKeepsTheNewRound() {
    GameHarness h;
    h.start(2);
    h.setField({"123123", "2.2", "3"});
    const qint64 t = h.vp.nowMs();
    h.vp.schedule(t, endRoundNow);
    h.vp.schedule(t + 30, [&h] {
        h.view.menuReturnToTitle();
        h.view.clickStart(); // START at once, inside the old crack sequence
    });
    h.vp.runUntil(t + 3000);
    QCOMPARE(roundMark(), RoundMark::Running);
    QCOMPARE(h.view.okShowings, 0);
    QCOMPARE(h.view.messages.count(qMakePair(QStringLiteral("OUT!"), red)), 0);
    QCOMPARE(gameState.inputEnabled, 1);
    QVERIFY(h.vp.timerRunning());
    QCOMPARE(gameState.blockCount, occupiedCells());
    QVERIFY2(fieldFrameMismatch(pictures.MainImage).isEmpty(),
             qPrintable(fieldFrameMismatch(pictures.MainImage)));
    QVERIFY(h.view.violations.isEmpty());
}

QTEST_MAIN(TestGameRound)
#include "test_game_round.moc"
