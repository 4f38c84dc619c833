// The settings file survives what can happen to the program while it saves: a SIGKILL
// at any moment of a save (a copy of this test saves in a loop and is killed over a
// hundred times, with megabytes of the user's own content in the file), a full
// filesystem and a read-only one. The file is always the old one or the new one,
// whole; the main window reports a failed save and stays open, and the next close
// succeeds once the cause is gone; a file that can never be saved still lets the player
// leave. What a killed save leaves behind goes at the next start or save, and windows
// of several copies of the program in one folder keep each other's entries: each entry
// is on disk once confirmed, and no save writes while another holds the folder's lock.
//
// The filesystems are small tmpfs mounts in a mount namespace of this process, which
// needs root; without it those tests are skipped (test_settings_file checks the full
// disk through a file-size limit).

#include "game/game_state.h"
#include "platform/application.h"
#include "shell/main_form.h"
#include "store/ranking.h"
#include "store/safe_file.h"
#include "store/settings_file.h"
#include "support/shell_fixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

namespace {

const char* const saverMode = "--save-in-a-loop";
const char* const windowMode = "--window";
const char* const lockMode = "--hold-the-lock";

// Two settings whose files differ, for the interrupted saves.
Settings version(int v) {
    Settings s = readSettings(PrivateProfile());
    s.top = 10 * v;
    for (int i = 0; i < rankEntryCount; ++i) {
        s.ranking.RankNameList[i] =
            v == 1 ? QStringLiteral("Aki %1").arg(i) : QStringLiteral("山田 花子 %1").arg(i);
        s.ranking.RankNumberList[i] = resultText(v == 1 ? 1000 - i : 999999999 - i, 7 * v, v);
    }
    s.defaultName = v == 1 ? QStringLiteral("Aki") : QStringLiteral("花子");
    return s;
}

// A line of the user's own content: printable ASCII and Japanese, no line break.
QString noteLine(QRandomGenerator& rng, int n) {
    static const QString alphabet = QStringLiteral(
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 =;:[]'\"あいうえお漢字");
    QString line = QStringLiteral("note%1=").arg(n);
    const int length = 200 + int(rng.bounded(800));
    for (int i = 0; i < length; ++i)
        line += alphabet[int(rng.bounded(alphabet.size()))];
    return line;
}

// A settings file with about `bytes` characters of content the program does not know, before,
// between and after its own keys.
QByteArray fileWithNotes(qsizetype bytes) {
    QRandomGenerator rng(17);
    QString head = QStringLiteral("; kept by hand\n[Notes]\n");
    QString tail = QStringLiteral("[Tail]\n");
    int n = 0;
    while (head.size() + tail.size() < bytes) {
        head += noteLine(rng, n++) + QLatin1Char('\n');
        tail += noteLine(rng, n++) + QLatin1Char('\n');
    }
    PrivateProfile profile(head + QStringLiteral("[Ranking]\nmine=1\n") + tail);
    writeSettings(profile, version(1));
    return profile.text().toUtf8();
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

// --- the saver, run by re-executing this test ---

// Saves versions 2 and 1 in turn until killed, reporting each completed save. Each
// save reads the file anew, as the program's close does.
int saveInALoop(const QString& path) {
    const Settings one = version(1), two = version(2);
    std::printf("ready\n");
    std::fflush(stdout);
    for (long n = 1;; ++n) {
        saveSettings(path, n % 2 ? two : one);
        std::printf("saved %ld\n", n);
        std::fflush(stdout);
    }
}

// --- another copy's save holding the folder's lock, run by re-executing this test ---

// Takes the lock of the file's folder and reports it. Then, with ms < 0, waits to be
// stopped and killed; else saves as slowly as a huge file would: reads the file, takes
// ms, and writes "name10=Slow" into it (the next level's block).
int holdTheLock(const QString& path, int ms) {
    const FolderLock lock(QFileInfo(path).absolutePath(), 30000);
    if (!lock.held())
        return 2;
    std::printf("locked\n");
    std::fflush(stdout);
    if (ms < 0)
        for (;;)
            ::pause();
    QByteArray bytes;
    readRegularFile(path, &bytes);
    PrivateProfile profile(QString::fromUtf8(bytes));
    ::usleep(useconds_t(ms) * 1000);
    profile.writeString(QStringLiteral("Ranking"), QStringLiteral("name10"),
                        QStringLiteral("Slow"));
    return replaceFile(path, profile.text().toUtf8()) ? 0 : 3;
}

// --- a window of another copy of the program, run by re-executing this test ---

// Enters a result at levelCombo position k, as the player does after a round.
void enterResult(int k, int score, const QString& name) {
    openRankEntry(k, score, name, 1, 1);
    QTest::mouseClick(MainForm->okButton, Qt::LeftButton);
}

// Opens the main window on the folder and follows the commands on standard input:
// "enter <k> <score> <name>", "move <left> <top>", "close".
int runWindow(int argc, char** argv) {
    Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Flinder"));
    ShellFixture shell(QString::fromLocal8Bit(argv[2]));
    std::cout << "ready" << std::endl;
    for (std::string line; std::getline(std::cin, line);) {
        const QStringList words = QString::fromStdString(line).split(QLatin1Char(' '));
        if (words[0] == QLatin1String("enter"))
            enterResult(words[1].toInt(), words[2].toInt(), words[3]);
        else if (words[0] == QLatin1String("move"))
            MainForm->move(words[1].toInt(), words[2].toInt());
        else if (words[0] == QLatin1String("close"))
            std::cout << (shell.close() ? "closed" : "not closed") << std::endl;
        std::cout << "done" << std::endl;
    }
    return 0;
}

class OtherWindow {
public:
    bool start(const QString& folder) {
        process_.start(QCoreApplication::applicationFilePath(),
                       {QString::fromLatin1(windowMode), folder});
        return reply() == "ready";
    }
    // Sends a command; returns its answer (the line before "done").
    QByteArray command(const QByteArray& line) {
        process_.write(line + '\n');
        QByteArray answer;
        for (QByteArray r = reply(); r != "done" && !r.isEmpty(); r = reply())
            answer = r;
        return answer;
    }
    // Ends it as a power cut or a SIGKILL at logout does.
    void kill() {
        process_.kill();
        process_.waitForFinished(30000);
    }
    ~OtherWindow() {
        process_.closeWriteChannel();
        process_.waitForFinished(30000);
    }

private:
    QByteArray reply() {
        while (!process_.canReadLine())
            if (!process_.waitForReadyRead(30000))
                return QByteArray();
        return process_.readLine().trimmed();
    }
    QProcess process_;
};

// --- small filesystems ---

bool mountNamespaceReady = false;

// A private mount namespace, so that the mounts below are this process's alone and
// vanish with it. Must run before any thread exists.
void enterMountNamespace() {
    if (::geteuid() != 0 || ::unshare(CLONE_NEWNS) != 0)
        return;
    mountNamespaceReady = ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

class SmallFilesystem {
public:
    explicit SmallFilesystem(int kilobytes) {
        const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k,mode=0755";
        mounted_ = mountNamespaceReady &&
                   ::mount("flinder-test", QFile::encodeName(dir_.path()).constData(), "tmpfs", 0,
                           options.constData()) == 0;
    }
    ~SmallFilesystem() {
        if (mounted_)
            ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
    }
    SmallFilesystem(const SmallFilesystem&) = delete;
    SmallFilesystem& operator=(const SmallFilesystem&) = delete;

    bool mounted() const { return mounted_; }
    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }
    bool remount(bool readOnly) {
        return ::mount(nullptr, QFile::encodeName(dir_.path()).constData(), nullptr,
                       MS_REMOUNT | (readOnly ? MS_RDONLY : 0), nullptr) == 0;
    }

    // Fills the filesystem with a file "filler" until at most `leave` bytes are free.
    bool fill(qint64 leave) {
        const int fd = ::open(QFile::encodeName(filePath(QStringLiteral("filler"))).constData(),
                              O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0)
            return false;
        const QByteArray chunk(4096, 'x');
        for (;;) {
            const qint64 free = QStorageInfo(path()).bytesAvailable();
            if (free <= leave)
                break;
            const ssize_t n = ::write(fd, chunk.constData(),
                                      size_t(std::min<qint64>(chunk.size(), free - leave)));
            if (n <= 0)
                break;
        }
        ::close(fd);
        return true;
    }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

} // namespace

class TestCrashSafety : public QObject {
    Q_OBJECT
private slots:
    void killedWhileSaving();
    void fullFilesystemKeepsTheWindowOpen_data();
    void fullFilesystemKeepsTheWindowOpen();
    void readOnlyFilesystemKeepsTheWindowOpen();
    void unsavableSettingsLetThePlayerLeave();
    void leftoversOfKilledSavesAreRemoved();
    void windowsInOneFolderKeepEachOthersChanges();
    void rankEntryIsOnDiskAtOnce();
    void saveWaitsForTheFolderLock_data();
    void saveWaitsForTheFolderLock();
};

void TestCrashSafety::killedWhileSaving() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flinder.ini"));
    const QByteArray initial = fileWithNotes(3 * 1024 * 1024);
    writeFileBytes(path, initial);

    // What the two versions look like on disk, made by the program's own save; each keeps
    // the user's content and reads back as its version.
    QElapsedTimer clock;
    clock.start();
    saveSettings(path, version(2));
    const qint64 saveMs = std::max<qint64>(clock.elapsed(), 5);
    const QByteArray two = fileBytes(path);
    saveSettings(path, version(1));
    const QByteArray one = fileBytes(path);
    QCOMPARE(one, initial); // every key was there: lines replaced in place
    QVERIFY(two.size() > 3000000 && one != two);
    QVERIFY(two.startsWith(initial.left(initial.indexOf("\n[Ranking]"))));
    const qsizetype tail = initial.indexOf("\n[Tail]");
    QVERIFY(two.contains(initial.mid(tail, initial.indexOf("\n[Position]") - tail)));
    QCOMPARE(loadSettings(path).ranking.RankNameList, version(1).ranking.RankNameList);
    writeFileBytes(path, two);
    QCOMPARE(loadSettings(path).ranking.RankNameList, version(2).ranking.RankNameList);
    writeFileBytes(path, one);

    const int kills = qEnvironmentVariableIsSet("FLINDER_KILLS")
                          ? qEnvironmentVariableIntValue("FLINDER_KILLS")
                          : 100;
    int outcomes[2] = {0, 0};
    int cutShort = 0;   // kills inside the first save, before its commit
    int unreported = 0; // kills between a commit and its report
    QStringList strays;
    for (int k = 0; k < kills; ++k) {
        QProcess saver;
        saver.start(QCoreApplication::applicationFilePath(),
                    {QString::fromLatin1(saverMode), path});
        QVERIFY(saver.waitForStarted());
        while (!saver.canReadLine())
            QVERIFY2(saver.waitForReadyRead(30000), "the saver did not get ready");
        QCOMPARE(saver.readLine(), QByteArray("ready\n"));
        // Every other kill waits for the first commit, so that kills land on both sides
        // of a commit however slow the machine is at the moment.
        QByteArray output;
        if (k % 2) {
            while (!output.contains("saved "))
                if (saver.canReadLine())
                    output += saver.readLine();
                else
                    QVERIFY2(saver.waitForReadyRead(30000), "the saver did not save");
        }
        QTest::qSleep(int(QRandomGenerator::global()->bounded(saveMs)));
        saver.kill(); // SIGKILL
        QVERIFY(saver.waitForFinished(30000));
        QCOMPARE(saver.exitStatus(), QProcess::CrashExit);

        // Saves that reported completion; the one after it may have been committed too.
        long completed = 0;
        output += saver.readAllStandardOutput();
        for (const QByteArray& line : output.split('\n'))
            if (line.startsWith("saved "))
                completed = line.mid(6).toLong();
        const QByteArray& reported = completed % 2 ? two : one;
        const QByteArray& next = completed % 2 ? one : two;
        const QByteArray now = fileBytes(path);
        QVERIFY2(now == reported || now == next,
                 qPrintable(QStringLiteral("kill %1 after %2 saves: %3 bytes, neither version")
                                .arg(k)
                                .arg(completed)
                                .arg(now.size())));
        ++outcomes[now == two ? 1 : 0];
        cutShort += completed == 0 && now == one;
        unreported += now == next;

        // Anything left beside the file is a whole version, never a torn one.
        for (const QString& name : filesIn(dir.path())) {
            if (name == QLatin1String("flinder.ini") || strays.contains(name))
                continue;
            const QByteArray left = fileBytes(dir.filePath(name));
            QVERIFY2(left == one || left == two, qPrintable(name));
            strays << name;
        }
        // The next run starts from version 1 again, so both outcomes stay possible.
        if (now == two)
            writeFileBytes(path, one);
    }
    qInfo("%d kills of a saver of a %lld-byte file (one save %lld ms): %d left version 1, "
          "%d version 2; %d cut the first save short, %d came between a commit and its "
          "report; %lld stray files",
          kills, static_cast<long long>(two.size()), static_cast<long long>(saveMs), outcomes[0],
          outcomes[1], cutShort, unreported, static_cast<long long>(strays.size()));
    // The kills spread over the saves: some before a commit, some after.
    QVERIFY(cutShort > 0);
    QVERIFY(outcomes[1] > 0);
    // Leftovers do not pile up: a save's unfinished data has no name in the folder.
    QVERIFY2(strays.size() <= 2, qPrintable(strays.join(QLatin1Char(' '))));

    // And the next save works beside whatever was left.
    saveSettings(path, version(2));
    QCOMPARE(fileBytes(path), two);
}

void TestCrashSafety::fullFilesystemKeepsTheWindowOpen_data() {
    QTest::addColumn<int>("freeBytes");
    // Nothing left, and room for part of the new file, whose write then ends short.
    QTest::newRow("full") << 0;
    QTest::newRow("room for half of it") << 32 * 1024;
}

void TestCrashSafety::fullFilesystemKeepsTheWindowOpen() {
    QFETCH(int, freeBytes);
    SmallFilesystem fs(512);
    if (!fs.mounted())
        QSKIP("mounting a small filesystem needs root");
    const QString path = fs.filePath(QStringLiteral("flinder.ini"));
    // 64 KiB of the user's own lines, so that half of the file fits.
    QString notes = QStringLiteral("[Notes]\n");
    for (int i = 0; notes.size() < 64 * 1024; ++i)
        notes += QStringLiteral("line%1=%2\n").arg(i).arg(QString(60, QLatin1Char('n')));
    const QByteArray old = notes.toUtf8() + "[Ranking]\nname0=Old\n";
    writeFileBytes(path, old);

    ShellFixture shell(fs.path());
    QCOMPARE(MainForm->ranking.RankNameList[0], QStringLiteral("Old"));
    MainForm->ranking.RankNameList[0] = QStringLiteral("New");
    QVERIFY(fs.fill(freeBytes));

    QVERIFY(!shell.close());
    QCOMPARE(shell.errors, QStringList{path + QStringLiteral(" に書き込めません.")});
    QCOMPARE(shell.saveFailureReasons, QStringList{systemReason(ENOSPC)});
    QVERIFY(MainForm->isVisible());
    QCOMPARE(fileBytes(path), old);
    QCOMPARE(filesIn(fs.path()),
             (QStringList{QStringLiteral("filler"), QStringLiteral("flinder.ini")}));

    // Room again: the next close saves and ends.
    QVERIFY(QFile::remove(fs.filePath(QStringLiteral("filler"))));
    QVERIFY(shell.close());
    QVERIFY(!MainForm->isVisible());
    QCOMPARE(shell.errors.size(), 1);
    const QByteArray saved = fileBytes(path);
    QVERIFY(saved.startsWith(notes.toUtf8() + "[Ranking]\nname0=New\n"));
    QCOMPARE(profileKeys(QString::fromUtf8(saved)).size(),
             notes.count(QLatin1Char('\n')) - 1 + 104);
    QCOMPARE(filesIn(fs.path()), QStringList{QStringLiteral("flinder.ini")});
}

void TestCrashSafety::readOnlyFilesystemKeepsTheWindowOpen() {
    // Root may write anywhere, but not on a filesystem mounted read-only.
    SmallFilesystem fs(256);
    if (!fs.mounted())
        QSKIP("mounting a small filesystem needs root");
    const QString path = fs.filePath(QStringLiteral("flinder.ini"));
    const QByteArray old = "[Position]\nxpos=5\nypos=6\n[Ranking]\nname0=Old\n";
    writeFileBytes(path, old);
    QVERIFY(fs.remount(true));

    ShellFixture shell(fs.path());
    MainForm->ranking.RankNameList[0] = QStringLiteral("New");
    QVERIFY(!shell.close());
    QVERIFY(!shell.close()); // each try reports again
    QCOMPARE(shell.errors, QStringList(2, path + QStringLiteral(" に書き込めません.")));
    QVERIFY(MainForm->isVisible());
    QCOMPARE(fileBytes(path), old);

    QVERIFY(fs.remount(false));
    QVERIFY(shell.close());
    QCOMPARE(shell.errors.size(), 2);
    QVERIFY(fileBytes(path).startsWith("[Position]\nxpos=5\nypos=6\n[Ranking]\nname0=New\n"));
    QCOMPARE(filesIn(fs.path()), QStringList{QStringLiteral("flinder.ini")});
}

void TestCrashSafety::unsavableSettingsLetThePlayerLeave() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flinder.ini"));
    QVERIFY(QDir().mkpath(path + QStringLiteral("/inside"))); // a folder in the file's place
    ShellFixture shell(dir.path());
    const QString error = path + QStringLiteral(" に書き込めません.");
    shell.saveFailureAnswers = {SaveFailureChoice::Retry, SaveFailureChoice::KeepOpen};
    QVERIFY(!shell.close());
    QCOMPARE(shell.errors, QStringList(2, error)); // retried once, then kept open
    QVERIFY(MainForm->isVisible());
    shell.saveFailureAnswers = {SaveFailureChoice::QuitWithoutSaving};
    QVERIFY(shell.close());
    QVERIFY(!MainForm->isVisible());
    QCOMPARE(shell.errors, QStringList(3, error));
    QVERIFY(QFileInfo(path + QStringLiteral("/inside")).isDir());
}

void TestCrashSafety::leftoversOfKilledSavesAreRemoved() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flinder.ini"));
    // What a save killed before its rename leaves, and names that are not of our making.
    const QStringList others{QStringLiteral(".flinder.ini.saving-Ab12"),
                             QStringLiteral(".flinder.ini.saving-Ab12Cd.keep"),
                             QStringLiteral("flinder.ini.backup"),
                             QStringLiteral("flinder.ini.Ab12Cd")};
    for (const QString& name : others + QStringList{QStringLiteral(".flinder.ini.saving-Ab12Cd")})
        writeFileBytes(dir.filePath(name), "[Ranking]\nname0=Half");
    QStringList expected = others;
    expected.sort();

