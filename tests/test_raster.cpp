// Rectangle copies: exact bitwise raster operations, nearest-pixel stretching and
// copies within one picture whose source and destination overlap; pixel art scaled for
// the screen.

#include "screen/raster.h"
#include "screen/sharp_scale.h"

#include <QTest>
#include <QTransform>

#include <algorithm>
#include <iterator>

namespace {

// A picture whose every pixel is different, so a misplaced copy shows.
QImage numbered(int w, int h, quint32 salt = 0) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(
                x, y, 0xFF000000u | ((quint32(y) * 1021u + quint32(x) * 7u + salt) & 0xFFFFFFu));
    return image;
}

// Reference: the same copy read completely before anything is written.
QImage referenceCopy(QImage dst, QRect dr, const QImage& src, QRect sr, CopyMode mode) {
    const QImage source = src.copy();
    for (int y = 0; y < dr.height(); ++y)
        for (int x = 0; x < dr.width(); ++x) {
            const int sx = sr.left() + int((2 * x + 1) * qint64(sr.width()) / (2 * dr.width()));
            const int sy = sr.top() + int((2 * y + 1) * qint64(sr.height()) / (2 * dr.height()));
            const QPoint d(dr.left() + x, dr.top() + y);
            if (!dst.rect().contains(d) || !source.rect().contains(sx, sy))
                continue;
            const quint32 s = source.pixel(sx, sy), o = dst.pixel(d);
            const quint32 v = mode == CopyMode::SrcCopy  ? s
                              : mode == CopyMode::SrcAnd ? (s & o)
                                                         : (s | o);
            dst.setPixel(d, v);
        }
    return dst;
}

} // namespace

class TestRaster : public QObject {
    Q_OBJECT
private slots:
    void rasterOperationsAreBitwise();
    void overlappingCopiesWithinOnePicture_data();
    void overlappingCopiesWithinOnePicture();
    void stretchTakesTheNearestPixel();
    void partsOutsideThePicturesAreLeftOut();
    void scaledPixelsAllKeepOneWidth_data();
    void scaledPixelsAllKeepOneWidth();
};

void TestRaster::rasterOperationsAreBitwise() {
    QImage dst(4, 1, QImage::Format_RGB32), src(4, 1, QImage::Format_RGB32);
    const quint32 d[4] = {0xFF123456, 0xFFFFFFFF, 0xFF000000, 0xFFF0F0F0};
    const quint32 s[4] = {0xFF0F0F0F, 0xFF010000, 0xFFABCDEF, 0xFF000000};
    auto fill = [&] {
        for (int i = 0; i < 4; ++i) {
            dst.setPixel(i, 0, d[i]);
            src.setPixel(i, 0, s[i]);
        }
    };
    fill();
    copyRect(dst, dst.rect(), src, src.rect(), CopyMode::SrcAnd);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(dst.pixel(i, 0), d[i] & s[i]);
    fill();
    copyRect(dst, dst.rect(), src, src.rect(), CopyMode::SrcPaint);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(dst.pixel(i, 0), d[i] | s[i]);
    fill();
    copyRect(dst, dst.rect(), src, src.rect(), CopyMode::SrcCopy);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(dst.pixel(i, 0), s[i]);
}

void TestRaster::overlappingCopiesWithinOnePicture_data() {
    QTest::addColumn<QRect>("src");
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<int>("mode");
    const int copy = int(CopyMode::SrcCopy), andMode = int(CopyMode::SrcAnd),
              orMode = int(CopyMode::SrcPaint);
    // The column shifts of the game: a column strip moved down by 32 and by 4 pixels.
    QTest::newRow("down 32") << QRect(26, 8, 32, 32 * 7) << QPoint(0, 32) << copy;
    QTest::newRow("down 4") << QRect(58, 40, 32, 32 * 3) << QPoint(0, 4) << copy;
    QTest::newRow("down 1") << QRect(0, 0, 50, 50) << QPoint(0, 1) << copy;
    QTest::newRow("up 4") << QRect(0, 10, 40, 40) << QPoint(0, -4) << copy;
    QTest::newRow("right 3") << QRect(0, 0, 40, 40) << QPoint(3, 0) << copy;
    QTest::newRow("left 3") << QRect(5, 0, 40, 40) << QPoint(-3, 0) << copy;
    QTest::newRow("right 3 and") << QRect(0, 0, 40, 40) << QPoint(3, 0) << andMode;
    QTest::newRow("down right or") << QRect(0, 0, 40, 40) << QPoint(2, 5) << orMode;
    QTest::newRow("left and") << QRect(9, 3, 40, 40) << QPoint(-8, 0) << andMode;
}

void TestRaster::overlappingCopiesWithinOnePicture() {
    QFETCH(QRect, src);
    QFETCH(QPoint, offset);
    QFETCH(int, mode);
    QImage image = numbered(120, 300);
    const QRect dst = src.translated(offset);
    const QImage expected = referenceCopy(image, dst, image, src, CopyMode(mode));
    copyRect(image, dst, image, src, CopyMode(mode));
    QCOMPARE(image, expected);
}

