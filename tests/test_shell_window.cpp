// The main window: its frame and components, the two faces and their menu states, the
// keys during a round, the background menu and its shortcuts, and the settings it
// loads at creation and saves at close.

#include "game/field.h"
#include "game/game_state.h"
#include "platform/application.h"
#include "platform/latin_keys.h"
#include "platform/window_placement.h"
#include "shell/app_icon.h"
#include "shell/fitted_label.h"
#include "shell/hiscore_form.h"
#include "shell/main_form.h"
#include "shell/name_entry_guard.h"
#include "shell/pad_control.h"
#include "shell/picture_view.h"
#include "shell/version_form.h"
#include "support/shell_fixture.h"

#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTemporaryDir>
#include <QTest>

#include <SDL.h>

#include <algorithm>
#include <tuple>

namespace {

void writeSettingsFile(const QTemporaryDir& dir, const QByteArray& text) {
    writeFileBytes(dir.filePath(QStringLiteral("flinder.ini")), text);
}

QString settingsText(const QTemporaryDir& dir) {
    return QString::fromUtf8(fileBytes(dir.filePath(QStringLiteral("flinder.ini"))));
}

QList<bool> checkMarks() {
    QList<bool> marks;
    for (int v = 0; v < 5; ++v)
        marks << MainForm->backItem(v)->isChecked();
    return marks;
}

QList<bool> marksOn(int value) {
    QList<bool> marks(5, false);
    if (value >= 0 && value < 5)
        marks[value] = true;
    return marks;
}

bool titleScreenShown() {
    const TMainForm* f = MainForm;
    return f->TitleImage->isVisible() && f->SelectGroup->isVisible() &&
           f->levelCombo->isVisible() && f->StartButton->isVisible() &&
           !f->MainImage->isVisible() && !f->okButton->isVisible() &&
           !f->MessageLabel->isVisible() && !f->ReturnManu->isEnabled() && f->backMenuEnabled();
}

bool gameScreenShown() {
    const TMainForm* f = MainForm;
    return !f->TitleImage->isVisible() && !f->SelectGroup->isVisible() &&
           !f->levelCombo->isVisible() && !f->StartButton->isVisible() &&
           f->MainImage->isVisible() && f->ReturnManu->isEnabled() && !f->backMenuEnabled();
}

bool rankEntryShown() {
    return MainForm->RankLabel->isVisible() && MainForm->InputLabel->isVisible() &&
           MainForm->NameEdit->isVisible();
}

void key(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(MainForm->windowHandle(), Qt::Key(qtKey), modifiers);
}

// Fills column 0 down to row 10 and lets the limit run out: the next row ends the round.
// Returns once the player has seen "OUT!" and the name field takes keys.
void endRoundByTheNextRow(VirtualPlatform& vp, int score) {
    for (int r = 0; r < 11; ++r)
        gameState.cells[0][r] = RightArrow;
    gameState.score = score;
    gameState.limitElapsed = gameState.limit;
    vp.runUntil(vp.nowMs() + 400);
    vp.runUntil(vp.nowMs() + NameEntryGuard::settleMs);
}

} // namespace

class TestShellWindow : public QObject {
    Q_OBJECT
private slots:
    void firstStartWithoutSettings();
    void componentsAndStacking();
    void menuBar();
    void tabOrder();
    void facesAndMenuStates();
    void gameKeysWhateverHadTheFocus();
    void lettersOfOtherScriptsByTheirLatinMeaning();
    void gamepadActsThroughTheKeyHandler();
    void labelTextsShowWhole();
    void returnDuringRankEntryRecordsNothing();
    void gameKeysNeverTypeIntoTheName();
    void rankEntryFromEndOfRoundToFileAndRestart();
    void nameFieldLimitsAndControlCharacters();
    void backgroundMenuAndShortcuts();
    void altLettersOpenTheMenus();
    void positionSwapAndOddBackgroundWrittenBack();
    void windowOpensWhereItCanBeSeen();
    void closingDuringARoundRecordsNoResult();
    void enterPressesTheFocusedButton();
    void onlyTheChosenBackgroundIsMarked();
};

void TestShellWindow::firstStartWithoutSettings() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    TMainForm* f = MainForm;
    QCOMPARE(f->pos(), QPoint(0, 0));
    QCOMPARE(f->windowTitle(), QStringLiteral("Flinder"));
    QCOMPARE(f->client()->size(), QSize(400, 400));
    QCOMPARE(f->client()->mapTo(f, QPoint(0, 0)), QPoint(0, f->MainMenu1->height()));
    QCOMPARE(f->minimumSize(), f->maximumSize()); // not resizable
    QCOMPARE(f->size(), QSize(400, 400 + f->MainMenu1->height()));
    const Qt::WindowFlags flags = f->windowFlags();
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(flags & Qt::WindowSystemMenuHint);
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(titleScreenShown());
    QCOMPARE(f->levelCombo->currentIndex(), 2);
    QCOMPARE(f->levelCombo->currentText(), QStringLiteral("ふつう"));
    QCOMPARE(checkMarks(), marksOn(0));
    QVERIFY(!f->Back5Menu->isEnabled());
    QCOMPARE(f->ranking.RankNameList.size(), 50);
    QCOMPARE(f->ranking.RankNumberList.size(), 50);
    for (int i = 0; i < 50; ++i) {
        QCOMPARE(f->ranking.RankNameList[i], QStringLiteral("(none)"));
        QCOMPARE(f->ranking.RankNumberList[i], QStringLiteral("0:0;0"));
    }
    QVERIFY(!VersionForm->isVisible());
    QVERIFY(!HiscoreForm->isVisible());
    QCOMPARE(gameState.inputEnabled, 0);
    QVERIFY(shell.errors.isEmpty());
    // The window's icon comes drawn at every size a desktop shows it at.
    QList<QSize> sizes;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        sizes << QSize(size, size);
    QCOMPARE(applicationIcon().availableSizes(), sizes);
}

