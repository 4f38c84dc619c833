#include "platform/termination_signals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> closingSignals{SIGTERM, SIGINT, SIGHUP};

// The handler can reach only globals. One instance at a time owns them.
int pipeFds[2] = {-1, -1};
struct sigaction previous[closingSignals.size()];

extern "C" void onClosingSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    // Non-blocking: when the pipe is full a close is already pending, and losing this
    // byte loses nothing.
    [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &byte, 1);
    errno = savedErrno;
}

extern "C" void onWatchdog(int) {
    ::_exit(0);
}

} // namespace

TerminationSignals::TerminationSignals() {
    if (pipeFds[0] != -1 || ::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        // Another instance is active, or no pipe: keep the default actions.
        return;
    }
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    notifier_->setEnabled(false); // until there is a handler
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::onReadable);

    struct sigaction action {};
    action.sa_handler = onClosingSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < closingSignals.size(); ++i)
        ::sigaction(closingSignals[i], &action, &previous[i]);
}

TerminationSignals::~TerminationSignals() {
    if (!notifier_)
        return;
    for (std::size_t i = 0; i < closingSignals.size(); ++i)
        ::sigaction(closingSignals[i], &previous[i], nullptr);
    delete notifier_;
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
}

void TerminationSignals::setHandler(std::function<void()> handler) {
    handler_ = std::move(handler);
    if (notifier_)
        notifier_->setEnabled(bool(handler_));
}

void TerminationSignals::onReadable() {
    // Several signals in a row make one request.
    char bytes[64];
    while (::read(pipeFds[0], bytes, sizeof bytes) > 0) {
    }
    if (handler_)
        handler_();
}

void endProcessWithin(std::chrono::milliseconds limit) {
    static bool armed = false;
    if (armed)
        return;
    armed = true;
    struct sigaction action {};
    action.sa_handler = onWatchdog;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGALRM, &action, nullptr);
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(limit).count();
    itimerval timer{};
    timer.it_value.tv_sec = us / 1000000;
    timer.it_value.tv_usec = us % 1000000;
    ::setitimer(ITIMER_REAL, &timer, nullptr);
}