    // Not while another process saves there (it holds the folder's lock).
    {
        const FolderLock saving(dir.path());
        QVERIFY(saving.held());
        removeSaveLeftovers(path);
        QCOMPARE(filesIn(dir.path()).size(), others.size() + 1);
    }
    {
        ShellFixture shell(dir.path()); // the next start
        QCOMPARE(filesIn(dir.path()), expected);
        writeFileBytes(dir.filePath(QStringLiteral(".flinder.ini.saving-Zz9Yy8")), "x");
        QVERIFY(shell.close()); // the next save
    }
    expected << QStringLiteral("flinder.ini");
    expected.sort();
    QCOMPARE(filesIn(dir.path()), expected);
}

void TestCrashSafety::windowsInOneFolderKeepEachOthersChanges() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flinder.ini"));
    QByteArray old = "[Mine]\nkept=yes\n[Position]\nxpos=40\nypos=30\n[Ranking]\n";
    const QList<int> scores{1000, 900, 800, 700, 600, 400, 300, 200, 100, 50};
    for (int p = 0; p < 10; ++p)
        old += "name2" + QByteArray::number(p) + "=p" + QByteArray::number(p + 1) + "\nnumber2" +
               QByteArray::number(p) + "=" + QByteArray::number(scores[p]) + ":0;1\n";
    writeFileBytes(path, old + "default=Old\n");

    // Three copies of the program open on the same file: two in other processes, one here.
    OtherWindow bee, idle;
    QVERIFY(bee.start(dir.path()));
    QVERIFY(idle.start(dir.path()));
    ShellFixture shell(dir.path());

    QCOMPARE(bee.command("enter 2 500 Bee"), QByteArray());
    QCOMPARE(bee.command("move 10 20"), QByteArray());
    QCOMPARE(bee.command("close"), QByteArray("closed"));
    enterResult(2, 500, QStringLiteral("Ay")); // the same score, entered later
    QVERIFY(shell.close());
    QCOMPARE(idle.command("close"), QByteArray("closed")); // changed nothing

    const Settings saved = loadSettings(path);
    QCOMPARE(saved.ranking.RankNameList.mid(20, 10),
             (QStringList{"p1", "p2", "p3", "p4", "p5", "Ay", "Bee", "p6", "p7", "p8"}));
    QCOMPARE(saved.ranking.RankNumberList.mid(25, 3),
             (QStringList{"500:1;1", "500:1;1", "400:0;1"}));
    QCOMPARE(saved.defaultName, QStringLiteral("Ay")); // the last name entered
    QCOMPARE(saved.left, 10);                          // moved by one window only
    QCOMPARE(saved.top, 20);
    QVERIFY(fileBytes(path).startsWith("[Mine]\nkept=yes\n[Position]\nxpos=20\nypos=10\n"));
    QCOMPARE(saved.ranking.RankNameList.mid(0, 20), QStringList(20, QStringLiteral("(none)")));
}

