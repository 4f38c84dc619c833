// Files a player (or a broken disk) may leave beside the program: settings files that
// are huge, binary, oddly encoded or oddly broken into lines, rankings of the wrong
// size, numbers out of range or marked up as HTML, and "back.bmp" files that lie about
// themselves or are broken (one table, through the loading and a round start's
// background). Each gives the program's defined behaviour, never a crash or a hang, and
// a sound file comes back from a save and load with its rankings whole.

#include "game/game_state.h"
#include "game/round.h"
#include "platform/app_folder.h"
#include "platform/application.h"
#include "platform/errors.h"
#include "platform/exception_display.h"
#include "screen/backgrounds.h"
#include "screen/bitmap_file.h"
#include "screen/frame.h"
#include "shell/hiscore_form.h"
#include "shell/hiscore_table.h"
#include "shell/main_form.h"
#include "store/ranking.h"
#include "store/settings_file.h"
#include "support/game_harness.h"
#include "support/shell_fixture.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <sys/resource.h>

namespace {

const QString invalidBitmap = QStringLiteral("ビットマップイメージが不正です");

bool sameValues(const Settings& a, const Settings& b) {
    return a.top == b.top && a.left == b.left && a.back == b.back &&
           a.ranking.RankNameList == b.ranking.RankNameList &&
           a.ranking.RankNumberList == b.ranking.RankNumberList && a.defaultName == b.defaultName;
}

// A ranking of the program's own making, for the round trips.
QByteArray soundSettings() {
    QByteArray text = "[Position]\nxpos=120\nypos=80\n[Back]\nback=2\n[Ranking]\n";
    for (int i = 0; i < rankEntryCount; ++i)
        text += "name" + QByteArray::number(i) + "=Player " + QByteArray::number(i) + "\nnumber" +
                QByteArray::number(i) + "=" + QByteArray::number(100000 - 1000 * i) + ":" +
                QByteArray::number(i) + ";" + QByteArray::number(i % 7) + "\n";
    return text + "default=Player 3\n";
}

qint64 peakMemoryKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// --- bitmaps written field by field ---

void putU16(QByteArray& b, int at, quint16 v) {
    qToLittleEndian(v, b.data() + at);
}
void putU32(QByteArray& b, int at, quint32 v) {
    qToLittleEndian(v, b.data() + at);
}

struct Bmp {
    qint32 width = 1, height = 1;
    quint16 bits = 24;
    quint32 compression = 0;
    QByteArray palette; // 4 bytes an entry
    QByteArray masks;   // after a 40-byte header, for bit fields
    QByteArray pixels;

    QByteArray bytes() const {
        const int offset = 14 + 40 + int(masks.size() + palette.size());
        QByteArray b(offset, '\0');
        b[0] = 'B';
        b[1] = 'M';
        putU32(b, 2, quint32(offset + pixels.size()));
        putU32(b, 10, quint32(offset));
        putU32(b, 14, 40);
        putU32(b, 18, quint32(width));
        putU32(b, 22, quint32(height));
        putU16(b, 26, 1);
        putU16(b, 28, bits);
        putU32(b, 30, compression);
        putU32(b, 34, quint32(pixels.size()));
        putU32(b, 46, quint32(palette.size() / 4));
        b.replace(54, int(masks.size()), masks);
        b.replace(54 + int(masks.size()), int(palette.size()), palette);
        return b + pixels;
    }
};

QByteArray grey16Palette() {
    QByteArray p;
    for (int i = 0; i < 16; ++i)
        p += QByteArray(3, char(i * 16)) + '\0'; // blue, green, red, reserved
    return p;
}

QByteArray u32s(std::initializer_list<quint32> values) {
    QByteArray b;
    for (quint32 v : values) {
        b.resize(b.size() + 4);
        putU32(b, int(b.size() - 4), v);
    }
    return b;
}

} // namespace

