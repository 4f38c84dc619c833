#include "screen/backgrounds.h"

#include "platform/app_folder.h"
#include "screen/bitmap_file.h"
#include "screen/frame.h"
#include "screen/layout.h"

#include <QFile>
#include <QFileInfo>

#include <optional>
#include <sys/stat.h>

namespace {

constexpr int patternTargetWidth = 192;
constexpr int pictureTargetWidth = 196;

QRect patternFor(int choice) {
    switch (choice) {
    case 1:
        return layout::marinePattern;
    case 2:
        return layout::waPattern;
    case 3:
        return layout::rainPattern;
    default:
        return layout::stonePattern;
    }
}

// What tells one version of a file from another without reading it.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{}, changed{};
    bool operator==(const FileStamp& o) const {
        return device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
               changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
    }
};

std::optional<FileStamp> stampOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return FileStamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

// The user's picture as last decoded and stretched, and the file it came from. A few
// bytes of run-length code can stand for millions of pixels, which take a while to
// decode and reduce: done again only when the file changed.
struct UserPicture {
    QString path;
    FileStamp stamp;
    QImage picture, stretched;
};

UserPicture& lastUserPicture() {
    static UserPicture last;
    return last;
}

const UserPicture& userPicture(const QString& path) {
    UserPicture& last = lastUserPicture();
    // Taken before reading: a change while the file is read shows at the next start.
    const std::optional<FileStamp> stamp = stampOf(path);
    if (stamp && last.path == path && last.stamp == *stamp)
        return last;
    last = UserPicture{}; // a file that fails fails again at every round start
    QImage picture = loadBitmapFile(path);
    // A picture of any size: stretched smoothly, each target pixel the mean of what it
    // covers, so that thin lines and text of a large photo survive the reduction.
    QImage stretched = picture
                           .scaled(pictureTargetWidth, layout::backHeight, Qt::IgnoreAspectRatio,
                                   Qt::SmoothTransformation)
                           .convertToFormat(QImage::Format_RGB32);
    last = UserPicture{path, stamp.value_or(FileStamp{}), std::move(picture), std::move(stretched)};
    if (!stamp)
        last.path.clear(); // not to be recognised again
    return last;
}

} // namespace

bool backBitmapExists() {
    return QFileInfo(backBitmapPath()).isFile();
}

void drawBackground(int choice) {
    const QRect back(0, 0, patternTargetWidth, layout::backHeight);
    if (choice == 4 && backBitmapExists()) {
        const UserPicture& user = userPicture(backBitmapPath());
        pictures.MybackImage = user.picture;
        copyRect(pictures.BackImage, back, user.stretched, back, CopyMode::SrcCopy);
    } else {
        copyRect(pictures.BackImage, back, pictures.CharaImage, patternFor(choice),
                 CopyMode::SrcCopy);
    }
    copyRect(pictures.TmpImage, layout::well, pictures.BackImage, pictures.BackImage.rect(),
             CopyMode::SrcCopy);
    markFrameChanged(layout::well);
}
