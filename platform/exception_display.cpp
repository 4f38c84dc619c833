#include "platform/exception_display.h"

#include "platform/errors.h"

#include <QApplication>
#include <QMessageBox>

namespace {

void showInMessageBox(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Flinder"), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    // Messages carry texts from files and paths: never laid out as rich text (an image
    // tag in a ranking text would load any file, or never finish).
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

ExceptionShower& shower() {
    static ExceptionShower s = showInMessageBox;
    return s;
}

} // namespace

QString exceptionDisplayText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

QString exceptionMessage(const std::exception& e) {
    if (auto* app = dynamic_cast<const AppError*>(&e))
        return app->message();
    return QString::fromLocal8Bit(e.what());
}

void showException(const QString& message) {
    shower()(exceptionDisplayText(message));
}

ExceptionShower setExceptionShower(ExceptionShower s) {
    ExceptionShower old = std::move(shower());
    shower() = s ? std::move(s) : ExceptionShower(showInMessageBox);
    return old;
}

void runHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        showException(exceptionMessage(e));
    }
}
