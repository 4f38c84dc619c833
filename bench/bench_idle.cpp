// Idle cost: a running round left alone uses at most 1% of one core. Starts the idle
// probe (Flinder, which starts a round by itself) on the X server in DISPLAY, then
// measures its CPU time over the given number of seconds.
// Usage: bench_idle <flinder-idle-probe> [seconds]

#include "bench/harness.h"

#include <QString>

#include <csignal>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// utime + stime of a process in clock ticks.
long long cpuTicks(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const auto close = line.rfind(')');
    std::istringstream rest(line.substr(close + 2));
    std::string field;
    long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14)
            utime = std::stoll(field);
        if (i == 15)
            stime = std::stoll(field);
    }
    return utime + stime;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <flinder-idle-probe> [seconds]\n", argv[0]);
        return 2;
    }
    const int seconds = argc > 2 ? std::max(5, std::atoi(argv[2])) : 30;
    int fds[2];
    if (pipe(fds) != 0)
        return 2;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        execl(argv[1], argv[1], static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string out;
    char c;
    while (out.find('\n') == std::string::npos && read(fds[0], &c, 1) == 1)
        out += c;
    bench::Verdicts v;
    const bool running = out.find("timer=1 input=1 active=1") != std::string::npos;
    v.check("a round runs in the active window", running, QString::fromStdString(out).trimmed());
    if (running) {
        sleep(1);
        const long long before = cpuTicks(pid);
        sleep(unsigned(seconds));
        const long long after = cpuTicks(pid);
        const double percent =
            100.0 * double(after - before) / double(sysconf(_SC_CLK_TCK)) / seconds;
        std::printf("Idle cost of a running round left alone for %d s\n", seconds);
        v.check("CPU of one core", percent <= 1.0,
                QString("%1 % (target <= 1 %)").arg(percent, 0, 'f', 2));
    }
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    close(fds[0]);
    std::printf("%s\n", v.failures ? "IDLE: FAIL" : "IDLE: PASS");
    return v.failures ? 1 : 0;
}
