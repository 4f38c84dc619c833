// The background of the play field: the four patterns doubled, the user's "back.bmp"
// stretched to 196x384 and cut on the right, STONE when the file is missing or the
// choice unknown, and every way a "back.bmp" can be broken refused with its message.

#include "game/game_state.h"
#include "platform/app_folder.h"
#include "platform/application.h"
#include "platform/errors.h"
#include "screen/backgrounds.h"
#include "screen/bitmap_file.h"
#include "screen/frame.h"
#include "screen/layout.h"
#include "shell/main_form.h"
#include "shell/picture_view.h"
#include "support/game_harness.h"
#include "support/shell_fixture.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

void putU16(QByteArray& b, int at, quint16 v) {
    qToLittleEndian(v, b.data() + at);
}
void putU32(QByteArray& b, int at, quint32 v) {
    qToLittleEndian(v, b.data() + at);
}

// A 24-bit BMP written by hand, so every header field is ours to break.
QByteArray bmp24(int w, int h, bool topDown = false) {
    const int stride = (w * 3 + 3) / 4 * 4;
    QByteArray b(54 + stride * h, '\0');
    b[0] = 'B';
    b[1] = 'M';
    putU32(b, 2, quint32(b.size()));
    putU32(b, 10, 54);
    putU32(b, 14, 40);
    putU32(b, 18, quint32(w));
    putU32(b, 22, quint32(topDown ? -h : h));
    putU16(b, 26, 1);
    putU16(b, 28, 24);
    for (int row = 0; row < h; ++row) {
        const int y = topDown ? row : h - 1 - row;
        for (int x = 0; x < w; ++x) {
            char* p = b.data() + 54 + row * stride + 3 * x;
            p[0] = char(x * 7 + y); // blue
            p[1] = char(y);         // green
            p[2] = char(x);         // red
        }
    }
    return b;
}

QRgb bmpPixel(int x, int y) {
    return qRgb(x & 255, y & 255, (x * 7 + y) & 255);
}

// BackImage must show source pixel (x * sw / tw, y * sh / 384), nearest.
bool backImageStretches(const QImage& source, int targetWidth) {
    const QImage& back = pictures.BackImage;
    for (int y = 0; y < 384; ++y)
        for (int x = 0; x < 192; ++x) {
            const int sx = int((2 * x + 1) * qint64(source.width()) / (2 * targetWidth));
            const int sy = int((2 * y + 1) * qint64(source.height()) / (2 * 384));
            if (back.pixel(x, y) != source.pixel(sx, sy))
                return false;
        }
    return true;
}

// BackImage must show the picture stretched smoothly to 196x384, its left 192 columns.
bool backImageIsSmoothStretch(const QImage& source) {
    return pictures.BackImage ==
           source.scaled(196, 384, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
               .convertToFormat(QImage::Format_RGB32)
               .copy(0, 0, 192, 384);
}

bool wellShowsBackImage() {
    return pictures.TmpImage.copy(layout::well) == pictures.BackImage;
}

QString errorOf(int choice) {
    try {
        drawBackground(choice);
    } catch (const AppError& e) {
        return e.message();
    }
    return QString();
}

} // namespace

class TestBackground : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void patternsAreDoubled_data();
    void patternsAreDoubled();
    void userPictureStretchedTo196_data();
    void userPictureStretchedTo196();
    void thinLinesOfALargePictureSurvive();
    void changedFileIsPickedUp();
    void pictureDecodedOncePerChangeOfTheFile();
    void missingFileOrFolderDrawsStone();
    void brokenFiles_data();
    void brokenFiles();
    void otherValidBitmaps();
    void failedRoundStartLeavesTheWayBack();

private:
    QTemporaryDir* dir_ = nullptr;
    QString bmpPath() const { return dir_->filePath(QStringLiteral("back.bmp")); }
};

void TestBackground::init() {
    dir_ = new QTemporaryDir;
    setDataFolder(dir_->path());
    initPictures(testSheet());
}

void TestBackground::cleanup() {
    setDataFolder(QString());
    delete dir_;
    dir_ = nullptr;
}

void TestBackground::patternsAreDoubled_data() {
    QTest::addColumn<int>("choice");
    QTest::addColumn<QRect>("pattern");
    QTest::newRow("STONE") << 0 << layout::stonePattern;
    QTest::newRow("MARINE") << 1 << layout::marinePattern;
    QTest::newRow("WA") << 2 << layout::waPattern;
    QTest::newRow("RAIN") << 3 << layout::rainPattern;
    QTest::newRow("unknown 7 draws STONE") << 7 << layout::stonePattern;
    QTest::newRow("unknown -1 draws STONE") << -1 << layout::stonePattern;
    QTest::newRow("4 without back.bmp draws STONE") << 4 << layout::stonePattern;
}