class TestHostileFiles : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void bigSettingsFile_data();
    void bigSettingsFile();
    void tenMegabyteLine();
    void oddBytesAndLineEnds_data();
    void oddBytesAndLineEnds();
    void duplicateSectionsAndKeys();
    void rankingOfOddSizeThroughTheProgram_data();
    void rankingOfOddSizeThroughTheProgram();
    void numbersOutOfRange_data();
    void numbersOutOfRange();
    void markupInARankingTextIsShownAsIs();
    void bitmaps_data();
    void bitmaps();

private:
    QTemporaryDir* dir_ = nullptr;
    QString path(const char* name) const { return dir_->filePath(QLatin1String(name)); }
};

void TestHostileFiles::init() {
    dir_ = new QTemporaryDir;
    QVERIFY(dir_->isValid());
}

void TestHostileFiles::cleanup() {
    setDataFolder(QString());
    delete dir_;
    dir_ = nullptr;
}

void TestHostileFiles::bigSettingsFile_data() {
    QTest::addColumn<QByteArray>("filler"); // repeated after the program's keys
    QTest::addColumn<int>("megabytes");
    QTest::newRow("50 MB of unknown keys")
        << QByteArray("someone.elses.key=a value of no interest\n") << 50;
    // The shapes with the most lines for their size; 50 MB of them take a few seconds in
    // an optimised build, too long for every test run under the sanitizers.
    QTest::newRow("5 MB of line ends") << QByteArray("\n") << 5;
    QTest::newRow("5 MB of section headers") << QByteArray("[s]\n") << 5;
    QTest::newRow("5 MB of keys") << QByteArray("k=\n") << 5;
}

void TestHostileFiles::bigSettingsFile() {
    QFETCH(QByteArray, filler);
    QFETCH(int, megabytes);
    QByteArray bytes = soundSettings() + "[Other]\n";
    bytes += filler.repeated(megabytes * 1024 * 1024 / int(filler.size()));
    const QString file = path("flinder.ini");
    writeFileBytes(file, bytes);

    QElapsedTimer timer;
    timer.start();
    Settings s = loadSettings(file);
    const qint64 loadMs = timer.restart();
    QCOMPARE(s.top, 120);
    QCOMPARE(s.ranking.RankNameList[49], QStringLiteral("Player 49"));
    QCOMPARE(s.ranking.RankNumberList[49], QStringLiteral("51000:49;0"));
    s.ranking.RankNameList[0] = QStringLiteral("New");
    saveSettings(file, s);
    const qint64 saveMs = timer.elapsed();
    qInfo("%d MB settings file: load %lld ms, save %lld ms, peak memory so far %lld MB", megabytes,
          loadMs, saveMs, peakMemoryKb() / 1024);
    // Bounded, not fast: a hostile file may cost seconds, never minutes.
    QVERIFY2(loadMs < 60000 && saveMs < 60000, "a hostile settings file took over a minute");

    QByteArray after = bytes;
    after.replace("name0=Player 0\n", "name0=New\n");
    QVERIFY(fileBytes(file) == after); // every other byte kept
    QVERIFY(sameValues(loadSettings(file), s));
}

void TestHostileFiles::tenMegabyteLine() {
    // A name of 10 MB, and a line of 10 MB without "=", among sound entries.
    const QByteArray longName(10 * 1024 * 1024, 'n');
    QByteArray bytes = soundSettings();
    bytes.replace("name7=Player 7\n", "name7=" + longName + "\n");
    bytes.replace("[Back]\n", "[Back]\n" + QByteArray(10 * 1024 * 1024, '#') + "\n");
    const QString file = path("flinder.ini");
    writeFileBytes(file, bytes);

    Settings s = loadSettings(file);
    QCOMPARE(s.ranking.RankNameList[7],
             QString(2047, QLatin1Char('n'))); // a read returns 2047 at most
    QCOMPARE(s.ranking.RankNameList[8], QStringLiteral("Player 8"));
    QCOMPARE(s.back, 2);
    saveSettings(file, s);
    // What was read is what is written: the name is now its first 2047 characters; the
    // line that is no key stays whole.
    const QByteArray saved = fileBytes(file);
    QVERIFY(saved.contains("\nname7=" + longName.left(2047) + "\nnumber7="));
    QVERIFY(saved.contains("[Back]\n" + QByteArray(10 * 1024 * 1024, '#') + "\nback=2\n"));
    QVERIFY(sameValues(loadSettings(file), s));
}

