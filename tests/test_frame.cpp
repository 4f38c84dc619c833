// The drawing operations on exact pixels, with a sheet of known colours: masked draws,
// the crack overlay, opaque cells, restoring from the background, and presenting.

#include "screen/frame.h"
#include "screen/layout.h"

#include <QTest>

namespace {

constexpr quint32 black = 0xFF000000u, white = 0xFFFFFFFFu, ball = 0xFFFF8020u;

bool inDisc(int x, int y) {
    return (x - 16) * (x - 16) + (y - 16) * (y - 16) <= 14 * 14;
}
bool onCrack(int x, int y) {
    return x == y || x + y == 31 || (y == 16 && x > 20);
}

QImage knownSheet() {
    QImage sheet(400, 432, QImage::Format_RGB32);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 400; ++x)
            sheet.setPixel(x, y, 0xFF000000u | (quint32(x * 613 + y * 7919) & 0xFFFFFFu));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            for (int k = 1; k <= 4; ++k) // arrows: opaque, a colour per kind and pixel
                sheet.setPixel(32 * (k - 1) + x, 400 + y,
                               0xFF404040u + quint32(k * 0x101010 + x + y));
            sheet.setPixel(128 + x, 400 + y, inDisc(x, y) ? ball : black);
            sheet.setPixel(160 + x, 400 + y, black);
            sheet.setPixel(192 + x, 400 + y, inDisc(x, y) ? black : white);
            sheet.setPixel(256 + x, 400 + y, onCrack(x, y) ? 0xFF010000u : black);
            sheet.setPixel(288 + x, 400 + y, onCrack(x, y) ? black : white);
        }
    return sheet;
}

QImage background() {
    QImage back(192, 384, QImage::Format_RGB32);
    for (int y = 0; y < 384; ++y)
        for (int x = 0; x < 192; ++x)
            back.setPixel(x, y, 0xFF000000u | (quint32(0x203040 + x * 3 + y * 0x100) & 0xFFFFFFu));
    return back;
}

void setUpPictures() {
    initPictures(knownSheet());
    pictures.BackImage = background();
    copyRect(pictures.TmpImage, layout::well, pictures.BackImage, pictures.BackImage.rect(),
             CopyMode::SrcCopy);
}

quint32 sheetAt(int x, int y) {
    return pictures.CharaImage.pixel(x, y);
}

} // namespace

class TestFrame : public QObject {
    Q_OBJECT
private slots:
    void init() { setUpPictures(); }
    void arrowHidesItsCell();
    void starBallKeepsTheBackgroundInItsCorners();
    void flyingStarTravelsOnAWhiteSquare();
    void crackDarkensOnlyItsLines();
    void opaqueCellAndPanelRestore();
    void restoreCellIncludingTheLauncherRow();
    void nothingIsVisibleBeforePresent();
    void columnShiftsDownByFourAndThirtyTwo();
    void aPresentCopiesWhatWasDrawnSinceTheLast();
};

void TestFrame::arrowHidesItsCell() {
    for (int kind = 1; kind <= 4; ++kind) {
        const QPoint at = layout::cellOrigin(kind, 5);
        drawPiece(at, kind);
        QCOMPARE(pictures.copyMode, CopyMode::SrcCopy);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                QCOMPARE(pictures.TmpImage.pixel(at + QPoint(x, y)),
                         sheetAt(32 * (kind - 1) + x, 400 + y));
    }
}

void TestFrame::starBallKeepsTheBackgroundInItsCorners() {
    const QPoint at = layout::cellOrigin(2, 11);
    drawPiece(at, 5);
    QCOMPARE(pictures.copyMode, CopyMode::SrcCopy);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const quint32 expected =
                inDisc(x, y) ? ball : pictures.BackImage.pixel(64 + x, 352 + y);
            QCOMPARE(pictures.TmpImage.pixel(at + QPoint(x, y)), expected);
        }
}

void TestFrame::flyingStarTravelsOnAWhiteSquare() {
    const QPoint at(26 + 64, 8 + 100);
    drawFlyingPiece(at, 5);
    QCOMPARE(pictures.copyMode, CopyMode::SrcCopy);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            QCOMPARE(pictures.TmpImage.pixel(at + QPoint(x, y)), inDisc(x, y) ? ball : white);
    // An arrow in flight looks exactly as in the launcher.
    drawFlyingPiece(at, 3);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            QCOMPARE(pictures.TmpImage.pixel(at + QPoint(x, y)), sheetAt(64 + x, 400 + y));
}

void TestFrame::crackDarkensOnlyItsLines() {
    const QPoint at = layout::cellOrigin(4, 7);
    drawPiece(at, 2);
    drawCrack(at);
    QCOMPARE(pictures.copyMode, CopyMode::SrcCopy);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const quint32 block = sheetAt(32 + x, 400 + y);
            // AND black, then OR (1,0,0): the line pixels become (1,0,0); the rest stays.
            const quint32 expected = onCrack(x, y) ? 0xFF010000u : block;
            QCOMPARE(pictures.TmpImage.pixel(at + QPoint(x, y)), expected);
        }
}