void TestBackground::patternsAreDoubled() {
    QFETCH(int, choice);
    QFETCH(QRect, pattern);
    drawBackground(choice);
    QVERIFY(backImageStretches(pictures.CharaImage.copy(pattern), 192));
    QCOMPARE(pictures.BackImage.pixel(191, 383),
             pictures.CharaImage.pixel(pattern.right(), pattern.bottom()));
    QVERIFY(wellShowsBackImage());
}

void TestBackground::userPictureStretchedTo196_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("96x96") << QSize(96, 96);
    QTest::newRow("192x384, slightly wider than 1:1") << QSize(192, 384);
    QTest::newRow("1x1") << QSize(1, 1);
    QTest::newRow("wide 500x20") << QSize(500, 20);
}

void TestBackground::userPictureStretchedTo196() {
    QFETCH(QSize, size);
    writeFileBytes(bmpPath(), bmp24(size.width(), size.height()));
    drawBackground(4);
    QCOMPARE(pictures.MybackImage.size(), size);
    QCOMPARE(pictures.MybackImage.pixel(size.width() - 1, 0), bmpPixel(size.width() - 1, 0));
    QVERIFY(backImageIsSmoothStretch(pictures.MybackImage));
    QVERIFY(wellShowsBackImage());
    if (size == QSize(192, 384)) { // the last 4 of 196 columns fall outside
        const int red = qRed(pictures.BackImage.pixel(191, 0)); // red is the source column
        QVERIFY(red >= 187 && red <= 188);
    }
}

void TestBackground::thinLinesOfALargePictureSurvive() {
    // An 800x600 photo with a one-pixel line that no nearest-pixel column would pick:
    // the smooth stretch keeps a trace of it.
    QImage photo(800, 600, QImage::Format_RGB32);
    photo.fill(Qt::white);
    for (int y = 0; y < 600; ++y)
        photo.setPixel(1, y, qRgb(0, 0, 0));
    QVERIFY(photo.save(bmpPath(), "BMP"));
    drawBackground(4);
    QVERIFY(qGray(pictures.BackImage.pixel(0, 200)) < 224);
    QCOMPARE(pictures.BackImage.pixel(100, 200), qRgb(255, 255, 255));
}

void TestBackground::changedFileIsPickedUp() {
    writeFileBytes(bmpPath(), bmp24(1, 1));
    drawBackground(4);
    QCOMPARE(pictures.BackImage.pixel(100, 100), bmpPixel(0, 0));
    writeFileBytes(bmpPath(), bmp24(2, 2));
    drawBackground(4);
    QCOMPARE(pictures.BackImage.pixel(191, 383), bmpPixel(1, 1));
}

void TestBackground::pictureDecodedOncePerChangeOfTheFile() {
    // A new decode makes a new image (a new cache key); the kept one is shared as it was.
    QByteArray bytes = bmp24(40, 30);
    writeFileBytes(bmpPath(), bytes);
    drawBackground(4);
    const qint64 decoded = pictures.MybackImage.cacheKey();
    const QImage back = pictures.BackImage;
    drawBackground(1);
    drawBackground(4);
    QCOMPARE(pictures.MybackImage.cacheKey(), decoded);
    QCOMPARE(pictures.BackImage, back);
    QVERIFY(wellShowsBackImage());
    // The same size in the same file, other pixels, a later time: decoded again.
    bytes[54] = char(0xff);
    writeFileBytes(bmpPath(), bytes);
    QFile file(bmpPath());
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(file.fileTime(QFileDevice::FileModificationTime).addSecs(1),
                             QFileDevice::FileModificationTime));
    file.close();
    drawBackground(4);
    QVERIFY(pictures.MybackImage.cacheKey() != decoded);
    QCOMPARE(pictures.MybackImage.pixel(0, 29), qRgb(0, 29, 0xff));
    // A file that breaks after a good one fails at every round start.
    writeFileBytes(bmpPath(), bytes.left(500));
    QCOMPARE(errorOf(4), QStringLiteral("ビットマップイメージが不正です"));
    QCOMPARE(errorOf(4), QStringLiteral("ビットマップイメージが不正です"));
}

void TestBackground::missingFileOrFolderDrawsStone() {
    QVERIFY(!backBitmapExists());
    QCOMPARE(errorOf(4), QString());
    QVERIFY(backImageStretches(pictures.CharaImage.copy(layout::stonePattern), 192));
    QVERIFY(QDir().mkpath(bmpPath()));
    QVERIFY(!backBitmapExists());
    QCOMPARE(errorOf(4), QString());
    QVERIFY(backImageStretches(pictures.CharaImage.copy(layout::stonePattern), 192));
}

