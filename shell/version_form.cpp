#include "shell/version_form.h"

#include "platform/desktop_open.h"
#include "screen/fonts.h"
#include "screen/logos.h"
#include "shell/handler_connect.h"
#include "shell/transparent_picture.h"

#include <QMouseEvent>
#include <QPushButton>

TVersionForm* VersionForm = nullptr;

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

TVersionForm::TVersionForm(QWidget* mainWindow)
    : TDialogForm(mainWindow, QStringLiteral("バージョン情報"), QSize(298, 169)) {
    Image1 = newTransparentPicture(smallLogo(), QStringLiteral(":/assets/small_logo@2x.png"), this);
    Image1->move(41, 27);

    Label1 = new QLabel(QStringLiteral("Ver. 1.0.0"), this);
    Label1->setFont(gameFont(pGothicFamily, 16, false));
    Label1->move(198, 55);

    Label3 = new LinkLabel(homePageAddress, this);
    QFont linkFont = gameFont(pGothicFamily, 12, false);
    linkFont.setUnderline(true);
    Label3->setFont(linkFont);
    Label3->move(35, 111);
    QPalette palette = Label3->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    Label3->setPalette(palette);
    Label3->setCursor(Qt::PointingHandCursor);

    OKButton = new QPushButton(QStringLiteral("閉じる"), this);
    OKButton->setGeometry(108, 130, 75, 25);
    OKButton->setDefault(true);

    connectHandler(Label3, &LinkLabel::clicked, this, [this] { Label3Click(); });
    connectHandler(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
}

void TVersionForm::showEvent(QShowEvent* event) {
    // The labels take the size of their text (about 62 x 16). Measured when first
    // shown rather than at start-up, which then need not load their face.
    if (!labelsSized_) {
        Label1->adjustSize();
        Label3->adjustSize();
        labelsSized_ = true;
    }
    TDialogForm::showEvent(event);
}

void TVersionForm::FormShow() {
    move(1, y());
}

void TVersionForm::Label3Click() {
    openAddressOnDesktop(Label3->text());
}

void TVersionForm::OKButtonClick() {
    hide();
}
