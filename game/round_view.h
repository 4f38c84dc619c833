#pragma once
// What a round needs of the main window's components (the title screen's level list,
// the message label, the menus, the rank-entry controls) and of its ranking.
// The main window implements it; tests use a recording double. The game reaches the
// window only through this and the Platform.

#include "store/ranking.h"

#include <QColor>
#include <QString>

class RoundView {
public:
    virtual ~RoundView() = default;

    // levelCombo: the selected position (0 "ちょろい" .. 4 "きつい") and an item's text.
    virtual int selectedLevelPosition() const = 0;
    virtual QString levelItemText(int position) const = 0;

    // At START, in this order: hide StartButton, levelCombo, TitleImage and SelectGroup,
    // enable ReturnManu and disable BackMenu; close the main window's input method so
    // the game keys reach it as they are; show MainImage.
    virtual void hideTitleScreen() = 0;
    virtual void closeInputMethod() = 0;
    virtual void showMainImage() = 0;

    // MessageLabel: show with this text and colour; hide.
    virtual void showMessage(const QString& text, QColor colour) = 0;
    virtual void hideMessage() = 0;

    // The ranking as the window holds it now.
    virtual const Ranking& currentRanking() const = 0;
    // End of a round with a qualifying score: show RankLabel and InputLabel, put name into
    // NameEdit, show it and give it the keyboard focus.
    virtual void offerRankEntry(const QString& name) = 0;
    // End of a round: show okButton.
    virtual void showOkButton() = 0;
};

RoundView& roundView();
void setRoundView(RoundView* view);
