// OK after a round: the result and the typed name go to their place in the level's
// ranking (a newer result above older equal ones), the tenth drops out, the name is
// remembered, and the ranking is saved at once; a hand-edited score that is not a number
// stops the entry without loss, and so does a save that fails.

#include "game/game_state.h"
#include "platform/application.h"
#include "shell/main_form.h"
#include "shell/name_entry_guard.h"
#include "store/safe_file.h"
#include "store/settings_file.h"
#include "support/shell_fixture.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Sets the block of levelCombo position k to these scores (entries "p<place>").
void setBlock(int k, const QList<int>& scores) {
    for (int p = 0; p < 10; ++p) {
        MainForm->ranking.RankNameList[10 * k + p] = QStringLiteral("p%1").arg(p + 1);
        MainForm->ranking.RankNumberList[10 * k + p] =
            QStringLiteral("%1:0;1").arg(scores.value(p));
    }
}

QStringList names(int from, int count) {
    QStringList out;
    for (int i = from; i < from + count; ++i)
        out << MainForm->ranking.RankNameList[i];
    return out;
}

QList<int> scores(int k) {
    QList<int> out;
    for (int i = 10 * k; i < 10 * k + 10; ++i)
        out << MainForm->ranking.RankNumberList[i].section(QLatin1Char(':'), 0, 0).toInt();
    return out;
}

// The round-ended state with an open rank entry for a result at levelCombo position k.
void openEntry(int k, int score, const QString& name) {
    openRankEntry(k, score, name, 7, 3);
}

} // namespace

class TestRankEntry : public QObject {
    Q_OBJECT
private slots:
    void placeAmongEqualScores();
    void aboveEverything();
    void firstAgainstDefaults();
    void hardestLevelKeepsFiftyEntries();
    void emptyNameIsStoredAndRemembered();
    void okWithoutEntryChangesNothing();
    void malformedScoreStopsWithoutLoss();
    void longRememberedNameOfferedCut();
    void failedSaveKeepsTheEntryForTheClose();
    void savedEntriesStayAsTyped();
};

void TestRankEntry::placeAmongEqualScores() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    setBlock(2, {500, 300, 300, 100, 0, 0, 0, 0, 0, 0});
    const QStringList otherBlock = names(0, 10);
    openEntry(2, 300, QStringLiteral("New"));
    QTest::mouseClick(MainForm->okButton, Qt::LeftButton);
    QCOMPARE(scores(2), (QList<int>{500, 300, 300, 300, 100, 0, 0, 0, 0, 0}));
    QCOMPARE(names(20, 10),
             (QStringList{"p1", "New", "p2", "p3", "p4", "p5", "p6", "p7", "p8", "p9"}));
    QCOMPARE(MainForm->ranking.RankNumberList[21], QStringLiteral("300:7;3"));
    QCOMPARE(names(0, 10), otherBlock);
    QCOMPARE(defaultName, QStringLiteral("New"));
    QVERIFY(!MainForm->RankLabel->isVisible() && !MainForm->NameEdit->isVisible());
    QVERIFY(MainForm->StartButton->isVisible() && !MainForm->okButton->isVisible());
}

void TestRankEntry::aboveEverything() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    setBlock(1, {900, 800, 700, 600, 500, 400, 300, 200, 100, 50});
    openEntry(1, 1000, QStringLiteral("Top"));
    MainForm->okButtonClick();
    QCOMPARE(scores(1), (QList<int>{1000, 900, 800, 700, 600, 500, 400, 300, 200, 100}));
    QCOMPARE(names(10, 2), (QStringList{"Top", "p1"}));
}

void TestRankEntry::firstAgainstDefaults() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    openEntry(0, 1, QStringLiteral("One"));
    MainForm->okButtonClick();
    QCOMPARE(names(0, 2), (QStringList{"One", "(none)"}));
    QCOMPARE(MainForm->ranking.RankNumberList[0], QStringLiteral("1:7;3"));
}

void TestRankEntry::hardestLevelKeepsFiftyEntries() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    setBlock(4, {90, 80, 70, 60, 50, 40, 30, 20, 10, 5});
    openEntry(4, 45, QStringLiteral("Hard"));
    MainForm->okButtonClick();
    QCOMPARE(MainForm->ranking.RankNameList.size(), 50);
    QCOMPARE(MainForm->ranking.RankNumberList.size(), 50);
    QCOMPARE(scores(4), (QList<int>{90, 80, 70, 60, 50, 45, 40, 30, 20, 10}));
    QCOMPARE(MainForm->ranking.RankNameList[49], QStringLiteral("p9"));
}

