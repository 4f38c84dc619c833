#pragma once
// The round flow: START, the 200 ms timer, "PERFECT!", the end of a round, and leaving a
// round for the title screen.

// StartButtonClick: starts a round at the level selected in the level list.
void startRound();
// The handler of the round timer.
void timerTimer();
// The row advance of a limit that ran out while a piece was in flight, run by the fire
// sequence once the shot is resolved; nothing when no advance is held.
void runHeldAdvance();
// A shot emptied the field.
void perfectClear();
// A block reached the bottom row; the caller has already set inputEnabled to 0.
void endRound();
// The game's part of the menu command back to the title: stop the timer, keys off, and
// the round stays ended until the next START.
void leaveRound();

// True from the end of a round (endRound) or from leaving it, until the next START.
bool roundClosed();
