#pragma once
#include "bench/harness.h"

// Times every drawing operation of a round against memcpy of a frame.
void runDrawFigures(bench::Verdicts& verdicts);
// Times the round start's background: a pattern, and the user's picture, small and
// large, as every round start after the first draws it.
void runBackgroundFigures(bench::Verdicts& verdicts);
