#include "platform/desktop_open.h"

#include "platform/errors.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace {

[[noreturn]] void cannotOpen(const QString& shownName) {
    throw AppError(QStringLiteral("%1 を開けません").arg(shownName));
}

} // namespace

// The desktop reports only whether it found a way to open the page (on X11, whether
// xdg-open or a browser could be started), not what that program did with it.
void openFileOnDesktop(const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    if (!QFileInfo(path).isFile() || !QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        cannotOpen(shown);
}

void openAddressOnDesktop(const QString& address) {
    if (!QDesktopServices::openUrl(QUrl(address)))
        cannotOpen(address);
}