void TestShellWindow::componentsAndStacking() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    TMainForm* f = MainForm;
    // Later components lie above earlier ones; every control above every picture/label.
    const QList<QWidget*> bottomToTop{f->MainImage,  f->MessageLabel, f->TitleImage,  f->RankLabel,
                                      f->InputLabel, f->SelectGroup,  f->StartButton, f->levelCombo,
                                      f->okButton,   f->NameEdit};
    const QObjectList stack = f->client()->children();
    for (int i = 1; i < bottomToTop.size(); ++i)
        QVERIFY2(stack.indexOf(bottomToTop[i - 1]) < stack.indexOf(bottomToTop[i]),
                 qPrintable(QString::number(i)));
    // The message shows over the game picture without a box of its own.
    QVERIFY(!f->MessageLabel->autoFillBackground());
    QVERIFY(f->MessageLabel->geometry().intersects(f->MainImage->geometry()));
    QVERIFY(!f->levelCombo->isEditable());
}

void TestShellWindow::menuBar() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    TMainForm* f = MainForm;
    const QList<QAction*> bar = f->MainMenu1->actions();
    QCOMPARE(bar.size(), 4);
    QCOMPARE(bar[0], f->N1->menuAction());
    QCOMPARE(bar[1], f->BackMenu->menuAction());
    QCOMPARE(bar[2], f->HiscoreMenu);
    QCOMPARE(bar[3], f->HelpMenu->menuAction());
    QCOMPARE(f->N1->title(), QStringLiteral("ゲーム(&G)"));
    QCOMPARE(f->BackMenu->title(), QStringLiteral("背景(&B)"));
    QCOMPARE(f->HiscoreMenu->text(), QStringLiteral("ハイスコア(&R)"));
    QVERIFY(!f->HiscoreMenu->menu());
    QCOMPARE(f->HelpMenu->title(), QStringLiteral("ヘルプ(&H)"));

    auto texts = [](QMenu* menu) {
        QStringList t;
        for (QAction* a : menu->actions())
            t << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return t;
    };
    QCOMPARE(texts(f->N1), (QStringList{"タイトルに戻る(&T)", "-", "終了(&X)"}));
    QCOMPARE(texts(f->BackMenu), (QStringList{"STONE\tCtrl+F1", "MARINE\tCtrl+F2", "WA\tCtrl+F3",
                                              "RAIN\tCtrl+F4", "-", "back.bmp\tCtrl+F5"}));
    QCOMPARE(texts(f->HelpMenu), (QStringList{"目次(&C)", "-", "バージョン情報(&A)"}));
    for (int v = 0; v < 5; ++v) {
        QCOMPARE(f->backShortcuts[size_t(v)]->key(),
                 QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_F1 + v)));
        QVERIFY(f->backItem(v)->isCheckable());
        QVERIFY(!f->backItem(v)->actionGroup()); // the program sets the marks itself
    }
    QVERIFY(!f->ReturnManu->isEnabled());
    QVERIFY(f->ExitMenu->isEnabled());
    QVERIFY(!f->Back5Menu->isEnabled());
    QVERIFY(f->ContentsMenu->isEnabled() && f->About1->isEnabled() && f->HiscoreMenu->isEnabled());
}

void TestShellWindow::tabOrder() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    TMainForm* f = MainForm;
    // The group frame never takes the focus; the others follow in their order.
    QCOMPARE(f->SelectGroup->focusPolicy(), Qt::NoFocus);
    const QList<QWidget*> order{f->StartButton, f->levelCombo, f->okButton, f->NameEdit};
    QList<QWidget*> chain;
    QWidget* w = f->StartButton;
    do {
        if (order.contains(w))
            chain << w;
        w = w->nextInFocusChain();
    } while (w != f->StartButton);
    QCOMPARE(chain, order);

    // On the title screen Tab goes between the two visible controls.
    f->activateWindow();
    f->StartButton->setFocus();
    key(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f->levelCombo);
    key(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f->StartButton);
}

