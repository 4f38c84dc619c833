#pragma once
// The main window: the title screen and the game screen over one 400x400 client area,
// the menu bar, the ranking and the rank-entry controls. It is the view a round works
// through (RoundView).

#include "game/round_view.h"
#include "shell/name_entry_guard.h"
#include "store/settings_file.h"

#include <QMainWindow>

#include <array>
#include <cstdint>

class PictureView;
class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QShortcut;

class TMainForm : public QMainWindow, public RoundView {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    QWidget* client() const { return client_; }

    // --- components, by the names the handlers use ---
    PictureView* MainImage = nullptr;
    QLabel* MessageLabel = nullptr;
    QLabel* TitleImage = nullptr;
    QLabel* RankLabel = nullptr;
    QLabel* InputLabel = nullptr;
    QGroupBox* SelectGroup = nullptr;
    QPushButton* StartButton = nullptr;
    QComboBox* levelCombo = nullptr;
    QPushButton* okButton = nullptr;
    QLineEdit* NameEdit = nullptr;

    QMenuBar* MainMenu1 = nullptr;
    QMenu* N1 = nullptr; // "ゲーム(&G)"
    QAction* ReturnManu = nullptr;
    QAction* ExitMenu = nullptr;
    QMenu* BackMenu = nullptr;
    QAction* Back1Menu = nullptr;
    QAction* Back2Menu = nullptr;
    QAction* Back3Menu = nullptr;
    QAction* Back4Menu = nullptr;
    QAction* Back5Menu = nullptr;
    QAction* HiscoreMenu = nullptr;
    QMenu* HelpMenu = nullptr;
    QAction* ContentsMenu = nullptr;
    QAction* About1 = nullptr;
    // Ctrl+F1 .. Ctrl+F5.
    std::array<QShortcut*, 5> backShortcuts{};

    // The ranking, RankNameList and RankNumberList: read by FormCreate, changed by OK.
    Ranking ranking;
    // The settings as FormCreate read them (the ranking and the name as last saved) and
    // the rank entries not saved yet: what a save writes over the file is what this
    // window changed.
    Settings loadedSettings;
    QList<RankEntry> enteredEntries;

    // --- handlers ---
    void FormCreate();
    void FormClose();
    void StartButtonClick();
    void okButtonClick();
    void ReturnManuClick();
    void ExitMenuClick();
    void About1Click();
    void HiscoreMenuClick();
    void ContentsMenuClick();
    void BackMenuClick();
    void Back1MenuClick() { selectBackground(0); }
    void Back2MenuClick() { selectBackground(1); }
    void Back3MenuClick() { selectBackground(2); }
    void Back4MenuClick() { selectBackground(3); }
    void Back5MenuClick() { selectBackground(4); }

    // A termination signal (logout, kill, Ctrl+C): saves if it can, reports a failure on
    // standard error, and ends the program either way, also from inside a message box;
    // from the save on the process ends within a second, whatever hangs.
    void endOnSignal();

    // Switches to the title screen.
    void returnToTitle();
    // Writes the ranking and the name now, as the close would (after OK stored an
    // entry); a failure is shown, and the entry stays for the next save.
    void saveRanking();
    // Sets backgroundChoice and puts the check mark on its item alone.
    void selectBackground(int value);
    // A Ctrl+F shortcut: as opening the menu and choosing item index (0..4).
    void backShortcut(int index);
    // The item of background value 0..4.
    QAction* backItem(int value) const;
    bool backMenuEnabled() const;

    // --- RoundView ---
    int selectedLevelPosition() const override;
    QString levelItemText(int position) const override;
    void hideTitleScreen() override;
    void closeInputMethod() override;
    void showMainImage() override;
    void showMessage(const QString& text, QColor colour) override;
    void hideMessage() override;
    const Ranking& currentRanking() const override { return ranking; }
    void offerRankEntry(const QString& name) override;
    void showOkButton() override;

    // The virtual-key code FormKeyDown takes for a Qt key; 0 for keys it never uses.
    static std::uint16_t virtualKeyOf(int qtKey);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createComponents();
    void createMenus();
    void setBackMenuEnabled(bool enabled);
    bool gameKey(QKeyEvent* event);

    QWidget* client_ = nullptr;
    NameEntryGuard nameGuard_;
    bool ending_ = false; // a termination signal is ending the program
};

extern TMainForm* MainForm;