void TestHostileFiles::oddBytesAndLineEnds_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("top");
    QTest::addColumn<QString>("name0");
    QTest::addColumn<QString>("number0");
    QTest::addColumn<QByteArray>("savedMustHold"); // a piece of the saved file

    QByteArray noise(1024 * 1024, '\0');
    QRandomGenerator random(6);
    for (char& c : noise)
        c = char(random.bounded(256));
    QTest::newRow("binary noise") << noise << 0 << "(none)"
                                  << "0:0;0" << QByteArray("\n[Position]\nxpos=0\n");
    QTest::newRow("NUL bytes are characters")
        << QByteArray("[Position]\nxpos=3\0\n[Ranking]\nname0=Ta\0ro\n\0\0\0\nnumber0=5:1;2\n", 59)
        << 0 << QString::fromUtf16(u"Ta\0ro", 5) << "5:1;2"
        << QByteArray("name0=Ta\0ro\n\0\0\0\nnumber0=5:1;2\n", 30);
    QStringEncoder shiftJis("Shift_JIS");
    QTest::newRow("byte order mark before Shift-JIS")
        << QByteArray("\xEF\xBB\xBF") +
               QByteArray(shiftJis.encode(QStringLiteral("[Ranking]\r\nname0=山田　太郎\r\n")))
        << 0 << QStringLiteral("山田　太郎") << "0:0;0"
        << QByteArray("\xEF\xBB\xBF[Ranking]\r\nname0=") + QStringLiteral("山田　太郎").toUtf8();
    QTest::newRow("byte order mark twice")
        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF[Position]\nxpos=4\n") << 4 << "(none)"
        << "0:0;0" << QByteArray("[Position]\nxpos=4\nypos=0\n");
    QTest::newRow("CR line ends only")
        << QByteArray("[Position]\rxpos=5\r[Ranking]\rname0=Taro\rnumber0=7:1;1") << 5 << "Taro"
        << "7:1;1" << QByteArray("\rnumber0=7:1;1\rname1=(none)\r");
    QTest::newRow("mixed line ends")
        << QByteArray("[Position]\r\nxpos=6\n\r[Ranking]\n\rname0=Hana\r\r\nnumber0=8:2;2") << 6
        << "Hana"
        << "8:2;2" << QByteArray("[Ranking]\n\rname0=Hana\r\r\nnumber0=8:2;2\r\n");
    // Added lines end in CR like the first line; before an empty LF line that CR would
    // read as one CRLF with it, and the empty line would be lost.
    QTest::newRow("CR first, an empty LF line after an added key")
        << QByteArray("[Back]\rx=1\n\n[Position]\rxpos=1\r") << 1 << "(none)"
        << "0:0;0" << QByteArray("[Back]\rx=1\nback=0\r\n\n[Position]\rxpos=1\rypos=0\r");
    QTest::newRow("only brackets and equals signs")
        << QByteArray("[[[]]]\n]]=[[\n=\n[\n]\n[]\n=name0\n") << 0 << "(none)"
        << "0:0;0" << QByteArray("[]\n=name0\n[Position]\n");
}

void TestHostileFiles::oddBytesAndLineEnds() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, top);
    QFETCH(QString, name0);
    QFETCH(QString, number0);
    QFETCH(QByteArray, savedMustHold);
    const QString file = path("flinder.ini");
    writeFileBytes(file, bytes);
    const Settings s = loadSettings(file);
    QCOMPARE(s.top, top);
    QCOMPARE(s.ranking.RankNameList[0], name0);
    QCOMPARE(s.ranking.RankNumberList[0], number0);
    saveSettings(file, s);
    const QByteArray saved = fileBytes(file);
    QVERIFY2(saved.contains(savedMustHold), saved.left(300).toPercentEncoding().constData());
    QVERIFY(sameValues(loadSettings(file), s));
    saveSettings(file, s);
    QCOMPARE(fileBytes(file), saved); // a second save changes nothing
}

