#include "shell/save_failure_box.h"

#include "platform/exception_display.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

QString boxText(const SaveFailure& failure, const QString& after) {
    QString text = failure.displayText;
    if (!failure.reason.isEmpty())
        text += QLatin1Char('\n') + failure.reason;
    return text + QStringLiteral("\n\n") + after;
}

SaveFailureChoice askInMessageBox(const SaveFailure& failure) {
    if (!failure.atClose) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Flinder"),
                        boxText(failure, entryKeptNote), QMessageBox::Ok,
                        QApplication::activeWindow());
        box.setTextFormat(Qt::PlainText);
        box.exec();
        return SaveFailureChoice::KeepOpen;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Flinder"),
                    boxText(failure, saveLossWarning), QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText); // the path comes from the file system
    QPushButton* retry = box.addButton(QStringLiteral("再試行(&R)"), QMessageBox::AcceptRole);
    QPushButton* quit =
        box.addButton(QStringLiteral("保存せずに終了(&Q)"), QMessageBox::DestructiveRole);
    QPushButton* keep = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    box.setDefaultButton(retry);
    box.setEscapeButton(keep);
    box.exec();
    if (box.clickedButton() == retry)
        return SaveFailureChoice::Retry;
    if (box.clickedButton() == quit)
        return SaveFailureChoice::QuitWithoutSaving;
    return SaveFailureChoice::KeepOpen;
}

SaveFailureAsker& asker() {
    static SaveFailureAsker a = askInMessageBox;
    return a;
}

} // namespace

SaveFailureChoice askAfterFailedSave(const QString& message, const QString& reason) {
    return asker()(SaveFailure{exceptionDisplayText(message), reason, true});
}

void tellFailedEntrySave(const QString& message, const QString& reason) {
    asker()(SaveFailure{exceptionDisplayText(message), reason, false});
}

SaveFailureAsker setSaveFailureAsker(SaveFailureAsker a) {
    SaveFailureAsker old = std::move(asker());
    asker() = a ? std::move(a) : SaveFailureAsker(askInMessageBox);
    return old;
}
