#include "game/animation.h"

#include "platform/platform.h"

RoundOutcome animationStep(RoundTicket t) {
    const RoundOutcome outcome = presentAndProcess(t);
    platform().awaitAnimationStep();
    return outcome;
}
