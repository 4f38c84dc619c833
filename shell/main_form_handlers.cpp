// The main window's handlers: the settings at creation and close, START, OK after a
// round (which saves the ranking at once), the menu commands, the background menu, and
// what a round asks of the window.

#include "shell/main_form.h"

#include "game/game_state.h"
#include "game/round.h"
#include "platform/app_folder.h"
#include "platform/desktop_open.h"
#include "platform/exception_display.h"
#include "platform/platform.h"
#include "platform/termination_signals.h"
#include "platform/window_placement.h"
#include "screen/backgrounds.h"
#include "shell/hiscore_form.h"
#include "shell/name_validator.h"
#include "shell/picture_view.h"
#include "shell/save_failure_box.h"
#include "shell/version_form.h"
#include "store/ranking.h"
#include "store/settings_file.h"
#include "store/text_columns.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QInputMethod>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>

#include <chrono>
#include <cstdio>

// --- settings ---

void TMainForm::FormCreate() {
    removeSaveLeftovers(settingsFilePath());
    const Settings s = loadSettings(settingsFilePath(), fallbackSettingsPath());
    loadedSettings = s;
    enteredEntries.clear();
    // The file keeps the frame's top edge in "xpos", its left in "ypos". The frame's
    // title bar is not known before the window is shown: the style's height stands for it.
    const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    placeWindowFrame(
        this, visibleWindowPosition(QPoint(s.left, s.top), sizeHint() + QSize(0, titleBar),
                                    titleBar + MainMenu1->sizeHint().height(), screenAreas()));
    backgroundChoice = s.back;
    ranking = s.ranking;
    defaultName = s.defaultName;
    for (int value = 0; value < 5; ++value)
        backItem(value)->setChecked(value == backgroundChoice);
}

void TMainForm::FormClose() {
    SettingsChanges changes{loadedSettings, {}, enteredEntries};
    Settings& s = changes.current;
    // Where the platform does not tell where the window is (Wayland), the stored position
    // is written back as it was.
    const bool known = windowPositionsKnown();
    s.top = known ? pos().y() : loadedSettings.top;
    s.left = known ? pos().x() : loadedSettings.left;
    s.back = backgroundChoice;
    s.ranking = ranking;
    s.defaultName = defaultName;
    saveSettings(settingsFilePath(), changes, fallbackSettingsPath());
    // Saved: a later save (a signal after the close) has nothing of this window's to add.
    loadedSettings = s;
    enteredEntries.clear();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (ending_) { // saved, or reported, by endOnSignal
        event->accept();
        return;
    }
    // The window stays open unless the settings were saved or the player gives them up.
    event->ignore();
    for (;;) {
        try {
            FormClose();
            event->accept();
            return;
        } catch (const std::exception& e) {
            const auto* failed = dynamic_cast<const SaveError*>(&e);
            const SaveFailureChoice choice =
                askAfterFailedSave(exceptionMessage(e), failed ? failed->reason() : QString());
            if (ending_ || choice == SaveFailureChoice::QuitWithoutSaving) {
                event->accept();
                return;
            }
            if (choice == SaveFailureChoice::KeepOpen)
                return;
        }
    }
}

void TMainForm::endOnSignal() {
    if (ending_)
        return;
    ending_ = true;
    try {
        FormClose();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "flinder: %s\n", exceptionMessage(e).toLocal8Bit().constData());
    }
    // Saved, or the failure reported: closing the window and the toolkit's teardown may
    // hang on a display that is gone or does not answer, and must not keep the program.
    endProcessWithin(std::chrono::milliseconds(900));
    close();
    // Leaves every loop, a message box's included; the main loop then ends the program.
    QCoreApplication::exit(0);
}

// --- title screen and game screen ---

void TMainForm::StartButtonClick() {
    startRound();
}

void TMainForm::returnToTitle() {
    okButton->hide();
    MessageLabel->hide();
    MainImage->hide();
    TitleImage->show();
    levelCombo->show();
    StartButton->show();
    SelectGroup->show();
    ReturnManu->setEnabled(false);
    setBackMenuEnabled(true);
    // Leave the keyboard on the title screen rather than on a hidden control.
    QWidget* focus = focusWidget();
    if (!focus || !focus->isVisible() || focus == this)
        StartButton->setFocus(Qt::OtherFocusReason);
}

void TMainForm::okButtonClick() {
    const bool entered = RankLabel->isVisible();
    if (entered) {
        // A hand-edited score met while placing stops here, the entry still open.
        const int b = levelBlockStart(positionOfLevel(gameState.level));
        const QString result = resultText(gameState.score, gameState.vanishCount, gameState.phase);
        ranking.enter(b, NameEdit->text(), result);
        enteredEntries.append(RankEntry{b, NameEdit->text(), result});
        defaultName = NameEdit->text();
        RankLabel->hide();
        InputLabel->hide();
        NameEdit->hide();
    }
    returnToTitle();
    if (entered)
        saveRanking();
}

