// Any bytes as "back.bmp": loading either refuses the file with the one message for a
// bad bitmap, or gives an opaque picture of the size its header states, within the
// program's bound of 16 Mi pixels, that stretches onto the 196x384 background. Half the
// inputs are taken as they are; the other half build a BMP from the input's fields, so
// that the header checks meet plausible headers (the image reader itself is not
// instrumented and gives the fuzzer no guidance).

#include "fuzz_check.h"
#include "platform/errors.h"
#include "screen/bitmap_file.h"
#include "screen/raster.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

// One scratch file, removed with its folder at exit.
const QString& bitmapPath() {
    static const QTemporaryDir folder;
    static const QString path = folder.filePath(QStringLiteral("back.bmp"));
    return path;
}

// The picture size the header states, as (width, rows); empty when there is no header.
QSize statedSize(const QByteArray& b) {
    if (b.size() < 26)
        return QSize();
    const auto* p = reinterpret_cast<const uchar*>(b.constData());
    const quint32 headerSize = qFromLittleEndian<quint32>(p + 14);
    if (headerSize == 12)
        return QSize(qFromLittleEndian<quint16>(p + 18), qFromLittleEndian<quint16>(p + 20));
    if (b.size() < 54)
        return QSize();
    const qint32 height = qFromLittleEndian<qint32>(p + 22);
    return QSize(qFromLittleEndian<qint32>(p + 18), height < 0 ? -height : height);
}

// A BMP whose header fields come from the input: sizes, depth, compression, header
// and palette sizes, and offsets and lengths a little off from the truth.
QByteArray builtBitmap(const std::uint8_t* data, std::size_t size) {
    if (size < 16)
        return QByteArray();
    static const quint32 headerSizes[] = {12, 40, 52, 56, 64, 108, 124, 40};
    static const quint16 depths[] = {1, 4, 8, 16, 24, 32, 0, 2};
    const quint32 headerSize = headerSizes[data[0] % 8];
    const quint16 bits = depths[data[1] % 8];
    const qint32 width = qint32(qint8(data[2])) * (data[3] % 4 == 0 ? 1000 : 1);
    const qint32 height = qint32(qint8(data[4])) * (data[5] % 4 == 0 ? 1000 : 1);
    const quint32 compression = data[6] % 8;
    const quint32 colours = data[7] % 4 == 0 ? 0 : data[7];
    const qint32 offsetSlack = qint8(data[8]);
    const qint32 imageSizeSlack = qint8(data[9]);
    const qint32 cut = data[10] % 4 == 0 ? data[11] : 0;
    const QByteArray rest(reinterpret_cast<const char*>(data + 16), qsizetype(size - 16));

    QByteArray info(qsizetype(headerSize), '\0');
    auto* p = reinterpret_cast<uchar*>(info.data());
    qToLittleEndian<quint32>(headerSize, p);
    if (headerSize == 12) {
        qToLittleEndian<quint16>(quint16(width), p + 4);
        qToLittleEndian<quint16>(quint16(height), p + 6);
        qToLittleEndian<quint16>(1, p + 8);
        qToLittleEndian<quint16>(bits, p + 10);
    } else {
        qToLittleEndian<qint32>(width, p + 4);
        qToLittleEndian<qint32>(height, p + 8);
        qToLittleEndian<quint16>(1, p + 12);
        qToLittleEndian<quint16>(bits, p + 14);
        qToLittleEndian<quint32>(compression, p + 16);
        qToLittleEndian<quint32>(colours, p + 32);
        if (headerSize >= 56) { // bit masks within the header
            qToLittleEndian<quint32>(0x00FF0000, p + 40);
            qToLittleEndian<quint32>(0x0000FF00, p + 44);
            qToLittleEndian<quint32>(0x000000FF, p + 48);
        }
    }
    const QByteArray masks = compression == 3 && headerSize == 40 ? rest.left(12) : QByteArray();
    const QByteArray palette = rest.mid(masks.size(), qsizetype(colours % 64) * 4);
    const QByteArray pixels = rest.mid(masks.size() + palette.size());
    if (headerSize > 12)
        qToLittleEndian<quint32>(quint32(qint32(pixels.size()) + imageSizeSlack), p + 20);
    const qint32 offset = 14 + qint32(info.size() + masks.size() + palette.size()) + offsetSlack;
    QByteArray file(14, '\0');
    file[0] = 'B';
    file[1] = 'M';
    file += info + masks + palette + pixels;
    auto* f = reinterpret_cast<uchar*>(file.data());
    qToLittleEndian<quint32>(quint32(file.size()), f + 2);
    qToLittleEndian<quint32>(quint32(offset), f + 10);
    file.chop(std::min<qsizetype>(cut, file.size()));
    return file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const bool built = size > 0 && data[0] % 2 == 1;
    const QByteArray bytes = built
                                 ? builtBitmap(data + 1, size - 1)
                                 : QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
    {
        QFile file(bitmapPath());
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(bytes) == bytes.size());
    }
    QImage picture;
    try {
        picture = loadBitmapFile(bitmapPath());
    } catch (const AppError& e) {
        FUZZ_CHECK(e.message() == QStringLiteral("ビットマップイメージが不正です"));
        return 0;
    }
    FUZZ_CHECK(bitmapHeaderFits(bytes.left(64), bytes.size()));
    FUZZ_CHECK(!picture.isNull() && picture.format() == QImage::Format_RGB32);
    FUZZ_CHECK(picture.size() == statedSize(bytes));
    // The program's own bound, below the image reader's limit.
    FUZZ_CHECK(qint64(picture.width()) * picture.height() <= maxBitmapPixels);

    // The background: stretched to 196x384, nearest pixel, its right 4 columns cut.
    QImage back = newPicture(192, 384);
    copyRect(back, QRect(0, 0, 196, 384), picture, picture.rect(), CopyMode::SrcCopy);
    const auto sourcePixel = [&](int x, int y) {
        return picture.pixel(int((2 * x + 1) * qint64(picture.width()) / 392),
                             int((2 * y + 1) * qint64(picture.height()) / 768));
    };
    FUZZ_CHECK(back.pixel(0, 0) == sourcePixel(0, 0));
    FUZZ_CHECK(back.pixel(191, 383) == sourcePixel(191, 383));
    return 0;
}
