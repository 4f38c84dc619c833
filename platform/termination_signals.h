#pragma once
// Ending the program from outside as the desktop expects: SIGTERM (logout, shutdown,
// kill), SIGINT (Ctrl+C in a terminal) and SIGHUP (the terminal or session went away)
// run the handler given, which saves the settings and ends the program.
//
// The signal handler only writes a byte into a pipe (async-signal-safe); the event loop
// watches the pipe's other end and runs the handler from there, in the user-interface
// thread, between events (also those of a message box's loop).

#include <QObject>

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
