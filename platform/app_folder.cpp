#include "platform/app_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef FLINDER_DATA_FROM_PROGRAM
#error "FLINDER_DATA_FROM_PROGRAM (data folder relative to the program's) is set by CMake"
#endif

namespace {

QString& chosenFolder() {
    static QString folder;
    return folder;
}

QString& chosenProgramFolder() {
    static QString folder;
    return folder;
}

QString perUserFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

QString automaticFolder() {
    // Root could write into an installed program's folder, but files there would stay
    // behind when the package is removed: the per-user folder, whoever runs it.
    if (isInstalledCopy())
        return perUserFolder();
    const QString folder = programFolder();
    const QFileInfo info(folder);
    if (info.isDir() && info.isWritable())
        return folder;
    return perUserFolder();
}

const QString helpPage = QStringLiteral("help/help.htm");

} // namespace

QString programFolder() {
    const QString& folder = chosenProgramFolder();
    return folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder;
}

void setProgramFolder(const QString& folder) {
    chosenProgramFolder() = folder.isEmpty() ? QString() : QDir::cleanPath(folder);
}

QString installedDataFolder() {
    return QDir::cleanPath(programFolder() + QStringLiteral("/" FLINDER_DATA_FROM_PROGRAM));
}

bool isInstalledCopy() {
    return QFileInfo(installedDataFolder() + QStringLiteral("/installed")).isFile();
}

QString dataFolder() {
    QString& folder = chosenFolder();
    if (folder.isEmpty())
        folder = automaticFolder();
    return folder;
}

void setDataFolder(const QString& folder) {
    chosenFolder() = QDir::cleanPath(folder);
    if (folder.isEmpty())
        chosenFolder().clear();
}

bool ensureDataFolder() {
    return QDir().mkpath(dataFolder());
}

QString settingsFilePath() {
    return dataFolder() + QStringLiteral("/flinder.ini");
}

QString backBitmapPath() {
    return dataFolder() + QStringLiteral("/back.bmp");
}

QString helpPagePath() {
    const QString current = QDir::current().absoluteFilePath(helpPage);
    if (QFileInfo(current).isFile())
        return current;
    return QDir(isInstalledCopy() ? installedDataFolder() : programFolder()).filePath(helpPage);
}