void TestShellWindow::facesAndMenuStates() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    TMainForm* f = MainForm;
    QTest::mouseClick(f->StartButton, Qt::LeftButton);
    QVERIFY(gameScreenShown());
    QVERIFY(!f->MessageLabel->isVisible()); // "G o !" is over
    QVERIFY(shell.vp.timerRunning());
    QCOMPARE(gameState.inputEnabled, 1);
    QVERIFY(f->HiscoreMenu->isEnabled() && f->ContentsMenu->isEnabled() && f->About1->isEnabled());
    QVERIFY(f->ExitMenu->isEnabled());

    f->ReturnManu->trigger();
    QVERIFY(titleScreenShown());
    QVERIFY(!shell.vp.timerRunning());
    QCOMPARE(gameState.inputEnabled, 0);
    const int column = gameState.launcherColumn;
    f->activateWindow();
    key(Qt::Key_Left);
    key(Qt::Key_Z);
    QCOMPARE(gameState.launcherColumn, column);
    QCOMPARE(f->levelCombo->currentIndex(), 2); // the level stays chosen

    // Round ended without an entry: the OK button alone, then OK leads to the title.
    f->levelCombo->setCurrentIndex(4);
    QTest::mouseClick(f->StartButton, Qt::LeftButton);
    endRoundByTheNextRow(shell.vp, 0);
    QVERIFY(gameScreenShown());
    QVERIFY(f->okButton->isVisible());
    QCOMPARE(f->MessageLabel->text(), QStringLiteral("OUT!"));
    QVERIFY(!f->RankLabel->isVisible());
    QVERIFY(f->HiscoreMenu->isEnabled() && f->ContentsMenu->isEnabled() && f->About1->isEnabled());
    QTest::mouseClick(f->okButton, Qt::LeftButton);
    QVERIFY(titleScreenShown());
    QCOMPARE(f->levelCombo->currentIndex(), 4);
    QCOMPARE(f->ranking.RankNameList[0], QStringLiteral("(none)"));
    QVERIFY(shell.errors.isEmpty());
}

void TestShellWindow::gameKeysWhateverHadTheFocus() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    TMainForm* f = MainForm;
    f->activateWindow();
    f->levelCombo->setFocus();
    key(Qt::Key_Down); // on the title screen the list takes the arrows
    QCOMPARE(f->levelCombo->currentIndex(), 3);
    key(Qt::Key_Up);
    QCOMPARE(f->levelCombo->currentIndex(), 2);

    f->StartButton->click(); // the focus stays in the level list meanwhile
    QVERIFY(gameScreenShown());
    QCOMPARE(gameState.launcherColumn, 3);
    key(Qt::Key_Left);
    QCOMPARE(gameState.launcherColumn, 2);
    key(Qt::Key_Right, Qt::ShiftModifier); // modifiers make no difference
    QCOMPARE(gameState.launcherColumn, 3);
    for (int i = 0; i < 4; ++i) { // a held key repeats
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, QString(), true);
        QCoreApplication::sendEvent(f->windowHandle(), &repeat);
    }
    QCOMPARE(gameState.launcherColumn, 5);
    QWidget* focus = QApplication::focusWidget();
    key(Qt::Key_Down);
    key(Qt::Key_Up);
    key(Qt::Key_Left);
    QCOMPARE(QApplication::focusWidget(), focus);
    QCOMPARE(f->levelCombo->currentIndex(), 2);
    QCOMPARE(gameState.launcherColumn, 4);

    const int fired = gameState.piecesSinceStar;
    key(Qt::Key_Z);
    QCOMPARE(gameState.piecesSinceStar, fired + 1); // fired, landed, the next one dealt
    QCOMPARE(f->levelCombo->currentIndex(), 2);
    // A Russian layout: Z's key types "Я" (key 0x42F, X keycode 52, keysym Cyrillic_YA).
    QKeyEvent ya(QEvent::KeyPress, 0x42F, Qt::ShiftModifier, 52, 0x6f1, 1, QStringLiteral("Я"));
    QCoreApplication::sendEvent(f->windowHandle(), &ya);
    QCOMPARE(gameState.piecesSinceStar, fired + 2);
    QVERIFY(shell.errors.isEmpty());
}

