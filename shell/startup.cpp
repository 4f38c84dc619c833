#include "shell/startup.h"

#include "game/round.h"
#include "platform/application.h"
#include "platform/exception_display.h"
#include "platform/qt_platform.h"
#include "platform/termination_signals.h"
#include "screen/fonts.h"
#include "screen/frame.h"
#include "shell/app_icon.h"
#include "shell/hiscore_form.h"
#include "shell/main_form.h"
#include "shell/pad_control.h"
#include "shell/version_form.h"

#include <QIcon>
#include <QTimer>

int runFlinder(int& argc, char** argv, const std::function<void()>& afterShow) {
    Application app(argc, argv);
    // The per-user settings folder of an installed copy is AppConfigLocation:
    // $XDG_CONFIG_HOME/Flinder, normally ~/.config/Flinder (no organization name, which
    // would add a level). The desktop file name lets Wayland find the menu entry's icon.
    QApplication::setApplicationName(QStringLiteral("Flinder"));
    QApplication::setOrganizationDomain(QStringLiteral("flindergame.org"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.flindergame.Flinder"));
    TerminationSignals terminationSignals;
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
        // A moment later, so the window shows and takes keys without waiting for them:
        // the icon (eight drawings to read, which the window system then shows in the
        // title bar and the task switcher) and the gamepads (SDL itself is loaded only
        // once a pad is there).
        auto* pads = new PadControl(MainForm);
        QTimer::singleShot(afterShowDelayMs, pads, [pads] {
            QApplication::setWindowIcon(applicationIcon());
            pads->gamepads().startWhenAttached();
        });
        terminationSignals.setHandler([] {
            if (MainForm)
                MainForm->endOnSignal();
        });
        if (afterShow)
            afterShow();
        QApplication::exec();
    } catch (const std::exception& e) {
        showException(exceptionMessage(e));
    }
    terminationSignals.setHandler(nullptr);
    qtPlatform.setMainWindow(nullptr);
    delete MainForm; // and with it the two dialogs
    VersionForm = nullptr;
    HiscoreForm = nullptr;
    return 0;
}
