// The real main window and its two dialogs, driven through Qt's event system by tens of
// thousands of random user actions over many rounds: keys to whichever window is
// active, clicks where START and OK are (shown or not), menu commands, the level list
// and the menus opened and navigated, names typed, committed by an input method and
// pasted with line breaks, the focus moving between the windows and another program.
// The game runs in virtual time. After every event the game's invariants, the window's
// two faces, the ranking and the dialogs are checked; after a final close, the file.

#include "game/game_state.h"
#include "game/round.h"
#include "game/round_mark.h"
#include "game/round_view.h"
#include "platform/app_folder.h"
#include "platform/application.h"
#include "platform/platform.h"
#include "screen/frame.h"
#include "shell/hiscore_form.h"
#include "shell/main_form.h"
#include "shell/name_validator.h"
#include "shell/picture_view.h"
#include "shell/version_form.h"
#include "store/ranking.h"
#include "store/text_columns.h"
#include "support/game_harness.h"
#include "support/invariants.h"
#include "support/shell_fixture.h"

#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <chrono>
#include <cstdio>
#include <random>

namespace {

// The program's message processing in virtual time: Qt's own pending events (paint,
// activation, popups), as the program processes them, then the virtual platform's due
// events (the test's actions) and timer ticks.
class SoakPlatform final : public Platform {
public:
    explicit SoakPlatform(VirtualPlatform& vp) : vp_(vp) {}

    void processMessages() override {
        ++depth_;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents();
        vp_.processMessages();
        --depth_;
    }
    void pause(int ms) override { vp_.pause(ms); }
    void awaitAnimationStep() override { vp_.awaitAnimationStep(); }
    void startTimer() override { vp_.startTimer(); }
    void stopTimer() override { vp_.stopTimer(); }
    void pauseTimer() override { vp_.pauseTimer(); }
    void resumeTimer() override { vp_.resumeTimer(); }
    bool timerRunning() const override { return vp_.timerRunning(); }
    void setTimerHandler(std::function<void()> handler) override {
        vp_.setTimerHandler(std::move(handler));
    }
    bool mainWindowActive() const override { return MainForm && MainForm->isActiveWindow(); }
    std::int64_t currentTimeSeconds() const override { return vp_.currentTimeSeconds(); }
    std::int64_t steadyMs() const override { return vp_.steadyMs(); }

    // Game handlers on the stack that are processing messages.
    int depth() const { return depth_; }

private:
    VirtualPlatform& vp_;
    int depth_ = 0;
};

// The main window as the round sees it, counting what the round does to it.
class WatchedView final : public RoundView {
public:
    int selectedLevelPosition() const override { return MainForm->selectedLevelPosition(); }
    QString levelItemText(int position) const override { return MainForm->levelItemText(position); }
    void hideTitleScreen() override {
        // START is reachable only from the title screen.
        if (!MainForm->StartButton->isVisible() || !MainForm->TitleImage->isVisible())
            violations << QStringLiteral("a round started without the title screen");
        ++rounds;
        ++levels[MainForm->selectedLevelPosition()];
        note(QStringLiteral("START at position %1").arg(MainForm->selectedLevelPosition()));
        outs = okShowings = entries = 0;
        MainForm->hideTitleScreen();
        if (onStart)
            onStart();
    }
    void closeInputMethod() override { MainForm->closeInputMethod(); }
    void showMainImage() override { MainForm->showMainImage(); }
    void showMessage(const QString& text, QColor colour) override {
        note(QStringLiteral("message ") + text);
        outs += text == QLatin1String("OUT!");
        perfects += text == QLatin1String("PERFECT!");
        MainForm->showMessage(text, colour);
    }
    void hideMessage() override { MainForm->hideMessage(); }
    const Ranking& currentRanking() const override { return MainForm->ranking; }
    void offerRankEntry(const QString& name) override {
        ++entries;
        ++entriesOffered;
        MainForm->offerRankEntry(name);
    }
    void showOkButton() override {
        note(QStringLiteral("OK shown"));
        ++okShowings;
        ++ends;
        MainForm->showOkButton();
    }

    std::function<void()> onStart;
    std::function<void(const QString&)> note = [](const QString&) {};
    int rounds = 0;
    int levels[5] = {};
    int ends = 0;
    int perfects = 0;
    int entriesOffered = 0;
    // In the round now.
    int outs = 0;
    int okShowings = 0;
    int entries = 0;
    QStringList violations;
};

const Ranking& currentRanking() {
    return MainForm->ranking;
}

// A result text as the program writes it: three decimal numbers without sign or
// leading zeros, each within the game's bounds.
bool wellFormedResult(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral("^(0|[1-9][0-9]{0,8}):(0|[1-9][0-9]{0,3});([1-9][0-9]{0,2}|0)$"));
    return form.match(text).hasMatch();
}

bool wellFormedName(const QString& name) {
    return withoutControlCharacters(name) == name && columnWidth(name) <= NameValidator::maxColumns;
}