void TestShellWindow::gamepadActsThroughTheKeyHandler() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    TMainForm* f = MainForm;
    defaultName = QStringLiteral("Pad");
    auto* control = new PadControl(f);
    QVERIFY(control->start());
    // A virtual game controller (no hardware): SDL maps its buttons and axes as a pad's.
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    QVERIFY2(index >= 0, SDL_GetError());
    SDL_Joystick* pad = SDL_JoystickOpen(index);
    QVERIFY(pad);
    control->gamepads().poll();
    QCOMPARE(control->gamepads().attached(), 1);
    auto delivered = [&] {
        control->gamepads().poll();
        QCoreApplication::processEvents();
    };
    auto button = [&](SDL_GameControllerButton b, bool down) {
        SDL_JoystickSetVirtualButton(pad, b, down);
        delivered();
    };
    auto tap = [&](SDL_GameControllerButton b) {
        button(b, true);
        button(b, false);
    };
    auto stick = [&](int x) {
        SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, Sint16(x));
        delivered();
    };
    const int& column = gameState.launcherColumn;

    // The title screen: only Start acts.
    f->levelCombo->setFocus();
    tap(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    tap(SDL_CONTROLLER_BUTTON_A);
    stick(30000);
    stick(0);
    QVERIFY(titleScreenShown());
    QCOMPARE(f->levelCombo->currentIndex(), 2);
    tap(SDL_CONTROLLER_BUTTON_START);
    QVERIFY(gameScreenShown());
    QCOMPARE(column, 3);

    // A face button fires; the D-pad moves at once and, held, repeats.
    const int fired = gameState.piecesSinceStar;
    tap(SDL_CONTROLLER_BUTTON_Y);
    QCOMPARE(gameState.piecesSinceStar, fired + 1);
    button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    QCOMPARE(column, 2);
    QTRY_COMPARE_WITH_TIMEOUT(column, 0, 5000);
    button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);

    // The stick: pushed past the dead zone it moves; easing off but not back to the
    // middle is no new push.
    stick(12000);
    QCOMPARE(column, 0);
    stick(20000);
    QCOMPARE(column, 1);
    stick(10000);
    stick(20000);
    QCOMPARE(column, 1);
    stick(0);
    stick(20000);
    QCOMPARE(column, 2);
    stick(0);

    // Nothing while a shot runs: presses made during its flight are dropped.
    shell.vp.scheduleIn(0, [&] {
        QCOMPARE(gameState.inputEnabled, 0);
        tap(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
        tap(SDL_CONTROLLER_BUTTON_A);
    });
    const int before = gameState.piecesSinceStar;
    tap(SDL_CONTROLLER_BUTTON_B);
    QCOMPARE(gameState.piecesSinceStar, before + 1);
    QCOMPARE(column, 2);

    // Nor while another window is active.
    shell.vp.setMainWindowActive(false);
    tap(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    QCOMPARE(column, 2);
    shell.vp.setMainWindowActive(true);

    // After "OUT!" Start presses OK, entering the offered name.
    endRoundByTheNextRow(shell.vp, 5000);
    QVERIFY(rankEntryShown());
    tap(SDL_CONTROLLER_BUTTON_START);
    QVERIFY(titleScreenShown());
    QCOMPARE(f->ranking.RankNameList[20], QStringLiteral("Pad"));

    SDL_JoystickClose(pad);
    SDL_JoystickDetachVirtual(index);
    delete control;
    QVERIFY(shell.errors.isEmpty());
}

void TestShellWindow::lettersOfOtherScriptsByTheirLatinMeaning() {
    // What Qt gave for the press, and the first-level keysyms of each layout group of
    // the key, as the X server gives them.
    struct Case {
        const char* layouts;
        int typed;
        QList<quint32> groups;
        quint32 keycode;
        int latin;
    };
    const Case cases[] = {
        {"ru,us: Z's key", 0x42F, {0x6d1, 0x7a}, 52, Qt::Key_Z},
        {"us,ru: Z's key", 0x42F, {0x7a, 0x6d1}, 52, Qt::Key_Z},
        {"de,ru: the German Z", 0x41D, {0x7a, 0x6ce}, 29, Qt::Key_Z},
        {"ru alone: by place", 0x42F, {0x6d1}, 52, Qt::Key_Z},
        {"ru,gr: by place", 0x42F, {0x6d1, 0x7e6}, 52, Qt::Key_Z},
        {"map unknown: by place", 0x42F, {}, 52, Qt::Key_Z},
        {"fr,ru: a comma there", 0x42C, {0x2c, 0x6d8}, 58, 0},
        {"ru,us: no letter there", 0x425, {0x6c8, 0x5b}, 34, 0},
        {"ara: Shift+Z types a tilde", Qt::Key_AsciiTilde, {0x5c6}, 52, Qt::Key_Z},
        {"th: Shift+Z types a parenthesis", Qt::Key_ParenLeft, {0xdbc}, 52, Qt::Key_Z},
        {"us,ara: Shift+grave is no letter", Qt::Key_AsciiTilde, {0x60, 0x5d0}, 49, 0},
        {"us: Shift+1 is no letter", Qt::Key_Exclam, {0x31}, 10, 0},
        {"map unknown: a tilde is no letter", Qt::Key_AsciiTilde, {}, 52, 0},
    };
    for (const Case& c : cases)
        QVERIFY2(latinLetterOf(c.typed, c.groups, c.keycode) == c.latin, c.layouts);
}

void TestShellWindow::labelTextsShowWhole() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    TMainForm* f = MainForm;
    auto* message = static_cast<FittedLabel*>(f->MessageLabel);
    auto* rank = static_cast<FittedLabel*>(f->RankLabel);
    auto* input = static_cast<FittedLabel*>(f->InputLabel);
    const QList<QPair<FittedLabel*, QString>> texts{{message, QStringLiteral("READY")},
                                                    {message, QStringLiteral("G o !")},
                                                    {message, QStringLiteral("OUT!")},
                                                    {message, QStringLiteral("PERFECT!")},
                                                    {rank, rank->text()},
                                                    {input, input->text()}};
    QHash<FittedLabel*, QRectF> glyphs; // of the last text, at 1x, in window coordinates
    for (const auto& [label, text] : texts) {
        if (label == message)
            f->showMessage(text, Qt::yellow);
        // Drawn unclipped with room around it, on a plain and on a doubled screen, with
        // the faces really installed: every glyph lies inside the label.
        for (int scale : {1, 2}) {
            const int m = 40;
            QImage image((label->size() + QSize(2 * m, 2 * m)) * scale,
                         QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(scale);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            painter.translate(m, m);
            label->paintText(painter);
            painter.end();
            QRect ink;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qAlpha(image.pixel(x, y)) > 0)
                        ink |= QRect(x, y, 1, 1);
            const QRectF shown(QPointF(ink.left(), ink.top()) / scale - QPointF(m, m),
                               QSizeF(ink.size()) / scale);
            const QString where = QStringLiteral("%1 at %2x: glyphs %3,%4 %5x%6 in %7x%8")
                                      .arg(text)
                                      .arg(scale)
                                      .arg(shown.x())
                                      .arg(shown.y())
                                      .arg(shown.width())
                                      .arg(shown.height())
                                      .arg(label->width())
                                      .arg(label->height());
            QVERIFY2(!ink.isEmpty() && QRectF(label->rect()).contains(shown), qPrintable(where));
            if (scale == 1)
                glyphs[label] = shown.translated(label->pos());
        }
    }
    // Nothing lies over the rank entry's texts.
    QVERIFY(!f->InputLabel->geometry().intersects(f->NameEdit->geometry()));
    QVERIFY2(glyphs[rank].bottom() < glyphs[input].top(),
             qPrintable(
                 QStringLiteral("%1 over %2").arg(glyphs[rank].bottom()).arg(glyphs[input].top())));
}

