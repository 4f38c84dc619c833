// Frame to screen: one present plus the message processing that paints it into the
// window, on a real X server, against a bare Qt widget in the same process that paints a
// 400x400 QImage the same way.

#include "bench/harness.h"
#include "game/controls.h"
#include "game/round.h"
#include "game/round_view.h"
#include "platform/app_folder.h"
#include "platform/application.h"
#include "platform/qt_platform.h"
#include "screen/fonts.h"
#include "screen/frame.h"
#include "screen/layout.h"
#include "shell/main_form.h"
#include "support/game_harness.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <random>

namespace {

// The bare reference: a widget that paints one picture.
class BareView : public QWidget {
public:
    QImage picture{400, 400, QImage::Format_RGB32};
    BareView() {
        setFixedSize(400, 400);
        setAttribute(Qt::WA_OpaquePaintEvent);
        picture.fill(Qt::black);
    }
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, picture);
    }
};

constexpr int block = 250;

// Nanoseconds per frame over one block of frames: the whole frame changed (as at a
// round start), or one cell (as in most steps of an animation).
double gameBlock(QtPlatform& platform, bool wholeFrame = true) {
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < block; ++i) {
        drawPiece(layout::cellOrigin(i % 6, 11), 1 + i % 5);
        if (wholeFrame)
            markFrameChanged(pictures.TmpImage.rect());
        presentFrame();
        platform.processMessages();
    }
    return double(clock.nsecsElapsed()) / block;
}

double bareBlock(BareView& bare) {
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < block; ++i) {
        bare.picture.setPixel(i % 400, 200, 0xFF000000u | quint32(i));
        bare.update();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return double(clock.nsecsElapsed()) / block;
}

// The changed rectangle of every present of real rounds, played in virtual time at
// "ふつう" by random keys until "OUT!".
void recordRound(std::vector<QRect>& presents, unsigned seed) {
    GameHarness h(loadSheet());
    setPresentHook([&] { presents.push_back(presentedRect()); });
    std::mt19937 rng(seed);
    h.start(2);
    for (int t = 0; t < 600000; t += 180) {
        const int roll = int(rng() % 10);
        const std::uint16_t key = roll < 4 ? keyFire : roll < 7 ? keyLeft : keyRight;
        h.keyAt(h.vp.nowMs() + t, key);
    }
    while (!roundClosed() && h.vp.nowMs() < 600000)
        h.vp.runUntil(h.vp.nowMs() + 1000);
    setPresentHook(nullptr);
}

// Nanoseconds per present over a recorded round, replayed on the real window.
double replay(QtPlatform& platform, const std::vector<QRect>& presents) {
    QElapsedTimer clock;
    clock.start();
    for (const QRect& r : presents) {
        markFrameChanged(r);
        presentFrame();
        platform.processMessages();
    }
    return double(clock.nsecsElapsed()) / double(presents.size());
}

double bareFrames(BareView& bare, int n) {
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < n; ++i) {
        bare.picture.setPixel(i % 400, 200, 0xFF000000u | quint32(i));
        bare.update();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return double(clock.nsecsElapsed()) / n;
}

} // namespace

int main(int argc, char** argv) {
    Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Flinder"));
    std::vector<QRect> round;
    for (unsigned seed = 11; round.size() < 1500; ++seed)
        recordRound(round, seed);
    QTemporaryDir folder;
    setDataFolder(folder.path());
    QtPlatform platform;
    setPlatform(&platform);
    installFontSubstitutions();
    initPictures();
    MainForm = new TMainForm;
    platform.setMainWindow(MainForm);
    MainForm->FormCreate();
    MainForm->show();
    roundView().hideTitleScreen(); // the game screen, as during a round
    roundView().showMainImage();
    BareView bare;
    bare.move(500, 0);
    bare.show();
    if (!QTest::qWaitForWindowExposed(MainForm) || !QTest::qWaitForWindowExposed(&bare)) {
        std::printf("windows not exposed\n");
        return 1;
    }
    restorePanel(layout::frameZone);

    std::vector<double> game, reference;
    gameBlock(platform); // warm up both
    bareBlock(bare);
    for (int round = 0; round < 6; ++round) { // 1500 frames each, alternated
        if (round % 2 == 0) {
            game.push_back(gameBlock(platform));
            reference.push_back(bareBlock(bare));
        } else {
            reference.push_back(bareBlock(bare));
            game.push_back(gameBlock(platform));
        }
    }
    std::vector<double> mixed, mixedReference;
    for (int i = 0; i < 4; ++i) {
        mixed.push_back(replay(platform, round));
        mixedReference.push_back(bareFrames(bare, int(round.size())));
    }
    std::sort(mixed.begin(), mixed.end());
    std::sort(mixedReference.begin(), mixedReference.end());
    const double m = (mixed[1] + mixed[2]) / 2, mr = (mixedReference[1] + mixedReference[2]) / 2;
    std::vector<double> cells;
    for (int round = 0; round < 4; ++round)
        cells.push_back(gameBlock(platform, false));
    std::sort(cells.begin(), cells.end());
    std::sort(game.begin(), game.end());
    std::sort(reference.begin(), reference.end());
    const double g = (game[2] + game[3]) / 2, r = (reference[2] + reference[3]) / 2;
    bench::Verdicts v;
    std::printf("Frame to screen (%d frames each, median of blocks; ratio to a bare widget)\n",
                block * 6);
    std::printf("  %-34s %10.2f us  (reference)\n", "bare widget: update + process", r / 1000.0);
    std::printf("  recorded rounds: %d presents, replayed 4 times\n", int(round.size()));
    v.ratio("present + process (real rounds)", m, mr, 1.2);
    v.ratio("present + process (one cell)", (cells[1] + cells[2]) / 2, r, 0);
    v.ratio("present + process (whole frame)", g, r, 0);
    v.check(
        "well under one 60 Hz refresh", std::max(g, m) < 16.667e6 / 4,
        QString("%1 ms at most per frame (target < 4.2 ms)").arg(std::max(g, m) / 1e6, 0, 'f', 3));
    std::printf("%s\n", v.failures ? "FRAME TO SCREEN: FAIL" : "FRAME TO SCREEN: PASS");
    MainForm->hide();
    delete MainForm;
    MainForm = nullptr;
    return v.failures ? 1 : 0;
}
