#pragma once
// One step of an animation that has no pause of its own (a piece in flight, falling
// blocks): show the frame, let pending messages run, then wait for the next display
// refresh so that every step reaches the screen.
void animationStep();