void TestShellWindow::returnDuringRankEntryRecordsNothing() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    TMainForm* f = MainForm;
    QTest::mouseClick(f->StartButton, Qt::LeftButton);
    endRoundByTheNextRow(shell.vp, 500);
    QVERIFY(rankEntryShown());
    QCOMPARE(f->focusWidget(), f->NameEdit);
    QTest::keyClicks(f->NameEdit, QStringLiteral("Taro"));
    QCOMPARE(gameState.launcherColumn, 3); // typed letters are no game keys
    f->ReturnManu->trigger();
    QVERIFY(titleScreenShown());
    QVERIFY(!f->RankLabel->isVisible() && !f->InputLabel->isVisible() && !f->NameEdit->isVisible());
    QCOMPARE(f->ranking.RankNameList[20], QStringLiteral("(none)"));
    QCOMPARE(f->ranking.RankNumberList[20], QStringLiteral("0:0;0"));
    QCOMPARE(defaultName, QString());
    // The next round's end decides afresh.
    QTest::mouseClick(f->StartButton, Qt::LeftButton);
    endRoundByTheNextRow(shell.vp, 0);
    QVERIFY(!f->RankLabel->isVisible());
    QVERIFY(f->okButton->isVisible());
}

void TestShellWindow::gameKeysNeverTypeIntoTheName() {
    // Z pressed all through the end of the round and the moment after it, and a key held
    // down from before the end: none of it types; keys pressed after that do.
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    TMainForm* f = MainForm;
    defaultName = QStringLiteral("Keep");
    QTest::mouseClick(f->StartButton, Qt::LeftButton);
    VirtualPlatform& vp = shell.vp;
    const qint64 t = vp.nowMs(); // the next tick, at t + 200, ends the round
    for (int r = 0; r < 11; ++r)
        gameState.cells[0][r] = RightArrow;
    gameState.score = 500;
    gameState.limitElapsed = gameState.limit;
    // A press or release at virtual time at; repeat marks an auto-repeat, time the event's
    // own time (0: none).
    const auto send = [&vp](qint64 at, QEvent::Type type, int qtKey, bool repeat = false,
                            quint64 time = 0) {
        vp.schedule(at, [=] {
            QKeyEvent e(type, qtKey, Qt::NoModifier, QString(QChar(qtKey).toLower()), repeat);
            e.setTimestamp(time);
            QCoreApplication::sendEvent(MainForm->windowHandle(), &e);
        });
    };
    send(t + 100, QEvent::KeyPress, Qt::Key_A); // held down from here
    qint64 entry = -1;
    for (qint64 at = t + 201; at <= t + 876; at += 25) {
        vp.schedule(at, [&] {
            if (entry < 0 && f->NameEdit->isVisible())
                entry = vp.nowMs();
        });
        send(at, QEvent::KeyPress, Qt::Key_Z), send(at, QEvent::KeyRelease, Qt::Key_Z);
    }
    vp.runUntil(t + 1000);
    QVERIFY(rankEntryShown());
    // Some came in the end sequence, some waited for the entry, the last within the
    // moment after it.
    QVERIFY(entry > t + 201 && t + 876 < entry + NameEntryGuard::settleMs);
    QCOMPARE(f->NameEdit->text(), QStringLiteral("Keep"));
    send(t + 1050, QEvent::KeyPress, Qt::Key_A, true);          // the held key repeats
    send(t + 1070, QEvent::KeyRelease, Qt::Key_A, false, 5070); // as X11 may give a repeat
    send(t + 1070, QEvent::KeyPress, Qt::Key_A, false, 5070);
    send(t + 1100, QEvent::KeyRelease, Qt::Key_A, false, 5100);
    send(t + 1150, QEvent::KeyPress, Qt::Key_B);
    send(t + 1150, QEvent::KeyRelease, Qt::Key_B);
    vp.runUntil(t + 1200);
    QCOMPARE(f->NameEdit->text(), QStringLiteral("Keepb"));
}