void TestHostileFiles::duplicateSectionsAndKeys() {
    const QByteArray bytes = "[Ranking]\nname0=first\nNAME0=second\nnumber0=1:1;1\n"
                             "[Position]\nxpos=1\n[ranking]\nname1=in the second section\n"
                             "[POSITION]\nxpos=2\n";
    const QString file = path("flinder.ini");
    writeFileBytes(file, bytes);
    Settings s = loadSettings(file);
    QCOMPARE(s.ranking.RankNameList[0], QStringLiteral("first"));
    QCOMPARE(s.ranking.RankNameList[1], QStringLiteral("(none)")); // only the first section counts
    QCOMPARE(s.top, 1);
    s.ranking.RankNameList[0] = QStringLiteral("changed");
    s.top = 9;
    saveSettings(file, s);
    const QString saved = QString::fromUtf8(fileBytes(file));
    // The first of each is written; the later ones stay as they were.
    QVERIFY(saved.startsWith(QStringLiteral("[Ranking]\nname0=changed\nNAME0=second\n"
                                            "number0=1:1;1\nname1=(none)\n")));
    QVERIFY(saved.contains(QStringLiteral("[Position]\nxpos=9\nypos=0\n[ranking]\n"
                                          "name1=in the second section\n[POSITION]\nxpos=2\n")));
    QVERIFY(sameValues(loadSettings(file), s));
}

void TestHostileFiles::rankingOfOddSizeThroughTheProgram_data() {
    QTest::addColumn<int>("perLevel");
    QTest::newRow("5 entries per level") << 5;
    QTest::newRow("500 entries per level") << 500;
}

void TestHostileFiles::rankingOfOddSizeThroughTheProgram() {
    QFETCH(int, perLevel);
    // Level k's entry j under index 10k + j when the blocks hold them, else numbered on
    // (entries past 49 are keys the program does not know).
    QStringList names(rankEntryCount, emptyRankName), numbers(rankEntryCount, emptyRankNumber);
    QByteArray bytes = "[Ranking]\n";
    for (int k = 0; k < 5; ++k)
        for (int j = 0; j < perLevel; ++j) {
            const int i = perLevel <= entriesPerLevel ? 10 * k + j : perLevel * k + j;
            const QString name = QStringLiteral("L%1-%2").arg(k).arg(j);
            const QString number = resultText(90000 - j, 1, 1);
            bytes += QStringLiteral("name%1=%2\nnumber%1=%3\n").arg(i).arg(name, number).toUtf8();
            if (i < rankEntryCount) {
                names[i] = name;
                numbers[i] = number;
            }
        }
    writeFileBytes(path("flinder.ini"), bytes);

    ShellFixture shell(dir_->path());
    const auto checkRanking = [&] {
        QCOMPARE(MainForm->ranking.RankNameList.size(), rankEntryCount);
        QCOMPARE(MainForm->ranking.RankNumberList.size(), rankEntryCount);
        for (int i = 0; i < rankEntryCount; ++i) {
            QCOMPARE(MainForm->ranking.RankNameList[i], names[i]);
            QCOMPARE(MainForm->ranking.RankNumberList[i], numbers[i]);
        }
    };
    checkRanking();
    HiscoreForm->show();
    HiscoreForm->buildHiscoreTable(4);
    QCOMPARE(HiscoreForm->HiscoreList->count(), 11);
    QCOMPARE(HiscoreForm->HiscoreList->item(10)->text(), hiscoreLine(10, names[49], numbers[49]));

    QVERIFY(shell.close());
    shell.restart();
    checkRanking();
    const QString saved = QString::fromUtf8(fileBytes(path("flinder.ini")));
    QCOMPARE(profileKeys(saved).size(), 2 * 5 * perLevel + (perLevel == 5 ? 54 : 4));
    if (perLevel == 500) // unknown keys kept
        QVERIFY(saved.contains(QStringLiteral("\nname2499=L4-499\nnumber2499=89501:1;1\n")));
    QVERIFY(shell.errors.isEmpty());
}

