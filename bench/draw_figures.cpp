#include "bench/draw_figures.h"

#include "game/field.h"
#include "game/game_state.h"
#include "game/hud.h"
#include "platform/app_folder.h"
#include "screen/backgrounds.h"
#include "screen/fonts.h"
#include "screen/frame.h"
#include "screen/layout.h"
#include "screen/panels.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <vector>

void runDrawFigures(bench::Verdicts& v) {
    initPictures();
    copyRect(pictures.BackImage, pictures.BackImage.rect(), pictures.CharaImage,
             layout::stonePattern, CopyMode::SrcCopy);
    copyRect(pictures.TmpImage, pictures.TmpImage.rect(), pictures.CharaImage, layout::frameZone,
             CopyMode::SrcCopy);

    const size_t frameBytes = size_t(pictures.TmpImage.sizeInBytes());
    std::vector<unsigned char> a(frameBytes, 1), b(frameBytes, 2);
    const double memcpyNs = bench::medianNs(
        [&] {
            std::memcpy(b.data(), a.data(), frameBytes);
            bench::escape(b.data());
        },
        200);
    std::printf("  %-34s %10.2f us  (reference)\n", "memcpy 400x400 RGB32", memcpyNs / 1000.0);

    const double cell = 0.2;
    v.ratio("presentFrame (whole frame)",
            bench::medianNs(
                [] {
                    markFrameChanged(pictures.TmpImage.rect());
                    presentFrame();
                },
                200),
            memcpyNs, 1.5);
    v.ratio("restoreCell", bench::medianNs([] { restoreCell(3, 7); }, 2000), memcpyNs, cell);
    v.ratio("drawPiece (arrow)",
            bench::medianNs([] { drawPiece(layout::cellOrigin(2, 11), 3); }, 2000), memcpyNs, cell);
    v.ratio("drawPiece (star ball)",
            bench::medianNs([] { drawPiece(layout::cellOrigin(2, 11), 5); }, 2000), memcpyNs, cell);
    v.ratio("crack overlay", bench::medianNs([] { drawCrack(layout::cellOrigin(4, 3)); }, 2000),
            memcpyNs, cell);
    v.ratio("drawCellOpaque",
            bench::medianNs([] { drawCellOpaque(layout::cellOrigin(1, 0), 2); }, 2000), memcpyNs,
            cell);
    v.ratio("column shift by 32 (10 rows)",
            bench::medianNs([] { frameCopy(QRect(26, 8, 32, 320), QPoint(26, 40)); }, 500),
            memcpyNs, cell);
    v.ratio("fall step by 4 (10 rows)",
            bench::medianNs(
                [] {
                    frameCopy(QRect(90, 40, 32, 320), QPoint(90, 44));
                    restoreWellRect(QRect(64, 32, 32, 4));
                },
                500),
            memcpyNs, cell);
    v.ratio("gauge stretch",
            bench::medianNs(
                [] {
                    restorePanel(layout::limitPanel);
                    copyToFrame(QRect(237, 312, 120, 18), pictures.CharaImage, layout::greenStripe);
                },
                2000),
            memcpyNs, cell);
    // Panels and new rows: reported, no target.
    installFontSubstitutions();
    gameState.score = 123456789;
    gameState.vanishCount = 9999;
    gameState.phase = 999;
    gameState.bonus = 66000;
    gameState.limit = 35;
    gameState.limitElapsed = 12;
    v.ratio("SCORE panel", bench::medianNs([] { drawScorePanel(); }, 200), memcpyNs, 0);
    v.ratio("bonus box (awardBonus)",
            bench::medianNs(
                [] {
                    gameState.score = 0;
                    awardBonus();
                },
                200),
            memcpyNs, 0);
    v.ratio("VANISH panel", bench::medianNs([] { drawVanishPanel(); }, 200), memcpyNs, 0);
    v.ratio("PHASE panel", bench::medianNs([] { drawPhasePanel(); }, 200), memcpyNs, 0);
    v.ratio("LIMIT gauge", bench::medianNs([] { drawLimitGauge(); }, 2000), memcpyNs, 0);
    v.ratio("NEXT box", bench::medianNs([] { drawNextPanel(3); }, 2000), memcpyNs, 0);
    int inserted = 0;
    v.ratio("insertRow with its drawing",
            bench::medianNs(
                [&] {
                    if (inserted++ % 8 == 0) // never reach row 11
                        for (auto& column : gameState.cells)
                            std::fill(std::begin(column), std::end(column), 0);
                    insertRow();
                },
                400),
            memcpyNs, 0);
    int y = 0;
    v.ratio("travel step (erase, draw, present)",
            bench::medianNs(
                [&] {
                    y = (y + 8) % 352;
                    restoreWellRect(QRect(64, 352 - y, 32, 32));
                    drawFlyingPiece(QPoint(90, 352 - y), 5);
                    presentFrame();
                },
                200),
            memcpyNs, 2.0);
}

namespace {

// An 8-bit run-length BMP of w x h whose code ends at once (every pixel colour 0): a
// file of about 1 KB, mostly its palette, whatever the size it claims.
QByteArray emptyRleBitmap(int w, int h) {
    QByteArray b(14 + 40 + 1024 + 2, '\0');
    const auto put16 = [&](int at, quint16 v) { qToLittleEndian(v, b.data() + at); };
    const auto put32 = [&](int at, quint32 v) { qToLittleEndian(v, b.data() + at); };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, quint32(b.size()));
    put32(10, 14 + 40 + 1024);
    put32(14, 40);
    put32(18, quint32(w));
    put32(22, quint32(h));
    put16(26, 1);
    put16(28, 8);
    put32(30, 1); // BI_RLE8
    put32(34, 2);
    b[b.size() - 1] = 1; // end of bitmap
    return b;
}

} // namespace

void runBackgroundFigures(bench::Verdicts& v) {
    initPictures();
    QTemporaryDir dir;
    setDataFolder(dir.path());
    const auto background = [&](const QByteArray& bytes, int perBatch, int batches) {
        QFile file(backBitmapPath());
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return -1.0;
        file.close();
        return bench::medianNs([] { drawBackground(4); }, perBatch, batches);
    };
    const double pattern = bench::medianNs([] { drawBackground(0); }, 200);
    std::printf("  %-34s %10.2f us  (reference)\n", "drawBackground, STONE", pattern / 1000.0);
    const double small = background(emptyRleBitmap(8, 8), 20, 21);
    v.ratio("drawBackground, back.bmp 8x8", small, pattern, 0);
    // 16 Mi pixels from 1 KB: the round start after the first must cost what a small
    // picture costs.
    v.ratio("drawBackground, back.bmp 4096x4096", background(emptyRleBitmap(4096, 4096), 20, 21),
            small, 1.5);
    setDataFolder(QString());
}
