#include "support/fake_round_view.h"

#include "game/round.h"

FakeRoundView::FakeRoundView()
    : levelNames{QStringLiteral("ちょろい"), QStringLiteral("かるい"), QStringLiteral("ふつう"),
                 QStringLiteral("むずい"), QStringLiteral("きつい")} {}

void FakeRoundView::hideTitleScreen() {
    titleVisible = false;
    ++titleHidings;
    returnMenuEnabled = true;
}

void FakeRoundView::showMessage(const QString& text, QColor colour) {
    if (titleVisible)
        violations << QStringLiteral("message \"%1\" over the title screen").arg(text);
    messageVisible = true;
    messageText = text;
    messageColour = colour;
    messages.append({text, colour});
}

void FakeRoundView::offerRankEntry(const QString& name) {
    if (titleVisible)
        violations << QStringLiteral("rank entry over the title screen");
    rankEntryVisible = true;
    offeredNames << name;
}

void FakeRoundView::showOkButton() {
    if (titleVisible)
        violations << QStringLiteral("okButton over the title screen");
    okVisible = true;
    ++okShowings;
}

void FakeRoundView::returnToTitle() {
    okVisible = false;
    messageVisible = false;
    mainImageVisible = false;
    titleVisible = true;
    returnMenuEnabled = false;
}

bool FakeRoundView::menuReturnToTitle() {
    if (!returnMenuEnabled)
        return false;
    leaveRound();
    rankEntryVisible = false;
    returnToTitle();
    return true;
}

bool FakeRoundView::clickStart() {
    if (!titleVisible)
        return false;
    startRound();
    return true;
}

bool FakeRoundView::clickOk() {
    if (!okVisible)
        return false;
    rankEntryVisible = false;
    returnToTitle();
    return true;
}
