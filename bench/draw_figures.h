#pragma once
#include "bench/harness.h"

// Times every drawing operation of a round against memcpy of a frame.
void runDrawFigures(bench::Verdicts& verdicts);
