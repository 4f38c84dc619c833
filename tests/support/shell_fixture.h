#pragma once
// What the shell tests share: the three windows created as start-up creates them, with
// their files in a folder of the test's choosing, the game on a virtual platform, and
// the exception display recording instead of opening a box.

#include "platform/virtual_platform.h"
#include "shell/save_failure_box.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

class ShellFixture {
public:
    // Creates MainForm (constructor, FormCreate), VersionForm and HiscoreForm, and shows
    // the main window, with "flinder.ini" and "back.bmp" in folder.
    explicit ShellFixture(const QString& folder, const QImage& sheet = QImage());
    ~ShellFixture();
    ShellFixture(const ShellFixture&) = delete;
    ShellFixture& operator=(const ShellFixture&) = delete;

    // Closes the main window as its close box does; true when it closed.
    bool close();
    // Closes and recreates the windows: a restart of the program.
    void restart();

    VirtualPlatform vp;
    QStringList errors; // texts shown by the exception display and the failed-save boxes
    QStringList saveFailureReasons; // the reasons the failed-save boxes gave, in turn
    // The answers the failed-save box at the close gives, in turn; then KeepOpen.
    QList<SaveFailureChoice> saveFailureAnswers;
    QString folder;

private:
    void create();
    void destroy();
    QImage sheet_;
};

// The round-ended state with an open rank entry, name typed in, for a result at
// levelCombo position k, as the player meets it after a round.
void openRankEntry(int k, int score, const QString& name, int vanish, int phase);

// Reads a whole file; empty when it cannot be read.
QByteArray fileBytes(const QString& path);
// Writes a whole file (test set-up); fails the test through QVERIFY-free abort on error.
void writeFileBytes(const QString& path, const QByteArray& bytes);

// The keys of a settings text in file order, as "Section/key" (for checking order).
QStringList profileKeys(const QString& text);

// Runs a test object under the program's own application object (which catches what
// a handler throws), titled "Flinder" as start-up titles it.
#define SHELL_TEST_MAIN(TestClass)                                                                 \
    int main(int argc, char** argv) {                                                              \
        Application app(argc, argv);                                                               \
        QApplication::setApplicationName(QStringLiteral("Flinder"));                               \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
