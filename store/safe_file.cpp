#include "store/safe_file.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

QString leftoverPrefix(const QFileInfo& target) {
    return QLatin1Char('.') + target.fileName() + QStringLiteral(".saving-");
}

QString randomSuffix() {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString s;
    for (int i = 0; i < 6; ++i)
        s += QLatin1Char(letters[QRandomGenerator::global()->bounded(62)]);
    return s;
}

bool writeAll(int fd, const QByteArray& bytes) {
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0) { // a full disk may end a write short without an error
            errno = ENOSPC;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

// A new named temporary file beside the target, open for writing.
int createNamed(const QString& prefix, QString* name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate = prefix + randomSuffix();
        const int fd =
            ::open(native(candidate).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            *name = candidate;
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

// Gives an anonymous temporary file a name beside the target (rename cannot take an
// anonymous file over an existing one).
bool nameAnonymous(int fd, const QString& prefix, QString* name) {
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate = prefix + randomSuffix();
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, native(candidate).constData(),
                     AT_SYMLINK_FOLLOW) == 0) {
            *name = candidate;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

void syncFolder(const QString& folder) {
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Whether name is the prefix and then six letters or digits (randomSuffix's kind).
bool isLeftoverName(const QString& name, const QString& prefix) {
    if (name.size() != prefix.size() + 6 || !name.startsWith(prefix))
        return false;
    for (qsizetype i = prefix.size(); i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')))
            return false;
    }
    return true;
}

// Files of our naming only, and regular ones (a link of that name is not followed).
// Matched by hand: a pattern would bring in the regular expression engine, whose
// compiler is a good part of the program's memory at start-up.
void removeLeftoversIn(const QFileInfo& target) {
    const QString prefix = leftoverPrefix(target);
    const QDir folder(target.absolutePath());
    const QStringList names =
        folder.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
    for (const QString& name : names) {
        if (!isLeftoverName(name, prefix))
            continue;
        const QByteArray path = native(folder.filePath(name));
        struct stat st {};
        if (::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode))
            ::unlink(path.constData());
    }
}

} // namespace

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

ReadResult readRegularFile(const QString& path, QByteArray* bytes, QString* why) {
    QString ignored;
    QString& reason = why ? *why : ignored;
    const auto unreadable = [&](const QString& text) {
        reason = text;
        return ReadResult::Unreadable;
    };
    const QByteArray name = native(path);
    struct stat st {};
    // Looked at before opening, so that no device is ever opened; checked again on the
    // open file, which is what is read. Opening never waits for a FIFO's writer.
    if (::stat(name.constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing
                                                   : unreadable(systemReason(errno));
    if (!S_ISREG(st.st_mode))
        return unreadable(notRegularFileReason);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? ReadResult::Missing : unreadable(systemReason(errno));
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return unreadable(notRegularFileReason);
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return unreadable(file.errorString());
    }
    *bytes = file.readAll();
    return file.error() == QFileDevice::NoError ? ReadResult::Read : unreadable(file.errorString());
}

QString resolvedPath(const QString& path) {
    QFileInfo info(path);
    for (int depth = 0; info.isSymLink(); ++depth) {
        if (depth == 40) // a loop: the path itself, which then fails to open
            return path;
        info.setFile(info.symLinkTarget());
    }
    return info.filePath();
}

bool replaceFile(const QString& path, const QByteArray& bytes, QString* why) {
    QString ignored;
    QString& reason = why ? *why : ignored;
    const auto fail = [&](const QString& text) {
        reason = text;
        return false;
    };
    const QFileInfo target(resolvedPath(path));
    const QByteArray targetName = native(target.filePath());
    const QString folder = target.absolutePath();
    const QString prefix = QDir(folder).filePath(leftoverPrefix(target));
    struct stat st {};
    bool keepMode = false;
    if (::stat(targetName.constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            return fail(notRegularFileReason);
        if (::access(targetName.constData(), W_OK) != 0)
            return fail(systemReason(errno));
        keepMode = true;
    } else if (errno != ENOENT) {
        return fail(systemReason(errno));
    }

    // The first error of the writing is the reason (a short write on a full disk sets
    // none: the next write says ENOSPC).
    int error = 0;
    const auto check = [&](bool ok) {
        if (!ok && error == 0)
            error = errno ? errno : EIO;
        return ok;
    };
    const auto fill = [&](int fd) {
        errno = 0;
        return check(!keepMode || ::fchmod(fd, st.st_mode & 07777) == 0) &&
               check(writeAll(fd, bytes)) && check(::fsync(fd) == 0);
    };
    QString named;
    bool ok = false;
    // Anonymous first: a kill while it is written leaves nothing behind.
    int fd = ::open(native(folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0) {
        ok = fill(fd) && check(nameAnonymous(fd, prefix, &named));
        ok = check(::close(fd) == 0) && ok;
        if (!ok && !named.isEmpty())
            ::unlink(native(named).constData());
    }
    if (!ok) {
        named.clear();
        fd = createNamed(prefix, &named);
        if (fd < 0)
            return fail(systemReason(error ? error : errno));
        ok = fill(fd);
        ok = check(::close(fd) == 0) && ok;
    }
    if (ok)
        ok = check(::rename(native(named).constData(), targetName.constData()) == 0);
    if (!ok) {
        ::unlink(native(named).constData());
        return fail(systemReason(error));
    }
    syncFolder(folder);
    return true;
}

void removeReplaceLeftovers(const QString& path) {
    removeLeftoversIn(QFileInfo(resolvedPath(path)));
}

FolderLock::FolderLock(const QString& folder, int waitMs) {
    fd_ = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) {
        error_ = errno;
        return;
    }
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
            held_ = true;
            return;
        }
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK) { // no locks on this file system
            error_ = errno;
            return;
        }
        if (waited.elapsed() >= waitMs) {
            busy_ = true;
            return;
        }
        ::usleep(20000);
    }
}

FolderLock::~FolderLock() {
    if (fd_ >= 0)
        ::close(fd_);
}
