#pragma once
// The settings file "flinder.ini": the window position, the background choice, the
// ranking and the last entered name. Read when the main window is created, written
// when a rank entry is confirmed and when the window closes, each time as a whole new
// text saved atomically (the old file survives any failure whole). Keys and sections
// the program does not know, their order and the file's line endings are kept.

#include "platform/errors.h"
#include "store/private_profile.h"
#include "store/ranking.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringConverter>
#include <QStringList>

struct Settings {
    int top = 0;         // "Position"/"xpos": the window's top edge
    int left = 0;        // "Position"/"ypos": the window's left edge
    int back = 0;        // "Back"/"back": backgroundChoice
    Ranking ranking;     // "Ranking"/"name0".."name49" and "number0".."number49"
    QString defaultName; // "Ranking"/"default"
};

Settings readSettings(const PrivateProfile& profile);
// The 104 writes, in the order of the file written from scratch.
void writeSettings(PrivateProfile& profile, const Settings& settings);

// The file's text. A file that starts with a UTF-16 byte order mark is UTF-16 and is
// written back so. Any other file is read line by line: a line that is valid UTF-8 is
// UTF-8, another line is Shift-JIS (CP932), the encoding of such files on the platform
// the game was designed for, and bytes that neither reads are kept as they are
// (decodeMixedLines). Such a file is written back in UTF-8, with its UTF-8 byte order
// mark if it had one.
struct SettingsText {
    QString text;
    bool byteOrderMark = false;
    QStringConverter::Encoding encoding = QStringConverter::Utf8;
};
SettingsText decodeSettingsBytes(const QByteArray& bytes);
QByteArray encodeSettingsText(const SettingsText& text);

// An entry placed into the ranking by the window: the first index of its level block,
// the name and the result text.
struct RankEntry {
    int blockStart = 0;
    QString name;
    QString result;
};

// What one window changed since it read the file, to be written over what the file
// holds when the window closes (another window may have saved in between).
struct SettingsChanges {
    Settings loaded;          // as read at start
    Settings current;         // as the window has them now
    QList<RankEntry> entered; // the window's rank entries, oldest first
};

// The values to save: onDisk (what the file holds now) with this window's changes on
// top. A value the window changed is its own (the position as a pair); a level block
// the window changed is its own when the file still holds the block as it was loaded,
// else the file's block with the window's entries placed into it as a rank entry
// places them (Ranking::enter). Everything else is onDisk's. Throws what
// Ranking::enter throws for a hand-edited score of the file met while placing.
Settings mergeSettings(const Settings& onDisk, const SettingsChanges& changes);

// A failed save: AppError "%s に書き込めません" with the file's path, and why: the
// system's reason, the program's own (not a regular file, a link into a folder that
// does not exist, another Flinder saving) or a hand-edited score that is no number.
class SaveError : public AppError {
public:
    SaveError(const QString& path, QString reason);
    const QString& reason() const { return reason_; }

private:
    QString reason_;
};
inline const QString anotherFlinderSavingReason = QStringLiteral("別の Flinder が保存中です");
QString missingLinkFolderReason(const QString& folder);

// Missing, unreadable or not a regular file: every value takes its default. Never waits
// (a FIFO in the file's place is not opened for reading). While path does not exist,
// the file at fallback (if any) is read in its place.
Settings loadSettings(const QString& path, const QString& fallback = QString());
// Reads the file anew, applies the writes and saves the whole text through a temporary
// file renamed over the old one, holding the folder's lock from the read to the rename
// so that windows saving at once all count, and removing what a killed save left. The
// file's own folder is created when missing; a folder that a link leads to never is.
// While path does not exist, the text of fallback (if any) is the one written on: its
// unknown lines and values carry over, and fallback itself is never changed. Throws
// SaveError when any of it fails, also when the file exists but cannot be read or is no
// regular file (it is not overwritten then) and when the folder's lock stays taken
// for the lock patience.
void saveSettings(const QString& path, const Settings& settings);
// What a save wrote: the values, and the same values as the file reads them back
// (blanks at the ends and quotes dropped, at most 2047 characters).
struct SavedSettings {
    Settings written;
    Settings readBack;
};
// The same with the values of mergeSettings for the file as it is read then.
SavedSettings saveSettings(const QString& path, const SettingsChanges& changes,
                           const QString& fallback = QString());
// Removes what a save killed half-way left beside the file (at start).
void removeSaveLeftovers(const QString& path);

// How long a save waits for another process's save to let the folder's lock go before
// it fails (10 s; tests shorten it).
void setSaveLockPatience(int ms);