void TestHostileFiles::numbersOutOfRange_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("read");
    QTest::newRow("negative") << "-5" << -5;
    QTest::newRow("smallest") << "-2147483648" << int(-2147483647 - 1);
    QTest::newRow("below the smallest") << "-2147483649" << 0;
    QTest::newRow("overflow") << "99999999999" << 0;
    QTest::newRow("far overflow") << QString(500, QLatin1Char('9')) << 0;
    QTest::newRow("32-bit pattern in hex") << "0x80000000" << int(-2147483647 - 1);
    QTest::newRow("hex overflow") << "0x1FFFFFFFF" << 0;
    QTest::newRow("exponent") << "1e3" << 0;
    QTest::newRow("Arabic-Indic digits") << QStringLiteral("٣") << 0;
    QTest::newRow("full-width digits") << QStringLiteral("１２") << 0;
}

void TestHostileFiles::numbersOutOfRange() {
    QFETCH(QString, value);
    QFETCH(int, read);
    const QString file = path("flinder.ini");
    writeFileBytes(file,
                   ("[Position]\nxpos=" + value + "\nypos=" + value + "\n[Back]\nback=" + value +
                    "\n[Ranking]\nnumber0=" + value + ":" + value + ";" + value + "\n")
                       .toUtf8());
    Settings s = loadSettings(file);
    QCOMPARE(s.top, read);
    QCOMPARE(s.left, read);
    QCOMPARE(s.back, read);
    // The ranking text is kept as it is, and the table shows it split, never converted.
    const QString result = value + QLatin1Char(':') + value + QLatin1Char(';') + value;
    QCOMPARE(s.ranking.RankNumberList[0], result);
    const QString line = hiscoreLine(1, s.ranking.RankNameList[0], result);
    QVERIFY(line.startsWith(QStringLiteral("  1 (none)")));
    QVERIFY(line.endsWith(value));
    QVERIFY(line.contains(groupDigits(value)));
    saveSettings(file, s);
    const Settings again = loadSettings(file);
    QVERIFY(sameValues(again, s));
    QVERIFY(fileBytes(file).contains("[Back]\nback=" + QByteArray::number(read) + "\n"));
}

void TestHostileFiles::markupInARankingTextIsShownAsIs() {
    // Laid out as rich text, the image would be read from /dev/zero without end.
    writeFileBytes(path("flinder.ini"), "[Ranking]\nnumber29=<img src=\"/dev/zero\">:0;0\n");
    ShellFixture shell(dir_->path());
    setExceptionShower(nullptr); // the real message box
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QSize size;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        text = box->text();
        format = box->textFormat();
        size = box->frameGeometry().size();
        box->button(QMessageBox::Ok)->click();
    });
    poll.start(10);
    QTest::mouseClick(MainForm->StartButton, Qt::LeftButton); // at "ふつう": entries 20 to 29
    gameState.score = 1000;
    runHandler(endRound); // the tenth score is no number
    QCOMPARE(text, QStringLiteral("'<img src=\"/dev/zero\">' は整数ではありません."));
    QCOMPARE(format, Qt::PlainText);
    const QSize screen = QGuiApplication::primaryScreen()->availableSize();
    QVERIFY(size.width() <= screen.width() && size.height() <= screen.height());
}

