#include "support/game_harness.h"

#include "game/controls.h"
#include "game/game_state.h"
#include "game/round.h"
#include "platform/exception_display.h"
#include "screen/frame.h"
#include "screen/layout.h"

#include <cstring>

namespace {

const int gaugeShades[18] = {10,  39,  77,  117, 157, 193, 221, 239, 250,
                             253, 248, 235, 214, 184, 148, 107, 67,  27};

void fill(QImage& img, const QRect& r, QRgb colour) {
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            img.setPixel(x, y, colour);
}

bool inDisc(int x, int y) {
    return (x - 16) * (x - 16) + (y - 16) * (y - 16) <= 13 * 13;
}
bool onCrack(int x, int y) {
    return x == y || x == 31 - y || y == 16;
}

} // namespace

QImage testSheet() {
    QImage s(layout::sheetWidth, layout::sheetHeight, QImage::Format_RGB32);
    s.fill(qRgb(255, 255, 255));
    fill(s, layout::frameZone, qRgb(90, 60, 30)); // the board
    for (QRect panel :
         {layout::scorePanel, layout::bonusPanel, layout::vanishInterior, layout::phasePanel,
          layout::levelInterior, layout::limitPanel, layout::nextBox})
        fill(s, panel, qRgb(0, 0, 0));
    // Four patterns, each pixel its own colour, the blue telling the pattern apart.
    const QRect patterns[4] = {layout::stonePattern, layout::marinePattern, layout::waPattern,
                               layout::rainPattern};
    for (int p = 0; p < 4; ++p)
        for (int y = 0; y < 192; ++y)
            for (int x = 0; x < 96; ++x)
                s.setPixel(patterns[p].left() + x, patterns[p].top() + y,
                           qRgb(x * 2, y, 16 + 64 * p));
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            for (int k = 1; k <= 4; ++k)
                s.setPixel(32 * (k - 1) + x, 400 + y, qRgb(40 * k + x, 128 + y, 255 - 30 * k));
            s.setPixel(128 + x, 400 + y, inDisc(x, y) ? qRgb(255, 128 + x, y) : qRgb(0, 0, 0));
            s.setPixel(160 + x, 400 + y, qRgb(0, 0, 0));
            s.setPixel(192 + x, 400 + y, inDisc(x, y) ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
            s.setPixel(256 + x, 400 + y, onCrack(x, y) ? qRgb(1, 0, 0) : qRgb(0, 0, 0));
            s.setPixel(288 + x, 400 + y, onCrack(x, y) ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        }
    }
    for (int y = 0; y < 18; ++y) {
        const int v = gaugeShades[y];
        for (int x = 0; x < 8; ++x) {
            s.setPixel(224 + x, 400 + y, qRgb(v, 255, v));
            s.setPixel(232 + x, 400 + y, qRgb(255, 255, v));
            s.setPixel(240 + x, 400 + y, qRgb(255, v, v));
        }
    }
    return s;
}

GameHarness::GameHarness(const QImage& sheet) {
    initPictures(sheet);
    gameState = GameState{};
    backgroundChoice = 0;
    defaultName = QStringLiteral("PLAYER");
    setPlatform(&vp);
    setRoundView(&view);
    vp.setTimerHandler(timerTimer);
    setExceptionShower([this](const QString& text) { errors << text; });
}

GameHarness::~GameHarness() {
    setExceptionShower(nullptr);
    setRoundView(nullptr);
    setPlatform(nullptr);
}

void GameHarness::start(int level) {
    view.position = positionOfLevel(level);
    view.clickStart();
}

void GameHarness::setField(const QStringList& rows) {
    int count = 0;
    for (int r = 0; r < layout::rows; ++r) {
        for (int c = 0; c < layout::columns; ++c) {
            const QString row = rows.value(r);
            const int kind = c < row.size() && row[c] != QLatin1Char('.') ? row[c].digitValue() : 0;
            gameState.cells[c][r] = kind;
            restoreCell(c, r);
            if (kind != 0) {
                drawCellOpaque(layout::cellOrigin(c, r), kind);
                ++count;
            }
        }
    }
    gameState.blockCount = count;
    if (gameState.currentPiece != 0)
        drawLauncherPiece(layout::launcherRow);
    presentFrame();
}

void GameHarness::press(std::uint16_t key) {
    keyAt(vp.nowMs(), key);
    vp.processMessages();
}

void GameHarness::keyAt(std::int64_t atMs, std::uint16_t key) {
    vp.schedule(atMs, [key] { FormKeyDown(key); });
}

