#pragma once
// The round flow: START, the 200 ms timer, "PERFECT!", the end of a round, and leaving a
// round for the title screen.
//
// The keys are turned off (inputEnabled 0) by the fire key for the length of its shot,
// by insertRow's bottom-row test and by endRound itself (so every end leaves them off,
// whoever called it), and by leaveRound; START clears them until "G o !" is over. They
// come on only at the end of the start sequence and after a shot that leaves the round
// running.

// StartButtonClick: starts a round at the level selected in the level list.
void startRound();
// The handler of the round timer.
void timerTimer();
// The row advance of a limit that ran out while a piece was in flight, run by the fire
// sequence once the shot is resolved; nothing when no advance is held.
void runHeldAdvance();
// A shot emptied the field.
void perfectClear();
// A block reached the bottom row: the crack, "OUT!", the rank test and OK. Final: it
// stops the timer and turns the keys off, and a second call does nothing.
void endRound();
// The game's part of the menu command back to the title: stop the timer, keys off, and
// the round stays ended until the next START.
void leaveRound();

// True from the end of a round (endRound) or from leaving it, until the next START.
bool roundClosed();
// The invariant of a running round: between operations (no sequence on the stack) its
// timer runs and its keys are on. Asserted in debug builds where the key and tick
// handlers are entered.
bool runningRoundIsLive();
