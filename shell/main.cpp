// Flinder's entry: the application object, the main window, the message loop.

#include "screen/frame.h"
#include "shell/application.h"
#include "shell/exception_display.h"
#include "shell/main_form.h"
#include "shell/qt_platform.h"

#include <QIcon>

int main(int argc, char** argv) {
    Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Flinder"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/assets/icon32.png")));
    QtPlatform qtPlatform;
    setPlatform(&qtPlatform);
    try {
        initPictures();
        MainForm = new TMainForm;
        qtPlatform.setMainWindow(MainForm);
        MainForm->show();
        QApplication::exec();
    } catch (const std::exception& e) {
        showException(exceptionMessage(e));
    }
    delete MainForm;
    MainForm = nullptr;
    return 0;
}