// Blocks of ten, each in order of falling score; every entry well formed.
QString rankingViolation(const Ranking& r) {
    const QStringList& names = r.RankNameList;
    const QStringList& numbers = r.RankNumberList;
    if (names.size() != rankEntryCount || numbers.size() != rankEntryCount)
        return QStringLiteral("ranking lists of %1 and %2 entries")
            .arg(names.size())
            .arg(numbers.size());
    for (int i = 0; i < rankEntryCount; ++i) {
        if (!wellFormedResult(numbers[i]) || !wellFormedName(names[i]))
            return QStringLiteral("entry %1 is \"%2\" \"%3\"").arg(i).arg(names[i], numbers[i]);
        if (i % entriesPerLevel != 0 &&
            scorePart(numbers[i]).toInt() > scorePart(numbers[i - 1]).toInt())
            return QStringLiteral("entry %1 scores more than the one above it").arg(i);
    }
    return {};
}

// The settings file the soak starts from: rankings partly filled, names in full-width
// characters, and lines of the player's own.
QByteArray initialSettings() {
    QString text = QStringLiteral("; mine\n[Position]\nxpos=40\nypos=60\n[Back]\nback=1\n"
                                  "[Ranking]\nmine=keep me\n");
    for (int i = 0; i < rankEntryCount; ++i) {
        const int place = i % entriesPerLevel, k = i / entriesPerLevel;
        if (place < 4) {
            text += QStringLiteral("name%1=山田%2\n").arg(i).arg(place);
            text += QStringLiteral("number%1=%2:%3;%4\n")
                        .arg(i)
                        .arg((4 - place) * 300 * (k + 1))
                        .arg(4 - place)
                        .arg(2);
        } else {
            text += QStringLiteral("name%1=(none)\nnumber%1=0:0;0\n").arg(i);
        }
    }
    text += QStringLiteral("default=花子\n[Mine]\nx=1\n");
    return text.toUtf8();
}

class WindowSoak : public QObject {
    Q_OBJECT
public:
    WindowSoak(const QString& folder, std::uint32_t seed)
        : shell(folder, testSheet()), platform(shell.vp), rng(seed) {
        setPlatform(&platform);
        setRoundView(&view);
        view.onStart = [this] { roundStarted(); };
        view.note = [this](const QString& what) { note(what); };
        shell.vp.setAfterDispatch([this] { check(); });
        // What would go to the desktop (the help page, the home page) is only counted. The
        // help page lies beside the program, as in an unpacked copy. No xdg-open on the
        // PATH: the toolkit's opening, which hands the pages to the counter, is used.
        qputenv("PATH", QFile::encodeName(noOpener.path()));
        QDir().mkpath(folder + QStringLiteral("/help"));
        writeFileBytes(folder + QStringLiteral("/help/help.htm"), "<html></html>");
        setProgramFolder(folder);
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openUrl");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl");
        otherProgram.setWindowTitle(QStringLiteral("another program"));
        otherProgram.resize(200, 100);
        otherProgram.show();
        MainForm->activateWindow();
        QCoreApplication::processEvents();

        connect(MainForm->ReturnManu, &QAction::triggered, this, [this] { ++returns; });
        ranking = currentRanking();
        const QString broken = rankingViolation(ranking);
        if (!broken.isEmpty())
            fail(QStringLiteral("the loaded ranking: ") + broken);
    }

    ~WindowSoak() override {
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        setProgramFolder(QString());
        qputenv("PATH", oldPath);
        shell.vp.setAfterDispatch(nullptr);
    }

    // Runs until `target` actions have been taken, a check fails, or no round has started
    // for stallMs of virtual time (the usual run's longest gap is under two minutes): then
    // it returns early, also from a sequence that never ends.
    void run(long target) {
        targetActions = target;
        shell.vp.scheduleIn(0, [this] { pump(); });
        try {
            while (actions < targetActions && failure.isEmpty() && !stalled())
                shell.vp.runUntil(shell.vp.nowMs() + 10000);
        } catch (const Stalled&) {
        }
    }

    QByteArray oldPath = qgetenv("PATH");
    QTemporaryDir noOpener;
    ShellFixture shell;
    SoakPlatform platform;
    WatchedView view;
    GameInvariants invariants;
    std::mt19937 rng;
    QWidget otherProgram;
    QString failure;

    long actions = 0;
    long checks = 0;
    std::int64_t lastStartMs = 0;  // virtual time of the latest round start
    std::int64_t longestGapMs = 0; // between two round starts
    int returns = 0;
    int stored = 0;           // results entered into the ranking
    int storedFullWidth = 0;  // of them, with a full-width character in the name
    int pastedLineBreaks = 0; // pastes into the name field whose text held a line break
    int popupsOpened = 0;
    int dialogShowings = 0;
    int urlsOpened = 0;
    Ranking ranking; // as last checked

public slots:
    void openUrl(const QUrl&) { ++urlsOpened; }

