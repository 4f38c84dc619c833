// What the program does where it may not write or read: an installed copy keeps its
// files in the per-user settings folder, and so does a copy in a folder it may not
// write, which starts from the files beside it; a failed save keeps the old file whole
// and the window open, an unreadable file is never overwritten, an unreadable
// "back.bmp" is reported. Root ignores permissions, so run as root this test runs itself again as
// the unprivileged user "nobody".

#include "game/game_state.h"
#include "platform/app_folder.h"
#include "platform/application.h"
#include "screen/backgrounds.h"
#include "shell/main_form.h"
#include "store/safe_file.h"
#include "support/shell_fixture.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

const QByteArray oldText = "; mine\n[Position]\nxpos=5\nypos=6\n[Ranking]\nname0=Old\n";

void setMode(const QString& path, mode_t mode) {
    if (::chmod(QFile::encodeName(path).constData(), mode) != 0) {
        std::perror("chmod");
        std::abort();
    }
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

// Runs a copy of this test as "nobody" from a folder that user can reach, without the
// leak checker (its suppressions file may lie where nobody cannot read).
int runAsNobody(int argc, char** argv) {
    char folder[] = "/tmp/flinder-unprivileged-XXXXXX";
    if (!::mkdtemp(folder) || ::chmod(folder, 0755) != 0) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string copy = std::string(folder) + "/test_settings_unprivileged";
    if (!QFile::copy(QStringLiteral("/proc/self/exe"), QString::fromStdString(copy)) ||
        ::chmod(copy.c_str(), 0755) != 0) {
        std::fprintf(stderr, "cannot copy the test to %s\n", folder);
        return 1;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        if (::chdir(folder) != 0)
            _exit(127);
        const char* asan = std::getenv("ASAN_OPTIONS");
        const std::string options = std::string(asan ? asan : "") + ":detect_leaks=0";
        ::setenv("ASAN_OPTIONS", options.c_str(), 1);
        ::unsetenv("LSAN_OPTIONS");
        std::vector<char*> args{const_cast<char*>("setpriv"),
                                const_cast<char*>("--reuid=nobody"),
                                const_cast<char*>("--regid=nogroup"),
                                const_cast<char*>("--clear-groups"),
                                const_cast<char*>("--"),
                                const_cast<char*>(copy.c_str())};
        for (int i = 1; i < argc; ++i)
            args.push_back(argv[i]);
        args.push_back(nullptr);
        ::execvp("setpriv", args.data());
        std::perror("setpriv");
        _exit(127);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    QDir(QString::fromLocal8Bit(folder)).removeRecursively();
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

} // namespace

class TestSettingsUnprivileged : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void installedCopyKeepsItsFilesPerUser();
    void unwritableFolderKeepsTheWindowOpen();
    void readOnlyFileIsNotReplaced();
    void unreadableFileIsNotOverwritten();
    void unreadableBackBitmapIsReported();
    void readOnlyCopyStartsFromTheFilesBesideIt();
};

void TestSettingsUnprivileged::initTestCase() {
    QVERIFY(::geteuid() != 0);
}

void TestSettingsUnprivileged::installedCopyKeepsItsFilesPerUser() {
    // This copy's folder belongs to root: like an installed program's.
    const QString perUser = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Flinder");
    ShellFixture shell{QString()};
    QCOMPARE(dataFolder(), perUser);
    QCOMPARE(settingsFilePath(), perUser + QStringLiteral("/flinder.ini"));
    QCOMPARE(backBitmapPath(), perUser + QStringLiteral("/back.bmp"));
    QVERIFY(!QFileInfo::exists(perUser)); // created only when first needed
    MainForm->ranking.RankNameList[0] = QStringLiteral("Mine");
    QVERIFY(shell.close());
    QVERIFY(shell.errors.isEmpty());
    QVERIFY(fileBytes(settingsFilePath()).contains("\nname0=Mine\n"));
}

void TestSettingsUnprivileged::unwritableFolderKeepsTheWindowOpen() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flinder.ini"));
    writeFileBytes(path, oldText);
    setMode(dir.path(), 0555);
    ShellFixture shell(dir.path());
    QCOMPARE(MainForm->ranking.RankNameList[0], QStringLiteral("Old"));
    MainForm->ranking.RankNameList[0] = QStringLiteral("New");
    QVERIFY(!shell.close());
    QCOMPARE(shell.errors, QStringList{path + QStringLiteral(" に書き込めません.")});
    QCOMPARE(shell.saveFailureReasons, QStringList{systemReason(EACCES)});
    QVERIFY(MainForm->isVisible());
    QCOMPARE(fileBytes(path), oldText);
    QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("flinder.ini")});
    // Closing again retries.
    setMode(dir.path(), 0755);
    QVERIFY(shell.close());
    QCOMPARE(shell.errors.size(), 1);
    const QByteArray saved = fileBytes(path);
    QVERIFY(saved.startsWith("; mine\n[Position]\nxpos=5\nypos=6\n[Ranking]\nname0=New\n"));
}

