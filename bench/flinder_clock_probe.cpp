// Flinder started as usual, which then starts a round by itself and reports how its
// clock keeps time while keys come from outside (xdotool on the X server): every second,
// and at the first row advance, the real time since the round began, the timer's ticks
// and the time the timer spent paused for landings.
// Usage: flinder_clock_probe [level position 0..4, default 4] [seconds, default 20]
//        [stick|storm]
// With "stick" every fired piece lands as a down arrow and is taken out of the field
// again, so nothing blinks or falls and the field never fills: the clock alone. With
// "storm" the pieces land as dealt, and one that stays is taken out again, so that a
// storm of keys can go on for long without filling the field. The end of the round is
// reported too.

#include "game/game_state.h"
#include "game/round.h"
#include "platform/exception_display.h"
#include "platform/platform.h"
#include "screen/frame.h"
#include "shell/main_form.h"
#include "shell/picture_view.h"
#include "shell/startup.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The program's platform, watched: the time between a landing's pause of the timer and
// its resume is the landing's own time, which the round's clock does not count.
class WatchedPlatform final : public Platform {
public:
    enum class Mode { Plain, Stick, Storm };
    WatchedPlatform(Platform& real, Mode mode) : real_(real), mode_(mode) { clock_.start(); }

    void processMessages() override { real_.processMessages(); }
    void pause(int ms) override { real_.pause(ms); }
    void awaitAnimationStep() override { real_.awaitAnimationStep(); }
    void startTimer() override { endPause(), real_.startTimer(); }
    void stopTimer() override { endPause(), real_.stopTimer(); }
    void pauseTimer() override {
        if (real_.timerRunning()) {
            pausedAt_ = clock_.nsecsElapsed();
            ++landings;
            blocksAtLanding_ = gameState.blockCount;
            if (mode_ == Mode::Stick)
                gameState.currentPiece = DownArrow;
        }
        real_.pauseTimer();
    }
    void resumeTimer() override {
        // The piece stayed when nothing vanished.
        if (mode_ != Mode::Plain && pausedAt_ >= 0 && gameState.blockCount == blocksAtLanding_)
            takeOutLandedPiece();
        endPause();
        real_.resumeTimer();
    }
    bool timerRunning() const override { return real_.timerRunning(); }
    void setTimerHandler(std::function<void()> handler) override {
        real_.setTimerHandler(std::move(handler));
    }
    bool mainWindowActive() const override { return real_.mainWindowActive(); }
    std::int64_t currentTimeSeconds() const override { return real_.currentTimeSeconds(); }
    std::int64_t steadyMs() const override { return real_.steadyMs(); }

    double pausedMs() const { return double(pausedNs_) / 1e6; }
    int landings = 0;

private:
    void endPause() {
        if (pausedAt_ >= 0)
            pausedNs_ += clock_.nsecsElapsed() - pausedAt_;
        pausedAt_ = -1;
    }
    // The lowest block of the launcher's column is the piece that just stuck.
    void takeOutLandedPiece() {
        const int c = gameState.launcherColumn;
        for (int r = 11; r >= 0; --r) {
            if (gameState.cells[c][r] != Empty) {
                gameState.cells[c][r] = Empty;
                gameState.blockCount -= 1;
                restoreCell(c, r);
                return;
            }
        }
    }

    Platform& real_;
    Mode mode_;
    int blocksAtLanding_ = 0;
    QElapsedTimer clock_;
    qint64 pausedAt_ = -1;
    qint64 pausedNs_ = 0;
};

// Counts the key presses that reach the program's windows (each once, at its window).
class KeyCounter final : public QObject {
public:
    int presses = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && watched->isWindowType())
            ++presses;
        return false;
    }
};

struct Probe {
    WatchedPlatform* platform = nullptr;
    QElapsedTimer since; // from the end of the start sequence
    int ticks = 0;       // ticks that counted: round running, window active
    bool advanced = false;
    bool ended = false;
    KeyCounter keys;

    void report(const char* what) {
        const double real = double(since.nsecsElapsed()) / 1e6;
        const double paused = platform->pausedMs();
        std::printf("%s real=%.0f paused=%.0f counted=%.0f keys=%d landings=%d ticks=%d "
                    "phase=%d rate=%.3f\n",
                    what, real, paused, real - paused, keys.presses, platform->landings, ticks,
                    gameState.phase, real > paused ? ticks * 200.0 / (real - paused) : 0.0);
        std::fflush(stdout);
    }
};

} // namespace

int main(int argc, char** argv) {
    const int level = argc > 1 ? std::atoi(argv[1]) : 4;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 20;
    const char* mode = argc > 3 ? argv[3] : "";
    const auto watchedMode = std::strcmp(mode, "stick") == 0   ? WatchedPlatform::Mode::Stick
                             : std::strcmp(mode, "storm") == 0 ? WatchedPlatform::Mode::Storm
                                                               : WatchedPlatform::Mode::Plain;
    int qtArgc = 1;
    static Probe probe;
    return runFlinder(qtArgc, argv, [level, seconds, watchedMode] {
        qApp->installEventFilter(&probe.keys);
        static WatchedPlatform watched(platform(), watchedMode);
        probe.platform = &watched;
        setPlatform(&watched);
        watched.setTimerHandler([] {
            if (platform().mainWindowActive() && !roundClosed())
                ++probe.ticks;
            runHandler(timerTimer);
        });
        // The first row of the first advance is presented at once (by a tick, or by the
        // fire sequence when the limit ran out during a flight).
        setPresentHook([] {
            MainForm->MainImage->presented(presentedRect());
            if (!probe.advanced && gameState.phase > 1) {
                probe.advanced = true;
                probe.report("ADVANCE");
            }
            if (!probe.ended && roundClosed()) {
                probe.ended = true;
                probe.report("ENDED");
            }
        });
        QTimer::singleShot(300, [level, seconds] {
            MainForm->activateWindow();
            MainForm->levelCombo->setCurrentIndex(level);
            MainForm->StartButtonClick();
            probe.since.start();
            probe.report("ROUND");
            auto* every = new QTimer(MainForm);
            QObject::connect(every, &QTimer::timeout, [] { probe.report("AT"); });
            every->start(1000);
            QTimer::singleShot(seconds * 1000, [] {
                probe.report("END");
                MainForm->close();
            });
        });
    });
}
