// The settings file on disk: written from scratch in the listed order, read back with
// the reading rules, unknown content kept byte for byte, Shift-JIS files carried over,
// and saves that never leave a torn file when they fail (test_crash_safety kills them
// half-way).

#include "platform/app_folder.h"
#include "platform/errors.h"
#include "store/ranking.h"
#include "store/safe_file.h"
#include "store/settings_file.h"
#include "support/shell_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

Settings defaults() {
    return readSettings(PrivateProfile());
}

// Two settings whose files differ in length, for the failed saves.
Settings versionA() {
    Settings s = defaults();
    s.top = 11;
    for (int i = 0; i < rankEntryCount; ++i)
        s.ranking.RankNameList[i] = QStringLiteral("A%1").arg(i);
    return s;
}

Settings versionB() {
    Settings s = defaults();
    s.top = 22;
    for (int i = 0; i < rankEntryCount; ++i) {
        s.ranking.RankNameList[i] = QStringLiteral("山田 花子 B%1").arg(i);
        s.ranking.RankNumberList[i] = resultText(999999999 - i, 9999, 999);
    }
    return s;
}

QByteArray fromScratch(const Settings& s) {
    PrivateProfile profile;
    writeSettings(profile, s);
    return profile.text().toUtf8();
}

QStringList expectedKeys() {
    QStringList keys{"Position/xpos", "Position/ypos", "Back/back"};
    for (int i = 0; i < 50; ++i)
        keys << QStringLiteral("Ranking/name%1").arg(i)
             << QStringLiteral("Ranking/number%1").arg(i);
    keys << QStringLiteral("Ranking/default");
    return keys;
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

// --- child modes, run by re-executing this test ---

// Saves version B with the file size limited as on a full disk; exit 3 when the save
// reported the failure.
int saveOnFullDisk(const QString& path) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = 1000;
    setrlimit(RLIMIT_FSIZE, &limit);
    try {
        saveSettings(path, versionB());
    } catch (const AppError& e) {
        std::printf("%s\n", e.what());
        return 3;
    }
    return 0;
}

} // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT
private slots:
    void fromScratchHolds104KeysInOrder();
    void defaultsWithoutAFile();
    void loadEdgeCases();
    void namesRoundTrip_data();
    void namesRoundTrip();
    void unknownContentKeptByteForByte();
    void shiftJisFileIsCarriedOverAsUtf8();
    void byteOrderMarkIsKept();
    void eachLineInItsOwnEncoding();
    void utf16FileStaysUtf16_data();
    void utf16FileStaysUtf16();
    void folderIsCreatedWhenFirstNeeded();
    void programFolderWhenWritable();
    void installedCopyNeverUsesItsFolder();
    void folderNamedLikeTheFile();
    void specialFilesNeverBlock_data();
    void specialFilesNeverBlock();
    void fullDiskLeavesTheOldFile();
    void failedSaveSaysWhy_data();
    void failedSaveSaysWhy();
    void scoreThatIsNoNumberFailsTheMerge();
};

void TestSettingsFile::fromScratchHolds104KeysInOrder() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flinder.ini"));
    saveSettings(path, defaults());
    const QString text = QString::fromUtf8(fileBytes(path));
    QCOMPARE(profileKeys(text), expectedKeys());
    QVERIFY(text.startsWith(QStringLiteral("[Position]\nxpos=0\nypos=0\n[Back]\nback=0\n"
                                           "[Ranking]\nname0=(none)\nnumber0=0:0;0\nname1=")));
    QVERIFY(text.endsWith(QStringLiteral("name49=(none)\nnumber49=0:0;0\ndefault=\n")));
}

void TestSettingsFile::defaultsWithoutAFile() {
    QTemporaryDir dir;
    const Settings s = loadSettings(dir.filePath(QStringLiteral("flinder.ini")));
    QCOMPARE(s.top, 0);
    QCOMPARE(s.left, 0);
    QCOMPARE(s.back, 0);
    QCOMPARE(s.ranking.RankNameList, QStringList(50, QStringLiteral("(none)")));
    QCOMPARE(s.ranking.RankNumberList, QStringList(50, QStringLiteral("0:0;0")));
    QCOMPARE(s.defaultName, QString());
}

