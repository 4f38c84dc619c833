#include "platform/application.h"

#include "platform/exception_display.h"

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        // The rest of the handler is skipped; the event counts as handled.
        showException(exceptionMessage(e));
        return true;
    }
}