private:
    // Thrown past the program's handlers (not a std::exception, which they catch).
    struct Stalled {};
    static constexpr std::int64_t stallMs = 10 * 60 * 1000;
    bool stalled() const { return shell.vp.nowMs() - lastStartMs > stallMs; }

    int below(int n) { return int(rng() % std::uint32_t(n)); }

    void fail(const QString& what) {
        if (failure.isEmpty())
            failure = QStringLiteral("after %1 actions, round %2, at %3 ms: %4\n%5\n%6\n"
                                     "the last steps:\n%7")
                          .arg(actions)
                          .arg(view.rounds)
                          .arg(shell.vp.nowMs())
                          .arg(what, windowState(), fieldText(), trail.join(QLatin1Char('\n')));
    }

    // The recent steps, for a failure's report.
    void note(const QString& what) {
        trail.append(QStringLiteral("%1 ms, depth %2: %3")
                         .arg(shell.vp.nowMs())
                         .arg(shell.vp.dispatchDepth())
                         .arg(what));
        if (trail.size() > 60)
            trail.removeFirst();
    }

    static QString nameOf(const QObject* o) {
        if (!o)
            return QStringLiteral("none");
        const TMainForm* f = MainForm;
        const QList<QPair<const QObject*, const char*>> known = {
            {f, "the main window"},
            {f->StartButton, "StartButton"},
            {f->okButton, "okButton"},
            {f->levelCombo, "levelCombo"},
            {f->NameEdit, "NameEdit"},
            {f->MainImage, "MainImage"},
            {f->MainMenu1, "the menu bar"},
            {HiscoreForm, "the hiscore dialog"},
            {VersionForm, "the version dialog"}};
        for (const auto& [object, name] : known)
            if (o == object)
                return QLatin1String(name);
        return QLatin1String(o->metaObject()->className());
    }

    QString windowState() const {
        const TMainForm* f = MainForm;
        QStringList shown;
        for (const QWidget* w :
             {static_cast<const QWidget*>(f->TitleImage),
              static_cast<const QWidget*>(f->StartButton),
              static_cast<const QWidget*>(f->MainImage),
              static_cast<const QWidget*>(f->MessageLabel),
              static_cast<const QWidget*>(f->okButton), static_cast<const QWidget*>(f->NameEdit)})
            if (w->isVisible())
                shown << (w == f->TitleImage ? QStringLiteral("TitleImage")
                          : w == f->MessageLabel
                              ? QStringLiteral("MessageLabel \"%1\"").arg(f->MessageLabel->text())
                              : nameOf(w));
        return QStringLiteral("main window %1, round mark %2, timer %3, keys %4; shown: %5; "
                              "focus on %6 in %7; popup %8")
            .arg(f->isVisible() ? QStringLiteral("shown") : QStringLiteral("hidden"))
            .arg(int(roundMark()))
            .arg(shell.vp.timerRunning())
            .arg(gameState.inputEnabled)
            .arg(shown.join(QStringLiteral(", ")), nameOf(QApplication::focusWidget()),
                 nameOf(QApplication::activeWindow()), nameOf(QApplication::activePopupWidget()));
    }

    void command(QAction* action) {
        note(QStringLiteral("menu command ") + action->text());
        action->trigger();
    }

    void roundStarted() {
        longestGapMs = std::max(longestGapMs, shell.vp.nowMs() - lastStartMs);
        lastStartMs = shell.vp.nowMs();
        // Most rounds are left early; some are played until "OUT!".
        persistent = below(100) < 35;
        wantedLevel = below(5);
        quitWeight = persistent ? 2 : 50;
        fireWeight = persistent ? 330 : 150;
    }

    // --- the user's means ---

    // The window the keyboard goes to: an open popup, else the active window.
    static QWindow* keyboardWindow() {
        if (QWidget* popup = QApplication::activePopupWidget())
            return popup->windowHandle();
        QWidget* active = QApplication::activeWindow();
        return active && active->isVisible() ? active->windowHandle() : nullptr;
    }

    void key(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        if (QWindow* w = keyboardWindow()) {
            note(QStringLiteral("key %1 to %2")
                     .arg(QKeySequence(int(modifiers) | qtKey).toString(),
                          nameOf(QApplication::focusWidget())));
            QTest::keyClick(w, Qt::Key(qtKey), modifiers);
        }
    }

    // A held key: the press repeats, then one release.
    void heldKey(int qtKey, int repeats) {
        QWindow* w = keyboardWindow();
        if (!w)
            return;
        note(QStringLiteral("held key %1, %2 repeats")
                 .arg(QKeySequence(qtKey).toString())
                 .arg(repeats));
        QTest::simulateEvent(w, true, qtKey, Qt::NoModifier, QString(), false);
        for (int i = 0; i < repeats && keyboardWindow() == w; ++i)
            QTest::simulateEvent(w, true, qtKey, Qt::NoModifier, QString(), true);
        if (keyboardWindow() == w)
            QTest::simulateEvent(w, false, qtKey, Qt::NoModifier, QString(), false);
    }

    // A character the keyboard produces as text (a full-width one through a key event
    // with that text, as a composed character arrives).
    void typeCharacter(QChar c) {
        QWindow* w = keyboardWindow();
        if (!w)
            return;
        const int code = c.unicode() < 0x80 ? QKeySequence(QString(c))[0].key() : 0;
        note(QStringLiteral("typed %1 to %2").arg(c).arg(nameOf(QApplication::focusWidget())));
        QTest::simulateEvent(w, true, code, Qt::NoModifier, QString(c), false);
        QTest::simulateEvent(w, false, code, Qt::NoModifier, QString(c), false);
    }

    // A click of the left button at a point of a window, as the window system delivers it;
    // the window manager activates the window first.
    void click(QWidget* window, QPoint at) {
        window->activateWindow();
        QCoreApplication::processEvents();
        note(QStringLiteral("click at %1, %2 of %3 on %4")
                 .arg(at.x())
                 .arg(at.y())
                 .arg(nameOf(window), nameOf(window->childAt(at))));
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    }
    void clickOn(QWidget* widget) {
        click(widget->window(), widget->mapTo(widget->window(), widget->rect().center()));
    }

    // What a window manager does: keeps one of the visible windows active.
    void windowManager() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents();
        if (QApplication::activePopupWidget())
            return;
        QWidget* active = QApplication::activeWindow();
        if (active && active->isVisible())
            return;
        MainForm->activateWindow();
        QCoreApplication::processEvents();
    }

    // --- actions ---

    // One random action of the player, then the next one a random while later (often at
    // once, so that actions pile up inside the blocking sequences).
    void pump() {
        if (!failure.isEmpty() || actions >= targetActions)
            return;
        // The next action is scheduled first, so that it can come in the middle of this one.
        const int gap = below(4) == 0 ? 0 : below(persistent ? 300 : 150);
        shell.vp.scheduleIn(gap, [this] { pump(); });
        windowManager();
        // Between operations, the screen shows the window. (An open popup, or the menu bar
        // taking the keys, takes the focus frame away from the screen but not from the
        // widget: Qt paints after the focus event, and renders after hasFocus().)
        if (platform.depth() == 0 && shell.vp.dispatchDepth() == 1 &&
            !QApplication::activePopupWidget() && !MainForm->MainMenu1->activeAction() &&
            ++screenChecks % 16 == 0)
            checkScreen();
        ++actions;
        act();
    }

    void act() {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            popupAction(popup);
            return;
        }
        // Everything but the game keys, less often while a long round is played.
        const bool playing = MainForm->MainImage->isVisible() && !MainForm->okButton->isVisible();
        const int others = playing && persistent ? 30 : 100;
        const int roll = below(1000);
        if (roll < others) {
            const int which = below(100);
            if (which < 30)
                focusChange();
            else if (which < 60)
                dialogAction();
            else if (which < 75)
                menuCommand();
            else if (which < 85)
                menuBarClick();
            else if (which < 95)
                otherKey();
            else {
                note(QStringLiteral("a slow handler"));
                shell.vp.pause(below(400));
            }
        } else if (MainForm->TitleImage->isVisible()) {
            titleAction();
        } else if (MainForm->okButton->isVisible()) {
            endAction();
        } else {
            roundAction();
        }
    }

    void focusChange() {
        const int roll = below(10);
        QWidget* target = MainForm;
        if (roll < 1)
            target = &otherProgram; // another program: the round pauses
        else if (roll < 3 && HiscoreForm->isVisible())
            target = HiscoreForm;
        else if (roll < 4 && VersionForm->isVisible())
            target = VersionForm;
        note(QStringLiteral("activate ") + nameOf(target));
        target->activateWindow();
        QCoreApplication::processEvents();
    }

    void dialogAction() {
        TDialogForm* dialog = below(3) ? static_cast<TDialogForm*>(HiscoreForm) : VersionForm;
        if (!dialog->isVisible()) {
            ++dialogShowings;
            command(dialog == HiscoreForm ? MainForm->HiscoreMenu : MainForm->About1);
            return;
        }
        const int roll = below(10);
        if (dialog == HiscoreForm && roll < 4)
            clickOn(below(2) ? HiscoreForm->UpButton : HiscoreForm->DownButton);
        else if (roll < 6)
            clickOn(dialog == HiscoreForm ? HiscoreForm->OKButton : VersionForm->OKButton);
        else if (roll < 8) {
            note(QStringLiteral("close box of ") + nameOf(dialog));
            dialog->close(); // the close box
        } else {
            note(QStringLiteral("activate ") + nameOf(dialog));
            dialog->activateWindow(); // then keys go to it
        }
    }

    void menuCommand() {
        const int roll = below(10);
        TMainForm* f = MainForm;
        if (roll < 3)
            command(f->HiscoreMenu);
        else if (roll < 4)
            command(f->About1);
        else if (roll < 5)
            command(f->ContentsMenu);
        else if (f->backMenuEnabled())
            command(f->backItem(below(5))); // from the opened menu: enabled items only
        else if (below(1000) < 10 * quitWeight)
            command(f->ReturnManu);
        else
            command(f->HiscoreMenu);
    }

    void menuBarClick() {
        QMenuBar* bar = MainForm->MainMenu1;
        const QList<QAction*> items = bar->actions();
        QAction* item = items[below(int(items.size()))];
        ++popupsOpened;
        click(MainForm, bar->mapTo(MainForm, bar->actionGeometry(item).center()));
    }

    // Keys that play no part, to any window.
    void otherKey() {
        static const int keys[] = {
            Qt::Key_Up,     Qt::Key_Down,   Qt::Key_Space,     Qt::Key_Return, Qt::Key_Enter,
            Qt::Key_Escape, Qt::Key_Tab,    Qt::Key_Backtab,   Qt::Key_A,      Qt::Key_X,
            Qt::Key_1,      Qt::Key_F1,     Qt::Key_F4,        Qt::Key_Home,   Qt::Key_Menu,
            Qt::Key_Alt,    Qt::Key_PageUp, Qt::Key_Backspace, Qt::Key_Delete};
        const int roll = below(20);
        if (roll < 4)
            key(Qt::Key_F1 + below(5), Qt::ControlModifier); // the background shortcuts
        else if (roll < 6) {
            static const int letters[] = {Qt::Key_G, Qt::Key_B, Qt::Key_H, Qt::Key_R};
            key(letters[below(4)], Qt::AltModifier); // the menu bar's access letters
        } else {
            const Qt::KeyboardModifiers modifiers =
                below(5) == 0 ? Qt::ShiftModifier : Qt::NoModifier;
            key(keys[below(int(std::size(keys)))], modifiers);
        }
    }

    void titleAction() {
        TMainForm* f = MainForm;
        const int roll = below(100);
        // Mostly the level wanted is chosen before START.
        if (roll < 55 && f->levelCombo->currentIndex() != wantedLevel && below(4))
            chooseLevel();
        else if (roll < 55)
            clickOn(f->StartButton);
        else if (roll < 65) {
            ++popupsOpened;
            clickOn(f->levelCombo); // opens its list
        } else if (roll < 75) {
            chooseLevel();
        } else if (roll < 85) {
            clickAnywhere();
        } else {
            roundKey(); // game keys do nothing here
        }
    }

    // The level list by keyboard: Tab to it, then arrows toward a level chosen anew at
    // every return to the title.
    void chooseLevel() {
        QComboBox* list = MainForm->levelCombo;
        if (QApplication::focusWidget() != list)
            key(Qt::Key_Tab);
        else if (list->currentIndex() != wantedLevel)
            key(list->currentIndex() < wantedLevel ? Qt::Key_Down : Qt::Key_Up);
        else
            key(Qt::Key_Space); // opens the list
    }

    void endAction() {
        TMainForm* f = MainForm;
        const int roll = below(100);
        if (f->NameEdit->isVisible() && roll < 50) {
            if (QApplication::focusWidget() != f->NameEdit && below(2))
                clickOn(f->NameEdit);
            else
                typeIntoName();
        } else if (roll < 75) {
            clickOn(f->okButton);
        } else if (roll < 80) {
            command(f->ReturnManu);
        } else if (roll < 90) {
            clickAnywhere();
        } else {
            roundKey();
        }
    }

    void roundAction() {
        const int roll = below(1000);
        if (roll < quitWeight)
            command(MainForm->ReturnManu);
        else if (roll < quitWeight + 30)
            clickAnywhere(); // where START and OK are hidden, too
        else if (roll < quitWeight + 50)
            heldKey(below(2) ? Qt::Key_Left : Qt::Key_Right, 1 + below(6));
        else
            roundKey();
    }

    void roundKey() {
        const int roll = below(1000);
        if (roll < 1000 - fireWeight) {
            const Qt::KeyboardModifiers modifiers =
                below(8) == 0 ? Qt::ControlModifier : Qt::NoModifier;
            key(below(2) ? Qt::Key_Left : Qt::Key_Right, modifiers);
        } else {
            key(Qt::Key_Z, below(8) == 0 ? Qt::ShiftModifier : Qt::NoModifier);
        }
    }

    void clickAnywhere() {
        TMainForm* f = MainForm;
        QWidget* spots[] = {f->StartButton, f->okButton, f->levelCombo, f->NameEdit, f->MainImage};
        QWidget* spot = spots[below(5)];
        const QPoint centre = spot->mapTo(f, spot->rect().center());
        click(f, below(2)
                     ? centre
                     : QPoint(1 + below(f->width() - 2), f->MainMenu1->height() + 1 + below(398)));
    }

    void typeIntoName() {
        static const QStringList names = {
            QStringLiteral("Taro"),      QStringLiteral("山田　花子"),
            QStringLiteral("ﾊﾅｺ"),       QStringLiteral("  x  "),
            QStringLiteral("\"q\""),     QStringLiteral("a=b;c"),
            QStringLiteral("[Ranking]"), QStringLiteral("とても長い名前をここに入れます"),
            QStringLiteral("Ü🎮")};
        const QString name = names[below(int(names.size()))];
        const int roll = below(10);
        if (roll < 3) {
            for (QChar c : name.left(6))
                typeCharacter(c);
        } else if (roll < 5) {
            // An input method commits a composed text.
            QWidget* focus = QApplication::focusWidget();
            if (focus && focus->testAttribute(Qt::WA_InputMethodEnabled)) {
                QInputMethodEvent commit;
                commit.setCommitString(name);
                note(QStringLiteral("input method commits ") + name);
                QCoreApplication::sendEvent(focus, &commit);
            }
        } else if (roll < 7) {
            // A paste of several lines.
            static const QStringList breaks = {QStringLiteral("\n"), QStringLiteral("\r\n"),
                                               QStringLiteral("\r"), QStringLiteral("\t"),
                                               QStringLiteral("\u2028")};
            const QString text = name + breaks[below(int(breaks.size()))] + QStringLiteral("次");
            QGuiApplication::clipboard()->setText(text);
            note(QStringLiteral("paste of %1").arg(text.toUtf8().toPercentEncoding(" ")));
            pastedLineBreaks += QApplication::focusWidget() == MainForm->NameEdit;
            key(Qt::Key_V, Qt::ControlModifier);
        } else {
            static const int keys[] = {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Home,
                                       Qt::Key_End,       Qt::Key_Left,   Qt::Key_Return};
            if (below(4) == 0)
                key(Qt::Key_A, Qt::ControlModifier);
            else
                key(keys[below(int(std::size(keys)))]);
        }
    }

    void popupAction(QWidget* popup) {
        auto* menu = qobject_cast<QMenu*>(popup);
        const int roll = below(10);
        if (roll < 1) {
            // A click elsewhere closes it (a click on one of its items chooses it, and
            // the game menu's last item would end the soak).
            const QRect covered(MainForm->mapFromGlobal(popup->geometry().topLeft()),
                                popup->size());
            const QPoint at(1 + below(MainForm->width() - 2),
                            MainForm->MainMenu1->height() + 1 + below(398));
            if (!covered.contains(at))
                click(MainForm, at);
            return;
        }
        if (roll < 5) {
            key(below(2) ? Qt::Key_Down : Qt::Key_Up);
        } else if (roll < 6) {
            key(below(2) ? Qt::Key_Left : Qt::Key_Right);
        } else if (roll < 7) {
            key(Qt::Key_Escape);
        } else if (menu && menu->activeAction() == MainForm->ExitMenu) {
            key(Qt::Key_Down); // not the end of the program: the soak closes it at its end
        } else if (!menu && roll < 8) {
            key(Qt::Key_A + below(26)); // the level list searches by letter
        } else {
            key(below(2) ? Qt::Key_Return : Qt::Key_Space);
        }
    }

    // --- checks ---

    void check() {
        ++checks;
        if (stalled())
            throw Stalled();
        const bool idle = platform.depth() == 0 && shell.vp.dispatchDepth() == 0;
        const QString broken = invariants.check(shell.vp.timerRunning(), idle);
        if (!broken.isEmpty())
            fail(broken);
        if (view.outs > 1 || view.okShowings > 1 || view.entries > 1)
            fail(QStringLiteral("the round ended twice"));
        if (!view.violations.isEmpty())
            fail(view.violations.join(QLatin1Char('\n')));
        if (!shell.errors.isEmpty())
            fail(QStringLiteral("error shown: ") + shell.errors.join(QLatin1Char('\n')));
        checkFaces(idle);
        checkFocus();
        checkRanking();
        checkHiscoreDialog();
    }

    // The two faces of the main window, as the round's state says.
    void checkFaces(bool idle) {
        const TMainForm* f = MainForm;
        const RoundMark mark = roundMark();
        const bool title = f->TitleImage->isVisible();
        if (f->SelectGroup->isVisible() != title || f->levelCombo->isVisible() != title ||
            f->StartButton->isVisible() != title)
            return fail(QStringLiteral("the title screen is shown in part"));
        if (title == f->MainImage->isVisible())
            return fail(title ? QStringLiteral("the title screen over the game picture")
                              : QStringLiteral("neither face is shown"));
        if (f->ReturnManu->isEnabled() == title || f->backMenuEnabled() != title)
            return fail(QStringLiteral("the menu states do not match the face"));
        const bool entry = f->RankLabel->isVisible();
        if (f->InputLabel->isVisible() != entry || f->NameEdit->isVisible() != entry)
            return fail(QStringLiteral("the rank entry is shown in part"));
        const bool message = f->MessageLabel->isVisible();
        const QString text = f->MessageLabel->text();
        if (title) {
            if (mark == RoundMark::Running)
                return fail(QStringLiteral("the title screen while a round runs"));
            if (f->okButton->isVisible() || message || entry)
                return fail(QStringLiteral("round components over the title screen"));
            return;
        }
        if (mark == RoundMark::None || mark == RoundMark::Left)
            return fail(QStringLiteral("the game screen with no round"));
        if ((entry && !f->okButton->isVisible()) ||
            (f->okButton->isVisible() &&
             (mark != RoundMark::Ended || !message || text != QLatin1String("OUT!"))))
            return fail(QStringLiteral("OK or the rank entry outside an ended round"));
        if (message && text == QLatin1String("OUT!") && mark != RoundMark::Ended)
            return fail(QStringLiteral("\"OUT!\" in a running round"));
        if (idle && mark == RoundMark::Running && message)
            return fail(QStringLiteral("\"%1\" left over a running round").arg(text));
        if (idle && mark == RoundMark::Ended && !f->okButton->isVisible())
            return fail(QStringLiteral("an ended round without OK"));
    }

    // What the player sees: the window as last painted is the window as its widgets are
    // now, and in a round the picture of the game.
    void checkScreen() {
        // Whatever still waits to be painted (an activation just made, say) is painted first:
        // stale is what stays so while the loop is idle.
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents();
        const QImage shown = MainForm->screen()
                                 ->grabWindow(MainForm->winId())
                                 .toImage()
                                 .convertToFormat(QImage::Format_RGB32);
        const QImage now = MainForm->grab().toImage().convertToFormat(QImage::Format_RGB32);
        if (shown != now)
            return fail(QStringLiteral("the screen shows a stale window"));
        if (roundMark() == RoundMark::Running &&
            shown.copy(QRect(MainForm->client()->mapTo(MainForm, QPoint(0, 0)), QSize(400, 400))) !=
                pictures.MainImage)
            fail(QStringLiteral("the screen does not show the game picture"));
    }

    // The keyboard never rests on a control that is not shown.
    void checkFocus() {
        if (!MainForm->isActiveWindow() || QApplication::activePopupWidget())
            return;
        QWidget* focus = QApplication::focusWidget();
        if (focus && focus->window() == MainForm && !focus->isVisible())
            fail(QStringLiteral("the focus is on a hidden %1")
                     .arg(focus->metaObject()->className()));
    }

    // The lists change only when OK stores a qualifying result, and then as the rank
    // entry places it.
    void checkRanking() {
        if (MainForm->ranking.RankNameList.size() != rankEntryCount ||
            MainForm->ranking.RankNumberList.size() != rankEntryCount)
            return fail(QStringLiteral("the ranking lists lost their length"));
        const Ranking& now = currentRanking();
        if (now == ranking)
            return;
        const Ranking before = ranking;
        ranking = now;
        const QString broken = rankingViolation(now);
        if (!broken.isEmpty())
            return fail(broken);
        const GameState& g = gameState;
        const int b = levelBlockStart(4 - g.level);
        if (roundMark() != RoundMark::Ended || MainForm->RankLabel->isVisible())
            return fail(QStringLiteral("the ranking changed without a stored entry"));
        Ranking expected = before;
        const QString name = MainForm->NameEdit->text();
        if (expected.enter(b, name, resultText(g.score, g.vanishCount, g.phase)) ==
            b + entriesPerLevel)
            return fail(QStringLiteral("a result stored that did not qualify"));
        if (now != expected)
            return fail(QStringLiteral("the result went to the wrong place"));
        if (defaultName != name)
            return fail(QStringLiteral("the name was not remembered"));
        ++stored;
        storedFullWidth +=
            std::any_of(name.begin(), name.end(), [](QChar c) { return c.unicode() >= 0x3000; });
    }

    void checkHiscoreDialog() {
        if (!HiscoreForm->isVisible())
            return;
        const THiscoreForm* h = HiscoreForm;
        if (hiscoreLevel < 0 || hiscoreLevel > 4)
            return fail(QStringLiteral("the hiscore dialog at level %1").arg(hiscoreLevel));
        if (h->DownButton->isEnabled() != (hiscoreLevel > 0) ||
            h->UpButton->isEnabled() != (hiscoreLevel < 4) || h->HiscoreList->count() != 11 ||
            h->LevelLabel->text() != MainForm->levelCombo->itemText(hiscoreLevel))
            fail(QStringLiteral("the hiscore dialog does not show level %1").arg(hiscoreLevel));
    }

    long targetActions = 0;
    QStringList trail;
    long screenChecks = 0;
    // Per mille of the round actions: the menu command back to the title, the fire key.
    bool persistent = false; // the round now is played until "OUT!", mostly
    int wantedLevel = 0;     // for the next round
    int quitWeight = 50;
    int fireWeight = 150;
};

