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

// A piece rises a row in four frames of 8 pixels; falling blocks sink a row in eight
// frames of 4 pixels.
constexpr int travelFramesPerRow = 4;
constexpr int travelStep = layout::cellSize / travelFramesPerRow;
constexpr int fallFramesPerRow = 8;
constexpr int fallStep = layout::cellSize / fallFramesPerRow;

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

// The piece at (launcherColumn, r) vanishes with the block at the partner's place.
// False when a new round has replaced this one meanwhile.
bool pairVanish(int r, Partner p, RoundTicket t) {
    blinkPair(r, p);
    if (roundOutcome(t) == RoundOutcome::Replaced)
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
        for (int i = 0; i < travelFramesPerRow; ++i) {
            restoreWellRect(layout::backCellRect(c, r).translated(0, -travelStep * i));
            drawFlyingPiece(layout::cellOrigin(c, r) - QPoint(0, travelStep * (i + 1)), kind);
            if (animationStep(t) == RoundOutcome::Replaced)
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
    // The landing's own time (blink, fall) does not count: the part of the period that
    // had run is kept, and the clock runs on from it afterwards.
    platform().pauseTimer();
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
            if (roundOutcome(t) == RoundOutcome::Replaced)
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
    const RoundOutcome outcome = roundOutcome(t);
    if (outcome == RoundOutcome::Replaced)
        return;
    // The end of a round is final: a round that ended or was left meanwhile keeps its
    // timer stopped.
    if (outcome == RoundOutcome::GoOn)
        platform().resumeTimer();
    if (gameState.blockCount < 1)
        perfectClear();
    if (roundOutcome(t) == RoundOutcome::Replaced)
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
        if (presentAndProcess(t) == RoundOutcome::Replaced)
            return;
        platform().pause(50);
        drawLauncherPiece(r);
        if (paired)
            drawCellOpaque(layout::cellOrigin(q.x(), q.y()), cells[q.x()][q.y()]);
        if (presentAndProcess(t) == RoundOutcome::Replaced)
            return;
        platform().pause(50);
    }
    restoreCell(c, r);
    if (paired)
        restoreCell(q.x(), q.y());
    presentAndProcess(t);
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

    const int size = layout::cellSize;
    const int left = layout::cellOrigin(a, 0).x();
    const int fieldBottom = layout::fieldTop + size * layout::rows; // 392
    bool clipped = false;
    for (int y = b; y <= layout::launcherRow; ++y) {
        for (int s = 0; s < fallFramesPerRow; ++s) {
            const int top = layout::cellOrigin(a, y).y() + fallStep * s;
            // Once the group reaches the bottom edge it slides out under it.
            if (y + n >= layout::rows)
                clipped = true;
            const int bottom = clipped ? fieldBottom - fallStep : top + size * n;
            frameCopy(QRect(left, top, size, bottom - top), QPoint(left, top + fallStep));
            restoreWellRect(QRect(size * a, size * y + fallStep * s, size, fallStep));
            if (animationStep(t) == RoundOutcome::Replaced)
                return;
        }
        cells[a][y] = Empty;
    }
}
