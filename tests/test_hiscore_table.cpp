// The hiscore table's lines, column by column, with full-width names and the widest
// numbers, and the dialog that shows them level by level.

#include "platform/application.h"
#include "shell/hiscore_form.h"
#include "shell/hiscore_table.h"
#include "shell/main_form.h"
#include "store/text_columns.h"
#include "support/shell_fixture.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString sp(int n) {
    return QString(n, QLatin1Char(' '));
}

QStringList tableLines() {
    QStringList lines;
    for (int i = 0; i < HiscoreForm->HiscoreList->count(); ++i)
        lines << HiscoreForm->HiscoreList->item(i)->text();
    return lines;
}

void setEntry(int index, const QString& name, const QString& result) {
    MainForm->ranking.RankNameList[index] = name;
    MainForm->ranking.RankNumberList[index] = result;
}

} // namespace

class TestHiscoreTable : public QObject {
    Q_OBJECT
private slots:
    void widths_data();
    void widths();
    void lines_data();
    void lines();
    void neverFilledEntryColumns();
    void dialogLayout();
    void steppingBetweenLevels();
    void tableOfABlock();
    void newEntryShownAfterSteppingOrReopening();
    void listDrawsCrispAlignedColumns();
    void wideLineScrollsSideways();
};

void TestHiscoreTable::widths_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("columns");
    QTest::newRow("ASCII") << "Taro 12" << 7;
    QTest::newRow("full-width") << QStringLiteral("山田　太郎") << 10;
    QTest::newRow("half-width kana") << QStringLiteral("ﾔﾏﾀﾞ") << 4;
    QTest::newRow("full-width tilde and circled one") << QStringLiteral("～①") << 4;
    // Outside Shift-JIS the font draws letters in one cell, wide characters in two.
    QTest::newRow("narrow letters not in Shift-JIS") << QStringLiteral("Zoé Müller ŁÑÇ€") << 15;
    QTest::newRow("wide characters not in Shift-JIS") << QStringLiteral("한😀") << 4;
    QTest::newRow("empty") << "" << 0;
}

void TestHiscoreTable::widths() {
    QFETCH(QString, text);
    QFETCH(int, columns);
    QCOMPARE(columnWidth(text), columns);
}

void TestHiscoreTable::lines_data() {
    QTest::addColumn<int>("place");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("line");
    QTest::newRow("ordinary") << 2 << "Taro"
                              << "4321:12;3"
                              << "  2 Taro" + sp(16) + " " + sp(6) + "4,321  " + sp(3) + "12  " +
                                     sp(2) + "3";
    QTest::newRow("widest numbers, name of 20")
        << 10 << "ABCDEFGHIJKLMNOPQRST"
        << "999999999:9999;999"
        << " 10 ABCDEFGHIJKLMNOPQRST 999,999,999  9,999  999";
    QTest::newRow("full-width name") << 3 << QStringLiteral("山田　太郎") << "80000:1000;12"
                                     << QStringLiteral("  3 山田　太郎") + sp(10) + " " + sp(5) +
                                            "80,000  1,000  " + sp(1) + "12";
    QTest::newRow("full-width name of 20 columns")
        << 4 << QStringLiteral("あいうえおかきくけこ") << "1000000:0;1"
        << QStringLiteral("  4 あいうえおかきくけこ ") + sp(2) + "1,000,000  " + sp(4) + "0  " +
               sp(2) + "1";
    QTest::newRow("name too wide moves the columns")
        << 5 << "ABCDEFGHIJKLMNOPQRSTU"
        << "7:0;1"
        << "  5 ABCDEFGHIJKLMNOPQRSTU " + sp(10) + "7  " + sp(4) + "0  " + sp(2) + "1";
    QTest::newRow("score too wide")
        << 6 << "x"
        << "1234567890:1;2"
        << "  6 x" + sp(19) + " 1,234,567,890  " + sp(4) + "1  " + sp(2) + "2";
    QTest::newRow("hand-edited, no separators")
        << 7 << "x"
        << "abc"
        << "  7 x" + sp(19) + " " + sp(11) + "  " + sp(5) + "  " + sp(3);
    QTest::newRow("hand-edited parts shown as they are")
        << 8 << "x"
        << "12:x;phase"
        << "  8 x" + sp(19) + " " + sp(9) + "12  " + sp(4) + "x  phase";
    QTest::newRow("empty name") << 9 << ""
                                << "1:2;3"
                                << "  9 " + sp(20) + " " + sp(10) + "1  " + sp(4) + "2  " + sp(2) +
                                       "3";
}

