#pragma once
// The panels as the round's values make them, and the score's one place of growth.

// SCORE, VANISH and PHASE from gameState.
void drawScorePanel();
void drawVanishPanel();
void drawPhasePanel();
// The LIMIT bar for gameState's limit counters.
void drawLimitGauge();
// Adds gameState.bonus to the score (capped at 999999999) and shows "+N" for 8 ticks.
// SCORE is redrawn first, so it lags one award behind.
void awardBonus();
// Run by each tick: counts the "+N" display down and, at its end, clears it and shows
// the score with the award included.
void bonusCountdownStep();
