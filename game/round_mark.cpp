#include "game/round_mark.h"

#include "game/round.h"

namespace {
RoundMark mark = RoundMark::None;
std::uint32_t serial = 0;
} // namespace

RoundMark roundMark() {
    return mark;
}

RoundTicket currentRound() {
    return RoundTicket{serial};
}

bool roundGoesOn(RoundTicket t) {
    return t.serial == serial && mark == RoundMark::Running;
}

bool roundReplaced(RoundTicket t) {
    return t.serial != serial;
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