void TestRaster::stretchTakesTheNearestPixel() {
    // Doubling: pattern pixel (x, y) covers (2x, 2y)..(2x+1, 2y+1) exactly.
    const QImage pattern = numbered(96, 192, 5);
    QImage back(192, 384, QImage::Format_RGB32);
    back.fill(0xFF000000u);
    copyRect(back, back.rect(), pattern, pattern.rect(), CopyMode::SrcCopy);
    for (int y = 0; y < 384; ++y)
        for (int x = 0; x < 192; ++x)
            if (back.pixel(x, y) != pattern.pixel(x / 2, y / 2))
                QFAIL(qPrintable(QString("doubled pixel %1,%2 wrong").arg(x).arg(y)));

    // Shrinking and odd factors against the formula floor((x + 0.5) * sw / dw).
    const QImage src = numbered(37, 23, 9);
    for (QSize size : {QSize(8, 18), QSize(146, 18), QSize(1, 1), QSize(196, 384), QSize(13, 5)}) {
        QImage dst = numbered(200, 400, 77);
        const QRect dr(QPoint(3, 2), size);
        const QImage expected = referenceCopy(dst, dr, src, src.rect(), CopyMode::SrcCopy);
        copyRect(dst, dr, src, src.rect(), CopyMode::SrcCopy);
        QCOMPARE(dst, expected);
    }
}

void TestRaster::partsOutsideThePicturesAreLeftOut() {
    // The user's picture is stretched to 196 columns of a 192-wide background: the last
    // four are cut, the rest is as if the picture were wider.
    const QImage src = numbered(98, 40, 3);
    QImage back(192, 40, QImage::Format_RGB32);
    back.fill(0xFF000000u);
    copyRect(back, QRect(0, 0, 196, 40), src, src.rect(), CopyMode::SrcCopy);
    for (int x = 0; x < 192; ++x)
        QCOMPARE(back.pixel(x, 7), src.pixel(x / 2, 7));

    // A 1:1 copy partly outside source and destination touches only the common part.
    QImage dst = numbered(20, 20, 1);
    const QImage before = dst;
    const QImage small = numbered(10, 10, 2);
    copyRect(dst, QRect(15, -3, 10, 10), small, small.rect(), CopyMode::SrcCopy);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 15 && y <= 6;
            QCOMPARE(dst.pixel(x, y), inside ? small.pixel(x - 15, y + 3) : before.pixel(x, y));
        }
}

void TestRaster::scaledPixelsAllKeepOneWidth_data() {
    QTest::addColumn<double>("factor");
    for (double f : {1.25, 1.5, 1.75, 2.0, 3.0})
        QTest::newRow(qPrintable(QString::number(f))) << f;
}

void TestRaster::scaledPixelsAllKeepOneWidth() {
    QFETCH(double, factor);
    // Pixel art of black and white runs 1 to 3 pixels long at every offset, along x and
    // (turned) along y; 32 by 4 pixels, as a sprite comes to whole device pixels.
    const int runs[] = {1, 1, 2, 1, 3, 2, 2, 1, 3, 3, 1, 2, 1, 1, 1, 2, 3, 1, 1};
    QImage art(0, 0, QImage::Format_RGB32);
    {
        QList<bool> white;
        for (size_t i = 0; i < std::size(runs); ++i)
            white.append(QList<bool>(runs[i], i % 2 == 0));
        art = QImage(int(white.size()), 4, QImage::Format_RGB32);
        for (int y = 0; y < art.height(); ++y)
            for (int x = 0; x < art.width(); ++x)
                art.setPixel(x, y, white[x] ? 0xFFFFFFFFu : 0xFF000000u);
    }
    for (const QImage& picture : {art, art.transformed(QTransform().rotate(90))}) {
        const bool turned = picture.width() < picture.height();
        const QImage scaled = sharpScaled(picture, factor);
        QCOMPARE(scaled.size(),
                 QSize(qRound(picture.width() * factor), qRound(picture.height() * factor)));
        // The width of each run is the whiteness (or blackness) summed along its line:
        // a device pixel on a border counts by its share.
        const int line = (turned ? scaled.width() : scaled.height()) / 2;
        auto value = [&](int i) {
            const QRgb p = turned ? scaled.pixel(line, i) : scaled.pixel(i, line);
            if (isWholeFactor(factor) && p != 0xFFFFFFFFu && p != 0xFF000000u)
                return -1.0; // a colour the picture lacks
            return qGray(p) / 255.0;
        };
        double position = 0;
        for (size_t r = 0; r < std::size(runs); ++r) {
            const double from = position * factor, to = (position + runs[r]) * factor;
            double width = 0;
            for (int i = int(from) - 1; i <= int(to) + 1; ++i) {
                if (i < 0 || i >= (turned ? scaled.height() : scaled.width()))
                    continue;
                const double v = value(i);
                QVERIFY2(v >= 0, "a whole factor brings no new colour");
                const double share =
                    std::clamp(std::min<double>(i + 1, to), double(i), double(i + 1)) -
                    std::clamp(std::max<double>(i, from), double(i), double(i + 1));
                if (share > 0)
                    width += r % 2 == 0 ? v : 1 - v;
            }
            QVERIFY2(std::abs(width - runs[r] * factor) < 0.03,
                     qPrintable(QStringLiteral("run %1 (%2 px) is %3 device pixels wide%4")
                                    .arg(r)
                                    .arg(runs[r])
                                    .arg(width)
                                    .arg(turned ? " (turned)" : "")));
            position += runs[r];
        }
    }

    // Scaled again part by part, as the game picture is, it comes out the same as whole.
    QImage picture = numbered(60, 40, 11);
    SharpScaler scaler;
    scaler.reset(picture, factor);
    const QRect part(17, 9, 5, 13);
    for (int y = part.top(); y <= part.bottom(); ++y)
        for (int x = part.left(); x <= part.right(); ++x)
            picture.setPixel(x, y, ~picture.pixel(x, y) | 0xFF000000u);
    scaler.update(picture, part);
    QCOMPARE(scaler.scaled(), sharpScaled(picture, factor));
}

QTEST_GUILESS_MAIN(TestRaster)
#include "test_raster.moc"
