#include "shell/app_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString& chosenFolder() {
    static QString folder;
    return folder;
}

QString automaticFolder() {
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QFileInfo info(programFolder);
    if (info.isDir() && info.isWritable())
        return programFolder;
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

} // namespace

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
