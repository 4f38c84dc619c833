#include "platform/app_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef FLINDER_DATA_FROM_PROGRAM
#error "FLINDER_DATA_FROM_PROGRAM (data folder relative to the program's) is set by CMake"
#endif

namespace {

// The data folder, and the program's folder when its files are read from there until
// the data folder has its own (a copy that may not write its folder).
struct Folders {
    QString data;
    QString fallback;
};

Folders& chosenFolders() {
    static Folders folders;
    return folders;
}

QString& chosenProgramFolder() {
    static QString folder;
    return folder;
}

QString perUserFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

Folders automaticFolders() {
    // Root could write into an installed program's folder, but files there would stay
    // behind when the package is removed: the per-user folder, whoever runs it.
    if (isInstalledCopy())
        return {perUserFolder(), QString()};
    const QString folder = programFolder();
    const QFileInfo info(folder);
    if (info.isDir() && info.isWritable())
        return {folder, QString()};
    return {perUserFolder(), folder};
}

const Folders& folders() {
    Folders& chosen = chosenFolders();
    if (chosen.data.isEmpty())
        chosen = automaticFolders();
    return chosen;
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
    return folders().data;
}

void setDataFolder(const QString& folder) {
    chosenFolders() = Folders{folder.isEmpty() ? QString() : QDir::cleanPath(folder), QString()};
}

bool ensureDataFolder() {
    return QDir().mkpath(dataFolder());
}

QString settingsFilePath() {
    return dataFolder() + QStringLiteral("/flinder.ini");
}

QString fallbackSettingsPath() {
    const QString& fallback = folders().fallback;
    return fallback.isEmpty() ? QString() : fallback + QStringLiteral("/flinder.ini");
}

QString backBitmapPath() {
    const QString own = dataFolder() + QStringLiteral("/back.bmp");
    const QString& fallback = folders().fallback;
    if (fallback.isEmpty() || QFileInfo::exists(own))
        return own;
    const QString beside = fallback + QStringLiteral("/back.bmp");
    return QFileInfo::exists(beside) ? beside : own;
}

QString helpPagePath() {
    const QString current = QDir::current().absoluteFilePath(helpPage);
    if (QFileInfo(current).isFile())
        return current;
    return QDir(isInstalledCopy() ? installedDataFolder() : programFolder()).filePath(helpPage);
}
