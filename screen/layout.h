#pragma once
// Where everything lies: the sprite sheet's zones and cells, the play field, the panels.
// Rectangles are (left, top)-(right, bottom) with right and bottom exclusive; QRect is
// built from that with rect().

#include <QPoint>
#include <QRect>

namespace layout {

constexpr QRect rect(int left, int top, int right, int bottom) {
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// Pictures.
constexpr int screenWidth = 400, screenHeight = 400;
constexpr int sheetWidth = 400, sheetHeight = 432;
constexpr int backWidth = 192, backHeight = 384;
constexpr QRect frameZone = rect(0, 0, 400, 400);

// Play field: 6 columns x 12 rows of 32x32 cells, row 11 the launcher's row.
constexpr int columns = 6, rows = 12, cellSize = 32;
constexpr int launcherRow = 11;
constexpr int fieldLeft = 26, fieldTop = 8;
constexpr QRect well = rect(26, 8, 218, 392);
constexpr QPoint cellOrigin(int c, int r) {
    return QPoint(fieldLeft + 32 * c, fieldTop + 32 * r);
}
constexpr QRect cellRect(int c, int r) {
    return QRect(cellOrigin(c, r), QPoint(57 + 32 * c, 39 + 32 * r));
}
// The same cell in the background picture.
constexpr QRect backCellRect(int c, int r) {
    return QRect(32 * c, 32 * r, 32, 32);
}

// Cell strip of the sheet: cell n at (32n, 400).
constexpr QRect stripCell(int n) {
    return QRect(32 * n, 400, 32, 32);
}
constexpr QRect spriteOf(int kind) {
    return stripCell(kind - 1);
} // kinds 1..5
constexpr QRect arrowMask = stripCell(5);
constexpr QRect starMask = stripCell(6);
constexpr QRect maskOf(int kind) {
    return kind == 5 ? starMask : arrowMask;
}
constexpr QRect crackSprite = stripCell(8);
constexpr QRect crackMask = stripCell(9);
constexpr QRect greenStripe = rect(224, 400, 232, 418);
constexpr QRect yellowStripe = rect(232, 400, 240, 418);
constexpr QRect redStripe = rect(240, 400, 248, 418);

// Background patterns in the sheet (96x192 each).
constexpr QRect stonePattern = rect(26, 8, 122, 200);
constexpr QRect marinePattern = rect(122, 8, 218, 200);
constexpr QRect waPattern = rect(26, 200, 122, 392);
constexpr QRect rainPattern = rect(122, 200, 218, 392);

// Panels: interiors as restored from the sheet, and text anchors (right, bottom).
constexpr QRect scorePanel = rect(237, 45, 383, 71);
constexpr QPoint scoreAnchor(381, 70);
constexpr QRect bonusPanel = rect(314, 75, 383, 93);
constexpr QPoint bonusAnchor(381, 92);
constexpr QRect vanishPanel = rect(237, 120, 306, 146);
constexpr QPoint vanishAnchor(304, 145);
constexpr QRect phasePanel = rect(335, 120, 383, 146);
constexpr QPoint phaseAnchor(381, 145);
constexpr QRect levelInterior = rect(275, 173, 383, 199);
constexpr QPoint levelAnchor(379, 198);
constexpr QRect limitPanel = rect(237, 312, 383, 330); // 146x18
// The LIMIT gauge's bar from the panel's left edge to right (exclusive), its full height.
constexpr QRect limitBar(int right) {
    return rect(limitPanel.left(), limitPanel.top(), right, limitPanel.bottom() + 1);
}
constexpr QRect nextBox = rect(236, 360, 268, 392);

// Tab texts ("SCORE", ...) and exact interiors as drawn in the sheet.
constexpr QRect scoreTab = rect(236, 30, 274, 38);
constexpr QRect vanishTab = rect(235, 105, 279, 113);
constexpr QRect phaseTab = rect(334, 105, 371, 113);
constexpr QRect levelTab = rect(274, 158, 311, 166);
constexpr QRect limitTab = rect(236, 297, 268, 305);
constexpr QRect nextTab = rect(234, 344, 266, 352);
constexpr QRect vanishInterior = rect(236, 120, 306, 146);

// Logos and icon.
constexpr int titleLogoWidth = 300, titleLogoHeight = 93;
constexpr int smallLogoWidth = 138, smallLogoHeight = 43;
constexpr int iconSize = 32;

} // namespace layout
