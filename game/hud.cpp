#include "game/hud.h"

#include "game/game_state.h"
#include "screen/panels.h"

#include <algorithm>
#include <cstdint>

void drawScorePanel() {
    drawNumberPanel(NumberPanel::Score, formatThousands(QString::number(gameState.score)));
}

void drawVanishPanel() {
    drawNumberPanel(NumberPanel::Vanish, formatThousands(QString::number(gameState.vanishCount)));
}

void drawPhasePanel() {
    drawNumberPanel(NumberPanel::Phase, QString::number(gameState.phase));
}

void drawLimitGauge() {
    drawLimitBar(gameState.limit, gameState.limitElapsed, gameState.tickCount);
}

void awardBonus() {
    drawScorePanel();
    const std::int64_t sum = std::int64_t(gameState.score) + gameState.bonus;
    gameState.score = std::int32_t(std::min<std::int64_t>(sum, 999999999));
    drawBonusText(QLatin1Char('+') + formatThousands(QString::number(gameState.bonus)));
    gameState.bonusTicks = 8;
}

void bonusCountdownStep() {
    if (gameState.bonusTicks <= 0)
        return;
    if (--gameState.bonusTicks == 0) {
        clearBonusPanel();
        drawScorePanel();
    }
}
