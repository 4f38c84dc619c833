#pragma once
// The mark of the round in progress. The blocking sequences let the message loop run
// in their middle, so a round can end, be left for the title screen, or even be
// replaced by a new START while a sequence of it is still on the stack. Each sequence
// takes a ticket when it begins and consults it after every message processing.

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

RoundMark roundMark();
// The round in progress now.
RoundTicket currentRound();
// The ticket's round is still the current one and neither ended nor left.
bool roundGoesOn(RoundTicket t);
// A later START has begun another round: the ticket's sequence must stop touching the
// field, the frame and the state at once.
bool roundReplaced(RoundTicket t);

// START: a new round, running.
void beginRound();
void markRoundEnded();
void markRoundLeft();
