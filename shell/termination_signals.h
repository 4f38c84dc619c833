#pragma once
// Ending the program from outside as the desktop expects: SIGTERM (logout, shutdown,
// kill), SIGINT (Ctrl+C in a terminal) and SIGHUP (the terminal or session went away)
// close the main window the normal way, so its close handler saves the settings.
//
// The signal handler only writes a byte into a pipe (async-signal-safe); the event loop
// watches the pipe's other end and closes the window from there, in the user-interface
// thread, between events like any other close request.

#include <QObject>
#include <QPointer>
#include <QWidget>

class QSocketNotifier;

class TerminationSignals : public QObject {
public:
    // Installs the handlers; needs the application object. Signals that arrive before
    // a window is given wait in the pipe until then.
    TerminationSignals();
    // Restores the handlers that were there before.
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // The window that each of these signals closes (nullptr: none for now).
    void closeOnSignal(QWidget* window);

private:
    void onReadable();

    QSocketNotifier* notifier_ = nullptr;
    QPointer<QWidget> window_;
};
