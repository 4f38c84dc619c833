// Where the two dialogs appear on their first and later showings, the version dialog's
// contents and link, and the help page handed to the desktop (or named when it cannot be,
// also when the desktop's opener says so only after a while).

#include "platform/app_folder.h"
#include "platform/application.h"
#include "shell/hiscore_form.h"
#include "shell/main_form.h"
#include "shell/version_form.h"
#include "support/shell_fixture.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

// Receives what the program hands to the desktop.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

// While it lives, the PATH is a folder of its own, holding an xdg-open that runs the
// shell commands given (none when empty); "$1" is what it is asked to open, and "log"
// a file in that folder.
class FakeOpener {
public:
    explicit FakeOpener(const QByteArray& commands) : oldPath_(qgetenv("PATH")) {
        if (!commands.isEmpty()) {
            const QString opener = dir_.filePath(QStringLiteral("xdg-open"));
            writeFileBytes(opener, "#!/bin/sh\nPATH=/usr/bin:/bin\nlog='" +
                                       dir_.filePath(QStringLiteral("log")).toUtf8() + "'\n" +
                                       commands);
            QFile::setPermissions(opener, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        qputenv("PATH", QFile::encodeName(dir_.path()));
    }
    ~FakeOpener() { qputenv("PATH", oldPath_); }
    // What it was asked to open, line by line, so far.
    QStringList opened() const {
        return QString::fromUtf8(fileBytes(dir_.filePath(QStringLiteral("log"))))
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private:
    QTemporaryDir dir_;
    QByteArray oldPath_;
};

// Where a shown dialog centred over the main window lies, frames included.
QPoint centredOverMain(const QWidget* dialog) {
    const QRect main = MainForm->frameGeometry();
    const QSize frame = dialog->frameGeometry().size();
    return QPoint(main.left() + (main.width() - frame.width()) / 2,
                  main.top() + (main.height() - frame.height()) / 2);
}

} // namespace

class TestShellDialogs : public QObject {
    Q_OBJECT
private slots:
    void versionDialogContents();
    void versionDialogCentredFirstThenAtTheLeftEdge();
    void hiscoreDialogCentredFirstThenWhereItWas();
    void linkAndHelpGoToTheDesktop();
    void pageThatCannotBeOpenedIsNamed();
    void openerThatFailsLaterIsReported();
};

void TestShellDialogs::versionDialogContents() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    TVersionForm* v = VersionForm;
    QCOMPARE(v->minimumSize(), v->maximumSize());
    QVERIFY(!(v->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(v->Label3->text(), homePageAddress);
    QVERIFY(v->OKButton->isDefault());
    MainForm->About1->trigger();
    QVERIFY(v->isVisible());
    // The labels take the size of their text: nothing is cut, whatever the font measures.
    QCOMPARE(v->Label1->size(), v->Label1->sizeHint());
    QCOMPARE(v->Label3->size(), v->Label3->sizeHint());
    QTest::keyClick(v, Qt::Key_Return); // Enter presses "閉じる"
    QVERIFY(!v->isVisible());
    MainForm->About1->trigger();
    v->close(); // the close box only hides it
    QVERIFY(!v->isVisible());
    QCOMPARE(VersionForm, v);
}

void TestShellDialogs::versionDialogCentredFirstThenAtTheLeftEdge() {
    QTemporaryDir dir;
    writeFileBytes(dir.filePath(QStringLiteral("flinder.ini")), "[Position]\nxpos=120\nypos=250\n");
    ShellFixture shell(dir.path());
    TVersionForm* v = VersionForm;
    MainForm->About1Click();
    QCOMPARE(v->pos(), centredOverMain(v));
    const int top = v->pos().y();
    // Open again while open: only brought to the front, it does not move.
    v->move(500, top + 30);
    MainForm->About1Click();
    QCOMPARE(v->pos(), QPoint(500, top + 30));
    QTest::mouseClick(v->OKButton, Qt::LeftButton);
    QVERIFY(!v->isVisible());
    MainForm->About1Click();
    QVERIFY(v->isVisible());
    QCOMPARE(v->pos(), QPoint(1, top + 30)); // left edge at 1, top where it was
    v->hide();
    MainForm->move(10, 10);
    MainForm->About1Click();
    QCOMPARE(v->pos(), QPoint(1, top + 30));
}

void TestShellDialogs::hiscoreDialogCentredFirstThenWhereItWas() {
    QTemporaryDir dir;
    writeFileBytes(dir.filePath(QStringLiteral("flinder.ini")), "[Position]\nxpos=100\nypos=300\n");
    ShellFixture shell(dir.path());
    THiscoreForm* h = HiscoreForm;
    MainForm->HiscoreMenu->trigger();
    QCOMPARE(h->pos(), centredOverMain(h));
    QCOMPARE(h->pos(), QPoint(300 + (400 - 322) / 2, 100 + (MainForm->height() - 212) / 2));
    h->move(20, 30);
    QTest::mouseClick(h->OKButton, Qt::LeftButton);
    MainForm->move(500, 300);
    MainForm->HiscoreMenu->trigger();
    QCOMPARE(h->pos(), QPoint(20, 30));
    // The dialogs do not stop the main window: a round can be started meanwhile.
    QTest::mouseClick(MainForm->StartButton, Qt::LeftButton);
    QVERIFY(MainForm->ReturnManu->isEnabled());
    QVERIFY(h->isVisible());
}

void TestShellDialogs::linkAndHelpGoToTheDesktop() {
    QTemporaryDir dir, elsewhere, installed, unpacked;
    writeFileBytes(dir.filePath(QStringLiteral("flinder.ini")), "[Ranking]\nname0=Kept\n");
    const auto page = [](const QTemporaryDir& base, const QString& folder) {
        QDir().mkpath(base.filePath(folder));
        const QString path = base.filePath(folder + QStringLiteral("/help.htm"));
        writeFileBytes(path, "<html></html>");
        return path;
    };
    // An installed copy (as the package lays it out) and an unpacked one with its page.
    QDir().mkpath(installed.filePath(QStringLiteral("games")));
    const QString installedPage = page(installed, QStringLiteral("share/games/flinder/help"));
    writeFileBytes(installed.filePath(QStringLiteral("share/games/flinder/installed")), "");
    const QString unpackedPage = page(unpacked, QStringLiteral("help"));
    const QString oldCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    FakeOpener opener("printf '%s\\n' \"$1\" >>\"$log\"\n");
    QList<QUrl> urls;
    // Each page as soon as the opener has it, so that their order shows.
    const auto openedNext = [&] {
        if (!QTest::qWaitFor([&] { return opener.opened().size() > urls.size(); }))
            return false;
        urls << QUrl(opener.opened().constLast());
        return true;
    };
    QString currentPage;
    {
        ShellFixture shell(dir.path());
        // The settings come from the data folder, not from the current directory.
        QCOMPARE(MainForm->ranking.RankNameList[0], QStringLiteral("Kept"));
        // Started elsewhere, each copy opens its own page.
        setProgramFolder(installed.filePath(QStringLiteral("games")));
        MainForm->ContentsMenu->trigger();
        QVERIFY(openedNext());
        setProgramFolder(unpacked.path());
        MainForm->ContentsMenu->trigger();
        QVERIFY(openedNext());
        // A page below the current directory comes first.
        currentPage = page(elsewhere, QStringLiteral("help"));
        MainForm->ContentsMenu->trigger();
        QVERIFY(openedNext());
        setProgramFolder(QString());
        MainForm->About1Click();
        QTest::mouseClick(VersionForm->Label3, Qt::LeftButton);
        QVERIFY(openedNext());
        QTest::qWait(50); // the openers' ends reported nothing
        QVERIFY(shell.errors.isEmpty());
    }
    QDir::setCurrent(oldCurrent);
    QCOMPARE(urls,
             (QList<QUrl>{QUrl::fromLocalFile(installedPage), QUrl::fromLocalFile(unpackedPage),
                          QUrl::fromLocalFile(currentPage), QUrl(homePageAddress)}));
}

void TestShellDialogs::pageThatCannotBeOpenedIsNamed() {
    QTemporaryDir dir, elsewhere, unpacked;
    const QString expected = unpacked.filePath(QStringLiteral("help/help.htm"));
    const QString oldCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    setProgramFolder(unpacked.path());
    FakeOpener noOpener(""); // the toolkit's own way to the desktop
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    ShellFixture shell(dir.path());
    // No page anywhere: nothing for the desktop, the player is told where it belongs.
    MainForm->ContentsMenu->trigger();
    QVERIFY(recorder.urls.isEmpty());
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    // The page exists, but the desktop cannot open it (the offscreen platform has no
    // desktop to hand it to), nor the web address.
    QDir().mkpath(unpacked.filePath(QStringLiteral("help")));
    writeFileBytes(expected, "<html></html>");
    MainForm->ContentsMenu->trigger();
    MainForm->About1Click();
    QTest::mouseClick(VersionForm->Label3, Qt::LeftButton);
    setProgramFolder(QString());
    QDir::setCurrent(oldCurrent);
    const QString helpError = expected + QStringLiteral(" を開けません.");
    QCOMPARE(shell.errors, (QStringList{helpError, helpError,
                                        homePageAddress + QStringLiteral(" を開けません.")}));
    QVERIFY(MainForm->isVisible());
}

void TestShellDialogs::openerThatFailsLaterIsReported() {
    // xdg-open is there, but there is nothing to open a page with: it says so by its exit
    // code, after a while. The menu command does not wait for it meanwhile.
    QTemporaryDir dir, elsewhere;
    const QString page = elsewhere.filePath(QStringLiteral("help/help.htm"));
    QDir().mkpath(elsewhere.filePath(QStringLiteral("help")));
    writeFileBytes(page, "<html></html>");
    const QString oldCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    FakeOpener opener("sleep 2\nprintf '%s\\n' \"$1\" >>\"$log\"\nexit 3\n");
    ShellFixture shell(dir.path());
    MainForm->ContentsMenu->trigger();
    MainForm->About1Click();
    QTest::mouseClick(VersionForm->Label3, Qt::LeftButton);
    QDir::setCurrent(oldCurrent);
    QVERIFY(opener.opened().isEmpty()); // both still running
    QVERIFY(shell.errors.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(shell.errors.size(), 2, 20000);
    QCOMPARE(opener.opened().size(), 2);
    shell.errors.sort();
    QCOMPARE(shell.errors, (QStringList{page + QStringLiteral(" を開けません."),
                                        homePageAddress + QStringLiteral(" を開けません.")}));
    QVERIFY(MainForm->isVisible());
}

SHELL_TEST_MAIN(TestShellDialogs)
#include "test_shell_dialogs.moc"
