#pragma once
// The application object: catches every error raised inside an event handler in one
// place and shows it, instead of letting it unwind through Qt.

#include <QApplication>

class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
