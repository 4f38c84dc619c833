#pragma once
// Where the program keeps "flinder.ini" and "back.bmp": beside the program when its
// folder is writable (a build tree, an unpacked copy), else in the per-user settings
// folder (an installed copy). One place decides it, for both files.

#include <QString>

// The folder, without a trailing separator. Decided once per run.
QString dataFolder();
// Points dataFolder() at the given folder (tests); an empty text returns to the
// automatic choice.
void setDataFolder(const QString& folder);

// Creates the data folder if it does not exist yet (before the first save); returns
// whether it exists afterwards.
bool ensureDataFolder();

QString settingsFilePath(); // dataFolder() + "/flinder.ini"
QString backBitmapPath();   // dataFolder() + "/back.bmp"
