#pragma once
// A RoundView that records what a round does to the main window's components, and
// plays the main window's own part of START, OK and the menu command back to the title.

#include "game/round_view.h"

#include <QColor>
#include <QList>
#include <QPair>
#include <QStringList>

class FakeRoundView final : public RoundView {
public:
    FakeRoundView();

    // --- RoundView ---
    int selectedLevelPosition() const override { return position; }
    QString levelItemText(int p) const override { return levelNames.value(p); }
    void hideTitleScreen() override;
    void closeInputMethod() override { ++inputMethodClosings; }
    void showMainImage() override { mainImageVisible = true; }
    void showMessage(const QString& text, QColor colour) override;
    void hideMessage() override { messageVisible = false; }
    const Ranking& currentRanking() const override { return ranking; }
    void offerRankEntry(const QString& name) override;
    void showOkButton() override;

    // --- the main window's side ---
    // returnToTitle: hide okButton, MessageLabel and MainImage, show the title screen.
    void returnToTitle();
    // ReturnManuClick, when the menu item is enabled: leaveRound, drop a pending rank
    // entry, returnToTitle. Returns whether it acted.
    bool menuReturnToTitle();
    // StartButtonClick when the button is visible. Returns whether it acted.
    bool clickStart();
    // okButtonClick (without storing) when the button is visible.
    bool clickOk();

    // --- scripted ---
    int position = 2;
    QStringList levelNames;
    Ranking ranking = Ranking::empty();

    // --- observed ---
    bool titleVisible = true;
    int titleHidings = 0; // rounds the game started
    bool returnMenuEnabled = false;
    bool mainImageVisible = false;
    bool messageVisible = false;
    QString messageText;
    QColor messageColour;
    QList<QPair<QString, QColor>> messages; // every showMessage, in order
    bool okVisible = false;
    bool rankEntryVisible = false;
    QStringList offeredNames;
    int inputMethodClosings = 0;
    int okShowings = 0;
    // Things that must never happen: a message or okButton over the title screen.
    QStringList violations;
};
