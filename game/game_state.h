#pragma once
// The one record of the round in progress, and the two program-wide settings beside it.
// Plain global state, read and written directly by the handlers.

#include <QString>

#include <cstdint>

// Piece kinds; 0 in a cell means empty. Kinds 1..4 can stand in the field.
enum pieceKind : std::int32_t {
    Empty = 0,
    RightArrow = 1,
    DownArrow = 2,
    LeftArrow = 3,
    UpArrow = 4,
    StarBall = 5,
};

struct GameState {
    std::int32_t currentPiece;
    std::int32_t nextPiece;
    std::int32_t cells[6][12]; // cells[column][row], row 0 at the top, row 11 the launcher's
    std::int32_t launcherColumn;
    std::int32_t inputEnabled;
    std::int32_t piecesSinceStar;
    std::int32_t tickCount;
    std::int32_t limitElapsed;
    std::int32_t level; // 4 the easiest ("ちょろい") .. 0 the hardest ("きつい")
    std::int32_t limitBase;
    std::int32_t limit;
    std::int32_t blockCount;
    std::int32_t phase;
    std::int32_t rowsPerAdvance;
    std::int32_t vanishCount;
    std::int32_t score;
    std::int32_t bonus;
    std::int32_t bonusTicks;
};

// All fields 0 at program start.
extern GameState gameState;
// 0 STONE, 1 MARINE, 2 WA, 3 RAIN, 4 the user's "back.bmp".
extern std::int32_t backgroundChoice;
// The name offered at the next rank entry.
extern QString defaultName;
