#include "game/controls.h"

#include "game/field.h"
#include "game/game_state.h"
#include "game/random.h"
#include "game/round.h"
#include "game/round_mark.h"
#include "game/shot.h"
#include "screen/frame.h"
#include "screen/layout.h"
#include "screen/panels.h"

#include <cassert>

namespace {

void moveLauncher(int step) {
    restoreCell(gameState.launcherColumn, layout::launcherRow);
    gameState.launcherColumn += step;
    drawLauncherPiece(layout::launcherRow);
    presentFrame();
}

void fireSequence() {
    gameState.inputEnabled = 0;
    const RoundTicket t = currentRound();
    fireShot();
    // A round that ended, was left or was replaced meanwhile gets no end sequence of
    // this shot, no new piece and no keys.
    if (roundOutcome(t) != RoundOutcome::GoOn)
        return;
    if (bottomRowOccupied()) {
        endRound();
        return;
    }
    // The limit ran out during the flight: its rows come before the next piece, and
    // may end the round.
    runHeldAdvance();
    if (roundOutcome(t) != RoundOutcome::GoOn)
        return;
    dealPiece();
    gameState.inputEnabled = 1;
}

// After an arrow, the same arrow again only if a second draw says so.
int chooseArrow(int current) {
    for (;;) {
        const int kind = randomBelow(4) + 1;
        if (kind != current || randomBelow(2) == 1)
            return kind;
    }
}

} // namespace

void FormKeyDown(std::uint16_t key) {
    if (gameState.inputEnabled == 0)
        return;
    assert(runningRoundIsLive());
    switch (key) {
    case keyLeft:
        if (gameState.launcherColumn > 0)
            moveLauncher(-1);
        break;
    case keyRight:
        if (gameState.launcherColumn < layout::columns - 1)
            moveLauncher(+1);
        break;
    case keyFire:
        fireSequence();
        break;
    default:
        break;
    }
}

void drawLauncherPiece(int row) {
    drawPiece(layout::cellOrigin(gameState.launcherColumn, row), gameState.currentPiece);
}

void dealPiece() {
    const int starThreshold = gameState.level == 4 ? 2 : 3;
    gameState.currentPiece = gameState.nextPiece;
    const int old = gameState.piecesSinceStar;
    gameState.piecesSinceStar = old + 1;
    if (old > starThreshold) {
        gameState.nextPiece = StarBall;
        gameState.piecesSinceStar = 0;
    } else {
        gameState.nextPiece = chooseArrow(gameState.currentPiece);
    }
    drawLauncherPiece(layout::launcherRow);
    drawNextPanel(gameState.nextPiece);
    presentFrame();
}