void TestSettingsFile::loadEdgeCases() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flinder.ini"));
    writeFileBytes(path, "[Position]\nxpos=0x10\nypos=abc\n[Back]\nback=7\n"
                         "[Ranking]\nnumber12=500:3;2\nname13=\nname14=  padded  \n"
                         "default=Hana\n");
    const Settings s = loadSettings(path);
    QCOMPARE(s.top, 16);
    QCOMPARE(s.left, 0);
    QCOMPARE(s.back, 7);
    QCOMPARE(s.ranking.RankNameList[12], QStringLiteral("(none)"));
    QCOMPARE(s.ranking.RankNumberList[12], QStringLiteral("500:3;2"));
    QCOMPARE(s.ranking.RankNameList[13], QString());
    QCOMPARE(s.ranking.RankNumberList[13], QStringLiteral("0:0;0"));
    QCOMPARE(s.ranking.RankNameList[14], QStringLiteral("padded"));
    QCOMPARE(s.defaultName, QStringLiteral("Hana"));
    // 7 is written back as it was read.
    saveSettings(path, s);
    QVERIFY(fileBytes(path).contains("[Back]\nback=7\n"));
}

void TestSettingsFile::namesRoundTrip_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("afterRestart");
    QTest::newRow("plain") << "Taro"
                           << "Taro";
    QTest::newRow("blanks at the ends are dropped") << "  Taro  "
                                                    << "Taro";
    QTest::newRow("inner blanks stay") << "Taro  Yamada"
                                       << "Taro  Yamada";
    QTest::newRow("quotes around are dropped") << "\"Taro\""
                                               << "Taro";
    QTest::newRow("single quotes too") << "'Taro'"
                                       << "Taro";
    QTest::newRow("one quote stays") << "it's"
                                     << "it's";
    QTest::newRow("equals sign") << "a=b=c"
                                 << "a=b=c";
    QTest::newRow("bracket") << "[Ranking]"
                             << "[Ranking]";
    QTest::newRow("semicolon") << ";x"
                               << ";x";
    QTest::newRow("full-width") << QStringLiteral("山田　太郎") << QStringLiteral("山田　太郎");
    QTest::newRow("full-width blanks at the ends stay")
        << QStringLiteral("　花子　") << QStringLiteral("　花子　");
    QTest::newRow("empty") << ""
                           << "";
}

void TestSettingsFile::namesRoundTrip() {
    QFETCH(QString, typed);
    QFETCH(QString, afterRestart);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flinder.ini"));
    Settings s = defaults();
    s.ranking.RankNameList[0] = typed;
    s.ranking.RankNameList[1] = QStringLiteral("next");
    s.defaultName = typed;
    saveSettings(path, s);
    const Settings read = loadSettings(path);
    QCOMPARE(read.ranking.RankNameList[0], afterRestart);
    QCOMPARE(read.ranking.RankNameList[1],
             QStringLiteral("next")); // nothing spilled into the next key
    QCOMPARE(read.defaultName, afterRestart);
    QCOMPARE(profileKeys(QString::fromUtf8(fileBytes(path))), expectedKeys());
}

void TestSettingsFile::unknownContentKeptByteForByte() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flinder.ini"));
    // A file with all the program's keys amid content of its own, in CRLF.
    PrivateProfile profile(QStringLiteral("; written by hand\r\n[Position]\r\nxpos = 100\r\n"
                                          "mine=1\r\n\r\n[Other]\r\nk=v ;x\r\n"));
    Settings s = defaults();
    s.top = 100;
    s.left = 300;
    writeSettings(profile, s);
    const QByteArray before = profile.text().toUtf8() + "[Tail]\r\nz=1";
    writeFileBytes(path, before);

    Settings read = loadSettings(path);
    QCOMPARE(read.top, 100);
    QCOMPARE(read.left, 300);
    saveSettings(path, read);
    QCOMPARE(fileBytes(path), before);

    read.ranking.RankNameList[3] = QStringLiteral("Hana");
    saveSettings(path, read);
    QByteArray expected = before;
    expected.replace("name3=(none)\r\n", "name3=Hana\r\n");
    QCOMPARE(fileBytes(path), expected);
}

