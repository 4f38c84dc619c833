#pragma once
// The player's keys, the launcher and the dealing of pieces.

#include <cstdint>

// Virtual-key codes of the three game keys.
constexpr std::uint16_t keyLeft = 0x25;
constexpr std::uint16_t keyRight = 0x27;
constexpr std::uint16_t keyFire = 0x5A; // Z

// The main window's key-down event; modifiers make no difference.
void FormKeyDown(std::uint16_t key);
// Draws currentPiece in the launcher's column at the given row, through its mask.
void drawLauncherPiece(int row);
// Moves nextPiece into the launcher, chooses the next one, draws both, presents.
void dealPiece();