void TestFrame::opaqueCellAndPanelRestore() {
    // The star ball copied without mask brings its black surround.
    drawCellOpaque(QPoint(236, 360), 5);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            QCOMPARE(pictures.TmpImage.pixel(236 + x, 360 + y), inDisc(x, y) ? ball : black);
    // Even while the frame's copy mode is AND, an opaque draw is a plain copy.
    setCopyMode(CopyMode::SrcAnd);
    drawCellOpaque(layout::cellOrigin(0, 0), 1);
    setCopyMode(CopyMode::SrcCopy);
    QCOMPARE(pictures.TmpImage.pixel(26, 8), sheetAt(0, 400));
    // A panel returns to the sheet's pixels exactly, and only the panel.
    pictures.TmpImage.fill(white);
    restorePanel(layout::scorePanel);
    for (int y = 40; y < 76; ++y)
        for (int x = 230; x < 390; ++x)
            QCOMPARE(pictures.TmpImage.pixel(x, y),
                     layout::scorePanel.contains(x, y) ? sheetAt(x, y) : white);
}

void TestFrame::restoreCellIncludingTheLauncherRow() {
    for (int c = 0; c < 6; ++c)
        drawPiece(layout::cellOrigin(c, 11), 1 + c % 5);
    restoreCell(3, 11);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            QCOMPARE(pictures.TmpImage.pixel(122 + x, 360 + y),
                     pictures.BackImage.pixel(96 + x, 352 + y));
    QCOMPARE(pictures.TmpImage.pixel(121, 360), sheetAt(32 * 2 + 31, 400)); // neighbour kept
    // The rectangle form: a strip 4 pixels high at any height.
    drawPiece(layout::cellOrigin(1, 2), 4);
    restoreWellRect(QRect(32, 70, 32, 4));
    for (int x = 0; x < 32; ++x) {
        QCOMPARE(pictures.TmpImage.pixel(58 + x, 78), pictures.BackImage.pixel(32 + x, 70));
        QCOMPARE(pictures.TmpImage.pixel(58 + x, 81), pictures.BackImage.pixel(32 + x, 73));
        QCOMPARE(pictures.TmpImage.pixel(58 + x, 77), sheetAt(96 + x, 400 + 5));  // above: piece
        QCOMPARE(pictures.TmpImage.pixel(58 + x, 82), sheetAt(96 + x, 400 + 10)); // below: piece
    }
}

void TestFrame::nothingIsVisibleBeforePresent() {
    int presents = 0;
    setPresentHook([&] { ++presents; });
    presentFrame();
    const QImage shown = pictures.MainImage.copy();
    drawPiece(layout::cellOrigin(0, 0), 5);
    drawCellOpaque(layout::cellOrigin(1, 1), 2);
    drawCrack(layout::cellOrigin(2, 2));
    restorePanel(layout::limitPanel);
    frameCopy(QRect(26, 8, 32, 64), QPoint(26, 40));
    QCOMPARE(pictures.MainImage, shown);
    QCOMPARE(presents, 1);
    presentFrame();
    QCOMPARE(pictures.MainImage, pictures.TmpImage);
    QCOMPARE(presents, 2);
    setPresentHook(nullptr);
}

void TestFrame::columnShiftsDownByFourAndThirtyTwo() {
    for (int r = 0; r < 7; ++r)
        drawCellOpaque(layout::cellOrigin(2, r), 1 + r % 4);
    const QImage before = pictures.TmpImage.copy();
    frameCopy(QRect(90, 8, 32, 32 * 7), QPoint(90, 40));
    for (int y = 40; y < 40 + 32 * 7; ++y)
        for (int x = 90; x < 122; ++x)
            QCOMPARE(pictures.TmpImage.pixel(x, y), before.pixel(x, y - 32));
    QCOMPARE(pictures.TmpImage.pixel(90, 8), before.pixel(90, 8)); // the source top stays
    const QImage mid = pictures.TmpImage.copy();
    frameCopy(QRect(90, 40, 32, 32 * 3), QPoint(90, 44));
    for (int y = 44; y < 44 + 96; ++y)
        for (int x = 90; x < 122; ++x)
            QCOMPARE(pictures.TmpImage.pixel(x, y), mid.pixel(x, y - 4));
}

void TestFrame::aPresentCopiesWhatWasDrawnSinceTheLast() {
    presentFrame();
    QCOMPARE(pictures.MainImage, pictures.TmpImage);
    // Every operation records where it drew; the present copies exactly the union.
    drawPiece(layout::cellOrigin(1, 3), 2);
    restorePanel(layout::limitPanel);
    presentFrame();
    QCOMPARE(presentedRect(), layout::cellRect(1, 3).united(layout::limitPanel));
    QCOMPARE(pictures.MainImage, pictures.TmpImage);
    presentFrame();
    QVERIFY(presentedRect().isEmpty()); // nothing new
    // Text reports where its glyphs went, the column shift its destination.
    const QRect text =
        drawTextRightAligned(QStringLiteral("+80,000"), QFont(), Qt::magenta, layout::bonusAnchor);
    frameCopy(QRect(26, 8, 32, 96), QPoint(26, 40));
    presentFrame();
    QVERIFY(presentedRect().contains(text));
    QVERIFY(presentedRect().contains(QRect(26, 40, 32, 96)));
    QCOMPARE(pictures.MainImage, pictures.TmpImage);
    // A picture drawn by other means shows once it is marked.
    pictures.TmpImage.setPixel(5, 5, white);
    presentFrame();
    QVERIFY(pictures.MainImage.pixel(5, 5) != white);
    markFrameChanged(QRect(5, 5, 1, 1));
    presentFrame();
    QCOMPARE(pictures.MainImage.pixel(5, 5), white);
}

QTEST_MAIN(TestFrame)
#include "test_frame.moc"