void TestShellWindow::rankEntryFromEndOfRoundToFileAndRestart() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    TMainForm* f = MainForm;
    f->levelCombo->setCurrentIndex(1); // "かるい": block 10..19
    QTest::mouseClick(f->StartButton, Qt::LeftButton);
    endRoundByTheNextRow(shell.vp, 4321);
    QVERIFY(rankEntryShown());
    QCOMPARE(f->NameEdit->text(), QString());
    QTest::keyClicks(f->NameEdit, QStringLiteral("Hana"));
    const QString result =
        QStringLiteral("4321:%1;%2").arg(gameState.vanishCount).arg(gameState.phase);
    QTest::mouseClick(f->okButton, Qt::LeftButton);
    QVERIFY(titleScreenShown());
    QVERIFY(!rankEntryShown());
    QCOMPARE(f->ranking.RankNameList[10], QStringLiteral("Hana"));
    QCOMPARE(f->ranking.RankNumberList[10], result);
    QCOMPARE(f->ranking.RankNameList.size(), 50);

    shell.restart();
    const QString text = settingsText(dir);
    QVERIFY(text.contains(QStringLiteral("\nname10=Hana\nnumber10=") + result + QLatin1Char('\n')));
    QVERIFY(text.contains(QStringLiteral("\ndefault=Hana\n")));
    f = MainForm;
    QCOMPARE(f->ranking.RankNameList[10], QStringLiteral("Hana"));
    QCOMPARE(f->ranking.RankNumberList[10], result);
    QCOMPARE(f->levelCombo->currentIndex(), 2); // every start selects "ふつう"

    // The name is offered again at the next entry, at another level.
    f->levelCombo->setCurrentIndex(4);
    QTest::mouseClick(f->StartButton, Qt::LeftButton);
    endRoundByTheNextRow(shell.vp, 10);
    QVERIFY(rankEntryShown());
    QCOMPARE(f->NameEdit->text(), QStringLiteral("Hana"));
    QVERIFY(shell.errors.isEmpty());
}

void TestShellWindow::nameFieldLimitsAndControlCharacters() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    QLineEdit* edit = MainForm->NameEdit;
    edit->show();
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
    QCOMPARE(edit->text(), QStringLiteral("abcdefghijklmnopqrst")); // 20 columns
    edit->clear();
    edit->insert(QStringLiteral("山田　花子は"));
    QCOMPARE(edit->text(), QStringLiteral("山田　花子は")); // 12 columns
    edit->insert(QStringLiteral("abcdefgh"));               // 20
    QCOMPARE(edit->text(), QStringLiteral("山田　花子はabcdefgh"));
    edit->insert(QStringLiteral("あ"));
    QCOMPARE(edit->text(), QStringLiteral("山田　花子はabcdefgh"));
    edit->clear();
    edit->insert(QStringLiteral("ﾊﾅｺ ﾀﾛｳ ｶﾅ ﾔﾏﾀﾞ ｲﾁﾆ")); // half-width kana count one
    QCOMPARE(edit->text().size(), 19);
    edit->insert(QStringLiteral("ｻ"));
    edit->insert(QStringLiteral("ｼ"));
    QCOMPARE(edit->text(), QStringLiteral("ﾊﾅｺ ﾀﾛｳ ｶﾅ ﾔﾏﾀﾞ ｲﾁﾆｻ"));
    edit->clear();
    edit->insert(QStringLiteral("Ta\r\nro\tYa\x01ma\u2028da"));
    QCOMPARE(edit->text(), QStringLiteral("TaroYamada"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(edit->text(), QStringLiteral("TaroYamada"));
    edit->setCursorPosition(2);
    edit->insert(QStringLiteral("\n-\n"));
    QCOMPARE(edit->text(), QStringLiteral("Ta-roYamada"));
    QCOMPARE(edit->cursorPosition(), 3);
    // A paste too long for the room left goes in as far as it fits, whole characters only.
    QGuiApplication::clipboard()->setText(QStringLiteral("abcdefgh山田"));
    edit->setText(QStringLiteral("Taro Yamada"));
    edit->setCursorPosition(4);
    edit->paste();
    QCOMPARE(edit->text(), QStringLiteral("Taroabcdefgh Yamada"));
    QCOMPARE(edit->cursorPosition(), 12);
    edit->paste();
    QCOMPARE(edit->text(), QStringLiteral("Taroabcdefgha Yamada"));
}

void TestShellWindow::backgroundMenuAndShortcuts() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    TMainForm* f = MainForm;
    const QString bmp = dir.filePath(QStringLiteral("back.bmp"));
    f->activateWindow();

    key(Qt::Key_F2, Qt::ControlModifier);
    QCOMPARE(backgroundChoice, 1);
    QCOMPARE(checkMarks(), marksOn(1));
    key(Qt::Key_F5, Qt::ControlModifier); // no back.bmp: nothing
    QCOMPARE(backgroundChoice, 1);
    QVERIFY(!f->Back5Menu->isEnabled());

    // Ctrl+F5 works as soon as the file exists, the menu never opened.
    QImage(8, 8, QImage::Format_RGB32).save(bmp, "BMP");
    key(Qt::Key_F5, Qt::ControlModifier);
    QCOMPARE(backgroundChoice, 4);
    QCOMPARE(checkMarks(), marksOn(4));
    QVERIFY(f->Back5Menu->isEnabled());
    // And still, with the item enabled and the menu opened and closed.
    key(Qt::Key_F3, Qt::ControlModifier);
    QCOMPARE(backgroundChoice, 2);
    f->BackMenu->popup(f->mapToGlobal(QPoint(0, 0)));
    f->BackMenu->hide();
    f->activateWindow();
    QTRY_VERIFY(f->isActiveWindow());
    key(Qt::Key_F5, Qt::ControlModifier);
    QCOMPARE(backgroundChoice, 4);
    key(Qt::Key_F1, Qt::ControlModifier);
    QCOMPARE(backgroundChoice, 0);
    key(Qt::Key_F5, Qt::ControlModifier);
    QCOMPARE(backgroundChoice, 4);

    // The file goes: the next opening of the menu moves the mark to STONE.
    QVERIFY(QFile::remove(bmp));
    f->BackMenu->popup(f->mapToGlobal(QPoint(0, 0)));
    QVERIFY(f->BackMenu->isVisible());
    f->BackMenu->hide();
    QCOMPARE(backgroundChoice, 0);
    QCOMPARE(checkMarks(), marksOn(0));
    QVERIFY(!f->Back5Menu->isEnabled());
    // Opening again changes nothing.
    f->BackMenu->popup(f->mapToGlobal(QPoint(0, 0)));
    f->BackMenu->hide();
    QCOMPARE(checkMarks(), marksOn(0));

    f->activateWindow(); // the offscreen platform leaves the closed popup active
    QTRY_VERIFY(f->isActiveWindow());
    f->Back4Menu->trigger();
    QCOMPARE(backgroundChoice, 3);
    QCOMPARE(checkMarks(), marksOn(3));

    // During a round the menu and its shortcuts do nothing.
    QTest::mouseClick(f->StartButton, Qt::LeftButton);
    key(Qt::Key_F1, Qt::ControlModifier);
    QCOMPARE(backgroundChoice, 3);
    f->ReturnManu->trigger();
    key(Qt::Key_F1, Qt::ControlModifier);
    QCOMPARE(backgroundChoice, 0);

    // A folder named back.bmp is no picture.
    QVERIFY(QDir().mkpath(bmp));
    key(Qt::Key_F5, Qt::ControlModifier);
    QCOMPARE(backgroundChoice, 0);
    QVERIFY(!f->Back5Menu->isEnabled());

    QVERIFY(shell.close());
    QVERIFY(settingsText(dir).contains(QStringLiteral("[Back]\nback=0\n")));
}

