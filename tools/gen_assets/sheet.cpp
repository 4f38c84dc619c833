// Puts the sheet together: the board with the four patterns in its well above the
// strip of sprites, masks, gauge stripes and the crack.

#include "art.h"

#include "screen/layout.h" // the target has no include path to the repo root

Canvas drawSheet() {
    using namespace layout;
    Canvas sheet(sheetWidth, sheetHeight, rgb(255, 255, 255));
    sheet.blit(drawBoard(), 0, 0);
    sheet.blit(drawStonePattern(), stonePattern.left(), stonePattern.top());
    sheet.blit(drawMarinePattern(), marinePattern.left(), marinePattern.top());
    sheet.blit(drawWaPattern(), waPattern.left(), waPattern.top());
    sheet.blit(drawRainPattern(), rainPattern.left(), rainPattern.top());

    for (int kind = 1; kind <= 4; ++kind)
        sheet.blit(drawArrowCell(kind), spriteOf(kind).left(), spriteOf(kind).top());
    sheet.blit(drawStarBallCell(), spriteOf(5).left(), spriteOf(5).top());
    sheet.blit(Canvas(cellSize, cellSize, rgb(0, 0, 0)), arrowMask.left(), arrowMask.top());
    sheet.blit(drawStarMaskCell(), starMask.left(), starMask.top());
    sheet.blit(drawGaugeCell(), greenStripe.left(), greenStripe.top());
    sheet.blit(drawCrackCell(false), crackSprite.left(), crackSprite.top());
    sheet.blit(drawCrackCell(true), crackMask.left(), crackMask.top());
    // The rest of the strip stays white.
    return sheet;
}
