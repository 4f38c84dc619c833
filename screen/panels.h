#pragma once
// The heads-up panels beside the play field: SCORE, the "+N" bonus box, VANISH, PHASE,
// LEVEL, the LIMIT gauge and NEXT. Each draws into the off-screen frame from the values
// of gameState; none presents. awardBonus is the one place where the score grows.

#include <QString>

// "," between groups of three digits counted from the right: "1200" -> "1,200".
QString formatThousands(const QString& digits);

void drawScorePanel();
void drawVanishPanel();
void drawPhasePanel();
// Empties the bonus box.
void clearBonusPanel();
// Adds gameState.bonus to the score (capped at 999999999) and shows "+N" for 8 ticks.
// SCORE is redrawn first, so it lags one award behind.
void awardBonus();
// Run by each tick: counts the "+N" display down and, at its end, clears it and shows
// the score with the award included.
void bonusCountdownStep();
// The level's name, at the start of a round over the freshly copied frame zone.
void drawLevelPanel(const QString& name);

// The right edge (exclusive) of the LIMIT bar for these counters.
int limitGaugeRight(int limit, int limitElapsed, int tickCount);
// Empties the LIMIT panel and draws the bar: colour by the seconds left, length by the
// ticks elapsed.
void drawLimitGauge();
// The full green bar of a round's start.
void fillLimitGauge();
// The empty LIMIT panel after a row advance.
void clearLimitGauge();

// The sprite of kind k copied into the NEXT box.
void drawNextPanel(int kind);
