#include "game/round_mark.h"

#include "game/round.h"
#include "platform/platform.h"
#include "screen/frame.h"

namespace {
RoundMark mark = RoundMark::None;
std::uint32_t serial = 0;
int checkpointsOnStack = 0;
} // namespace

RoundMark roundMark() {
    return mark;
}

RoundTicket currentRound() {
    return RoundTicket{serial};
}

RoundOutcome roundOutcome(RoundTicket t) {
    if (t.serial != serial)
        return RoundOutcome::Replaced;
    return mark == RoundMark::Running ? RoundOutcome::GoOn : RoundOutcome::Closed;
}

RoundOutcome presentAndProcess(RoundTicket t) {
    presentFrame();
    ++checkpointsOnStack;
    // Counted down however processing returns.
    struct Leave {
        ~Leave() { --checkpointsOnStack; }
    } leave;
    platform().processMessages();
    return roundOutcome(t);
}

bool insideASequence() {
    return checkpointsOnStack > 0;
}

bool roundClosed() {
    return mark != RoundMark::Running;
}

void beginRound() {
    ++serial;
    mark = RoundMark::Running;
}

void markRoundEnded() {
    mark = RoundMark::Ended;
}

void markRoundLeft() {
    mark = RoundMark::Left;
}
