#include "game/shot.h"

#include "game/animation.h"
#include "game/controls.h"
#include "game/game_state.h"
#include "game/hud.h"
#include "game/round.h"
#include "game/round_mark.h"
#include "platform/platform.h"
#include "screen/frame.h"
#include "screen/layout.h"
#include "screen/panels.h"

namespace {

auto& cells = gameState.cells;
int shotsUnderWay = 0; // a count: a new round's shot may run inside an abandoned one

struct ShotScope {
    ShotScope() { ++shotsUnderWay; }
    ~ShotScope() { --shotsUnderWay; }
    ShotScope(const ShotScope&) = delete;
    ShotScope& operator=(const ShotScope&) = delete;
};

QPoint partnerCell(int c, int r, Partner p) {
    switch (p) {
    case Partner::Left:
        return {c - 1, r};
    case Partner::Right:
        return {c + 1, r};
    case Partner::Above:
        return {c, r - 1};
    case Partner::None:
        break;
    }
    return {c, r};
}

// Shows the frame and lets messages run; false when a new round has replaced t's.
bool showAndProcess(RoundTicket t) {
    presentFrame();
    platform().processMessages();
    return !roundReplaced(t);
}

// The piece at (launcherColumn, r) vanishes with the block at the partner's place.
// False when a new round has replaced this one meanwhile.
bool pairVanish(int r, Partner p, RoundTicket t) {
    blinkPair(r, p);
    if (roundReplaced(t))
        return false;
    const QPoint q = partnerCell(gameState.launcherColumn, r, p);
    cells[q.x()][q.y()] = Empty;
    gameState.blockCount -= 2;
    gameState.vanishCount += 2;
    gameState.bonus = 200;
    awardBonus();
    presentFrame();
    return true;
}

} // namespace

bool shotUnderWay() {
    return shotsUnderWay > 0;
}

void fireShot() {
    const ShotScope scope;
    const RoundTicket t = currentRound();
    const int c = gameState.launcherColumn;
    const int kind = gameState.currentPiece;
    int r = layout::launcherRow;
    while (r > 0 && cells[c][r - 1] == Empty) {
        for (int i = 0; i < 4; ++i) {
            restoreWellRect(QRect(32 * c, 32 * r - 8 * i, 32, 32));
            drawFlyingPiece(layout::cellOrigin(c, r) - QPoint(0, 8 * (i + 1)), kind);
            animationStep();
            if (roundReplaced(t))
                return;
        }
        --r;
    }
    gameState.blockCount += 1;
    landPiece(r);
}

void landPiece(int r) {
    const RoundTicket t = currentRound();
    const int c = gameState.launcherColumn;
    platform().stopTimer();
    switch (gameState.currentPiece) {
    case RightArrow:
        if (c <= 4 && cells[c + 1][r] == LeftArrow) {
            if (!pairVanish(r, Partner::Right, t))
                return;
            dropDetachedBlocks(c + 1, r + 1);
        } else {
            cells[c][r] = RightArrow;
        }
        break;
    case DownArrow:
        cells[c][r] = DownArrow;
        break;
    case LeftArrow:
        if (c >= 1 && cells[c - 1][r] == RightArrow) {
            if (!pairVanish(r, Partner::Left, t))
                return;
            dropDetachedBlocks(c - 1, r + 1);
        } else {
            cells[c][r] = LeftArrow;
        }
        break;
    case UpArrow:
        if (r >= 1 && cells[c][r - 1] == DownArrow) {
            if (!pairVanish(r, Partner::Above, t))
                return;
        } else {
            cells[c][r] = UpArrow;
        }
        break;
    case StarBall:
        // The star ball destroys whatever block is above it, like a vanishing pair.
        if (r >= 1) {
            if (!pairVanish(r, Partner::Above, t))
                return;
        } else {
            blinkPair(0, Partner::None);
            if (roundReplaced(t))
                return;
            gameState.blockCount -= 1;
            gameState.vanishCount += 1;
            gameState.bonus = 100;
            awardBonus();
            presentFrame();
        }
        break;
    default:
        break;
    }
    if (roundReplaced(t))
        return;
    // The end of a round is final: a round that ended or was left meanwhile keeps its
    // timer stopped.
    if (roundGoesOn(t))
        platform().startTimer();
    if (gameState.blockCount < 1)
        perfectClear();
    if (roundReplaced(t))
        return;
    if (gameState.vanishCount > 9999)
        gameState.vanishCount = 9999;
    drawVanishPanel();
}

void blinkPair(int r, Partner p) {
    const RoundTicket t = currentRound();
    const int c = gameState.launcherColumn;
    const QPoint q = partnerCell(c, r, p);
    const bool paired = p != Partner::None;
    for (int i = 0; i < 6; ++i) {
        restoreCell(c, r);
        if (paired)
            restoreCell(q.x(), q.y());
        if (!showAndProcess(t))
            return;
        platform().pause(50);
        drawLauncherPiece(r);
        if (paired)
            drawCellOpaque(layout::cellOrigin(q.x(), q.y()), cells[q.x()][q.y()]);
        if (!showAndProcess(t))
            return;
        platform().pause(50);
    }
    restoreCell(c, r);
    if (paired)
        restoreCell(q.x(), q.y());
    showAndProcess(t);
}

void dropDetachedBlocks(int a, int b) {
    // Below row 11 lies nothing: a landing in the bottom row has no blocks under it.
    if (b > layout::launcherRow || cells[a][b] == Empty)
        return;
    const RoundTicket t = currentRound();
    int n = 0;
    while (b + n <= layout::launcherRow && cells[a][b + n] != Empty)
        ++n;
    gameState.bonus = 50 * n * (n + 1) * (n + 2);
    awardBonus();
    gameState.blockCount -= n;
    gameState.vanishCount += n;

    const int left = layout::fieldLeft + 32 * a;
    const int fieldBottom = layout::fieldTop + 32 * layout::rows; // 392
    bool clipped = false;
    for (int y = b; y <= layout::launcherRow; ++y) {
        for (int s = 0; s < 8; ++s) {
            const int top = layout::fieldTop + 32 * y + 4 * s;
            // Once the group reaches the bottom edge it slides out under it.
            if (y + n >= layout::rows)
                clipped = true;
            const int bottom = clipped ? fieldBottom - 4 : top + 32 * n;
            frameCopy(QRect(left, top, 32, bottom - top), QPoint(left, top + 4));
            restoreWellRect(QRect(32 * a, 32 * y + 4 * s, 32, 4));
            animationStep();
            if (roundReplaced(t))
                return;
        }
        cells[a][y] = Empty;
    }
}
