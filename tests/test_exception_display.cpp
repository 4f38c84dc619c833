// Every error raised in an event handler is caught in one place, shown in a message box
// captioned "Flinder" with an error icon and one OK button, and the program goes on. A
// failed save at close asks instead whether to retry, to quit without saving or to keep
// the window open.

#include "platform/application.h"
#include "platform/errors.h"
#include "platform/exception_display.h"
#include "shell/save_failure_box.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// Answers the message box that the code under test opens, from inside the box's own
// loop. A modal window still open after the deadline (no message box, or an answer that
// did not close it) is closed by force, so that the test fails instead of waiting.
class BoxAnswer {
public:
    explicit BoxAnswer(std::function<void(QMessageBox*)> answer) : answer_(std::move(answer)) {
        clock_.start();
        QObject::connect(&poll_, &QTimer::timeout, [this] { look(); });
        poll_.start(10);
    }
    // Whether a message box was answered and closed by that answer.
    bool answered() const { return answered_ && !forced_; }

private:
    void look() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal); box && !answered_) {
            answered_ = true;
            answer_(box);
        } else if (modal && clock_.elapsed() > 10000) {
            forced_ = true;
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->done(QDialog::Rejected);
            else
                modal->close();
        }
    }

    std::function<void(QMessageBox*)> answer_;
    QTimer poll_;
    QElapsedTimer clock_;
    bool answered_ = false;
    bool forced_ = false;
};

// An object whose handler throws half-way through.
class Thrower : public QObject {
public:
    bool before = false, after = false;
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        before = true;
        throw AppError(QStringLiteral("ファイル /tmp/x/back.bmp は開けません"));
        after = true;
        return true;
    }
};

} // namespace

class TestExceptionDisplay : public QObject {
    Q_OBJECT
private slots:
    void dotRule_data();
    void dotRule();
    void handlerErrorIsCaughtShownAndTheLoopGoesOn();
    void messageBoxLooksAsItShould();
    void failedSaveBoxOffersTheWayOut_data();
    void failedSaveBoxOffersTheWayOut();
    void failedEntrySaveBoxSaysTheEntryIsKept();
};

void TestExceptionDisplay::dotRule_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("full stop") << "Disk full."
                               << "Disk full.";
    QTest::newRow("exclamation") << "Oops!"
                                 << "Oops!";
    QTest::newRow("blank") << "trailing "
                           << "trailing ";
    QTest::newRow("latin letter") << "Access denied"
                                  << "Access denied.";
    QTest::newRow("digit") << "code 42"
                           << "code 42.";
    QTest::newRow("japanese") << QStringLiteral("ビットマップイメージが不正です")
                              << QStringLiteral("ビットマップイメージが不正です.");
    QTest::newRow("comma below dot") << "a,"
                                     << "a,";
    QTest::newRow("slash above dot") << "/tmp/"
                                     << "/tmp/.";
    QTest::newRow("empty") << ""
                           << "";
}

void TestExceptionDisplay::dotRule() {
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(exceptionDisplayText(message), shown);
}

void TestExceptionDisplay::handlerErrorIsCaughtShownAndTheLoopGoesOn() {
    QStringList shown;
    ExceptionShower old = setExceptionShower([&](const QString& text) { shown << text; });
    Thrower thrower;
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    bool laterRan = false;
    QTimer::singleShot(0, [&] { laterRan = true; });
    QTRY_VERIFY(laterRan);
    setExceptionShower(old);
    QVERIFY(thrower.before);
    QVERIFY(!thrower.after);
    QCOMPARE(shown, QStringList{QStringLiteral("ファイル /tmp/x/back.bmp は開けません.")});

    // Errors of other types show their what() text.
    shown.clear();
    old = setExceptionShower([&](const QString& text) { shown << text; });
    runHandler([] { throw std::runtime_error("plain failure"); });
    setExceptionShower(old);
    QCOMPARE(shown, QStringList{QStringLiteral("plain failure.")});
}

void TestExceptionDisplay::messageBoxLooksAsItShould() {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> buttons;
    const BoxAnswer answer([&](QMessageBox* box) {
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        for (QAbstractButton* b : box->buttons())
            buttons << box->standardButton(b);
        box->buttons().first()->click();
    });
    showException(QStringLiteral("書き込めません"));
    QVERIFY2(answer.answered(), "no message box was answered");
    QCOMPARE(title, QStringLiteral("Flinder"));
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(text, QStringLiteral("書き込めません."));
    QCOMPARE(buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
}

void TestExceptionDisplay::failedSaveBoxOffersTheWayOut_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<SaveFailureChoice>("choice");
    QTest::addColumn<QString>("reason"); // shown on a line of its own
    QTest::newRow("retry") << QStringLiteral("再試行(&R)") << SaveFailureChoice::Retry
                           << QStringLiteral("No space left on device");
    QTest::newRow("quit") << QStringLiteral("保存せずに終了(&Q)")
                          << SaveFailureChoice::QuitWithoutSaving << QString();
    QTest::newRow("cancel") << QStringLiteral("キャンセル") << SaveFailureChoice::KeepOpen
                            << QString();
    QTest::newRow("escape") << QString() << SaveFailureChoice::KeepOpen << QString();
}

void TestExceptionDisplay::failedSaveBoxOffersTheWayOut() {
    QFETCH(QString, button);
    QFETCH(SaveFailureChoice, choice);
    QFETCH(QString, reason);
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QStringList buttons;
    const BoxAnswer answer([&](QMessageBox* box) {
        text = box->text();
        format = box->textFormat();
        for (QAbstractButton* b : box->buttons()) {
            buttons << b->text();
            if (b->text() == button)
                b->click();
        }
        if (button.isEmpty())
            QTest::keyClick(box, Qt::Key_Escape);
    });
    const SaveFailureChoice chosen =
        askAfterFailedSave(QStringLiteral("/tmp/<b>x</b>/flinder.ini に書き込めません"), reason);
    QVERIFY2(answer.answered(), "no message box was answered");
    QCOMPARE(chosen, choice);
    QCOMPARE(text, QStringLiteral("/tmp/<b>x</b>/flinder.ini に書き込めません.\n") +
                       (reason.isEmpty() ? QString() : reason + QLatin1Char('\n')) +
                       QLatin1Char('\n') + saveLossWarning);
    QCOMPARE(format, Qt::PlainText);
    QCOMPARE(buttons.size(), 3);
}

void TestExceptionDisplay::failedEntrySaveBoxSaysTheEntryIsKept() {
    QString text;
    QList<QMessageBox::StandardButton> buttons;
    const BoxAnswer answer([&](QMessageBox* box) {
        text = box->text();
        for (QAbstractButton* b : box->buttons())
            buttons << box->standardButton(b);
        box->buttons().first()->click();
    });
    tellFailedEntrySave(QStringLiteral("/x/flinder.ini に書き込めません"),
                        QStringLiteral("Permission denied"));
    QVERIFY2(answer.answered(), "no message box was answered");
    QCOMPARE(text, QStringLiteral("/x/flinder.ini に書き込めません.\nPermission denied\n\n") +
                       entryKeptNote);
    QCOMPARE(buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
}

int main(int argc, char** argv) {
    Application app(argc, argv);
    TestExceptionDisplay test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_exception_display.moc"