void TestShellWindow::altLettersOpenTheMenus() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    TMainForm* f = MainForm;
    f->activateWindow();
    key(Qt::Key_G, Qt::AltModifier);
    QTRY_VERIFY(f->N1->isVisible());
    f->N1->hide();
    key(Qt::Key_H, Qt::AltModifier);
    QTRY_VERIFY(f->HelpMenu->isVisible());
    f->HelpMenu->hide();
    key(Qt::Key_R, Qt::AltModifier); // a command on the bar itself
    QTRY_VERIFY(HiscoreForm->isVisible());
    HiscoreForm->hide();
    f->activateWindow();
    QTest::mouseClick(f->StartButton, Qt::LeftButton);
    key(Qt::Key_B, Qt::AltModifier); // disabled during a round
    QTest::qWait(50);
    QVERIFY(!f->BackMenu->isVisible());
}

void TestShellWindow::positionSwapAndOddBackgroundWrittenBack() {
    QTemporaryDir dir;
    writeSettingsFile(dir, "[Position]\nxpos=100\nypos=300\n[Back]\nback=7\n");
    {
        ShellFixture shell(dir.path());
        QCOMPARE(MainForm->pos(), QPoint(300, 100)); // xpos is the top edge
        QCOMPARE(backgroundChoice, 7);
        QCOMPARE(checkMarks(), marksOn(7));
        QVERIFY(shell.close());
        const QString text = settingsText(dir);
        QVERIFY(
            text.startsWith(QStringLiteral("[Position]\nxpos=100\nypos=300\n[Back]\nback=7\n")));
        QCOMPARE(profileKeys(text).size(), 104);
    }
    {
        ShellFixture shell(dir.path());
        MainForm->move(40, 60);
        QVERIFY(shell.close());
        QVERIFY(settingsText(dir).startsWith(QStringLiteral("[Position]\nxpos=60\nypos=40\n")));
    }
}

void TestShellWindow::windowOpensWhereItCanBeSeen() {
    // Two screens side by side, the right one smaller and lower; a 400x450 frame whose top
    // 50 pixels are its title bar and menu bar.
    const QList<QRect> screens{QRect(0, 0, 1280, 1024), QRect(1280, 200, 800, 600)};
    struct Case {
        const char* what;
        QPoint stored, opened;
    };
    const Case cases[] = {
        {"inside", {100, 300}, {100, 300}},
        {"100 pixels of the title showing", {1980, 300}, {1980, 300}},
        {"across both screens", {1100, 180}, {1100, 180}},
        {"hanging below the screen", {100, 900}, {100, 900}},
        {"right of every screen (xpos=3000 read as left)", {3000, 300}, {1680, 300}},
        {"below the smaller screen", {1500, 900}, {1500, 350}},
        {"far below", {100, 5000}, {100, 574}},
        {"70 pixels of the title showing", {-330, 10}, {0, 10}},
        {"title bar above the screen", {-30, -3}, {0, 0}},
    };
    for (const Case& c : cases)
        QVERIFY2(visibleWindowPosition(c.stored, QSize(400, 450), 50, screens) == c.opened, c.what);

    // The real window on the one screen there is; the close writes where it opened.
    QTemporaryDir dir;
    writeSettingsFile(dir, "[Position]\nxpos=3000\nypos=-30\n");
    {
        ShellFixture shell(dir.path());
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(screen.contains(QRect(MainForm->pos(), MainForm->frameGeometry().size())));
        QCOMPARE(MainForm->pos().x(), 0);
        const QPoint opened = MainForm->pos();
        QVERIFY(shell.close());
        QVERIFY(settingsText(dir).startsWith(
            QStringLiteral("[Position]\nxpos=%1\nypos=0\n").arg(opened.y())));
    }
    // Where a program cannot learn its window's position (Wayland), the stored one stays.
    writeSettingsFile(dir, "[Position]\nxpos=3000\nypos=-30\n");
    setWindowPositionsKnown(false);
    {
        ShellFixture shell(dir.path());
        QVERIFY(shell.close());
    }
    setWindowPositionsKnown(std::nullopt);
    QVERIFY(settingsText(dir).startsWith(QStringLiteral("[Position]\nxpos=3000\nypos=-30\n")));
}

