#include "game/animation.h"

#include "platform/platform.h"
#include "screen/frame.h"

void animationStep() {
    presentFrame();
    platform().processMessages();
    platform().awaitAnimationStep();
}
