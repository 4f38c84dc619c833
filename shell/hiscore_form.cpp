#include "shell/hiscore_form.h"

#include "screen/fonts.h"
#include "shell/column_delegate.h"
#include "shell/handler_connect.h"
#include "shell/hiscore_table.h"
#include "shell/main_form.h"
#include "store/ranking.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

THiscoreForm* HiscoreForm = nullptr;
int hiscoreLevel = 0;

namespace {

constexpr int lineHeight = 12;

} // namespace

THiscoreForm::THiscoreForm(QWidget* mainWindow)
    : TDialogForm(mainWindow, QStringLiteral("ハイスコア"), QSize(322, 212)) {
    LevelLabel = new QLabel(this);
    LevelLabel->setGeometry(73, 11, 172, 16);
    LevelLabel->setFont(gameFont(pGothicFamily, 16, false));
    LevelLabel->setAlignment(Qt::AlignCenter);

    OKButton = new QPushButton(QStringLiteral("閉じる"), this);
    OKButton->setGeometry(119, 182, 75, 25);
    OKButton->setDefault(true);

    HiscoreList = new QListWidget(this);
    HiscoreList->setGeometry(9, 37, 300, 139);
    HiscoreList->setFont(gameFont(gothicFamily, 12, false));
    HiscoreList->setItemDelegate(new ColumnDelegate(lineHeight, HiscoreList));
    HiscoreList->setFrameShape(QFrame::NoFrame);
    // A line wider than the list (a long hand-edited name or result) is shown whole: the
    // list then scrolls sideways, and up and down past the scroll bar.
    HiscoreList->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    HiscoreList->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    HiscoreList->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    QPalette palette = HiscoreList->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    HiscoreList->setPalette(palette);

    DownButton = new QPushButton(QStringLiteral("＜"), this);
    DownButton->setGeometry(8, 6, 24, 24);
    UpButton = new QPushButton(QStringLiteral("＞"), this);
    UpButton->setGeometry(289, 6, 24, 24);

    setTabOrder(OKButton, HiscoreList);
    setTabOrder(HiscoreList, DownButton);
    setTabOrder(DownButton, UpButton);

    connectHandler(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
    connectHandler(DownButton, &QPushButton::clicked, this, [this] { DownButtonClick(); });
    connectHandler(UpButton, &QPushButton::clicked, this, [this] { UpButtonClick(); });
}

void THiscoreForm::FormShow() {
    hiscoreLevel = MainForm->levelCombo->currentIndex();
    buildHiscoreTable(hiscoreLevel);
}

void THiscoreForm::DownButtonClick() {
    --hiscoreLevel;
    buildHiscoreTable(hiscoreLevel);
}

void THiscoreForm::UpButtonClick() {
    ++hiscoreLevel;
    buildHiscoreTable(hiscoreLevel);
}

void THiscoreForm::OKButtonClick() {
    hide();
}

void THiscoreForm::buildHiscoreTable(int k) {
    DownButton->setEnabled(k > 0);
    UpButton->setEnabled(k < 4);
    LevelLabel->setText(MainForm->levelCombo->itemText(k));
    HiscoreList->clear();
    auto addLine = [this](const QString& text) { new QListWidgetItem(text, HiscoreList); };
    addLine(hiscoreHeader);
    const Ranking& ranking = MainForm->ranking;
    for (int i = levelBlockStart(k); i < levelBlockStart(k) + entriesPerLevel; ++i)
        addLine(hiscoreLine(i - levelBlockStart(k) + 1, ranking.RankNameList.value(i),
                            ranking.RankNumberList.value(i)));
}
