#pragma once
// One step of an animation that has no pause of its own (a piece in flight, falling
// blocks): the checkpoint (show the frame, let pending messages run), then the wait for
// the rest of the step's fixed time (Platform::awaitAnimationStep), so the speed is the
// same on every display. Returns the checkpoint's outcome for t's round.

#include "game/round_mark.h"

RoundOutcome animationStep(RoundTicket t);
