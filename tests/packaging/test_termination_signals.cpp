// The real program, started from a copy in a folder of its own, ends the normal way on
// SIGTERM, SIGINT and SIGHUP: the main window closes, the settings are saved, and the
// exit code is 0 (under the sanitizers: no leak on that path either). When they cannot
// be saved, the program says so on standard error and ends all the same. Once saved, it
// ends within a second even when its X server no longer answers. Under a window manager,
// a window that was not moved is saved where it opened, start after start.

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/types.h>

namespace {

const QByteArray oldSettings = "[Position]\nxpos=40\nypos=30\n[Ranking]\nname0=Keep\n"
                               "number0=1200:3;2\n[Mine]\nkept=yes\n";

// The caught-signal mask of a running process, from /proc.
quint64 caughtSignals(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return line.mid(7).trimmed().toULongLong(nullptr, 16);
    }
    return 0;
}

bool catches(qint64 pid, int signal) {
    return caughtSignals(pid) & (quint64{1} << (signal - 1));
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A copy of the program in a fresh folder, with a settings file of its own there.
struct Copy {
    QTemporaryDir dir;
    QString program;
    QProcess process;
    bool unsavable = false;

    // With a folder in the settings file's place when unsavable; on the X display given,
    // else offscreen.
    bool start(bool unsavableFile = false, const QString& display = QString()) {
        unsavable = unsavableFile;
        program = dir.filePath(QStringLiteral("flinder"));
        if (!QFile::copy(qEnvironmentVariable("FLINDER_BINARY"), program))
            return false;
        QFile ini(dir.filePath(QStringLiteral("flinder.ini")));
        if (unsavable
                ? !QDir(dir.path()).mkdir(QStringLiteral("flinder.ini"))
                : !ini.open(QIODevice::WriteOnly) || ini.write(oldSettings) != oldSettings.size())
            return false;
        ini.close();
        return run(display);
    }

    // Starts the copy (again) with the settings file as it stands.
    bool run(const QString& display = QString()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path()); // private, 0700
        if (!display.isEmpty()) {
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
            env.insert(QStringLiteral("DISPLAY"), display);
        }
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(dir.path());
        process.setProcessChannelMode(unsavable ? QProcess::ForwardedOutputChannel
                                                : QProcess::ForwardedChannels);
        process.start(program, {});
        return process.waitForStarted(10000);
    }

    // Waits until the program has put its handlers in place (its start-up does that
    // before it shows the window; a signal that comes earlier waits for the window).
    bool waitForHandlers() {
        for (int i = 0; i < 300; ++i) {
            const qint64 pid = process.processId();
            if (pid && catches(pid, SIGTERM) && catches(pid, SIGINT) && catches(pid, SIGHUP))
                return true;
            if (process.waitForFinished(50))
                return false;
        }
        return false;
    }

    QString settings() const { return QString::fromUtf8(fileBytes(dir.filePath("flinder.ini"))); }
    QStringList files() const {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
};

// A private X server, which a test can stop: it then never answers.
struct XServer {
    QProcess process;
    QString display;

    bool start() {
        process.start(QStringLiteral("Xvfb"),
                      {QStringLiteral("-displayfd"), QStringLiteral("1"),
                       QStringLiteral("-noreset"), QStringLiteral("-screen"), QStringLiteral("0"),
                       QStringLiteral("800x600x24"), QStringLiteral("-nolisten"),
                       QStringLiteral("tcp")});
        while (process.waitForReadyRead(10000) && !process.canReadLine()) {
        }
        if (!process.canReadLine())
            return false;
        display = QLatin1Char(':') + QString::fromLatin1(process.readLine().trimmed());
        return true;
    }
    void signal(int sig) { ::kill(pid_t(process.processId()), sig); }
    ~XServer() {
        if (process.state() != QProcess::NotRunning) {
            signal(SIGCONT);
            process.kill();
            process.waitForFinished(10000);
        }
    }
};

// A window manager on an X server: openbox, which frames windows as most desktops do.
struct WindowManager {
    QTemporaryDir config;
    QProcess process;

    bool start(const QString& display) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path()); // its defaults
        process.setProcessEnvironment(env);
        process.start(QStringLiteral("openbox"),
                      {QStringLiteral("--sm-disable"), QStringLiteral("--startup"),
                       QStringLiteral("echo managing")});
        // It says what it cannot find on its way; the line of its own comes when it runs.
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            while (process.canReadLine())
                if (process.readLine().startsWith("managing"))
                    return true;
            if (!process.waitForReadyRead(int(deadline.remainingTime())))
                return false;
        }
        return false;
    }
    ~WindowManager() {
        process.kill();
        process.waitForFinished(10000);
    }
};

// Whether the program's main window is on the screen within twenty seconds.
bool windowShown(const QString& display) {
    QProcess search;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    search.setProcessEnvironment(env);
    search.start(QStringLiteral("xdotool"),
                 {QStringLiteral("search"), QStringLiteral("--sync"),
                  QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                  QStringLiteral("^Flinder$")});
    const bool shown = search.waitForFinished(20000) && search.exitCode() == 0;
    search.kill();
    search.waitForFinished(5000);
    return shown;
}

} // namespace

class TestTerminationSignals : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void signalClosesTheWindowAndSaves_data();
    void signalClosesTheWindowAndSaves();
    void burstOfSignalsClosesOnce();
    void unsavableSettingsStillEnd();
    void endsSoonAfterTheSaveWhenTheDisplayHangs();
    void framedWindowIsSavedWhereItOpened();
};

void TestTerminationSignals::initTestCase() {
    QVERIFY2(QFile::exists(qEnvironmentVariable("FLINDER_BINARY")), "FLINDER_BINARY not set");
}

