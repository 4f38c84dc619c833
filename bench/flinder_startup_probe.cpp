// Flinder's own start-up with the probe that reports the idle title screen.

#include "bench/startup_probe.h"
#include "shell/main_form.h"
#include "shell/startup.h"

int main(int argc, char** argv) {
    return runFlinder(argc, argv, [] { armStartupProbe(MainForm); });
}
