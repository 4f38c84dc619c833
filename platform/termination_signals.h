#pragma once
// Ending the program from outside as the desktop expects: SIGTERM (logout, shutdown,
// kill), SIGINT (Ctrl+C in a terminal) and SIGHUP (the terminal or session went away)
// run the handler given, which saves the settings and ends the program.
//
// The signal handler only writes a byte into a pipe (async-signal-safe); the event loop
// watches the pipe's other end and runs the handler from there, in the user-interface
// thread, between events (also those of a message box's loop).

#include <QObject>

#include <chrono>
#include <functional>

class QSocketNotifier;

class TerminationSignals : public QObject {
public:
    // Installs the handlers; needs the application object. Signals that arrive before
    // a handler is given wait in the pipe until then.
    TerminationSignals();
    // Restores the handlers that were there before.
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // What each of these signals runs (empty: nothing for now).
    void setHandler(std::function<void()> handler);

private:
    void onReadable();

    QSocketNotifier* notifier_ = nullptr;
    std::function<void()> handler_;
};

// Ends the process with exit code 0 once `limit` has passed, should its orderly end not
// have finished by then: after a signal the settings are saved, and what is left (the
// toolkit's teardown) can hang for minutes on a display connection that is gone or a
// compositor that does not answer. Only the first call counts.
void endProcessWithin(std::chrono::milliseconds limit);
