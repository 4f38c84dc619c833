#include "game/animation.h"

#include "screen/frame.h"
#include "shell/platform.h"

void animationStep() {
    presentFrame();
    platform().processMessages();
    platform().awaitAnimationStep();
}