void TestSettingsFile::shiftJisFileIsCarriedOverAsUtf8() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flinder.ini"));
    const QString text =
        QStringLiteral("; 設定\r\n[Ranking]\r\nname0=山田　太郎\r\nnumber0=500:3;2\r\n"
                       "name1=ﾊﾅｺ\r\ndefault=山田　太郎\r\n");
    QStringEncoder shiftJis("Shift_JIS");
    const QByteArray bytes = shiftJis.encode(text);
    QVERIFY(!shiftJis.hasError());
    writeFileBytes(path, bytes);

    Settings s = loadSettings(path);
    QCOMPARE(s.ranking.RankNameList[0], QStringLiteral("山田　太郎"));
    QCOMPARE(s.ranking.RankNameList[1], QStringLiteral("ﾊﾅｺ"));
    QCOMPARE(s.ranking.RankNumberList[0], QStringLiteral("500:3;2"));
    QCOMPARE(s.defaultName, QStringLiteral("山田　太郎"));

    saveSettings(path, s);
    const QByteArray saved = fileBytes(path);
    QVERIFY(QString::fromUtf8(saved).startsWith(text)); // the old lines, now in UTF-8
    QCOMPARE(loadSettings(path).ranking.RankNameList, s.ranking.RankNameList);
}

void TestSettingsFile::byteOrderMarkIsKept() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flinder.ini"));
    writeFileBytes(path, "\xEF\xBB\xBF[Position]\nxpos=5\n");
    Settings s = loadSettings(path);
    QCOMPARE(s.top, 5);
    saveSettings(path, s);
    const QByteArray saved = fileBytes(path);
    QVERIFY(saved.startsWith("\xEF\xBB\xBF[Position]\nxpos=5\nypos=0\n[Back]"));
}

void TestSettingsFile::eachLineInItsOwnEncoding() {
    // Names in UTF-8, one from an old Shift-JIS copy, and a Latin-1 byte in someone
    // else's key: no line garbles another.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flinder.ini"));
    QStringEncoder shiftJis("Shift_JIS");
    const QByteArray latin1Line = "comment=caf\xE9 au lait\n";
    writeFileBytes(path, "[Ranking]\nname0=" + QStringLiteral("やまだ").toUtf8() + "\nname1=" +
                             QByteArray(shiftJis.encode(QStringLiteral("山田　太郎"))) +
                             "\nname2=" + QStringLiteral("Zoé").toUtf8() + "\n" + latin1Line);
    const Settings s = loadSettings(path);
    QCOMPARE(s.ranking.RankNameList[0], QStringLiteral("やまだ"));
    QCOMPARE(s.ranking.RankNameList[1], QStringLiteral("山田　太郎"));
    QCOMPARE(s.ranking.RankNameList[2], QStringLiteral("Zoé"));
    saveSettings(path, s);
    const QByteArray saved = fileBytes(path);
    QVERIFY(saved.contains("\n" + latin1Line)); // byte for byte
    QVERIFY(saved.contains("\nname1=" + QStringLiteral("山田　太郎").toUtf8() + "\n"));
    QCOMPARE(loadSettings(path).ranking.RankNameList, s.ranking.RankNameList);
    saveSettings(path, s);
    QCOMPARE(fileBytes(path), saved);
}

void TestSettingsFile::utf16FileStaysUtf16_data() {
    QTest::addColumn<int>("encoding");
    QTest::newRow("little-endian") << int(QStringConverter::Utf16LE);
    QTest::newRow("big-endian") << int(QStringConverter::Utf16BE);
}

void TestSettingsFile::utf16FileStaysUtf16() {
    QFETCH(int, encoding);
    const auto utf16 = QStringConverter::Encoding(encoding);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flinder.ini"));
    QStringEncoder encoder(utf16, QStringConverter::Flag::WriteBom);
    const QByteArray bytes = encoder.encode(
        QStringLiteral("; メモ\r\n[Position]\r\nxpos=7\r\n[Ranking]\r\nname0=山田\r\n"));
    writeFileBytes(path, bytes);
    Settings s = loadSettings(path);
    QCOMPARE(s.top, 7);
    QCOMPARE(s.ranking.RankNameList[0], QStringLiteral("山田"));
    s.ranking.RankNameList[1] = QStringLiteral("花子");
    saveSettings(path, s);
    const QByteArray saved = fileBytes(path);
    QVERIFY(saved.startsWith(bytes.left(2))); // the byte order mark
    QStringDecoder decoder(utf16);
    QVERIFY(QString(decoder.decode(saved))
                .startsWith(QStringLiteral("; メモ\r\n[Position]\r\nxpos=7\r\nypos=0\r\n")));
    QVERIFY(!decoder.hasError());
    QCOMPARE(loadSettings(path).ranking.RankNameList[1], QStringLiteral("花子"));
}

