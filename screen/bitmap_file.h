#pragma once
// Loading a BMP file as the user's background picture, strictly: a file the image
// reader would accept with garbage rows (truncated pixel data, a data offset past the
// end) is refused by checking its header against the file's size first.

#include <QByteArray>
#include <QImage>
#include <QString>

// The largest picture accepted: 16 Mi pixels (64 MB in memory). A few bytes of
// run-length code can claim far more, and the picture is loaded at every round start.
constexpr qint64 maxBitmapPixels = 16 * 1024 * 1024;

// The picture in Format_RGB32. Throws AppError "ファイル %s は開けません" when the file
// cannot be opened, "ビットマップイメージが不正です" when it is not a whole, valid BMP or
// is larger than maxBitmapPixels.
QImage loadBitmapFile(const QString& path);

// Whether the bytes start with a BMP header of at most maxBitmapPixels whose pixel data
// lies wholly within fileSize bytes (exposed for tests).
bool bitmapHeaderFits(const QByteArray& header, qint64 fileSize);
