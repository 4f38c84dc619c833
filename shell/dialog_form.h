#pragma once
// A modeless dialog of the main window: fixed size, caption, close box, no minimise or
// maximise button; created hidden and only hidden again by its close box.

#include <QDialog>

class TDialogForm : public QDialog {
public:
    TDialogForm(QWidget* mainWindow, const QString& caption, QSize clientSize);

    // Shows the dialog and brings it to the front. A hidden dialog first runs FormShow
    // and, on its first showing only, is centred over the main window; a visible one is
    // only brought to the front.
    void showForm();

    // The show handler.
    virtual void FormShow() {}

    bool shownBefore() const { return shownBefore_; }

private:
    void centreOverMainWindow();

    bool shownBefore_ = false;
};
