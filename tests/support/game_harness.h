#pragma once
// What the game tests share: a sprite sheet in distinct known colours, a fixture that
// wires the game to a virtual platform and a recording main window, and checks of the
// field against the frame.

#include "platform/virtual_platform.h"
#include "support/fake_round_view.h"

#include <QImage>
#include <QStringList>

#include <cstdint>

// A 400x432 sheet whose background patterns, sprites and masks differ pixel by pixel,
// with black panel interiors and the gauge stripes shaded as the real sheet's.
QImage testSheet();

class GameHarness {
public:
    explicit GameHarness(const QImage& sheet = testSheet());
    ~GameHarness();
    GameHarness(const GameHarness&) = delete;
    GameHarness& operator=(const GameHarness&) = delete;

    // Clicks START at this level (4 the easiest .. 0); returns at the end of the start
    // sequence, the round running, at virtual time now + 1600 ms. Events that came due
    // during its last pause still wait.
    void start(int level);
    // Replaces the field: rows from the top, '.' empty, '1'..'4' a kind, six characters
    // each; missing rows are empty. Sets blockCount, redraws the well and the launcher,
    // presents.
    void setField(const QStringList& rows);
    // Dispatches a key now, through the platform (as the message loop would).
    void press(std::uint16_t key);
    // Dispatches a key at virtual time atMs.
    void keyAt(std::int64_t atMs, std::uint16_t key);

    VirtualPlatform vp;
    FakeRoundView view;
    QStringList errors; // texts shown by the exception display
};

// The field as text, one row a line (for failure messages).
QString fieldText();
int occupiedCells();
// A column whose blocks do not form one run from row 0, described; empty when none.
QString columnRunViolation();
// A right arrow directly left of a left arrow, or a down arrow directly above an up
// arrow, anywhere in the field.
bool hasFacingPair();

// The cell (c, r) of a picture of the game screen.
QImage screenCell(const QImage& screen, int c, int r);
// What a cell must show: the block's sprite, the background, or a piece drawn through
// its mask over the background.
QImage blockCellImage(int kind);
QImage backgroundCellImage(int c, int r);
QImage pieceOverBackground(int c, int r, int kind);
// The first cell of the frame that does not show what cells holds (and the launcher's
// piece in row 11 when withLauncher); empty when all agree.
QString fieldFrameMismatch(const QImage& frame, bool withLauncher = true);