QString fieldText() {
    QString text;
    for (int r = 0; r < layout::rows; ++r) {
        for (int c = 0; c < layout::columns; ++c)
            text += gameState.cells[c][r] ? QString::number(gameState.cells[c][r])
                                          : QStringLiteral(".");
        text += QLatin1Char('\n');
    }
    return text;
}

int occupiedCells() {
    int n = 0;
    for (auto& column : gameState.cells)
        for (int v : column)
            n += v != 0;
    return n;
}

QString columnRunViolation() {
    for (int c = 0; c < layout::columns; ++c) {
        bool ended = false;
        for (int r = 0; r < layout::rows; ++r) {
            if (gameState.cells[c][r] == 0)
                ended = true;
            else if (ended)
                return QStringLiteral("column %1 has a gap above row %2").arg(c).arg(r);
        }
    }
    return {};
}

bool hasFacingPair() {
    const auto& cells = gameState.cells;
    for (int c = 0; c < layout::columns; ++c)
        for (int r = 0; r < layout::rows; ++r) {
            if (c < 5 && cells[c][r] == 1 && cells[c + 1][r] == 3)
                return true;
            if (r < 11 && cells[c][r] == 2 && cells[c][r + 1] == 4)
                return true;
        }
    return false;
}

QImage screenCell(const QImage& screen, int c, int r) {
    return screen.copy(layout::cellRect(c, r));
}

QImage blockCellImage(int kind) {
    return pictures.CharaImage.copy(layout::spriteOf(kind));
}

QImage backgroundCellImage(int c, int r) {
    return pictures.BackImage.copy(layout::backCellRect(c, r));
}

QImage pieceOverBackground(int c, int r, int kind) {
    QImage img = backgroundCellImage(c, r);
    const QImage mask = pictures.CharaImage.copy(layout::maskOf(kind));
    const QImage sprite = blockCellImage(kind);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            img.setPixel(x, y, ((img.pixel(x, y) & mask.pixel(x, y)) | sprite.pixel(x, y)));
    return img;
}

namespace {

// Compares the 32x32 square of a at (ax, ay) with that of b at (bx, by), row by row.
bool sameSquare(const QImage& a, int ax, int ay, const QImage& b, int bx, int by) {
    for (int y = 0; y < 32; ++y)
        if (std::memcmp(a.constScanLine(ay + y) + 4 * ax, b.constScanLine(by + y) + 4 * bx, 128))
            return false;
    return true;
}

// Whether the square of the frame at (fx, fy) shows piece kind k drawn through its mask
// over the background square at (bx, by) of BackImage.
bool showsPieceOverBackground(const QImage& frame, int fx, int fy, int bx, int by, int kind) {
    const QRect mask = layout::maskOf(kind), sprite = layout::spriteOf(kind);
    const QImage& sheet = pictures.CharaImage;
    for (int y = 0; y < 32; ++y) {
        const auto* f = reinterpret_cast<const QRgb*>(frame.constScanLine(fy + y)) + fx;
        const auto* b =
            reinterpret_cast<const QRgb*>(pictures.BackImage.constScanLine(by + y)) + bx;
        const auto* m = reinterpret_cast<const QRgb*>(sheet.constScanLine(mask.y() + y)) + mask.x();
        const auto* s =
            reinterpret_cast<const QRgb*>(sheet.constScanLine(sprite.y() + y)) + sprite.x();
        for (int x = 0; x < 32; ++x)
            if (f[x] != ((b[x] & m[x]) | s[x]))
                return false;
    }
    return true;
}

} // namespace

QString fieldFrameMismatch(const QImage& frame, bool withLauncher) {
    for (int r = 0; r < layout::rows; ++r) {
        for (int c = 0; c < layout::columns; ++c) {
            const QPoint at = layout::cellOrigin(c, r);
            const int kind = gameState.cells[c][r];
            bool same;
            const char* what = "background";
            if (kind != 0) {
                const QRect sprite = layout::spriteOf(kind);
                same =
                    sameSquare(frame, at.x(), at.y(), pictures.CharaImage, sprite.x(), sprite.y());
                what = "block";
            } else if (withLauncher && r == layout::launcherRow && c == gameState.launcherColumn) {
                same = showsPieceOverBackground(frame, at.x(), at.y(), 32 * c, 32 * r,
                                                gameState.currentPiece);
                what = "launcher piece";
            } else {
                same = sameSquare(frame, at.x(), at.y(), pictures.BackImage, 32 * c, 32 * r);
            }
            if (!same)
                return QStringLiteral("cell (%1, %2) does not show its %3 (kind %4)\n%5")
                    .arg(c)
                    .arg(r)
                    .arg(QLatin1String(what))
                    .arg(kind)
                    .arg(fieldText());
        }
    }
    return {};
}
