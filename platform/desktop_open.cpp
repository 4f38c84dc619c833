#include "platform/desktop_open.h"

#include "platform/errors.h"
#include "platform/exception_display.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

// An opener that fails later than this has opened the page: it ran the viewer, which
// ended on its own (a browser started by xdg-open in the foreground, closed with an
// error hours after). Real failures (nothing to open a page with) come at once.
constexpr qint64 reportFailureWithinMs = 10000;

QString cannotOpenText(const QString& shownName) {
    return QStringLiteral("%1 を開けません").arg(shownName);
}

[[noreturn]] void cannotOpen(const QString& shownName) {
    throw AppError(cannotOpenText(shownName));
}

// Owns the openers still running. At the program's end it goes first, and with it the
// reports: the openers are then ended without a word (a browser they started lives on).
QObject* openers() {
    static QPointer<QObject> owner;
    if (!owner)
        owner = new QObject(QCoreApplication::instance());
    return owner;
}

void openOnDesktop(const QUrl& url, const QString& shownName) {
    // xdg-open tells by its exit code whether the page was opened; the toolkit's own
    // opening only whether it could start xdg-open. Elsewhere the toolkit's is used.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        if (!QDesktopServices::openUrl(url))
            cannotOpen(shownName);
        return;
    }
    auto* process = new QProcess(openers());
    process->setProgram(opener);
    process->setArguments({QString::fromLatin1(url.toEncoded())});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedChannels); // no pipe to outlive
    process->start();
    if (!process->waitForStarted()) { // as long as fork and exec take, no longer
        delete process;
        cannotOpen(shownName);
    }
    // Its end is awaited by the event loop: a browser that takes seconds to start does
    // not stop the round.
    QElapsedTimer running;
    running.start();
    QObject::connect(process, &QProcess::finished, openers(),
                     [process, shownName, running](int code, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if ((status == QProcess::NormalExit && code == 0) ||
                             running.elapsed() > reportFailureWithinMs)
                             return;
                         // Shown from an event of its own, not from inside QProcess.
                         QMetaObject::invokeMethod(
                             openers(), [shownName] { showException(cannotOpenText(shownName)); },
                             Qt::QueuedConnection);
                     });
}

} // namespace

void openFileOnDesktop(const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    if (!QFileInfo(path).isFile())
        cannotOpen(shown);
    openOnDesktop(QUrl::fromLocalFile(path), shown);
}

void openAddressOnDesktop(const QString& address) {
    openOnDesktop(QUrl(address), address);
}
