#pragma once
// The round flow: START, the 200 ms timer, "PERFECT!", the end of a round, and leaving a
// round for the title screen.

// StartButtonClick: starts a round at the level selected in the level list.
void startRound();
// The handler of the round timer.
void timerTimer();
// A shot emptied the field.
void perfectClear();
// A block reached the bottom row; the caller has already set inputEnabled to 0.
void endRound();
// The game's part of the menu command back to the title: stop the timer, keys off, and
// the round stays ended until the next START.
void leaveRound();

// True from the end of a round (endRound) or from leaving it, until the next START.
bool roundClosed();