void TestSettingsFile::folderIsCreatedWhenFirstNeeded() {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("config/Flinder"));
    setDataFolder(folder);
    QCOMPARE(settingsFilePath(), folder + QStringLiteral("/flinder.ini"));
    QCOMPARE(backBitmapPath(), folder + QStringLiteral("/back.bmp"));
    loadSettings(settingsFilePath());
    QVERIFY(!QFileInfo::exists(folder)); // reading creates nothing
    saveSettings(settingsFilePath(), defaults());
    QVERIFY(QFileInfo(settingsFilePath()).isFile());
    setDataFolder(QString());
}

void TestSettingsFile::programFolderWhenWritable() {
    // Run as root or from a build tree, the program's own folder is writable.
    setDataFolder(QString());
    if (!QFileInfo(QCoreApplication::applicationDirPath()).isWritable())
        QSKIP("the test's folder is not writable here");
    QCOMPARE(dataFolder(), QCoreApplication::applicationDirPath());
}

void TestSettingsFile::installedCopyNeverUsesItsFolder() {
    // Installed as the package lays it out (<prefix>/games/flinder and the install
    // marker in <prefix>/share/games/flinder), in a folder that root could write to.
    QTemporaryDir prefix;
    QVERIFY(QDir().mkpath(prefix.filePath(QStringLiteral("games"))));
    setProgramFolder(prefix.filePath(QStringLiteral("games")));
    setDataFolder(QString());
    QCOMPARE(dataFolder(), prefix.filePath(QStringLiteral("games"))); // no marker: beside
    QVERIFY(QDir().mkpath(prefix.filePath(QStringLiteral("share/games/flinder"))));
    writeFileBytes(prefix.filePath(QStringLiteral("share/games/flinder/installed")), "");
    setDataFolder(QString());
    QCOMPARE(dataFolder(), QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    setProgramFolder(QString());
    setDataFolder(QString());
}

void TestSettingsFile::folderNamedLikeTheFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flinder.ini"));
    QVERIFY(QDir().mkpath(path));
    QCOMPARE(loadSettings(path).ranking.RankNameList[0], QStringLiteral("(none)"));
    try {
        saveSettings(path, defaults());
        QFAIL("saving over a folder succeeded");
    } catch (const AppError& e) {
        QCOMPARE(e.message(), path + QStringLiteral(" に書き込めません"));
    }
    QVERIFY(QFileInfo(path).isDir());
}

void TestSettingsFile::specialFilesNeverBlock_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("FIFO") << "fifo";
    QTest::newRow("link to a FIFO") << "link to fifo";
    QTest::newRow("link to a device") << "link to /dev/null";
    QTest::newRow("link to a regular file") << "link to file";
}