void TestTerminationSignals::signalClosesTheWindowAndSaves_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

void TestTerminationSignals::signalClosesTheWindowAndSaves() {
    QFETCH(int, signal);
    Copy copy;
    QVERIFY(copy.start());
    QVERIFY(copy.waitForHandlers());
    // Nothing closes it on its own.
    QVERIFY(!copy.process.waitForFinished(500));
    QCOMPARE(copy.settings().toUtf8(), oldSettings);

    QVERIFY(::kill(pid_t(copy.process.processId()), signal) == 0);
    QVERIFY(copy.process.waitForFinished(30000));
    QCOMPARE(copy.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(copy.process.exitCode(), 0);

    // Saved by the close handler: what was loaded, completed to the whole ranking, and
    // the section the program does not know left as it was.
    const QString saved = copy.settings();
    QVERIFY2(saved.contains(QStringLiteral("\nname0=Keep\n")), qPrintable(saved));
    QVERIFY(saved.contains(QStringLiteral("\nnumber0=1200:3;2\n")));
    QVERIFY(saved.contains(QStringLiteral("[Mine]\nkept=yes\n")));
    QVERIFY(saved.contains(QStringLiteral("\nname49=(none)\n")));
    QVERIFY(saved.contains(QStringLiteral("\ndefault=")));
    QCOMPARE(copy.files(), (QStringList{QStringLiteral("flinder"), QStringLiteral("flinder.ini")}));
}

void TestTerminationSignals::burstOfSignalsClosesOnce() {
    Copy copy;
    QVERIFY(copy.start());
    QVERIFY(copy.waitForHandlers());
    const pid_t pid = pid_t(copy.process.processId());
    for (int sig : {SIGTERM, SIGTERM, SIGINT, SIGHUP, SIGTERM})
        QVERIFY(::kill(pid, sig) == 0);
    QVERIFY(copy.process.waitForFinished(30000));
    QCOMPARE(copy.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(copy.process.exitCode(), 0);
    QVERIFY(copy.settings().contains(QStringLiteral("\nname0=Keep\n")));
    QCOMPARE(copy.files(), (QStringList{QStringLiteral("flinder"), QStringLiteral("flinder.ini")}));
}

void TestTerminationSignals::unsavableSettingsStillEnd() {
    Copy copy;
    QVERIFY(copy.start(true));
    QVERIFY(copy.waitForHandlers());
    QVERIFY(::kill(pid_t(copy.process.processId()), SIGTERM) == 0);
    const bool ended = copy.process.waitForFinished(30000);
    if (!ended)
        copy.process.kill();
    QVERIFY2(ended, "the program did not end");
    QCOMPARE(copy.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(copy.process.exitCode(), 0);
    const QString error = QString::fromLocal8Bit(copy.process.readAllStandardError());
    QVERIFY2(error.contains(copy.dir.filePath(QStringLiteral("flinder.ini")) +
                            QStringLiteral(" に書き込めません")),
             qPrintable(error));
    QVERIFY(QFileInfo(copy.dir.filePath(QStringLiteral("flinder.ini"))).isDir());
}

void TestTerminationSignals::endsSoonAfterTheSaveWhenTheDisplayHangs() {
    // A stopped X server never answers: the toolkit's teardown waits for it forever.
    XServer x;
    QVERIFY2(x.start(), "Xvfb did not start");
    Copy copy;
    QVERIFY(copy.start(false, x.display));
    QVERIFY(copy.waitForHandlers());
    QVERIFY(!copy.process.waitForFinished(1000)); // shown, and idle
    x.signal(SIGSTOP);
    QVERIFY(::kill(pid_t(copy.process.processId()), SIGTERM) == 0);
    QElapsedTimer sinceSave;
    for (int i = 0; i < 3000 && !copy.settings().contains(QStringLiteral("\nname49=")); ++i)
        QTest::qSleep(10);
    sinceSave.start();
    QVERIFY2(copy.settings().contains(QStringLiteral("\nname49=(none)\n")), "not saved");
    QVERIFY(copy.settings().contains(QStringLiteral("\nname0=Keep\n")));
    const bool ended = copy.process.waitForFinished(1500);
    const qint64 ms = sinceSave.elapsed();
    QVERIFY2(ended, qPrintable(QStringLiteral("still running %1 ms after the save").arg(ms)));
    QCOMPARE(copy.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(copy.process.exitCode(), 0);
}

void TestTerminationSignals::framedWindowIsSavedWhereItOpened() {
    XServer x;
    QVERIFY2(x.start(), "Xvfb did not start");
    WindowManager wm;
    if (!wm.start(x.display))
        QSKIP("openbox could not be started: no window manager to frame the window");
    Copy copy;
    for (int run = 0; run < 2; ++run) {
        QVERIFY(run == 0 ? copy.start(false, x.display) : copy.run(x.display));
        QVERIFY2(windowShown(x.display), "the window was not shown");
        QTest::qSleep(1000); // the program learns where its frame went
        QVERIFY(::kill(pid_t(copy.process.processId()), SIGTERM) == 0);
        QVERIFY(copy.process.waitForFinished(30000));
        // The frame's top edge in "xpos" and its left in "ypos", as they were read.
        const QString saved = copy.settings();
        QVERIFY2(saved.startsWith(QStringLiteral("[Position]\nxpos=40\nypos=30\n")),
                 qPrintable(
                     QStringLiteral("start %1:\n%2").arg(run + 1).arg(saved.section('\n', 0, 2))));
    }
}

QTEST_GUILESS_MAIN(TestTerminationSignals)
#include "test_termination_signals.moc"