// The program's own lines of a settings text: "key" -> raw value, in file order.
QList<QPair<QString, QString>> programLines(const QString& text) {
    static const QRegularExpression own(
        QStringLiteral("^(xpos|ypos|back|name[0-9]+|number[0-9]+|default)=(.*)$"));
    QList<QPair<QString, QString>> lines;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = own.match(line);
        if (m.hasMatch())
            lines.append({m.captured(1), m.captured(2)});
    }
    return lines;
}

// Drops what the offscreen platform says at every showing of a dialog or a popup (that
// it cannot raise a window or grab the keyboard); every other message goes through.
class QuietPlatformWarnings {
public:
    QuietPlatformWarnings() { previous = qInstallMessageHandler(filter); }
    ~QuietPlatformWarnings() { qInstallMessageHandler(previous); }
    QuietPlatformWarnings(const QuietPlatformWarnings&) = delete;
    QuietPlatformWarnings& operator=(const QuietPlatformWarnings&) = delete;

private:
    static void filter(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (!text.startsWith(QLatin1String("This plugin does not support")))
            previous(type, context, text);
    }
    static inline QtMessageHandler previous = nullptr;
};

} // namespace

class TestSoakWindow : public QObject {
    Q_OBJECT
private slots:
    void randomUse();
};

void TestSoakWindow::randomUse() {
    const std::uint32_t seed =
        qEnvironmentVariableIsSet("FLINDER_SOAK_SEED")
            ? std::uint32_t(qEnvironmentVariableIntValue("FLINDER_SOAK_SEED"))
            : 20240611u;
    const long target = qEnvironmentVariableIsSet("FLINDER_SOAK_ACTIONS")
                            ? qEnvironmentVariableIntValue("FLINDER_SOAK_ACTIONS")
                            : 40000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flinder.ini"));
    const QByteArray initial = initialSettings();
    writeFileBytes(path, initial);
    QImage picture(96, 192, QImage::Format_RGB32);
    picture.fill(qRgb(20, 120, 200));
    QVERIFY(picture.save(dir.filePath(QStringLiteral("back.bmp")), "BMP"));

    const QuietPlatformWarnings quiet;
    const auto started = std::chrono::steady_clock::now();
    WindowSoak soak(dir.path(), seed);
    soak.run(target);
    if (!soak.failure.isEmpty()) // in full: the test log cuts long messages
        std::fprintf(stderr, "%s\n", qPrintable(soak.failure));
    QVERIFY2(soak.failure.isEmpty(), qPrintable(soak.failure.section(QLatin1Char('\n'), 0, 0)));
    QVERIFY2(soak.actions >= target,
             qPrintable(QStringLiteral("rounds stopped starting after %1 actions, %2 rounds")
                            .arg(soak.actions)
                            .arg(soak.view.rounds)));

    // The final close, from wherever the soak left off.
    while (QApplication::activePopupWidget())
        QApplication::activePopupWidget()->close();
    const Ranking held = currentRanking();
    const QPoint position = MainForm->pos();
    const int back = backgroundChoice;
    const QString name = defaultName;
    MainForm->ExitMenu->trigger();
    QVERIFY(!MainForm->isVisible());
    QVERIFY2(soak.shell.errors.isEmpty(), qPrintable(soak.shell.errors.join(QLatin1Char('\n'))));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    const WatchedView& v = soak.view;
    qInfo("window soak seed %u: %ld actions, %ld checks, %d rounds (by level %d %d %d %d %d), "
          "%d ended, %d \"PERFECT!\", %d rank entries offered, %d stored (%d with full-width "
          "names), %d pastes with line breaks, %d returns to the title, %d dialog showings, "
          "%d popups opened, %d pages for the desktop, %ld field checks, %lld s virtual, "
          "at most %lld s between two round starts, %.1f s",
          seed, soak.actions, soak.checks, v.rounds, v.levels[0], v.levels[1], v.levels[2],
          v.levels[3], v.levels[4], v.ends, v.perfects, v.entriesOffered, soak.stored,
          soak.storedFullWidth, soak.pastedLineBreaks, soak.returns, soak.dialogShowings,
          soak.popupsOpened, soak.urlsOpened, soak.invariants.fieldChecks(),
          static_cast<long long>(soak.shell.vp.nowMs() / 1000),
          static_cast<long long>(soak.longestGapMs / 1000), seconds);
    // The soak reached what it is for.
    for (int level : v.levels)
        QVERIFY(level > 0);
    QVERIFY(v.ends > 0 && soak.stored > 0 && soak.returns > 0);

    // The file: the program's 104 keys once each, in their order, holding what the window
    // held; every line of the player's own kept.
    const QString text = QString::fromUtf8(fileBytes(path));
    QStringList expectedKeys{QStringLiteral("xpos"), QStringLiteral("ypos"),
                             QStringLiteral("back")};
    QStringList expectedValues{QString::number(position.y()), QString::number(position.x()),
                               QString::number(back)};
    for (int i = 0; i < rankEntryCount; ++i) {
        expectedKeys << QStringLiteral("name%1").arg(i) << QStringLiteral("number%1").arg(i);
        expectedValues << held.RankNameList[i] << held.RankNumberList[i];
    }
    expectedKeys << QStringLiteral("default");
    expectedValues << name;
    QStringList keys, values;
    for (const auto& [key, value] : programLines(text)) {
        keys << key;
        values << value;
    }
    QCOMPARE(keys, expectedKeys);
    QCOMPARE(values, expectedValues);
    QCOMPARE(rankingViolation(held), QString());
    for (const char* mine : {"; mine\n", "\nmine=keep me\n", "\n[Mine]\nx=1\n"})
        QVERIFY2(text.contains(QLatin1String(mine)), mine);
    QCOMPARE(profileKeys(text).size(), 104 + 2);
}

SHELL_TEST_MAIN(TestSoakWindow)
#include "test_soak_window.moc"
