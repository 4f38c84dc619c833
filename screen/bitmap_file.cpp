#include "screen/bitmap_file.h"

#include "platform/errors.h"

#include <QDir>
#include <QFile>
#include <QImageReader>

namespace {

constexpr int fileHeaderSize = 14;
constexpr int coreHeaderSize = 12;  // BITMAPCOREHEADER
constexpr int infoHeaderSize = 40;  // BITMAPINFOHEADER and its successors
constexpr int headerBytesRead = 64; // enough for every field checked below

quint32 u16(const QByteArray& b, int at) {
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8;
}
quint32 u32(const QByteArray& b, int at) {
    return u16(b, at) | u16(b, at + 2) << 16;
}

AppError invalidBitmap() {
    return AppError(QStringLiteral("ビットマップイメージが不正です"));
}

} // namespace

bool bitmapHeaderFits(const QByteArray& b, qint64 fileSize) {
    if (b.size() < fileHeaderSize + coreHeaderSize || b[0] != 'B' || b[1] != 'M')
        return false;
    const qint64 dataOffset = u32(b, 10);
    const qint64 headerSize = u32(b, 14);
    qint64 width = 0, height = 0, bitCount = 0, compression = 0, imageSize = 0;
    if (headerSize == coreHeaderSize) {
        width = u16(b, 18);
        height = u16(b, 20);
        bitCount = u16(b, 24);
    } else if (headerSize >= infoHeaderSize && b.size() >= fileHeaderSize + infoHeaderSize) {
        width = qint32(u32(b, 18));
        height = qint32(u32(b, 22));
        bitCount = u16(b, 28);
        compression = u32(b, 30);
        imageSize = u32(b, 34);
    } else {
        return false;
    }
    if (width <= 0 || height == 0 || dataOffset < fileHeaderSize + headerSize ||
        dataOffset >= fileSize)
        return false;
    switch (bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        return false;
    }
    const qint64 rows = height < 0 ? -height : height;
    if (width * rows > maxBitmapPixels) // refused before the reader allocates it
        return false;
    const qint64 stride = (width * bitCount + 31) / 32 * 4;
    switch (compression) {
    case 0: // uncompressed
    case 3: // bit fields
        // stride * rows <= the bytes after the offset, without forming a product that
        // a header of 2^31 x 2^31 pixels would overflow.
        return stride <= (fileSize - dataOffset) / rows;
    case 1: // run-length encoded, 8 and 4 bits
    case 2:
        return height > 0 && dataOffset + imageSize <= fileSize;
    default:
        return false;
    }
}

QImage loadBitmapFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(
            QStringLiteral("ファイル %1 は開けません").arg(QDir::toNativeSeparators(path)));
    if (!bitmapHeaderFits(file.peek(headerBytesRead), file.size()))
        throw invalidBitmap();
    QImageReader reader(&file, "bmp");
    QImage picture;
    if (!reader.read(&picture) || picture.isNull())
        throw invalidBitmap();
    return picture.convertToFormat(QImage::Format_RGB32);
}
