#pragma once
// The play field: new rows entering from the top, and the tests they rest on.

// Pushes every column down one row, fills the top row with six new blocks, draws the
// change into the off-screen frame (without presenting) and ends the round when a block
// has reached row 11.
void insertRow();
// True when none of the kinds 1, 2 and 3 may be placed in the column's top cell.
bool isBoxedIn(int column);
// True when any cell of row 11 holds a block.
bool bottomRowOccupied();
