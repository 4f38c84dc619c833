#include "shell/main_form.h"

#include "shell/transparent_picture.h"

#include <QLabel>
#include <QLayout>

TMainForm* MainForm = nullptr;

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("Flinder"));
    client_ = new QWidget(this);
    client_->setFixedSize(400, 400);
    setCentralWidget(client_);
    TitleImage = newTransparentPicture(QImage(QStringLiteral(":/assets/title_logo.png")), client_);
    TitleImage->move(55, 90);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}