void TestCrashSafety::rankEntryIsOnDiskAtOnce() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flinder.ini"));
    OtherWindow early;
    QVERIFY(early.start(dir.path()));
    ShellFixture shell(dir.path());
    QCOMPARE(early.command("enter 2 500 Early"), QByteArray());
    enterResult(2, 500, QStringLiteral("Late")); // the same score, confirmed later
    early.kill();                                // its window never closes

    const Settings saved = loadSettings(path);
    QCOMPARE(saved.ranking.RankNameList.mid(20, 3), (QStringList{"Late", "Early", "(none)"}));
    QCOMPARE(saved.defaultName, QStringLiteral("Late"));
    // This window shows the file's ranking, the other window's entry included.
    QCOMPARE(MainForm->ranking, saved.ranking);
}

void TestCrashSafety::saveWaitsForTheFolderLock_data() {
    QTest::addColumn<int>("holdMs");
    QTest::newRow("a stopped holder") << -1;
    QTest::newRow("a slow save") << 4000;
}

void TestCrashSafety::saveWaitsForTheFolderLock() {
    QFETCH(int, holdMs);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flinder.ini"));
    const QByteArray old = "[Ranking]\nname0=Old\n";
    writeFileBytes(path, old);
    ShellFixture shell(dir.path());
    MainForm->ranking.RankNameList[0] = QStringLiteral("New");

    QProcess holder;
    holder.start(QCoreApplication::applicationFilePath(),
                 {QString::fromLatin1(lockMode), path, QString::number(holdMs)});
    QVERIFY(holder.waitForReadyRead(30000));
    QCOMPARE(holder.readLine(), QByteArray("locked\n"));
    if (holdMs < 0) {
        // Stopped with the lock: after the patience the box says why, nothing written.
        QVERIFY(::kill(pid_t(holder.processId()), SIGSTOP) == 0);
        setSaveLockPatience(500);
        const bool closed = shell.close();
        setSaveLockPatience(10000);
        QVERIFY(!closed);
        QCOMPARE(shell.saveFailureReasons, QStringList{anotherFlinderSavingReason});
        QCOMPARE(fileBytes(path), old);
        holder.kill(); // its end lets the lock go: the retry saves
        QVERIFY(holder.waitForFinished(30000));
        QVERIFY(shell.close());
        QCOMPARE(loadSettings(path).ranking.RankNameList[0], QStringLiteral("New"));
        return;
    }
    // Waits for the other save and writes on top of it: both changes count.
    QVERIFY(shell.close());
    QVERIFY(shell.saveFailureReasons.isEmpty());
    QVERIFY(holder.waitForFinished(30000));
    QCOMPARE(holder.exitCode(), 0);
    const Settings saved = loadSettings(path);
    QCOMPARE(saved.ranking.RankNameList[0], QStringLiteral("New"));
    QCOMPARE(saved.ranking.RankNameList[10], QStringLiteral("Slow"));
}

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], lockMode) == 0)
        return holdTheLock(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));
    if (argc == 3 && std::strcmp(argv[1], saverMode) == 0)
        return saveInALoop(QString::fromLocal8Bit(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], windowMode) == 0)
        return runWindow(argc, argv);
    enterMountNamespace();
    Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Flinder"));
    TestCrashSafety test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_crash_safety.moc"
