#pragma once
// The version dialog: the logo, the version, and a link to the author's home page.

#include "shell/dialog_form.h"

#include <QLabel>

class QPushButton;

// The author's home page, shown and opened by the version dialog.
inline const QString homePageAddress = QStringLiteral("https://flindergame.org/");

// A label that reports a click (press and release over it).
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

class TVersionForm : public TDialogForm {
public:
    explicit TVersionForm(QWidget* mainWindow);

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    LinkLabel* Label3 = nullptr;
    QPushButton* OKButton = nullptr;

    // Moves the left edge to screen x = 1 (the first showing is centred afterwards).
    void FormShow() override;
    void Label3Click();
    void OKButtonClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool labelsSized_ = false;
};

extern TVersionForm* VersionForm;