void TestRankEntry::emptyNameIsStoredAndRemembered() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    defaultName = QStringLiteral("Old");
    openEntry(2, 10, QString());
    MainForm->okButtonClick();
    QCOMPARE(MainForm->ranking.RankNameList[20], QString());
    QCOMPARE(defaultName, QString());
    MainForm->NameEdit->setText(QStringLiteral("stale"));
    MainForm->offerRankEntry(defaultName); // the next entry starts empty
    QCOMPARE(MainForm->NameEdit->text(), QString());
    // Restarted, the empty name is read back as empty, not as "(none)".
    MainForm->ReturnManuClick();
    shell.restart();
    QCOMPARE(MainForm->ranking.RankNameList[20], QString());
}

void TestRankEntry::okWithoutEntryChangesNothing() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    defaultName = QStringLiteral("Kept");
    gameState.level = 2;
    gameState.score = 999;
    MainForm->showOkButton();
    MainForm->NameEdit->setText(QStringLiteral("typed"));
    MainForm->okButtonClick();
    QCOMPARE(names(20, 1), QStringList{"(none)"});
    QCOMPARE(defaultName, QStringLiteral("Kept"));
    QVERIFY(MainForm->StartButton->isVisible());
}

void TestRankEntry::malformedScoreStopsWithoutLoss() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    setBlock(2, {500, 300, 300, 100, 0, 0, 0, 0, 0, 0});
    MainForm->ranking.RankNumberList[21] = QStringLiteral("lots:1;1");
    openEntry(2, 200, QStringLiteral("New"));
    QTest::mouseClick(MainForm->okButton, Qt::LeftButton);
    QCOMPARE(shell.errors, QStringList{QStringLiteral("'lots' は整数ではありません.")});
    QCOMPARE(names(20, 10),
             (QStringList{"p1", "p2", "p3", "p4", "p5", "p6", "p7", "p8", "p9", "p10"}));
    QVERIFY(MainForm->RankLabel->isVisible() && MainForm->okButton->isVisible());
    QCOMPARE(defaultName, QString());
    // The menu command back to the title leaves it.
    MainForm->ReturnManu->setEnabled(true);
    MainForm->ReturnManu->trigger();
    QVERIFY(!MainForm->RankLabel->isVisible());
    QVERIFY(MainForm->StartButton->isVisible());
    QCOMPARE(MainForm->ranking.RankNumberList[21], QStringLiteral("lots:1;1"));
}

void TestRankEntry::longRememberedNameOfferedCut() {
    // A hand-edited name wider than the field is offered cut to 20 columns between
    // characters, and the limit holds for what is typed after it.
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    MainForm->offerRankEntry(QStringLiteral("abcdefghijklmnopqrs山田太郎花子"));
    QCOMPARE(MainForm->NameEdit->text(), QStringLiteral("abcdefghijklmnopqrs"));
    shell.vp.runUntil(shell.vp.nowMs() + NameEntryGuard::settleMs); // the name takes keys
    QTest::keyClicks(MainForm->NameEdit, QStringLiteral("xyz"));
    QCOMPARE(MainForm->NameEdit->text(), QStringLiteral("abcdefghijklmnopqrsx"));
}

void TestRankEntry::failedSaveKeepsTheEntryForTheClose() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flinder.ini"));
    QVERIFY(QDir().mkpath(path)); // a folder in the file's place: OK cannot save
    ShellFixture shell(dir.path());
    openEntry(2, 300, QStringLiteral("Kept"));
    QTest::mouseClick(MainForm->okButton, Qt::LeftButton);
    QCOMPARE(shell.errors, QStringList{path + QStringLiteral(" に書き込めません.")});
    QCOMPARE(shell.saveFailureReasons, QStringList{notRegularFileReason});
    QVERIFY(MainForm->StartButton->isVisible());
    QCOMPARE(names(20, 1), QStringList{"Kept"});
    // Once the place is free, the close writes it.
    QVERIFY(QDir(path).removeRecursively());
    QVERIFY(shell.close());
    QCOMPARE(loadSettings(path).ranking.RankNameList[20], QStringLiteral("Kept"));
}

void TestRankEntry::savedEntriesStayAsTyped() {
    // Each OK saves, and the file reads a name back without the blanks at its ends: the
    // window goes on holding, and writing, its entries and name as they were typed.
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    for (int k : {2, 1}) {
        openEntry(k, 300, QStringLiteral("  Taro  "));
        QTest::mouseClick(MainForm->okButton, Qt::LeftButton);
    }
    QCOMPARE(names(20, 1), QStringList{"  Taro  "});
    QCOMPARE(names(10, 1), QStringList{"  Taro  "});
    QVERIFY(shell.close());
    const QByteArray saved = fileBytes(dir.filePath(QStringLiteral("flinder.ini")));
    QVERIFY(saved.contains("\nname20=  Taro  \n") && saved.contains("\ndefault=  Taro  \n"));
}

SHELL_TEST_MAIN(TestRankEntry)
#include "test_rank_entry.moc"
