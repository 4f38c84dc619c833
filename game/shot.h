#pragma once
// A shot: the piece's travel up its column, its landing by the table of kinds, the
// blinking of a vanishing pair, and the blocks that fall out below a vanished one.

// Where the block lies that a landed piece vanishes with.
enum class Partner { None, Left, Right, Above };

// Runs a whole shot; the fire sequence has already turned the keys off.
void fireShot();
// Resolves the fired piece at (launcherColumn, row).
void landPiece(int row);
// The vanish animation of the piece at (launcherColumn, row) and its partner; leaves
// cells unchanged.
void blinkPair(int row, Partner partner);
// Removes the blocks of column a from row b downward and lets them fall out of the
// field, with their award.
void dropDetachedBlocks(int a, int b);

// True from the fire key until the shot is resolved; no row enters meanwhile.
bool shotUnderWay();