void TestHostileFiles::bitmaps_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size"); // of the loaded picture; empty: refused
    QTest::addColumn<QPoint>("probe");
    QTest::addColumn<QRgb>("colour"); // at the probe

    Bmp rgb;
    rgb.width = 3;
    rgb.height = 2;
    rgb.pixels = QByteArray::fromHex("0000ff 00ff00 ff0000 000000" // bottom row, padded
                                     "ffffff 808080 000000 000000");
    QTest::newRow("24 bits, bottom-up")
        << rgb.bytes() << QSize(3, 2) << QPoint(0, 1) << qRgb(255, 0, 0);
    Bmp topDown = rgb;
    topDown.height = -2;
    QTest::newRow("24 bits, negative height: top-down")
        << topDown.bytes() << QSize(3, 2) << QPoint(0, 0) << qRgb(255, 0, 0);
    QTest::newRow("truncated in the last row")
        << rgb.bytes().left(rgb.bytes().size() - 3) << QSize() << QPoint() << QRgb(0);
    QTest::newRow("truncated in the header")
        << rgb.bytes().left(30) << QSize() << QPoint() << QRgb(0);
    Bmp zero = rgb;
    zero.height = 0;
    zero.pixels.clear();
    QTest::newRow("zero height") << zero.bytes() << QSize() << QPoint() << QRgb(0);
    Bmp lowest = rgb;
    lowest.height = std::numeric_limits<qint32>::min();
    QTest::newRow("height -2147483648") << lowest.bytes() << QSize() << QPoint() << QRgb(0);

    Bmp huge = rgb;
    huge.width = huge.height = 100000;
    QTest::newRow("claims 100000x100000, 24 bits")
        << huge.bytes() << QSize() << QPoint() << QRgb(0);
    Bmp largest = rgb;
    largest.bits = 32;
    largest.width = largest.height = std::numeric_limits<qint32>::max();
    QTest::newRow("claims 2147483647x2147483647, 32 bits")
        << largest.bytes() << QSize() << QPoint() << QRgb(0);
    Bmp hugeRle;
    hugeRle.width = hugeRle.height = 100000;
    hugeRle.bits = 8;
    hugeRle.compression = 1;
    hugeRle.palette = grey16Palette();
    hugeRle.pixels = QByteArray::fromHex("0001"); // end of bitmap
    QTest::newRow("claims 100000x100000, RLE8")
        << hugeRle.bytes() << QSize() << QPoint() << QRgb(0);

    // RLE8: runs of 3 of colour 1, 1 of 3 and 1 of 4, end of line; a run of 5 of colour
    // 15, end of bitmap. Bottom-up: the first line is the lower one.
    Bmp rle8;
    rle8.width = 5;
    rle8.height = 2;
    rle8.bits = 8;
    rle8.compression = 1;
    rle8.palette = grey16Palette();
    rle8.pixels = QByteArray::fromHex("0301 0103 0104 0000 050f 0001");
    QTest::newRow("RLE8") << rle8.bytes() << QSize(5, 2) << QPoint(4, 1) << qRgb(64, 64, 64);
    QTest::newRow("RLE8, upper line")
        << rle8.bytes() << QSize(5, 2) << QPoint(2, 0) << qRgb(240, 240, 240);
    Bmp rle8TopDown = rle8;
    rle8TopDown.height = -2;
    QTest::newRow("RLE8 top-down (not allowed for run-length code)")
        << rle8TopDown.bytes() << QSize() << QPoint() << QRgb(0);
    QByteArray rle8Cut = rle8.bytes();
    putU32(rle8Cut, 34, quint32(rle8.pixels.size() + 100)); // data size past the end
    QTest::newRow("RLE8 data past the end") << rle8Cut << QSize() << QPoint() << QRgb(0);
    // RLE4: a run of 5 alternating colours 2 and 1, end of line, end of bitmap.
    Bmp rle4 = rle8;
    rle4.bits = 4;
    rle4.compression = 2;
    rle4.pixels = QByteArray::fromHex("0521 0000 0001");
    QTest::newRow("RLE4") << rle4.bytes() << QSize(5, 2) << QPoint(1, 1) << qRgb(16, 16, 16);

    // Bit fields: 16 bits as 5-6-5 (the reader scales 5 bits by 8: 31 gives 248), and 32
    // bits with the masks swapped around.
    Bmp fields565;
    fields565.width = 2;
    fields565.height = -1;
    fields565.bits = 16;
    fields565.compression = 3;
    fields565.masks = u32s({0xF800, 0x07E0, 0x001F});
    fields565.pixels = QByteArray::fromHex("00f8 1f00");
    QTest::newRow("bit fields 5-6-5, red")
        << fields565.bytes() << QSize(2, 1) << QPoint(0, 0) << qRgb(248, 0, 0);
    QTest::newRow("bit fields 5-6-5, blue")
        << fields565.bytes() << QSize(2, 1) << QPoint(1, 0) << qRgb(0, 0, 248);
    Bmp fields32 = fields565;
    fields32.bits = 32;
    fields32.masks = u32s({0x000000FF, 0x0000FF00, 0x00FF0000}); // red low, blue high
    fields32.pixels = QByteArray::fromHex("11223300 00000000");
    QTest::newRow("bit fields 32 bits")
        << fields32.bytes() << QSize(2, 1) << QPoint(0, 0) << qRgb(0x11, 0x22, 0x33);

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage(8, 8, QImage::Format_RGB32).save(&buffer, "PNG");
    QTest::newRow("a PNG named back.bmp") << png << QSize() << QPoint() << QRgb(0);

    // A whole 40x30 picture, broken one way at a time.
    Bmp good = rgb;
    good.width = 40;
    good.height = 30;
    good.pixels = QByteArray(120 * 30, char(0x40));
    const QByteArray whole = good.bytes();
    QByteArray offsetPastEnd = whole;
    putU32(offsetPastEnd, 10, quint32(whole.size() + 10));
    QByteArray dataPastEnd = whole;
    putU32(dataPastEnd, 10, quint32(whole.size() - 100));
    Bmp zeroWidth = good;
    zeroWidth.width = 0;
    Bmp oddDepth = good;
    oddDepth.bits = 7;
    // Run-length code of a few bytes: 16000x9000 takes 144 MB in memory, past the
    // reader's limit (128 MB); 5792x5792 is within it, but 33 million pixels loaded at
    // every round start from a file of 1 KB.
    Bmp pastTheReader = hugeRle;
    pastTheReader.width = 16000;
    pastTheReader.height = 9000;
    Bmp overSixteenMillion = hugeRle;
    overSixteenMillion.width = overSixteenMillion.height = 5792;
    const QList<std::pair<const char*, QByteArray>> refused = {
        {"zero-length", QByteArray()},
        {"not a bitmap", QByteArray("hello, this is not a picture at all")},
        {"header only", whole.left(54)},
        {"truncated pixel data", whole.left(whole.size() - 50)},
        {"data offset past the end", offsetPastEnd},
        {"data runs past the end", dataPastEnd},
        {"zero width", zeroWidth.bytes()},
        {"7 bits per pixel", oddDepth.bytes()},
        {"claims 16000x9000, RLE8: larger than the reader allows", pastTheReader.bytes()},
        {"claims 5792x5792, RLE8: over 16 million pixels", overSixteenMillion.bytes()}};
    for (const auto& [name, bytes] : refused)
        QTest::newRow(name) << bytes << QSize() << QPoint() << QRgb(0);
}

