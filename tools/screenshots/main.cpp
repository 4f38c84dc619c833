// Draws the README's pictures: the real main window on the offscreen platform, once on
// the title screen and once in a round after a few shots, the last one just scored
// ("+N" in the bonus panel). The game runs in virtual time with a fixed clock, so the
// round's seed, and with it every picture, is the same on every run.
//
// Usage: screenshots OUTPUT_FOLDER   (writes title.png and round.png)

#include "game/controls.h"
#include "game/game_state.h"
#include "platform/application.h"
#include "screen/fonts.h"
#include "screen/layout.h"
#include "shell/main_form.h"
#include "support/shell_fixture.h"

#include <QComboBox>
#include <QDir>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

// The first empty row below the blocks of column c (where a fired piece stops).
int landingRow(int c) {
    int r = 0;
    while (r < layout::rows && gameState.cells[c][r] != Empty)
        ++r;
    return r;
}

int cellAt(int c, int r) {
    if (c < 0 || c >= layout::columns || r < 0 || r >= layout::rows)
        return Empty;
    return gameState.cells[c][r];
}

// How much a shot of the current piece into column c promises: an arrow pair that
// takes blocks hanging below its partner with it, a plain pair, or nothing.
int promise(int c) {
    const int r = landingRow(c);
    if (r >= layout::launcherRow)
        return -1; // would reach the bottom row
    const int piece = gameState.currentPiece;
    int partnerColumn = -1;
    if (piece == RightArrow && cellAt(c + 1, r) == LeftArrow)
        partnerColumn = c + 1;
    else if (piece == LeftArrow && cellAt(c - 1, r) == RightArrow)
        partnerColumn = c - 1;
    if (partnerColumn >= 0)
        return cellAt(partnerColumn, r + 1) != Empty ? 3 : 2;
    if (piece == UpArrow && cellAt(c, r - 1) == DownArrow)
        return 2;
    return 0;
}

// The column to fire into: the best promise, else the shortest column (it keeps the
// round going longest), nearest to the launcher on ties.
int chooseColumn() {
    int best = gameState.launcherColumn;
    int bestPromise = -2;
    int bestRow = -1;
    for (int c = 0; c < layout::columns; ++c) {
        const int p = promise(c);
        const int r = landingRow(c);
        if (p > bestPromise || (p == bestPromise && p <= 0 && r < bestRow)) {
            best = c;
            bestPromise = p;
            bestRow = r;
        }
    }
    return best;
}

void press(VirtualPlatform& vp, std::uint16_t key) {
    vp.scheduleIn(0, [key] { FormKeyDown(key); });
    vp.processMessages();
}

bool save(const QString& path) {
    MainForm->repaint();
    if (!MainForm->grab().save(path, "PNG")) {
        std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Flinder"));
    if (argc != 2) {
        std::fprintf(stderr, "usage: screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "screenshots: cannot create %s\n", argv[1]);
        return 1;
    }
    installFontSubstitutions();
    QTemporaryDir settings; // no settings file: the first start's defaults
    ShellFixture shell(settings.path());
    VirtualPlatform& vp = shell.vp;

    if (!save(out.filePath(QStringLiteral("title.png"))))
        return 1;

    // The middle level, started at the fixed virtual clock.
    MainForm->levelCombo->setCurrentIndex(2);
    QTest::mouseClick(MainForm->StartButton, Qt::LeftButton);
    const int minimumShots = 6;
    int shots = 0;
    bool scored = false;
    while (!(shots >= minimumShots && scored)) {
        if (shots > 60 || gameState.inputEnabled == 0 || !shell.errors.isEmpty()) {
            std::fprintf(stderr, "screenshots: the round did not go as planned (%d shots)\n",
                         shots);
            return 1;
        }
        vp.runUntil(vp.nowMs() + 700); // the player takes a moment
        const int target = chooseColumn();
        while (gameState.launcherColumn != target)
            press(vp, gameState.launcherColumn < target ? keyRight : keyLeft);
        const int before = gameState.score;
        press(vp, keyFire);
        ++shots;
        scored = gameState.score > before && gameState.bonusTicks > 0;
    }
    return save(out.filePath(QStringLiteral("round.png"))) ? 0 : 1;
}
