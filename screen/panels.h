#pragma once
// The heads-up panels beside the play field: SCORE, the "+N" bonus box, VANISH, PHASE,
// LEVEL, the LIMIT gauge and NEXT. Each draws the values it is given into the off-screen
// frame; none presents. The round draws them from its state through game/hud.h.

#include "screen/thousands.h"

#include <QString>

// SCORE, VANISH and PHASE: the panel restored and the text right-aligned at its anchor.
enum class NumberPanel { Score, Vanish, Phase };
void drawNumberPanel(NumberPanel panel, const QString& text);
// Empties the bonus box.
void clearBonusPanel();
// Empties the bonus box and shows text ("+N") in it.
void drawBonusText(const QString& text);
// The level's name, at the start of a round over the freshly copied frame zone.
void drawLevelPanel(const QString& name);

// The round's limit counts seconds of five 200 ms timer ticks.
constexpr int ticksPerSecond = 5;

// The right edge (exclusive) of the LIMIT bar for these counters.
int limitGaugeRight(int limit, int limitElapsed, int tickCount);
// Empties the LIMIT panel and draws the bar: colour by the seconds left, length by the
// ticks elapsed.
void drawLimitBar(int limit, int limitElapsed, int tickCount);
// The full green bar of a round's start.
void fillLimitGauge();
// The empty LIMIT panel after a row advance.
void clearLimitGauge();

// The sprite of kind k copied into the NEXT box.
void drawNextPanel(int kind);
