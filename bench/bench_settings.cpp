// The cost of opening and saving a hostile settings file: 50 MB of distinct sections
// (about 4.9 million of them) and then the program's own keys, which every look-up
// must find past them. Each load-and-save runs in
// a child process of its own, whose peak memory the system reports.
// Figures: peak memory beyond an empty file's, as a multiple of the file's size; and
// the time per megabyte at 50 MB against 5 MB (linear: about 1).
// Usage: bench_settings [folder for the files]

#include "bench/harness.h"
#include "store/settings_file.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Distinct sections of one line each up to `megabytes`, then the program's keys.
QByteArray hostileFile(int megabytes) {
    const qsizetype size = qsizetype(megabytes) * 1024 * 1024;
    QByteArray bytes;
    bytes.reserve(size + 8192);
    char line[32];
    for (long n = 0; bytes.size() < size; ++n) {
        const int length = std::snprintf(line, sizeof line, "[s%ld]\n", n);
        bytes.append(line, length);
    }
    PrivateProfile profile;
    writeSettings(profile, readSettings(PrivateProfile()));
    return bytes + profile.text().toUtf8();
}

struct Run {
    double seconds = -1; // load and save, as the child measured it
    double peakMiB = -1;
};

// The child: loads the file, changes one name and saves it; prints the time taken.
int loadAndSave(const char* path) {
    const QString file = QString::fromLocal8Bit(path);
    QElapsedTimer timer;
    timer.start();
    Settings s = loadSettings(file);
    s.ranking.RankNameList[0] = QStringLiteral("bench");
    saveSettings(file, s);
    std::printf("%lld\n", static_cast<long long>(timer.nsecsElapsed()));
    return loadSettings(file).ranking.RankNameList[0] == QLatin1String("bench") ? 0 : 1;
}

Run runChild(const char* self, const QString& path) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return {};
    const QByteArray native = QFile::encodeName(path);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        execl(self, self, "--load-and-save", native.constData(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    QByteArray out;
    char buf[256];
    ssize_t n;
    while ((n = read(pipeFds[0], buf, sizeof buf)) > 0)
        out.append(buf, n);
    close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    return Run{double(out.trimmed().toLongLong()) / 1e9, double(usage.ru_maxrss) / 1024.0};
}

// The median of three runs of a freshly written file.
Run measure(const char* self, const QString& path, const QByteArray& bytes) {
    std::vector<Run> runs;
    for (int i = 0; i < 3; ++i) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return {};
        file.close();
        runs.push_back(runChild(self, path));
        if (runs.back().seconds < 0)
            return {};
    }
    std::sort(runs.begin(), runs.end(),
              [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
    Run median = runs[1];
    median.peakMiB = std::max({runs[0].peakMiB, runs[1].peakMiB, runs[2].peakMiB});
    return median;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--load-and-save") == 0)
        return loadAndSave(argv[2]);
    QTemporaryDir scratch(
        argc > 1 ? QDir(QString::fromLocal8Bit(argv[1])).filePath(QStringLiteral("bench-XXXXXX"))
                 : QDir::tempPath() + QStringLiteral("/bench-XXXXXX"));
    const QString path = scratch.filePath(QStringLiteral("flinder.ini"));
    bench::Verdicts verdicts;

    const Run empty = measure(argv[0], path, QByteArray());
    const QByteArray small = hostileFile(5), large = hostileFile(50);
    const Run five = measure(argv[0], path, small);
    const Run fifty = measure(argv[0], path, large);
    if (empty.seconds < 0 || five.seconds < 0 || fifty.seconds < 0) {
        std::printf("  the load-and-save child failed\n");
        return 1;
    }
    const double fileMiB = double(large.size()) / (1024.0 * 1024.0);
    const double memoryRatio = (fifty.peakMiB - empty.peakMiB) / fileMiB;
    const double perMbLarge = fifty.seconds / fileMiB;
    const double perMbSmall = five.seconds / (double(small.size()) / (1024.0 * 1024.0));
    std::printf("  %.0f MB of %ld sections: load and save %.2f s, peak %.0f MiB (empty file "
                "%.0f MiB); 5 MB: %.2f s\n",
                fileMiB, static_cast<long>(large.count('[')), fifty.seconds, fifty.peakMiB,
                empty.peakMiB, five.seconds);
    verdicts.check(QStringLiteral("memory, x the file's size"), memoryRatio <= 5.0,
                   QStringLiteral("%1x (target <= 5x)").arg(memoryRatio, 0, 'f', 2));
    verdicts.check(QStringLiteral("time per MB, 50 MB vs 5 MB"), perMbLarge <= 1.5 * perMbSmall,
                   QStringLiteral("%1x (target <= 1.5x)").arg(perMbLarge / perMbSmall, 0, 'f', 2));
    return verdicts.failures == 0 ? 0 : 1;
}