void TestShellWindow::closingDuringARoundRecordsNoResult() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    QTest::mouseClick(MainForm->StartButton, Qt::LeftButton);
    gameState.score = 5000;
    QVERIFY(shell.close());
    QVERIFY(!MainForm->isVisible());
    const QString text = settingsText(dir);
    QCOMPARE(profileKeys(text).size(), 104);
    QVERIFY(!text.contains(QStringLiteral("5000")));
}

void TestShellWindow::enterPressesTheFocusedButton() {
    // Every push button takes Enter (main or keypad) when it has the focus, and Enter in
    // the rank entry's name stores it as OK does; no button is a default button.
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    TMainForm* f = MainForm;
    f->activateWindow();
    f->StartButton->setFocus();
    key(Qt::Key_Return);
    QVERIFY(gameScreenShown());
    endRoundByTheNextRow(shell.vp, 500);
    QVERIFY(rankEntryShown());
    f->okButton->setFocus();
    key(Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(titleScreenShown());
    QCOMPARE(f->ranking.RankNumberList[20].section(QLatin1Char(':'), 0, 0), QStringLiteral("500"));
    for (const auto& [enter, modifiers, score] :
         {std::tuple(Qt::Key_Return, Qt::NoModifier, 400),
          std::tuple(Qt::Key_Enter, Qt::KeypadModifier, 300)}) {
        f->StartButton->setFocus();
        key(Qt::Key_Return);
        endRoundByTheNextRow(shell.vp, score);
        QCOMPARE(f->focusWidget(), f->NameEdit);
        QTest::keyClicks(f->NameEdit, QStringLiteral("N"));
        key(enter, modifiers);
        QVERIFY(titleScreenShown());
        QVERIFY(!rankEntryShown());
    }
    QStringList stored;
    for (int i = 20; i < 23; ++i)
        stored << f->ranking.RankNameList[i];
    QCOMPARE(stored, (QStringList{QString(), "N", "NN"}));
    QCOMPARE(f->ranking.RankNumberList[22].section(QLatin1Char(':'), 0, 0), QStringLiteral("300"));

    THiscoreForm* h = HiscoreForm;
    f->HiscoreMenuClick();
    QTRY_VERIFY(h->isActiveWindow());
    h->DownButton->setFocus();
    QTest::keyClick(h->windowHandle(), Qt::Key_Return);
    QCOMPARE(hiscoreLevel, 1);
    h->UpButton->setFocus();
    QTest::keyClick(h->windowHandle(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(hiscoreLevel, 2);
    QVERIFY(h->isVisible());
    h->HiscoreList->setFocus(); // elsewhere Enter presses the dialog's default button
    QTest::keyClick(h->windowHandle(), Qt::Key_Return);
    QVERIFY(!h->isVisible());
    QVERIFY(!f->okButton->isDefault() && !f->StartButton->isDefault());
}

void TestShellWindow::onlyTheChosenBackgroundIsMarked() {
    // The background menu as drawn: a check mark at the chosen item, nothing (no empty
    // check box) in front of the others.
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    QMenu* menu = MainForm->BackMenu;
    MainForm->selectBackground(2);
    menu->popup(MainForm->mapToGlobal(QPoint(0, 0)));
    const QImage shot = menu->grab().toImage().convertToFormat(QImage::Format_RGB32);
    menu->hide();
    // The leftmost pixel of a row that is not the row's background: the mark, if any, else
    // the caption (the menu's frame left out).
    const auto leftmostInk = [&](int value) {
        const QRect row = menu->actionGeometry(MainForm->backItem(value)).adjusted(2, 1, -2, -1);
        QHash<QRgb, int> count;
        for (int x = row.left(); x <= row.right(); ++x)
            ++count[shot.pixel(x, row.center().y())];
        const QRgb background = std::max_element(count.begin(), count.end()).key();
        for (int x = row.left(); x <= row.right(); ++x)
            for (int y = row.top(); y <= row.bottom(); ++y)
                if (shot.pixel(x, y) != background)
                    return x;
        return row.right();
    };
    for (int value : {0, 1, 3})
        QVERIFY(leftmostInk(value) > leftmostInk(2));
}

SHELL_TEST_MAIN(TestShellWindow)
#include "test_shell_window.moc"
