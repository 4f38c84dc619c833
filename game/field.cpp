#include "game/field.h"

#include "game/game_state.h"
#include "game/random.h"
#include "game/round.h"
#include "screen/frame.h"
#include "screen/layout.h"

#include <array>
#include <utility>

namespace {

auto& cells = gameState.cells;

bool allowed(int kind, int j) {
    switch (kind) {
    case RightArrow:
        return j != 5 && cells[j + 1][0] != LeftArrow;
    case DownArrow:
        return cells[j][1] != UpArrow;
    case LeftArrow:
        return j != 0 && cells[j - 1][0] != RightArrow;
    default:
        return false;
    }
}

// Moves column j down one row, in cells and on the frame, and empties its top cell.
void shiftColumn(int j) {
    int n = 0;
    for (int r = 0; r <= 10; ++r)
        if (cells[j][r] != Empty)
            ++n;
    for (int r = 10; r >= 0; --r)
        cells[j][r + 1] = cells[j][r];
    if (n > 0)
        frameCopy(QRect(layout::cellOrigin(j, 0), QSize(32, 32 * n)), layout::cellOrigin(j, 1));
    cells[j][0] = Empty;
}

} // namespace

bool isBoxedIn(int j) {
    return cells[j][1] == UpArrow && (j == 0 || cells[j - 1][0] == RightArrow) &&
           (j == 5 || cells[j + 1][0] == LeftArrow);
}

bool bottomRowOccupied() {
    for (int j = 0; j < layout::columns; ++j)
        if (cells[j][layout::launcherRow] != Empty)
            return true;
    return false;
}

void insertRow() {
    std::array<int, 6> order{0, 1, 2, 3, 4, 5};
    for (int i = 0; i < 30; ++i) {
        const int a = randomBelow(6);
        const int b = randomBelow(6);
        std::swap(order[size_t(a)], order[size_t(b)]);
    }
    for (int j = 0; j < layout::columns; ++j)
        shiftColumn(j);
    for (int j : order) {
        int kind = UpArrow;
        if (!isBoxedIn(j)) {
            do
                kind = randomBelow(3) + 1;
            while (!allowed(kind, j));
        }
        cells[j][0] = kind;
        drawCellOpaque(layout::cellOrigin(j, 0), kind);
    }
    gameState.blockCount += 6;
    if (bottomRowOccupied()) {
        gameState.inputEnabled = 0;
        endRound();
    }
}
