#include "screen/panels.h"

#include "screen/fonts.h"
#include "screen/frame.h"
#include "screen/layout.h"

namespace {

const QColor cyan(0, 255, 255);
const QColor magenta(255, 0, 255);

// Resolved once: the panels are redrawn at every award and tick.
const QFont& centuryLarge() {
    static const QFont font = gameFont(centuryFamily, pointsToPixels(18));
    return font;
}
const QFont& centurySmall() {
    static const QFont font = gameFont(centuryFamily, pointsToPixels(11));
    return font;
}
const QFont& gothicLarge() {
    static const QFont font = gameFont(gothicFamily, pointsToPixels(18));
    return font;
}

void drawNumberPanel(const QRect& panel, QPoint anchor, const QString& text) {
    restorePanel(panel);
    drawTextRightAligned(text, centuryLarge(), cyan, anchor, panel);
}

} // namespace

void drawNumberPanel(NumberPanel panel, const QString& text) {
    switch (panel) {
    case NumberPanel::Score:
        drawNumberPanel(layout::scorePanel, layout::scoreAnchor, text);
        break;
    case NumberPanel::Vanish:
        drawNumberPanel(layout::vanishPanel, layout::vanishAnchor, text);
        break;
    case NumberPanel::Phase:
        drawNumberPanel(layout::phasePanel, layout::phaseAnchor, text);
        break;
    }
}

void clearBonusPanel() {
    restorePanel(layout::bonusPanel);
}

void drawBonusText(const QString& text) {
    clearBonusPanel();
    drawTextRightAligned(text, centurySmall(), magenta, layout::bonusAnchor, layout::bonusPanel);
}

void drawLevelPanel(const QString& name) {
    drawTextRightAligned(name, gothicLarge(), cyan, layout::levelAnchor, layout::levelInterior);
}

int limitGaugeRight(int limit, int limitElapsed, int tickCount) {
    const double elapsedTicks = double(limitElapsed) * ticksPerSecond + tickCount;
    const double totalTicks = double(limit) * ticksPerSecond;
    // The bar shrinks by the panel's width over the limit from one pixel more, so at the
    // tick of expiry one pixel of it is left (which the row advance then empties).
    const int width = layout::limitPanel.width();
    const int lastPixel = 1;
    return layout::limitPanel.left() +
           int(double(width + lastPixel) - double(width) * elapsedTicks / totalTicks);
}

void drawLimitBar(int limit, int limitElapsed, int tickCount) {
    restorePanel(layout::limitPanel);
    const int remaining = limit - limitElapsed;
    const QRect stripe = remaining < 3   ? layout::redStripe
                         : remaining < 6 ? layout::yellowStripe
                                         : layout::greenStripe;
    const int right = limitGaugeRight(limit, limitElapsed, tickCount);
    copyToFrame(layout::limitBar(right), pictures.CharaImage, stripe);
}

void fillLimitGauge() {
    copyToFrame(layout::limitPanel, pictures.CharaImage, layout::greenStripe);
}

void clearLimitGauge() {
    restorePanel(layout::limitPanel);
}

void drawNextPanel(int kind) {
    drawCellOpaque(layout::nextBox.topLeft(), kind);
}