void TestHostileFiles::bitmaps() {
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, size);
    QFETCH(QPoint, probe);
    QFETCH(QRgb, colour);
    const QString file = path("back.bmp");
    writeFileBytes(file, bytes);
    QImage picture;
    QString error;
    try {
        picture = loadBitmapFile(file);
    } catch (const AppError& e) {
        error = e.message();
    }
    // A round start with the user's background: the same verdict, and a refused file
    // draws nothing.
    setDataFolder(dir_->path());
    initPictures(testSheet());
    drawBackground(1);
    const QImage before = pictures.TmpImage;
    QVERIFY(backBitmapExists());
    QString drawError;
    try {
        drawBackground(4);
    } catch (const AppError& e) {
        drawError = e.message();
    }
    if (size.isEmpty()) {
        QCOMPARE(error, invalidBitmap);
        QCOMPARE(drawError, invalidBitmap);
        QCOMPARE(pictures.TmpImage, before);
        return;
    }
    QCOMPARE(error, QString());
    QCOMPARE(picture.size(), size);
    QCOMPARE(picture.format(), QImage::Format_RGB32);
    QCOMPARE(QColor(picture.pixel(probe)), QColor(colour));
    QCOMPARE(drawError, QString());
    QCOMPARE(pictures.MybackImage, picture);
}

SHELL_TEST_MAIN(TestHostileFiles)
#include "test_hostile_files.moc"
