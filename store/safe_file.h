#pragma once
// Reading and replacing a small file of the program's own (the settings file) so that
// nothing blocks, nothing is torn and nothing is left behind: only a regular file (or
// a link to one) is read, a FIFO or a device never; a new content is written whole to
// a temporary file and renamed over the old one; the temporary files of a save that
// was killed are removed by the next start or save. Cooperating processes serialise
// their saves with a lock on the folder. A failure comes with its reason: the system's
// own (strerror), or the program's words for what the system does not name.

#include <QByteArray>
#include <QString>

enum class ReadResult { Read, Missing, Unreadable };

// Reads the whole file into *bytes. Missing: nothing there (or a dangling link).
// Unreadable: anything that is not a regular file, or a read that failed; *why says
// which.
ReadResult readRegularFile(const QString& path, QByteArray* bytes, QString* why = nullptr);

// Replaces the file with bytes: written to an anonymous temporary file where the file
// system has them (else a named one, ".<name>.saving-XXXXXX"), synced, then renamed over
// the file. A link is followed and its target replaced. An existing file that is not
// regular or not writable is not replaced. False on any failure, with its reason in
// *why; the old file is then untouched and no temporary file remains.
bool replaceFile(const QString& path, const QByteArray& bytes, QString* why = nullptr);

// The path a link leads to (followed to its end); the path itself when it is no link.
QString resolvedPath(const QString& path);

// Removes the temporary files that replaceFile(path) leaves when killed half-way;
// nothing else. Call it holding the folder's lock, or when nobody holds it (else it may
// remove the file of a save running right then).
void removeReplaceLeftovers(const QString& path);

// The system's reason for an error number, and the program's own reasons.
QString systemReason(int error);
inline const QString notRegularFileReason = QStringLiteral("通常のファイルではありません");

// An exclusive lock on a folder among processes that take it, held while the object
// lives. Waits up to waitMs for another holder to let it go (its end lets it go too):
// a stopped or hung holder must not hang this process as well, and whoever cannot have
// the lock must not write.
class FolderLock {
public:
    explicit FolderLock(const QString& folder, int waitMs = 0);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // True when this object holds the lock.
    bool held() const { return held_; }
    // True when another process held it for the whole wait.
    bool busy() const { return busy_; }
    // The error number when the folder could not be opened or locked at all, else 0.
    int error() const { return error_; }

private:
    int fd_ = -1;
    bool held_ = false;
    bool busy_ = false;
    int error_ = 0;
};
