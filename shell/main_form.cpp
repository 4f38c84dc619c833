#include "shell/main_form.h"

#include "game/game_state.h"
#include "screen/fonts.h"
#include "screen/frame.h"
#include "screen/logos.h"
#include "shell/fitted_label.h"
#include "shell/handler_connect.h"
#include "shell/menu_check_style.h"
#include "shell/name_validator.h"
#include "shell/picture_view.h"
#include "shell/transparent_picture.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>

TMainForm* MainForm = nullptr;

namespace {

// Labels of a fixed size: whatever the installed face, their text shows whole.
QLabel* newLabel(const QString& text, const QFont& font, QRect geometry, QWidget* parent) {
    auto* label = new FittedLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setGeometry(geometry);
    label->hide();
    return label;
}

} // namespace

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("Flinder"));
    setFont(gameFont(centuryFamily, 12, false));
    client_ = new QWidget(this);
    client_->setFixedSize(400, 400);
    setCentralWidget(client_);
    createComponents();
    createMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // The constructor's own settings, before FormCreate.
    gameState.inputEnabled = 0;
    levelCombo->setCurrentIndex(2);

    setRoundView(this);
    setPresentHook([this] { MainImage->presented(presentedRect()); });
    qApp->installEventFilter(this);
}

TMainForm::~TMainForm() {
    setPresentHook(nullptr);
    setRoundView(nullptr);
    if (MainForm == this)
        MainForm = nullptr;
}

// In the order of creation: pictures and labels first, so every button and the edit
// field lies above them; each later one above the earlier.
void TMainForm::createComponents() {
    QWidget* c = client_;
    MainImage = new PictureView(&pictures.MainImage, c);
    MainImage->setGeometry(0, 0, 400, 400);
    MainImage->hide();

    MessageLabel =
        newLabel(QString(), gameFont(centuryFamily, 35, true), QRect(35, 142, 174, 64), c);
    MessageLabel->setAlignment(Qt::AlignCenter);

    TitleImage =
        newTransparentPicture(titleLogo(), QStringLiteral(":/assets/title_logo@2x.png"), c);
    TitleImage->move(55, 90);

    RankLabel = newLabel(QStringLiteral("Rank In !"), gameFont(centuryFamily, 13, true),
                         QRect(262, 216, 85, 16), c);
    // The name prompt's rectangle overlaps the lower rows of this one: the text keeps to
    // the rows above it.
    RankLabel->setContentsMargins(0, 0, 0, 3);
    InputLabel = newLabel(QStringLiteral("Input Your Name"), gameFont(centuryFamily, 13, false),
                          QRect(263, 228, 94, 13), c);

    SelectGroup = new QGroupBox(QStringLiteral("SELECT LEVEL"), c);
    SelectGroup->setGeometry(54, 266, 300, 65);
    // The frame line runs through the middle of the caption, as Windows draws a group.
    SelectGroup->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 2px; }"));

    StartButton = new QPushButton(QStringLiteral("START"), c);
    StartButton->setGeometry(255, 289, 75, 25);
    // A focused button takes Enter as well as Space, as on Windows.
    StartButton->setAutoDefault(true);
    connectHandler(StartButton, &QPushButton::clicked, this, [this] { StartButtonClick(); });

    levelCombo = new QComboBox(c);
    levelCombo->addItems({QStringLiteral("ちょろい"), QStringLiteral("かるい"),
                          QStringLiteral("ふつう"), QStringLiteral("むずい"),
                          QStringLiteral("きつい")});
    levelCombo->setGeometry(92, 291, 144, levelCombo->sizeHint().height());

    okButton = new QPushButton(QStringLiteral("OK"), c);
    okButton->setGeometry(334, 268, 54, 21);
    okButton->setAutoDefault(true); // Enter when it has the focus; it is no default button
    okButton->hide();
    connectHandler(okButton, &QPushButton::clicked, this, [this] { okButtonClick(); });

    NameEdit = new QLineEdit(c);
    NameEdit->setGeometry(261, 242, 127, 20);
    NameEdit->setValidator(new NameValidator(NameEdit));
    NameEdit->hide();
    // Enter (or keypad Enter) in the name does what OK does; no button becomes a default.
    connectHandler(NameEdit, &QLineEdit::returnPressed, this, [this] { okButtonClick(); });

    setTabOrder(StartButton, levelCombo);
    setTabOrder(levelCombo, okButton);
    // SelectGroup comes here in the order, but a group frame never takes the focus.
    setTabOrder(okButton, NameEdit);
}

void TMainForm::createMenus() {
    MainMenu1 = menuBar();
    // Menus speak in the desktop's menu font, not in the window's Century.
    MainMenu1->setFont(QApplication::font("QMenuBar"));

    N1 = MainMenu1->addMenu(QStringLiteral("ゲーム(&G)"));
    ReturnManu = N1->addAction(QStringLiteral("タイトルに戻る(&T)"));
    ReturnManu->setEnabled(false);
    N1->addSeparator();
    ExitMenu = N1->addAction(QStringLiteral("終了(&X)"));
    connectHandler(ReturnManu, &QAction::triggered, this, [this] { ReturnManuClick(); });
    connectHandler(ExitMenu, &QAction::triggered, this, [this] { ExitMenuClick(); });

    BackMenu = MainMenu1->addMenu(QStringLiteral("背景(&B)"));
    auto* checkStyle = new MenuCheckStyle;
    checkStyle->setParent(BackMenu);
    BackMenu->setStyle(checkStyle);
    const QString captions[5] = {QStringLiteral("STONE"), QStringLiteral("MARINE"),
                                 QStringLiteral("WA"), QStringLiteral("RAIN"),
                                 QStringLiteral("back.bmp")};
    QAction** items[5] = {&Back1Menu, &Back2Menu, &Back3Menu, &Back4Menu, &Back5Menu};
    for (int i = 0; i < 5; ++i) {
        if (i == 4)
            BackMenu->addSeparator();
        const QKeySequence keys(Qt::CTRL | Qt::Key(Qt::Key_F1 + i));
        // The menu shows the key after a tab; the key itself is a shortcut of the window,
        // which works while the item is disabled (backShortcut decides), and only one
        // shortcut may own it.
        QAction* item = BackMenu->addAction(captions[i] + QLatin1Char('\t') +
                                            keys.toString(QKeySequence::NativeText));
        item->setCheckable(true);
        connectHandler(item, &QAction::triggered, this, [this, i] { selectBackground(i); });
        *items[i] = item;
        backShortcuts[size_t(i)] = new QShortcut(keys, this);
        connectHandler(backShortcuts[size_t(i)], &QShortcut::activated, this,
                       [this, i] { backShortcut(i); });
    }
    Back5Menu->setEnabled(false);
    connectHandler(BackMenu, &QMenu::aboutToShow, this, [this] { BackMenuClick(); });

    HiscoreMenu = MainMenu1->addAction(QStringLiteral("ハイスコア(&R)"));
    connectHandler(HiscoreMenu, &QAction::triggered, this, [this] { HiscoreMenuClick(); });

    HelpMenu = MainMenu1->addMenu(QStringLiteral("ヘルプ(&H)"));
    ContentsMenu = HelpMenu->addAction(QStringLiteral("目次(&C)"));
    HelpMenu->addSeparator();
    About1 = HelpMenu->addAction(QStringLiteral("バージョン情報(&A)"));
    connectHandler(ContentsMenu, &QAction::triggered, this, [this] { ContentsMenuClick(); });
    connectHandler(About1, &QAction::triggered, this, [this] { About1Click(); });
}
