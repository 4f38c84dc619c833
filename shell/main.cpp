// Flinder's entry: the application object, the three windows, the message loop.

#include "game/round.h"
#include "screen/fonts.h"
#include "screen/frame.h"
#include "shell/application.h"
#include "shell/exception_display.h"
#include "shell/hiscore_form.h"
#include "shell/main_form.h"
#include "shell/qt_platform.h"
#include "shell/version_form.h"

#include <QIcon>

int main(int argc, char** argv) {
    Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Flinder"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/assets/icon32.png")));
    QtPlatform qtPlatform;
    setPlatform(&qtPlatform);
    qtPlatform.setTimerHandler([] { runHandler(timerTimer); });
    try {
        installFontSubstitutions();
        initPictures();
        MainForm = new TMainForm;
        qtPlatform.setMainWindow(MainForm);
        MainForm->FormCreate();
        VersionForm = new TVersionForm(MainForm);
        HiscoreForm = new THiscoreForm(MainForm);
        MainForm->show();
        QApplication::exec();
    } catch (const std::exception& e) {
        showException(exceptionMessage(e));
    }
    qtPlatform.setMainWindow(nullptr);
    delete MainForm; // and with it the two dialogs
    VersionForm = nullptr;
    HiscoreForm = nullptr;
    return 0;
}