void TMainForm::saveRanking() {
    // What the close would write of the ranking and the name, merged with the file in
    // the same way; the position and the background wait for the close.
    SettingsChanges changes{loadedSettings, loadedSettings, enteredEntries};
    changes.current.ranking = ranking;
    changes.current.defaultName = defaultName;
    try {
        const SavedSettings saved =
            saveSettings(settingsFilePath(), changes, fallbackSettingsPath());
        // Shown from here on: this window's blocks as they were, the others as the file
        // has them (with other windows' entries). What the file holds now is compared
        // at the next save as the file reads it back: a name typed with blanks at its
        // ends still counts as this window's and is written as typed.
        ranking = saved.written.ranking;
        loadedSettings.ranking = saved.readBack.ranking;
        loadedSettings.defaultName = saved.readBack.defaultName;
        enteredEntries.clear();
    } catch (const SaveError& e) {
        // Kept in enteredEntries: the next save, at the latest the close's, writes it.
        tellFailedEntrySave(e.message(), e.reason());
    }
}

void TMainForm::ReturnManuClick() {
    leaveRound();
    RankLabel->hide();
    InputLabel->hide();
    NameEdit->hide();
    returnToTitle();
}

void TMainForm::ExitMenuClick() {
    close();
}

void TMainForm::About1Click() {
    VersionForm->showForm();
}

void TMainForm::HiscoreMenuClick() {
    HiscoreForm->showForm();
}

void TMainForm::ContentsMenuClick() {
    // "help/help.htm" below the current directory first, else this copy's own page.
    openFileOnDesktop(helpPagePath());
}

// --- backgrounds ---

QAction* TMainForm::backItem(int value) const {
    QAction* const items[5] = {Back1Menu, Back2Menu, Back3Menu, Back4Menu, Back5Menu};
    return value >= 0 && value < 5 ? items[value] : nullptr;
}

bool TMainForm::backMenuEnabled() const {
    return BackMenu->menuAction()->isEnabled();
}

void TMainForm::setBackMenuEnabled(bool enabled) {
    BackMenu->menuAction()->setEnabled(enabled);
}

void TMainForm::selectBackground(int value) {
    backgroundChoice = value;
    for (int v = 0; v < 5; ++v)
        backItem(v)->setChecked(v == value);
}

void TMainForm::BackMenuClick() {
    if (backBitmapExists()) {
        Back5Menu->setEnabled(true);
        return;
    }
    Back5Menu->setEnabled(false);
    if (Back5Menu->isChecked())
        selectBackground(0);
}

void TMainForm::backShortcut(int index) {
    if (!backMenuEnabled())
        return;
    BackMenuClick();
    if (backItem(index)->isEnabled())
        selectBackground(index);
}

// --- what a round asks of the window ---

int TMainForm::selectedLevelPosition() const {
    return levelCombo->currentIndex();
}

QString TMainForm::levelItemText(int position) const {
    return levelCombo->itemText(position);
}

void TMainForm::hideTitleScreen() {
    // Until a round's first frame is presented the game picture is empty: should the
    // first round start fail (a broken back.bmp), its error shows over the title screen.
    if (!MainImage->everPresented())
        MainImage->showUntilPresented(client_->grab());
    StartButton->hide();
    levelCombo->hide();
    TitleImage->hide();
    SelectGroup->hide();
    ReturnManu->setEnabled(true);
    setBackMenuEnabled(false);
    // The window itself takes the keys during the round, so no control can move the
    // focus or change the level with them.
    setFocus(Qt::OtherFocusReason);
}

void TMainForm::closeInputMethod() {
    // The window has no input method of its own (WA_InputMethodEnabled is off), so with
    // the focus on it the game keys arrive as they are; drop any composition underway.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    QGuiApplication::inputMethod()->reset();
    QGuiApplication::inputMethod()->hide();
}

void TMainForm::showMainImage() {
    MainImage->show();
}

void TMainForm::showMessage(const QString& text, QColor colour) {
    QPalette palette = MessageLabel->palette();
    palette.setColor(QPalette::WindowText, colour);
    MessageLabel->setPalette(palette);
    MessageLabel->setText(text);
    MessageLabel->show();
}

void TMainForm::hideMessage() {
    MessageLabel->hide();
}

void TMainForm::offerRankEntry(const QString& name) {
    RankLabel->show();
    InputLabel->show();
    // A hand-edited name may be longer than the field takes: it is offered cut to fit.
    NameEdit->setText(leftColumns(name, NameValidator::maxColumns));
    NameEdit->show();
    NameEdit->setFocus(Qt::OtherFocusReason);
    nameGuard_.open(platform().steadyMs());
}

void TMainForm::showOkButton() {
    okButton->show();
}
