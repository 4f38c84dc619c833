#include "game/round.h"

#include "game/controls.h"
#include "game/field.h"
#include "game/game_state.h"
#include "game/hud.h"
#include "game/random.h"
#include "game/round_mark.h"
#include "game/round_view.h"
#include "game/shot.h"
#include "platform/platform.h"
#include "screen/backgrounds.h"
#include "screen/frame.h"
#include "screen/layout.h"
#include "screen/panels.h"
#include "store/ranking.h"

#include <algorithm>
#include <cassert>

namespace {

const QColor aqua(0, 255, 255);
const QColor lime(0, 255, 0);
const QColor yellow(255, 255, 0);
const QColor red(255, 0, 0);

bool tickRunning = false;

struct TickScope {
    TickScope() { tickRunning = true; }
    ~TickScope() { tickRunning = false; }
    TickScope(const TickScope&) = delete;
    TickScope& operator=(const TickScope&) = delete;
};

// The limit has run out: next phase, new rows. Returns the round's outcome.
RoundOutcome rowAdvance(RoundTicket t) {
    GameState& g = gameState;
    g.phase = std::min(g.phase + 1, 999);
    if (g.phase == 11) {
        g.limitBase = 5 * g.level + 37;
        if (g.level < 3)
            g.rowsPerAdvance = 2;
    }
    if (g.phase == 21) {
        g.limitBase = 5 * g.level + 57;
        g.rowsPerAdvance = g.level < 3 ? 3 : 2;
    }
    g.limit = std::max(g.limitBase - 2 * g.phase, 5);
    drawPhasePanel();
    // No further row once the round has ended (by a row, or by a shot fired between
    // rows) or been left.
    RoundOutcome outcome = RoundOutcome::GoOn;
    for (int i = 0; i < g.rowsPerAdvance && outcome == RoundOutcome::GoOn; ++i) {
        insertRow();
        outcome = presentAndProcess(t);
        if (outcome == RoundOutcome::Replaced)
            return outcome;
        platform().pause(50);
    }
    g.limitElapsed = 0;
    clearLimitGauge();
    return outcome;
}

} // namespace

void startRound() {
    beginRound();
    const RoundTicket t = currentRound();
    GameState& g = gameState;
    seedRandom(std::uint32_t(platform().currentTimeSeconds()));
    const int position = roundView().selectedLevelPosition();
    g.level = levelOfPosition(position);
    g.launcherColumn = 3;
    g.piecesSinceStar = 0;
    g.nextPiece = StarBall;
    g.blockCount = 0;
    g.phase = 1;
    g.rowsPerAdvance = 1;
    g.vanishCount = 0;
    g.score = 0;
    g.tickCount = 0;
    g.bonusTicks = 0;
    g.limitElapsed = 0;
    g.limitBase = g.limit = 5 * g.level + 15;
    g.inputEnabled = 0;
    for (auto& column : g.cells)
        std::fill(std::begin(column), std::end(column), 0);

    roundView().hideTitleScreen();
    roundView().closeInputMethod();
    roundView().showMainImage();
    restorePanel(layout::frameZone);
    drawLevelPanel(roundView().levelItemText(position));
    fillLimitGauge();
    drawScorePanel();
    drawVanishPanel();
    drawPhasePanel();
    drawBackground(backgroundChoice);
    for (int i = 0; i < 4; ++i)
        insertRow();
    dealPiece();

    // The menu command back to the title may come during the messages: the round then
    // stays left, and nothing more is shown over the title screen.
    if (presentAndProcess(t) != RoundOutcome::GoOn)
        return;
    roundView().showMessage(QStringLiteral("READY"), aqua);
    if (presentAndProcess(t) != RoundOutcome::GoOn)
        return;
    platform().pause(1000);
    roundView().showMessage(QStringLiteral("G o !"), lime);
    if (presentAndProcess(t) != RoundOutcome::GoOn)
        return;
    platform().pause(600);
    roundView().hideMessage();
    g.inputEnabled = 1;
    platform().startTimer();
}

void timerTimer() {
    // A tick delivered inside another tick's row advance does nothing.
    if (tickRunning)
        return;
    const TickScope scope;
    if (!platform().mainWindowActive() || roundClosed())
        return;
    // (A tick called with the timer stopped, as tests do, is no tick of the timer.)
    assert(!platform().timerRunning() || runningRoundIsLive());
    const RoundTicket t = currentRound();
    GameState& g = gameState;
    // While an advance waits for a shot to be resolved the counters stay at the limit.
    if (g.limitElapsed < g.limit && ++g.tickCount >= ticksPerSecond) {
        g.tickCount = 0;
        g.limitElapsed += 1;
    }
    drawLimitGauge();
    // No row enters while a piece is in flight: the fire sequence runs the advance as
    // soon as the shot is resolved (runHeldAdvance).
    if (g.limitElapsed >= g.limit && !shotUnderWay() && rowAdvance(t) == RoundOutcome::Replaced)
        return;
    bonusCountdownStep();
    presentAndProcess(t);
}

void runHeldAdvance() {
    // Inside a tick the shot was fired between the rows of that tick's own advance,
    // which goes on when the shot is over.
    if (tickRunning || roundClosed() || gameState.limitElapsed < gameState.limit)
        return;
    // Ticks that come while its rows enter do nothing, as inside a tick's advance.
    const TickScope scope;
    rowAdvance(currentRound());
}

void perfectClear() {
    if (roundClosed())
        return;
    const RoundTicket t = currentRound();
    roundView().showMessage(QStringLiteral("PERFECT!"), yellow);
    gameState.bonus = 80000;
    awardBonus();
    // Left for the title screen meanwhile: no timer, no new row.
    if (presentAndProcess(t) != RoundOutcome::GoOn)
        return;
    // The pause is not counted either; the timer runs on with its period.
    platform().pauseTimer();
    platform().pause(1000);
    roundView().hideMessage();
    platform().resumeTimer();
    insertRow();
}

void endRound() {
    // The end of a round is final and happens once.
    if (roundClosed())
        return;
    markRoundEnded();
    const RoundTicket t = currentRound();
    gameState.inputEnabled = 0;
    platform().stopTimer();
    clearBonusPanel();
    drawScorePanel();
    if (presentAndProcess(t) == RoundOutcome::Replaced)
        return;
    for (int row = layout::launcherRow; row >= 0; --row) {
        for (int c = 0; c < layout::columns; ++c)
            if (gameState.cells[c][row] != Empty)
                drawCrack(layout::cellOrigin(c, row));
        if (presentAndProcess(t) == RoundOutcome::Replaced)
            return;
        platform().pause(20);
    }
    setCopyMode(CopyMode::SrcCopy);
    // Back on the title screen meanwhile: no "OUT!", no rank entry, no OK button.
    if (roundMark() == RoundMark::Left)
        return;
    roundView().showMessage(QStringLiteral("OUT!"), red);
    // Against the tenth result of the level; a hand-edited score there that is no
    // number stops here with its conversion error.
    const int block = levelBlockStart(positionOfLevel(gameState.level));
    if (roundView().currentRanking().admits(block, gameState.score))
        roundView().offerRankEntry(defaultName);
    roundView().showOkButton();
}

bool runningRoundIsLive() {
    return insideASequence() || roundMark() != RoundMark::Running ||
           (platform().timerRunning() && gameState.inputEnabled == 1);
}

void leaveRound() {
    platform().stopTimer();
    gameState.inputEnabled = 0;
    markRoundLeft();
}
