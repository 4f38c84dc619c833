#pragma once
// The background of the play field: built into BackImage at every round start from the
// chosen sheet pattern or the user's "back.bmp", then copied into the well.

#include <QString>

// Whether "back.bmp" exists as a file (a folder of that name does not count).
bool backBitmapExists();

// Builds BackImage for the choice (0 STONE, 1 MARINE, 2 WA, 3 RAIN, 4 "back.bmp"; any
// other value, and 4 while the file is missing, draws STONE) and copies it onto the play
// field of the frame. A 96x192 pattern is doubled pixel for pixel to 192x384; the
// user's picture is loaded into MybackImage and stretched smoothly to 196x384, its right
// 4 columns falling outside BackImage. The picture is decoded and stretched again only
// when the file changed (its size, times or inode), so that a file of a few bytes
// that unpacks to millions of pixels costs that once. Does not present. Throws AppError
// when "back.bmp" exists but cannot be read or is not a valid bitmap, at every call.
void drawBackground(int choice);
