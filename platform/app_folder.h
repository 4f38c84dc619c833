#pragma once
// Where the program's files are. "flinder.ini" and "back.bmp": in the per-user settings
// folder for an installed copy, whoever runs it; beside the program for a copy that is
// only unpacked or built, unless its folder is not writable: such a copy keeps its files
// per user, but reads those kept beside it (never writing them) until it has its own.
// And the help page.
//
// An installed copy is recognised by the marker "installed" that the install step puts
// into the program's data folder, found from the program's own folder through the
// relative path fixed at configure time (from /usr/games to /usr/share/games/flinder
// in the package). A built or unpacked copy has no such file beside it, and the marker
// travels with the installed tree (a package unpacked with dpkg-deb -x still counts).

#include <QString>

// The folder of the program file (as the system reports it, links resolved).
QString programFolder();
// Points programFolder() elsewhere (tests); an empty text returns to the real one.
void setProgramFolder(const QString& folder);

// Where an installation puts its data (help page, marker), from the program's folder.
QString installedDataFolder();
bool isInstalledCopy();

// The folder for the settings and "back.bmp", without a trailing separator. Decided
// once per run.
QString dataFolder();
// Points dataFolder() at the given folder (tests); an empty text returns to the
// automatic choice.
void setDataFolder(const QString& folder);

// Creates the data folder if it does not exist yet (before the first save); returns
// whether it exists afterwards.
bool ensureDataFolder();

QString settingsFilePath(); // dataFolder() + "/flinder.ini"
// The settings file to read while settingsFilePath() does not exist: "flinder.ini"
// beside a copy that is not installed and may not write its folder; else empty.
QString fallbackSettingsPath();
// dataFolder() + "/back.bmp"; for a copy with a fallback, the picture beside the program
// while the data folder has none.
QString backBitmapPath();

// The help page to open, as an absolute path: "help/help.htm" below the current
// directory when it exists, else the one in installedDataFolder() (installed copy) or
// the one beside the program (built or unpacked copy), which may not exist.
QString helpPagePath();
