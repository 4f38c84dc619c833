// Flinder started as usual, which then starts a round by itself and is left alone: the
// idle-cost benchmark measures its CPU time from outside. It reports once the round runs.

#include "game/game_state.h"
#include "platform/platform.h"
#include "shell/main_form.h"
#include "shell/startup.h"

#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    return runFlinder(argc, argv, [] {
        QTimer::singleShot(300, [] {
            MainForm->activateWindow();
            MainForm->StartButtonClick();
            // After "READY" and "G o !" the round runs: report what the harness relies on.
            std::printf("ROUND timer=%d input=%d active=%d\n", int(platform().timerRunning()),
                        int(gameState.inputEnabled), int(platform().mainWindowActive()));
            std::fflush(stdout);
        });
    });
}
