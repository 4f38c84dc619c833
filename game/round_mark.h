#pragma once
// The mark of the round in progress, and the one checkpoint of the blocking sequences.
// The sequences let the message loop run in their middle, so a round can end, be left
// for the title screen, or even be replaced by a new START while a sequence of it is
// still on the stack. Each sequence takes a ticket when it begins and, after every
// present and message processing, learns from the checkpoint what became of its round.

#include <cstdint>

enum class RoundMark {
    None,    // no round has been started yet
    Running, // from START until the end or the return to the title
    Ended,   // endRound has begun: final until the next START
    Left,    // the menu command went back to the title: final until the next START
};

struct RoundTicket {
    std::uint32_t serial;
};

// What became of a ticket's round.
enum class RoundOutcome {
    GoOn,     // it is the current round and it still runs
    Closed,   // it has ended (endRound has begun) or was left for the title screen
    Replaced, // a later START has begun another round
};

RoundMark roundMark();
// The round in progress now.
RoundTicket currentRound();
// Asked without processing messages: after a nested sequence has returned, say.
RoundOutcome roundOutcome(RoundTicket t);

// The checkpoint: presents the frame, lets pending messages run (their handlers nest
// here) and tells what became of t's round meanwhile. What each sequence does then:
//
//   sequence                  on Closed                          on Replaced
//   start ("READY", "G o !")  stops: no message, keys, timer     stops
//   tick and its row advance  no further row; the limit is reset stops at once
//                             and the "+N" counted down as usual
//   shot travel, blink, fall  draw on to their end               stop at once
//   landing                   the timer stays stopped            stops at once
//   fire sequence after it    no end, no new piece, keys stay    (the same)
//                             off
//   "PERFECT!"                stops: no pause, no new row        stops
//   endRound's crack          cracks on; no "OUT!" when left     stops at once
//
// A replaced sequence stops touching the field, the frame and the state at once: they
// belong to the new round.
RoundOutcome presentAndProcess(RoundTicket t);
// True while a handler runs nested inside a checkpoint, that is, while some operation
// of the game (a start, a tick, a shot, an end) is under way below it on the stack.
bool insideASequence();

// START: a new round, running.
void beginRound();
void markRoundEnded();
void markRoundLeft();
