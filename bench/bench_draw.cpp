// Drawing against the physical limit: each operation of the off-screen frame timed as a
// ratio to memcpy of one whole 400x400 frame (640 KB) measured in the same run.

#include "bench/draw_figures.h"
#include "bench/harness.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    bench::Verdicts verdicts;
    std::printf("Drawing (median per call; ratio to memcpy of one 640 KB frame)\n");
    runDrawFigures(verdicts);
    std::printf("Round start's background (median per call)\n");
    runBackgroundFigures(verdicts);
    std::printf("%s\n", verdicts.failures ? "DRAWING: FAIL" : "DRAWING: PASS");
    return verdicts.failures ? 1 : 0;
}