void TestBackground::brokenFiles_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = bmp24(40, 30);
    QByteArray offsetPastEnd = good;
    putU32(offsetPastEnd, 10, quint32(good.size() + 10));
    QByteArray dataPastEnd = good;
    putU32(dataPastEnd, 10, quint32(good.size() - 100));
    QByteArray zeroWidth = good;
    putU32(zeroWidth, 18, 0);
    QByteArray oddDepth = good;
    putU16(oddDepth, 28, 7);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage(10, 10, QImage::Format_RGB32).save(&buffer, "PNG");
    // 16000x9000 in run-length code: a few bytes on disk, 144 MB in memory.
    QByteArray huge(14 + 40 + 1024 + 2, '\0');
    huge[0] = 'B';
    huge[1] = 'M';
    putU32(huge, 2, quint32(huge.size()));
    putU32(huge, 10, 14 + 40 + 1024);
    putU32(huge, 14, 40);
    putU32(huge, 18, 16000);
    putU32(huge, 22, 9000);
    putU16(huge, 26, 1);
    putU16(huge, 28, 8);
    putU32(huge, 30, 1);
    putU32(huge, 34, 2);
    huge[huge.size() - 1] = 1; // end of bitmap
    // 5792x5792: within the reader's limit (128 MB), but 33 million pixels loaded at
    // every round start from a file of 1 KB.
    QByteArray large = huge;
    putU32(large, 18, 5792);
    putU32(large, 22, 5792);

    QTest::newRow("zero-length") << QByteArray();
    QTest::newRow("not a bitmap") << QByteArray("hello, this is not a picture at all");
    QTest::newRow("header only") << good.left(54);
    QTest::newRow("truncated pixel data") << good.left(good.size() - 50);
    QTest::newRow("data offset past the end") << offsetPastEnd;
    QTest::newRow("data runs past the end") << dataPastEnd;
    QTest::newRow("zero width") << zeroWidth;
    QTest::newRow("7 bits per pixel") << oddDepth;
    QTest::newRow("a PNG named back.bmp") << png;
    QTest::newRow("larger than the reader allows") << huge;
    QTest::newRow("over 16 million pixels") << large;
}

void TestBackground::brokenFiles() {
    QFETCH(QByteArray, bytes);
    drawBackground(1);
    const QImage before = pictures.TmpImage;
    writeFileBytes(bmpPath(), bytes);
    QVERIFY(backBitmapExists());
    QCOMPARE(errorOf(4), QStringLiteral("ビットマップイメージが不正です"));
    QCOMPARE(pictures.TmpImage, before); // nothing drawn
}

void TestBackground::otherValidBitmaps() {
    // Top-down rows, palettes, 1 bit: all whole bitmaps, all accepted.
    writeFileBytes(bmpPath(), bmp24(3, 2, true));
    drawBackground(4);
    QCOMPARE(pictures.MybackImage.pixel(2, 1), bmpPixel(2, 1));
    QImage indexed(17, 9, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(10, 20, 30), qRgb(200, 100, 0)});
    indexed.fill(1);
    QVERIFY(indexed.save(bmpPath(), "BMP"));
    drawBackground(4);
    QCOMPARE(pictures.BackImage.pixel(5, 5), qRgb(200, 100, 0));
    QImage mono(33, 5, QImage::Format_Mono);
    mono.fill(0);
    QVERIFY(mono.save(bmpPath(), "BMP"));
    QCOMPARE(errorOf(4), QString());
    QCOMPARE(pictures.MybackImage.size(), QSize(33, 5));
}

void TestBackground::failedRoundStartLeavesTheWayBack() {
    ShellFixture shell(dir_->path(), testSheet());
    writeFileBytes(bmpPath(), bmp24(40, 30).left(500));
    MainForm->Back5MenuClick();
    QCOMPARE(backgroundChoice, 4);
    const QImage shown = pictures.MainImage;
    const QImage titleScreen =
        MainForm->client()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QTest::mouseClick(MainForm->StartButton, Qt::LeftButton);
    QCOMPARE(shell.errors, QStringList{QStringLiteral("ビットマップイメージが不正です.")});
    // At the first round the window still shows the title screen behind the error.
    QCOMPARE(MainForm->MainImage->grab().toImage().convertToFormat(QImage::Format_RGB32),
             titleScreen);
    QVERIFY(MainForm->ReturnManu->isEnabled());
    QVERIFY(!MainForm->StartButton->isVisible());
    QCOMPARE(pictures.MainImage, shown); // nothing new presented
    QCOMPARE(gameState.blockCount, 0);   // no rows entered
    QVERIFY(!shell.vp.timerRunning());
    QCOMPARE(gameState.inputEnabled, 0);
    MainForm->ReturnManu->trigger();
    QVERIFY(MainForm->StartButton->isVisible());

    writeFileBytes(bmpPath(), bmp24(40, 30));
    QTest::mouseClick(MainForm->StartButton, Qt::LeftButton);
    QCOMPARE(shell.errors.size(), 1);
    QVERIFY(shell.vp.timerRunning());
    QVERIFY(pictures.MainImage != shown);
    QCOMPARE(MainForm->MainImage->grab().toImage().convertToFormat(QImage::Format_RGB32),
             pictures.MainImage);
}

SHELL_TEST_MAIN(TestBackground)
#include "test_background.moc"
