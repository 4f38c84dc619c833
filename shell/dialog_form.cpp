#include "shell/dialog_form.h"

#include "screen/fonts.h"

TDialogForm::TDialogForm(QWidget* mainWindow, const QString& caption, QSize clientSize)
    : QDialog(mainWindow, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowCloseButtonHint) {
    setWindowTitle(caption);
    setModal(false);
    setFixedSize(clientSize);
    setFont(gameFont(pGothicFamily, 12, false));
}

void TDialogForm::showForm() {
    if (!isVisible()) {
        FormShow();
        if (!shownBefore_)
            centreOverMainWindow();
        shownBefore_ = true;
        show();
    }
    raise();
    activateWindow();
}

void TDialogForm::centreOverMainWindow() {
    QWidget* main = parentWidget();
    if (!main)
        return;
    // The dialog's frame is not known before it is first shown: take the main window's
    // decoration, which the same window manager draws.
    const QRect mainFrame = main->frameGeometry();
    const QSize decoration = mainFrame.size() - main->geometry().size();
    const QSize frame = size() + decoration;
    move(mainFrame.left() + (mainFrame.width() - frame.width()) / 2,
         mainFrame.top() + (mainFrame.height() - frame.height()) / 2);
}