void TestSettingsFile::specialFilesNeverBlock() {
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flinder.ini"));
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    const QString file = dir.filePath(QStringLiteral("file"));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0644) == 0);
    writeFileBytes(file, "[Ranking]\nname0=Linked\n");
    if (kind == QLatin1String("fifo"))
        QVERIFY(QFile::rename(fifo, path));
    else
        QVERIFY(QFile::link(kind.mid(8) == QLatin1String("/dev/null") ? kind.mid(8)
                                                                      : dir.filePath(kind.mid(8)),
                            path));
    // A reader that waited for a FIFO's writer would hang: a writer comes after 5 s, to
    // let such a test fail rather than hang.
    const QByteArray fifoNow = QFile::encodeName(kind == QLatin1String("fifo") ? path : fifo);
    std::atomic<bool> done{false}, rescued{false};
    std::thread watchdog([&] {
        for (int i = 0; i < 500 && !done; ++i)
            QThread::msleep(10);
        while (!done) {
            const int fd = ::open(fifoNow.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                rescued = true;
                ::close(fd);
            }
            QThread::msleep(10);
        }
    });
    const Settings s = loadSettings(path);
    QString error;
    try {
        saveSettings(path, s);
    } catch (const AppError& e) {
        error = e.message();
    }
    done = true;
    watchdog.join();
    QVERIFY(!rescued);
    if (kind == QLatin1String("link to file")) { // read and written through the link
        QCOMPARE(s.ranking.RankNameList[0], QStringLiteral("Linked"));
        QCOMPARE(error, QString());
        QVERIFY(QFileInfo(path).isSymLink());
        QVERIFY(fileBytes(file).startsWith("[Ranking]\nname0=Linked\nnumber0=0:0;0\n"));
        return;
    }
    // Read like an unreadable file, and never written.
    QCOMPARE(s.ranking.RankNameList[0], QStringLiteral("(none)"));
    QCOMPARE(error, path + QStringLiteral(" に書き込めません"));
    QVERIFY(!QFileInfo(path).isFile());
    QStringList expected{QStringLiteral("file"), QStringLiteral("flinder.ini")};
    if (kind != QLatin1String("fifo"))
        expected.prepend(QStringLiteral("fifo"));
    QCOMPARE(QDir(dir.path())
                 .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
             expected);
}

void TestSettingsFile::fullDiskLeavesTheOldFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flinder.ini"));
    const QByteArray old = fromScratch(versionA());
    writeFileBytes(path, old);
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--save-on-full-disk"), path});
    QVERIFY(child.waitForFinished(20000));
    QCOMPARE(child.exitCode(), 3);
    QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()).trimmed(),
             path + QStringLiteral(" に書き込めません"));
    QCOMPARE(fileBytes(path), old);
    QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("flinder.ini")}); // no leftovers
}

void TestSettingsFile::failedSaveSaysWhy_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("a folder in the file's place") << "folder";
    QTest::newRow("a link to itself") << "loop";
    // A planted link must not make the save create folders wherever it points.
    QTest::newRow("a link into a folder that does not exist") << "link into nowhere";
}

void TestSettingsFile::failedSaveSaysWhy() {
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flinder.ini"));
    const QString nowhere = dir.filePath(QStringLiteral("missing/deeper"));
    QString reason;
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(path));
        reason = notRegularFileReason;
    } else if (kind == QLatin1String("loop")) {
        QVERIFY(QFile::link(path, path));
        reason = systemReason(ELOOP);
    } else {
        QVERIFY(QFile::link(nowhere + QStringLiteral("/flinder.ini"), path));
        reason = missingLinkFolderReason(nowhere);
    }
    try {
        saveSettings(path, defaults());
        QFAIL("the save succeeded");
    } catch (const SaveError& e) {
        QCOMPARE(e.message(), path + QStringLiteral(" に書き込めません"));
        QCOMPARE(e.reason(), reason);
    }
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("missing"))));
}

void TestSettingsFile::scoreThatIsNoNumberFailsTheMerge() {
    // Another window saved the level's block, with a score edited by hand, after this
    // window read it: placing this window's entry meets that score.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flinder.ini"));
    const QByteArray edited = "[Ranking]\nname20=Hand\nnumber20=lots:1;1\n";
    writeFileBytes(path, edited);
    SettingsChanges changes{defaults(), defaults(), {RankEntry{20, "Me", "500:1;1"}}};
    changes.current.ranking.enter(20, QStringLiteral("Me"), QStringLiteral("500:1;1"));
    try {
        saveSettings(path, changes);
        QFAIL("the save succeeded");
    } catch (const SaveError& e) {
        QCOMPARE(e.reason(), QStringLiteral("'lots' は整数ではありません"));
    }
    QCOMPARE(fileBytes(path), edited); // nothing lost
    // Mended by hand, the file takes the entry at the next save.
    writeFileBytes(path, "[Ranking]\nname20=Hand\nnumber20=900:1;1\n");
    saveSettings(path, changes);
    QCOMPARE(loadSettings(path).ranking.RankNameList.mid(20, 3),
             (QStringList{"Hand", "Me", "(none)"}));
}

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--save-on-full-disk") == 0)
        return saveOnFullDisk(QString::fromLocal8Bit(argv[2]));
    QCoreApplication app(argc, argv);
    TestSettingsFile test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_settings_file.moc"