void TestSettingsUnprivileged::readOnlyFileIsNotReplaced() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flinder.ini"));
    writeFileBytes(path, oldText);
    setMode(path, 0444);
    ShellFixture shell(dir.path());
    QVERIFY(!shell.close());
    QCOMPARE(shell.errors, QStringList{path + QStringLiteral(" に書き込めません.")});
    QCOMPARE(shell.saveFailureReasons, QStringList{systemReason(EACCES)});
    QCOMPARE(fileBytes(path), oldText);
    QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("flinder.ini")});
    setMode(path, 0644);
    QVERIFY(shell.close());
}

void TestSettingsUnprivileged::unreadableFileIsNotOverwritten() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flinder.ini"));
    writeFileBytes(path, oldText);
    setMode(path, 0200);
    ShellFixture shell(dir.path());
    QVERIFY(shell.errors.isEmpty()); // read as missing: every value its default
    QCOMPARE(MainForm->ranking.RankNameList[0], QStringLiteral("(none)"));
    QVERIFY(!shell.close());
    QCOMPARE(shell.errors, QStringList{path + QStringLiteral(" に書き込めません.")});
    setMode(path, 0644);
    QCOMPARE(fileBytes(path), oldText);
}

void TestSettingsUnprivileged::unreadableBackBitmapIsReported() {
    QTemporaryDir dir;
    ShellFixture shell(dir.path());
    const QString bmp = backBitmapPath();
    QVERIFY(QImage(4, 4, QImage::Format_RGB32).save(bmp, "BMP"));
    setMode(bmp, 0);
    QVERIFY(backBitmapExists());
    MainForm->BackMenuClick();
    MainForm->Back5MenuClick();
    QTest::mouseClick(MainForm->StartButton, Qt::LeftButton);
    QCOMPARE(shell.errors, QStringList{QStringLiteral("ファイル %1 は開けません.").arg(bmp)});
    QVERIFY(!shell.vp.timerRunning());
    MainForm->ReturnManu->trigger();
    QVERIFY(MainForm->StartButton->isVisible());
}

void TestSettingsUnprivileged::readOnlyCopyStartsFromTheFilesBesideIt() {
    // A copy unpacked where its user may not write, its rankings and picture beside it.
    QTemporaryDir copy;
    const QString beside = copy.filePath(QStringLiteral("flinder.ini"));
    const QByteArray kept = "; the copy's\n[Ranking]\nname0=Kept\nnumber0=900:1;1\nmine=1\n";
    writeFileBytes(beside, kept);
    QVERIFY(QImage(4, 4, QImage::Format_RGB32).save(copy.filePath(QStringLiteral("back.bmp"))));
    setMode(copy.path(), 0555);
    setProgramFolder(copy.path());
    const QString perUser = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Flinder");
    QVERIFY(QDir(perUser).removeRecursively()); // no per-user file yet
    {
        ShellFixture shell{QString()};
        QCOMPARE(settingsFilePath(), perUser + QStringLiteral("/flinder.ini"));
        QCOMPARE(MainForm->ranking.RankNameList[0], QStringLiteral("Kept"));
        QCOMPARE(backBitmapPath(), copy.filePath(QStringLiteral("back.bmp")));
        openRankEntry(0, 500, QStringLiteral("Mine"), 1, 1);
        QTest::mouseClick(MainForm->okButton, Qt::LeftButton); // the first save
        QVERIFY(shell.errors.isEmpty());
    }
    // Everything the copy held, with the entry, in the per-user file, read from then on;
    // the file beside the copy is never changed.
    const QString own = perUser + QStringLiteral("/flinder.ini");
    QVERIFY(fileBytes(own).startsWith(
        "; the copy's\n[Ranking]\nname0=Kept\nnumber0=900:1;1\nmine=1\nname1=Mine\n"));
    QCOMPARE(fileBytes(beside), kept);
    writeFileBytes(beside, "[Ranking]\nname0=Changed\n");
    {
        ShellFixture shell{QString()};
        QCOMPARE(MainForm->ranking.RankNameList.mid(0, 2), (QStringList{"Kept", "Mine"}));
    }
    setMode(copy.path(), 0755);
    setProgramFolder(QString());
    QVERIFY(QDir(perUser).removeRecursively());
}

int main(int argc, char** argv) {
    if (::geteuid() == 0)
        return runAsNobody(argc, argv);
    // Per-user folders of our own, which Qt and the desktop libraries look up.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_CACHE_HOME", home.filePath(QStringLiteral("cache")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
    Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Flinder"));
    TestSettingsUnprivileged test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_settings_unprivileged.moc"
