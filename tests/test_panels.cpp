// The panels beside the field, checked on the pixels of the frame.

#include "game/game_state.h"
#include "game/hud.h"
#include "screen/fonts.h"
#include "screen/frame.h"
#include "screen/layout.h"
#include "screen/panels.h"
#include "support/game_harness.h"

#include <QFontMetrics>
#include <QtTest>

namespace {

// Bounding box of the pixels of a panel that differ from the empty panel.
QRect ink(const QRect& panel) {
    QRect box;
    for (int y = panel.top(); y <= panel.bottom(); ++y)
        for (int x = panel.left(); x <= panel.right(); ++x)
            if (pictures.TmpImage.pixel(x, y) != pictures.CharaImage.pixel(x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

QImage scorePanelShowing(int value) {
    const int saved = gameState.score;
    gameState.score = value;
    drawScorePanel();
    gameState.score = saved;
    return pictures.TmpImage.copy(layout::scorePanel);
}

QImage shown(const QRect& r) {
    return pictures.TmpImage.copy(r);
}

} // namespace

class TestPanels : public QObject {
    Q_OBJECT
private slots:
    void thousandsSeparators();
    void textsEndAtTheirAnchors();
    void gaugeWidthAndColour_data();
    void gaugeWidthAndColour();
    void scoreLagsOneAwardBehind();
    void scoreStopsAtItsCap();
};

void TestPanels::thousandsSeparators() {
    const QList<QPair<QString, QString>> cases{{"0", "0"},
                                               {"5", "5"},
                                               {"123", "123"},
                                               {"1000", "1,000"},
                                               {"1200", "1,200"},
                                               {"80000", "80,000"},
                                               {"123456", "123,456"},
                                               {"999999999", "999,999,999"}};
    for (const auto& [in, out] : cases)
        QCOMPARE(formatThousands(in), out);
}

void TestPanels::textsEndAtTheirAnchors() {
    GameHarness h;
    restorePanel(layout::frameZone);
    const QFont large = gameFont(centuryFamily, 24);
    struct Panel {
        const char* name;
        std::function<void()> draw;
        QRect area;
        QPoint anchor;
        QFont font;
        QString text;
    };
    gameState.score = 999999999;
    gameState.vanishCount = 9999;
    gameState.phase = 999;
    gameState.bonus = 80000;
    QList<Panel> panels{
        {"SCORE", drawScorePanel, layout::scorePanel, layout::scoreAnchor, large, "999,999,999"},
        {"VANISH", drawVanishPanel, layout::vanishPanel, layout::vanishAnchor, large, "9,999"},
        {"PHASE", drawPhasePanel, layout::phasePanel, layout::phaseAnchor, large, "999"},
        {"bonus", awardBonus, layout::bonusPanel, layout::bonusAnchor, gameFont(centuryFamily, 15),
         "+80,000"}};
    for (const QString& name : h.view.levelNames) {
        panels.append({"LEVEL",
                       [name] {
                           restorePanel(layout::levelInterior);
                           drawLevelPanel(name);
                       },
                       layout::levelInterior, layout::levelAnchor, gameFont(gothicFamily, 24),
                       name});
    }
    for (const Panel& p : panels) {
        p.draw();
        // Around the panel too: what lies outside stays after the next redraw.
        const QRect box = ink(p.area.adjusted(-6, -6, 6, 6));
        const QString where = QStringLiteral("%1: ink %2,%3 to %4,%5")
                                  .arg(QLatin1String(p.name))
                                  .arg(box.left())
                                  .arg(box.top())
                                  .arg(box.right())
                                  .arg(box.bottom());
        QVERIFY2(!box.isEmpty(), qPrintable(where));
        QVERIFY2(p.area.contains(box), qPrintable(where));
        // The last glyph's advance ends at the anchor's x, and the glyphs reach down to
        // the baseline of a text whose full cell ends at the anchor's y (commas a little
        // further), unless the face's cell is taller than the panel: then they were
        // moved down just far enough to start at its top.
        const QFontMetrics metrics(p.font);
        const int inkEnd = p.anchor.x() - 1 - metrics.rightBearing(p.text.back());
        const int baseline = p.anchor.y() - metrics.descent();
        QVERIFY2(box.right() < p.anchor.x() && qAbs(box.right() - inkEnd) <= 1, qPrintable(where));
        QVERIFY2(box.bottom() < p.anchor.y(), qPrintable(where));
        QVERIFY2(box.top() == p.area.top() || (box.bottom() >= baseline - 2), qPrintable(where));
    }
    // The sizes: 24-pixel digits stand about 17 high, 15-pixel ones about 11.
    gameState.score = 888;
    drawScorePanel();
    QVERIFY(ink(layout::scorePanel).height() >= 15 && ink(layout::scorePanel).height() <= 20);
    gameState.bonus = 888;
    awardBonus();
    QVERIFY(ink(layout::bonusPanel).height() >= 9 && ink(layout::bonusPanel).height() <= 13);
    // In their colours: the glyphs' cores are pure cyan and magenta.
    const QImage score = shown(layout::scorePanel), bonus = shown(layout::bonusPanel);
    int cyan = 0, magenta = 0;
    for (int y = 0; y < score.height(); ++y)
        for (int x = 0; x < score.width(); ++x)
            cyan += score.pixel(x, y) == qRgb(0, 255, 255);
    for (int y = 0; y < bonus.height(); ++y)
        for (int x = 0; x < bonus.width(); ++x)
            magenta += bonus.pixel(x, y) == qRgb(255, 0, 255);
    QVERIFY(cyan > 20);
    QVERIFY(magenta > 5);
}

void TestPanels::gaugeWidthAndColour_data() {
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("elapsed");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("right");
    QTest::addColumn<QRgb>("colour"); // the stripe's top row
    const QRgb green = qRgb(10, 255, 10), yellow = qRgb(255, 255, 10), red = qRgb(255, 10, 10);
    QTest::newRow("first tick of 35") << 35 << 0 << 1 << 383 << green;
    QTest::newRow("first tick of 15") << 15 << 0 << 1 << 382 << green;
    QTest::newRow("first tick of 57") << 57 << 0 << 1 << 383 << green;
    QTest::newRow("truncated 74.4") << 35 << 17 << 2 << 311 << green;
    QTest::newRow("6 left") << 20 << 14 << 0 << 281 << green;
    QTest::newRow("5 left") << 20 << 15 << 0 << 274 << yellow;
    QTest::newRow("3 left") << 5 << 2 << 3 << 308 << yellow;
    QTest::newRow("2 left") << 20 << 18 << 0 << 252 << red;
    QTest::newRow("last tick") << 20 << 19 << 4 << 239 << red;
    QTest::newRow("expired") << 35 << 35 << 0 << 238 << red;
}

void TestPanels::gaugeWidthAndColour() {
    QFETCH(int, limit);
    QFETCH(int, elapsed);
    QFETCH(int, ticks);
    QFETCH(int, right);
    QFETCH(QRgb, colour);
    GameHarness h;
    restorePanel(layout::frameZone);
    fillLimitGauge();
    gameState.limit = limit;
    gameState.limitElapsed = elapsed;
    gameState.tickCount = ticks;
    QCOMPARE(limitGaugeRight(limit, elapsed, ticks), right);
    drawLimitGauge();
    for (int y = 312; y < 330; ++y) {
        QCOMPARE(pictures.TmpImage.pixel(237, y) & 0xFFFFFF,
                 pictures.TmpImage.pixel(right - 1, y) & 0xFFFFFF);
        if (right < 383)
            QCOMPARE(pictures.TmpImage.pixel(right, y), qRgb(0, 0, 0));
    }
    QCOMPARE(pictures.TmpImage.pixel(right - 1, 312), colour);
    // The frame beside the panel is left alone.
    QCOMPARE(pictures.TmpImage.pixel(383, 320), pictures.CharaImage.pixel(383, 320));
}

void TestPanels::scoreLagsOneAwardBehind() {
    GameHarness h;
    restorePanel(layout::frameZone);
    gameState.score = 1000;
    drawScorePanel();
    gameState.bonus = 300;
    awardBonus();
    QCOMPARE(gameState.score, 1300);
    QCOMPARE(gameState.bonusTicks, 8);
    const QImage box300 = shown(layout::bonusPanel);
    QVERIFY(box300 != pictures.CharaImage.copy(layout::bonusPanel));
    QCOMPARE(shown(layout::scorePanel), scorePanelShowing(1000));
    for (int i = 0; i < 3; ++i)
        bonusCountdownStep();
    // A second award redraws SCORE with the first one included.
    gameState.bonus = 1200;
    awardBonus();
    QCOMPARE(gameState.score, 2500);
    QCOMPARE(gameState.bonusTicks, 8);
    const QImage score1300 = shown(layout::scorePanel);
    QCOMPARE(score1300, scorePanelShowing(1300));
    QVERIFY(shown(layout::bonusPanel) != box300);
    drawScorePanel(); // put back what the countdown must keep
    for (int i = 0; i < 7; ++i) {
        bonusCountdownStep();
        QVERIFY(shown(layout::bonusPanel) != pictures.CharaImage.copy(layout::bonusPanel));
    }
    // The eighth step clears the box and shows the whole score.
    QImage before = scorePanelShowing(1300);
    bonusCountdownStep();
    QCOMPARE(gameState.bonusTicks, 0);
    QCOMPARE(shown(layout::bonusPanel), pictures.CharaImage.copy(layout::bonusPanel));
    QCOMPARE(shown(layout::scorePanel), scorePanelShowing(2500));
    QVERIFY(before != scorePanelShowing(2500));
    bonusCountdownStep();
    QCOMPARE(gameState.bonusTicks, 0);
}

void TestPanels::scoreStopsAtItsCap() {
    GameHarness h;
    restorePanel(layout::frameZone);
    gameState.score = 999999950;
    gameState.bonus = 80000;
    awardBonus();
    QCOMPARE(gameState.score, 999999999);
    const QImage capped = shown(layout::bonusPanel);
    gameState.score = 0;
    awardBonus();
    QCOMPARE(shown(layout::bonusPanel), capped); // the whole "+80,000"
}

QTEST_MAIN(TestPanels)
#include "test_panels.moc"
