#pragma once
// The background of the play field: built into BackImage at every round start from the
// chosen sheet pattern or the user's "back.bmp", then copied into the well.

#include <QString>

// Builds BackImage for the choice (0 STONE, 1 MARINE, 2 WA, 3 RAIN, 4 "back.bmp"; any
// other value draws STONE) and copies it onto the play field of the frame. Does not
// present. Throws AppError when "back.bmp" exists but cannot be read or is not a valid
// bitmap.
void drawBackground(int choice);
