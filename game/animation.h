#pragma once
// One step of an animation that has no pause of its own (a piece in flight, falling
// blocks): show the frame, let pending messages run, then wait out the step's fixed
// time (Platform::animationStep), so the speed is the same on every display.
void animationStep();
