// Start-up time and peak memory of Flinder against a bare Qt Widgets program, both on
// the X server in DISPLAY, alternated, medians of the runs.
// Usage: bench_startup <flinder-probe> <bare-probe> [runs]

#include "bench/harness.h"

#include <QString>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

long long monotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

struct Run {
    double seconds = -1;
    double peakMiB = -1;
};

// Starts the program, reads its "IDLE <ns>" line, waits for it and takes its peak RSS.
Run runOnce(const char* program) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return {};
    const long long start = monotonicNs();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    std::string out;
    char buf[256];
    ssize_t n;
    while ((n = read(pipeFds[0], buf, sizeof buf)) > 0)
        out.append(buf, size_t(n));
    close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    Run run;
    const auto at = out.find("IDLE ");
    if (at != std::string::npos && WIFEXITED(status))
        run.seconds = double(std::stoll(out.substr(at + 5)) - start) / 1e9;
    run.peakMiB = double(usage.ru_maxrss) / 1024.0;
    return run;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <flinder-probe> <bare-probe> [runs]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 3 ? std::max(10, std::atoi(argv[3])) : 11;
    std::vector<double> gameTime, gameMem, bareTime, bareMem;
    runOnce(argv[1]); // warm the file cache for both
    runOnce(argv[2]);
    for (int i = 0; i < runs; ++i) {
        for (int which = 0; which < 2; ++which) {
            const bool game = (i + which) % 2 == 0; // alternate which one goes first
            const Run r = runOnce(game ? argv[1] : argv[2]);
            if (r.seconds < 0) {
                std::fprintf(stderr, "%s did not reach an idle title screen\n",
                             game ? argv[1] : argv[2]);
                return 1;
            }
            (game ? gameTime : bareTime).push_back(r.seconds);
            (game ? gameMem : bareMem).push_back(r.peakMiB);
        }
    }
    bench::Verdicts v;
    const double gt = median(gameTime), bt = median(bareTime);
    const double gm = median(gameMem), bm = median(bareMem);
    std::printf("Start-up and memory (median of %d runs each, alternated)\n", runs);
    std::printf("  bare Qt program: %.3f s, %.1f MiB peak\n", bt, bm);
    std::printf("  flinder:         %.3f s, %.1f MiB peak\n", gt, gm);
    v.ratio("start-up to idle title screen", gt * 1e9, bt * 1e9, 1.15);
    v.check("peak memory", gm <= bm + 6.0,
            QString("%1 MiB over the bare program (target <= +6 MiB)").arg(gm - bm, 0, 'f', 1));
    std::printf("%s\n", v.failures ? "START-UP: FAIL" : "START-UP: PASS");
    return v.failures ? 1 : 0;
}
