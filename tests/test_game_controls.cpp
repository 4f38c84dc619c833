// The keys, the launcher and the dealing of pieces.

#include "game/controls.h"
#include "game/game_state.h"
#include "game/round_mark.h"
#include "screen/frame.h"
#include "screen/layout.h"
#include "support/game_harness.h"

#include <QtTest>

namespace {

int presents = 0;

struct PresentCounter {
    PresentCounter() {
        presents = 0;
        setPresentHook([] { ++presents; });
    }
    ~PresentCounter() { setPresentHook(nullptr); }
};

// The cells of row 11 whose pixels differ between two frames.
QList<int> changedLauncherCells(const QImage& a, const QImage& b) {
    QList<int> changed;
    for (int c = 0; c < 6; ++c)
        if (screenCell(a, c, 11) != screenCell(b, c, 11))
            changed << c;
    return changed;
}

} // namespace

class TestGameControls : public QObject {
    Q_OBJECT
private slots:
    void movesStopAtTheEdges();
    void keysNeedInput();
    void starBallRhythm();
    void sameArrowTwiceIsDamped();
    void shotThatFillsRowElevenEndsTheRound();
};

void TestGameControls::movesStopAtTheEdges() {
    GameHarness h;
    h.start(2);
    PresentCounter counter;
    QImage before = pictures.MainImage.copy();
    h.press(keyLeft);
    QCOMPARE(gameState.launcherColumn, 2);
    QCOMPARE(presents, 1);
    QCOMPARE(changedLauncherCells(before, pictures.MainImage), (QList<int>{2, 3}));
    QCOMPARE(pictures.MainImage.copy(0, 0, 400, 360), before.copy(0, 0, 400, 360));
    QVERIFY(fieldFrameMismatch(pictures.MainImage).isEmpty());
    h.press(keyLeft);
    h.press(keyLeft);
    QCOMPARE(gameState.launcherColumn, 0);
    presents = 0;
    before = pictures.MainImage.copy();
    h.press(keyLeft); // at the edge: nothing at all
    QCOMPARE(gameState.launcherColumn, 0);
    QCOMPARE(presents, 0);
    for (int i = 0; i < 7; ++i)
        h.press(keyRight);
    QCOMPARE(gameState.launcherColumn, 5);
    QCOMPARE(presents, 5);
    QVERIFY(fieldFrameMismatch(pictures.MainImage).isEmpty());
    // Other keys, lower-case codes and the like do nothing.
    for (std::uint16_t key : {0x26, 0x28, 0x7A, 0x20, 0x5B})
        h.press(key);
    QCOMPARE(presents, 5);
    QCOMPARE(gameState.blockCount, 24);
}

void TestGameControls::keysNeedInput() {
    GameHarness h;
    // On the title screen, before any round.
    for (std::uint16_t key : {keyLeft, keyRight, keyFire})
        h.press(key);
    QCOMPARE(gameState.launcherColumn, 0);
    QCOMPARE(gameState.blockCount, 0);
    h.start(2);
    gameState.inputEnabled = 0;
    for (std::uint16_t key : {keyLeft, keyRight, keyFire})
        h.press(key);
    QCOMPARE(gameState.launcherColumn, 3);
    QCOMPARE(gameState.blockCount, 24);
}

void TestGameControls::starBallRhythm() {
    for (int level = 0; level <= 4; ++level) {
        GameHarness h;
        h.start(level);
        const int period = level == 4 ? 4 : 5;
        // Deal 1 happened at START.
        for (int deal = 1; deal <= 40; ++deal) {
            if (deal > 1) {
                restoreCell(3, 11); // as a shot leaves the launcher's cell
                dealPiece();
            }
            QCOMPARE(gameState.currentPiece == StarBall, (deal - 1) % period == 0);
            QCOMPARE(pictures.MainImage.copy(layout::nextBox), blockCellImage(gameState.nextPiece));
            QCOMPARE(screenCell(pictures.MainImage, 3, 11),
                     pieceOverBackground(3, 11, gameState.currentPiece));
        }
    }
}

void TestGameControls::sameArrowTwiceIsDamped() {
    GameHarness h;
    h.start(2);
    int arrowPairs = 0, repeats = 0, afterStar = 0;
    int afterStarKinds[5] = {};
    for (int i = 0; i < 4000; ++i) {
        const int current = gameState.currentPiece;
        dealPiece();
        const int dealt = gameState.currentPiece;
        QVERIFY(!(current == StarBall && dealt == StarBall));
        if (dealt == StarBall)
            continue;
        if (current == StarBall) {
            ++afterStar;
            ++afterStarKinds[dealt];
        } else {
            ++arrowPairs;
            repeats += current == dealt;
        }
    }
    // Repeat 1/7, each of the other three 2/7; after a star ball all four 1/4.
    const double repeatRate = double(repeats) / arrowPairs;
    QVERIFY2(repeatRate > 0.11 && repeatRate < 0.18, qPrintable(QString::number(repeatRate)));
    for (int k = 1; k <= 4; ++k) {
        const double share = double(afterStarKinds[k]) / afterStar;
        QVERIFY2(share > 0.19 && share < 0.31, qPrintable(QString::number(share)));
    }
}

void TestGameControls::shotThatFillsRowElevenEndsTheRound() {
    GameHarness h;
    h.start(2);
    gameState.currentPiece = RightArrow;
    h.setField(
        {"...2..", "...2", "...2", "...2", "...2", "...2", "...2", "...2", "...2", "...2", "...2"});
    const int next = gameState.nextPiece;
    h.press(keyFire);
    QCOMPARE(gameState.cells[3][11], int(RightArrow));
    QCOMPARE(roundMark(), RoundMark::Ended);
    QCOMPARE(gameState.inputEnabled, 0);
    QCOMPARE(gameState.nextPiece, next); // no piece dealt
    QCOMPARE(h.view.messageText, QStringLiteral("OUT!"));
    QCOMPARE(h.view.okShowings, 1);
    QVERIFY(!h.vp.timerRunning());
    h.press(keyLeft);
    QCOMPARE(gameState.launcherColumn, 3);
}

QTEST_MAIN(TestGameControls)
#include "test_game_controls.moc"
