// Every error raised in an event handler is caught in one place, shown in a message box
// captioned "Flinder" with an error icon and one OK button, and the program goes on.

#include "shell/application.h"
#include "shell/errors.h"
#include "shell/exception_display.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

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
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        for (QAbstractButton* b : box->buttons())
            buttons << box->standardButton(b);
        box->buttons().first()->click();
    });
    showException(QStringLiteral("書き込めません"));
    QCOMPARE(title, QStringLiteral("Flinder"));
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(text, QStringLiteral("書き込めません."));
    QCOMPARE(buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
}

int main(int argc, char** argv) {
    Application app(argc, argv);
    TestExceptionDisplay test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_exception_display.moc"
