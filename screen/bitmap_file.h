#pragma once
// Loading a BMP file as the user's background picture, strictly: a file the image
// reader would accept with garbage rows (truncated pixel data, a data offset past the
// end) is refused by checking its header against the file's size first.

#include <QByteArray>
#include <QImage>
#include <QString>

// The picture in Format_RGB32. Throws AppError "ファイル %s は開けません" when the file
// cannot be opened, "ビットマップイメージが不正です" when it is not a whole, valid BMP or
// is larger than the image reader allows.
QImage loadBitmapFile(const QString& path);

// Whether the bytes start with a BMP header whose pixel data lies wholly within
// fileSize bytes (exposed for tests).
bool bitmapHeaderFits(const QByteArray& header, qint64 fileSize);