void TestHiscoreTable::lines() {
    QFETCH(int, place);
    QFETCH(QString, name);
    QFETCH(QString, result);
    QFETCH(QString, line);
    QCOMPARE(hiscoreLine(place, name, result), line);
}

void TestHiscoreTable::neverFilledEntryColumns() {
    const QString line = hiscoreLine(1, QStringLiteral("(none)"), QStringLiteral("0:0;0"));
    QCOMPARE(line.size(), 48);
    QCOMPARE(line.left(10), QStringLiteral("  1 (none)"));
    QCOMPARE(line.mid(10, 25), sp(25));
    QCOMPARE(line[35], QLatin1Char('0'));
    QCOMPARE(line.mid(36, 6), sp(6));
    QCOMPARE(line[42], QLatin1Char('0'));
    QCOMPARE(line.mid(43, 4), sp(4));
    QCOMPARE(line[47], QLatin1Char('0'));
    // A score of 4321 ends at character 35 as well.
    QCOMPARE(hiscoreLine(1, QStringLiteral("(none)"), QStringLiteral("4321:0;0")).mid(25, 11),
             sp(6) + QStringLiteral("4,321"));
}

void TestHiscoreTable::dialogLayout() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    THiscoreForm* h = HiscoreForm;
    QCOMPARE(h->minimumSize(), h->maximumSize());
    QVERIFY(!(h->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(!h->isModal());
    QVERIFY(h->OKButton->isDefault());
    // Tab order: OKButton, HiscoreList, DownButton, UpButton.
    MainForm->HiscoreMenuClick();
    QTRY_VERIFY(h->isActiveWindow());
    h->OKButton->setFocus();
    for (QWidget* next : {(QWidget*)h->HiscoreList, (QWidget*)h->DownButton, (QWidget*)h->UpButton,
                          (QWidget*)h->OKButton}) {
        QTest::keyClick(h->windowHandle(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
}

void TestHiscoreTable::steppingBetweenLevels() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    THiscoreForm* h = HiscoreForm;
    MainForm->HiscoreMenuClick();
    QVERIFY(h->isVisible());
    QCOMPARE(hiscoreLevel, 2);
    QCOMPARE(h->LevelLabel->text(), QStringLiteral("ふつう"));
    QVERIFY(h->DownButton->isEnabled() && h->UpButton->isEnabled());
    QTest::mouseClick(h->DownButton, Qt::LeftButton);
    QTest::mouseClick(h->DownButton, Qt::LeftButton);
    QCOMPARE(h->LevelLabel->text(), QStringLiteral("ちょろい"));
    QVERIFY(!h->DownButton->isEnabled() && h->UpButton->isEnabled());
    for (int i = 0; i < 4; ++i)
        QTest::mouseClick(h->UpButton, Qt::LeftButton);
    QCOMPARE(hiscoreLevel, 4);
    QCOMPARE(h->LevelLabel->text(), QStringLiteral("きつい"));
    QVERIFY(h->DownButton->isEnabled() && !h->UpButton->isEnabled());
    // Enter presses the default button, which hides the dialog.
    QTest::keyClick(h, Qt::Key_Return);
    QVERIFY(!h->isVisible());
    // It opens on the level chosen on the title screen.
    MainForm->levelCombo->setCurrentIndex(0);
    MainForm->HiscoreMenuClick();
    QCOMPARE(h->LevelLabel->text(), QStringLiteral("ちょろい"));
    QVERIFY(!h->DownButton->isEnabled());
    QTest::mouseClick(h->OKButton, Qt::LeftButton);
    QVERIFY(!h->isVisible());
}

void TestHiscoreTable::tableOfABlock() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    setEntry(30, QStringLiteral("山田　太郎"), QStringLiteral("999999999:9999;999"));
    setEntry(31, QStringLiteral("Hana"), QStringLiteral("4321:5;2"));
    MainForm->levelCombo->setCurrentIndex(3);
    MainForm->HiscoreMenuClick();
    const QStringList lines = tableLines();
    QCOMPARE(lines.size(), 11);
    QCOMPARE(lines[0], QStringLiteral("Rank     N  a  m  e       S c o r e  Vanish Phase"));
    QCOMPARE(lines[1], QStringLiteral("  1 山田　太郎") + sp(10) +
                           QStringLiteral(" 999,999,999  9,999  999"));
    QCOMPARE(lines[2], hiscoreLine(2, QStringLiteral("Hana"), QStringLiteral("4321:5;2")));
    for (int p = 3; p <= 10; ++p)
        QCOMPARE(lines[p], hiscoreLine(p, QStringLiteral("(none)"), QStringLiteral("0:0;0")));
    QVERIFY(lines[10].startsWith(QStringLiteral(" 10 (none)")));
    for (int i = 0; i < 11; ++i) // every line fits the list at 12 pixels a line
        QCOMPARE(HiscoreForm->HiscoreList->visualItemRect(HiscoreForm->HiscoreList->item(i)).top(),
                 12 * i);
}

void TestHiscoreTable::newEntryShownAfterSteppingOrReopening() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    THiscoreForm* h = HiscoreForm;
    MainForm->HiscoreMenuClick();
    setEntry(20, QStringLiteral("New"), QStringLiteral("10:1;1"));
    QVERIFY(tableLines()[1].startsWith(QStringLiteral("  1 (none)"))); // not refreshed by itself
    MainForm->HiscoreMenuClick(); // already open: only brought to the front
    QVERIFY(tableLines()[1].startsWith(QStringLiteral("  1 (none)")));
    QTest::mouseClick(h->UpButton, Qt::LeftButton);
    QTest::mouseClick(h->DownButton, Qt::LeftButton);
    QVERIFY(tableLines()[1].startsWith(QStringLiteral("  1 New")));
    setEntry(21, QStringLiteral("Second"), QStringLiteral("5:1;1"));
    h->OKButtonClick();
    MainForm->HiscoreMenuClick();
    QVERIFY(tableLines()[2].startsWith(QStringLiteral("  2 Second")));
}

void TestHiscoreTable::listDrawsCrispAlignedColumns() {
    // As the list shows at one device pixel per pixel: letters are ink or paper, not grey
    // blurs (the "m" of "Name" once came out a grey block), and every line's last column
    // ends at the same pixel whatever characters its name has.
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    const QStringList names{QStringLiteral("Zoé Müller"), QStringLiteral("±×÷§°"),
                            QStringLiteral("山田　太郎"), QStringLiteral("ﾊﾅｺ ŁÑ€")};
    for (int i = 0; i < names.size(); ++i)
        setEntry(20 + i, names[i], QStringLiteral("4321:12;3"));
    MainForm->HiscoreMenuClick();
    QListWidget* list = HiscoreForm->HiscoreList;
    const QImage shot = list->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shot.devicePixelRatio(), 1.0);
    const QRgb paper = list->palette().color(QPalette::Base).rgb();
    const auto lastInk = [&](int row) {
        const QRect r = list->visualItemRect(list->item(row));
        for (int x = r.right(); x >= r.left(); --x)
            for (int y = r.top(); y <= r.bottom(); ++y)
                if (shot.pixel(x, y) != paper)
                    return x;
        return -1;
    };
    for (int row = 2; row <= names.size(); ++row)
        QCOMPARE(lastInk(row), lastInk(1));
    const QRect header = list->visualItemRect(list->item(0));
    int blurred = 0;
    for (int y = header.top(); y <= header.bottom(); ++y)
        for (int x = header.left(); x <= header.right(); ++x)
            blurred += qGray(shot.pixel(x, y)) > 64 && qGray(shot.pixel(x, y)) < 192;
    QCOMPARE(blurred, 0);
}

void TestHiscoreTable::wideLineScrollsSideways() {
    // A hand-edited name far wider than the list: nothing is cut, the list scrolls.
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    setEntry(29, QStringLiteral("A name far too long for the list, typed into the file"),
             QStringLiteral("4321:12;3"));
    MainForm->HiscoreMenuClick();
    QListWidget* list = HiscoreForm->HiscoreList;
    QListWidgetItem* line = list->item(10);
    QVERIFY(list->visualItemRect(line).width() >= 6 * columnWidth(line->text()));
    list->horizontalScrollBar()->setValue(list->horizontalScrollBar()->maximum());
    QVERIFY(list->visualItemRect(line).right() < list->viewport()->width());
    list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
    QVERIFY(list->visualItemRect(line).bottom() < list->viewport()->height()); // above the bar
}

SHELL_TEST_MAIN(TestHiscoreTable)
#include "test_hiscore_table.moc"
