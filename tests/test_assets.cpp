// The pictures the program carries: the generator reproduces the committed PNGs, the
// program embeds those same pixels, and the pixels the game relies on are exact.

#include "screen/frame.h"
#include "screen/layout.h"
#include "screen/logos.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

const QRgb black = qRgb(0, 0, 0);
const QRgb white = qRgb(255, 255, 255);
const QRgb lightLine = qRgb(255, 196, 136);
const QRgb tabInk = qRgb(0, 255, 128);
const QRgb logoKey = qRgb(192, 192, 192);

QString text(QRgb c) {
    return QStringLiteral("(%1,%2,%3)").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c));
}

QString where(const QString& what, int x, int y, QRgb actual) {
    return QStringLiteral("%1: pixel (%2,%3) is %4").arg(what).arg(x).arg(y).arg(text(actual));
}

// The first pixel of r (inclusive rectangle) failing the predicate, described; empty if
// none fails.
QString firstFailure(const QImage& img, const QRect& r, const QString& what,
                     const std::function<bool(QRgb)>& ok) {
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (!ok(img.pixel(x, y) | 0xff000000u))
                return where(what, x, y, img.pixel(x, y));
    return {};
}

QString firstNot(const QImage& img, const QRect& r, QRgb expected, const QString& what) {
    return firstFailure(img, r, what + QStringLiteral(" (expected %1)").arg(text(expected)),
                        [expected](QRgb c) { return c == expected; });
}

#define EXPECT_NONE(failure)                                                                       \
    do {                                                                                           \
        const QString f_ = (failure);                                                              \
        QVERIFY2(f_.isEmpty(), qPrintable(f_));                                                    \
    } while (0)

QRect hLine(int y, int x0, int x1) {
    return QRect(QPoint(x0, y), QPoint(x1, y));
}
QRect vLine(int x, int y0, int y1) {
    return QRect(QPoint(x, y0), QPoint(x, y1));
}

int luma(QRgb c) {
    return (qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114) / 1000;
}

// Share of the pixels of r that satisfy the predicate.
double share(const QImage& img, const QRect& r, const std::function<bool(QRgb)>& ok) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += ok(img.pixel(x, y)) ? 1 : 0;
    return double(n) / (r.width() * r.height());
}

int distinctColours(const QImage& img, const QRect& r) {
    QSet<QRgb> seen;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            seen.insert(img.pixel(x, y));
    return int(seen.size());
}

QString firstDifference(const QImage& a, const QImage& b, const QString& what) {
    if (a.size() != b.size())
        return QStringLiteral("%1: size %2x%3 against %4x%5")
            .arg(what)
            .arg(a.width())
            .arg(a.height())
            .arg(b.width())
            .arg(b.height());
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) | 0xff000000u) != (b.pixel(x, y) | 0xff000000u))
                return where(what, x, y, a.pixel(x, y)) +
                       QStringLiteral(" but %1 in the other").arg(text(b.pixel(x, y)));
    return {};
}

// A picture as the program carries it: the sheet and the logos as plain pixels, the
// rest as files.
QImage embeddedPicture(const QString& name) {
    if (name == QLatin1String("sheet"))
        return loadSheet();
    if (name == QLatin1String("title_logo"))
        return titleLogo();
    if (name == QLatin1String("small_logo"))
        return smallLogo();
    return QImage(QStringLiteral(":/assets/%1.png").arg(name));
}

struct Panel {
    QRect interior;
    QRect tab; // null when the panel has none
    QString word;
};

const std::array<Panel, 5> tabbedPanels = {{
    {layout::vanishInterior, layout::vanishTab, QStringLiteral("VANISH")},
    {layout::phasePanel, layout::phaseTab, QStringLiteral("PHASE")},
    {layout::levelInterior, layout::levelTab, QStringLiteral("LEVEL")},
    {layout::limitPanel, layout::limitTab, QStringLiteral("LIMIT")},
    {layout::nextBox, layout::nextTab, QStringLiteral("NEXT")},
}};

// The sprite cells seen as images of their own.
QImage cell(const QImage& sheet, const QRect& r) {
    return sheet.copy(r);
}

} // namespace

class TestAssets : public QObject {
    Q_OBJECT

    QImage sheet, logo, smallLogo, icon;

private slots:
    void initTestCase() {
        sheet = loadSheet();
        logo = titleLogo();
        smallLogo = ::smallLogo();
        icon = QImage(QStringLiteral(":/assets/icon32.png")).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(sheet.size(), QSize(layout::sheetWidth, layout::sheetHeight));
        QCOMPARE(logo.size(), QSize(layout::titleLogoWidth, layout::titleLogoHeight));
        QCOMPARE(smallLogo.size(), QSize(layout::smallLogoWidth, layout::smallLogoHeight));
        QCOMPARE(icon.size(), QSize(layout::iconSize, layout::iconSize));
    }

    // The generator redraws exactly the committed files, which are exactly the embedded
    // ones; all are opaque RGB files.
    void generatorReproducesCommittedAndEmbeddedPictures() {
        const QString generator = qEnvironmentVariable("FLINDER_GEN_ASSETS");
        const QString source = qEnvironmentVariable("FLINDER_SOURCE_DIR");
        QVERIFY2(!generator.isEmpty() && !source.isEmpty(),
                 "FLINDER_GEN_ASSETS and FLINDER_SOURCE_DIR must be set (CTest sets them)");
        QTemporaryDir out;
        QVERIFY(out.isValid());
        QProcess run;
        run.start(generator, {out.path()});
        QVERIFY(run.waitForFinished(120000));
        QCOMPARE(run.exitStatus(), QProcess::NormalExit);
        QVERIFY2(run.exitCode() == 0, run.readAllStandardError().constData());

        const std::array<QString, 6> names = {
            QStringLiteral("sheet.png"),         QStringLiteral("title_logo.png"),
            QStringLiteral("small_logo.png"),    QStringLiteral("icon32.png"),
            QStringLiteral("title_logo@2x.png"), QStringLiteral("small_logo@2x.png")};
        for (const QString& name : names) {
            QImageReader reader(out.filePath(name));
            const QImage generated = reader.read();
            QVERIFY2(!generated.isNull(), qPrintable(name + ": " + reader.errorString()));
            QVERIFY2(!generated.hasAlphaChannel(), qPrintable(name + " has an alpha channel"));
            const QImage committed(source + QStringLiteral("/assets/") + name);
            QVERIFY2(!committed.isNull(), qPrintable(name + " is not committed"));
            QVERIFY2(!committed.hasAlphaChannel(), qPrintable(name + " (committed) has alpha"));
            const QImage embedded = embeddedPicture(name.chopped(4));
            EXPECT_NONE(firstDifference(generated, committed, name + " generated vs committed"));
            EXPECT_NONE(firstDifference(committed, embedded, name + " committed vs embedded"));
        }
        EXPECT_NONE(firstDifference(sheet, QImage(out.filePath(names[0])), "loadSheet()"));
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QString name = QStringLiteral("icon%1.png").arg(size);
            const QImage i(out.filePath(name));
            QCOMPARE(i.size(), QSize(size, size));
            QVERIFY(!i.hasAlphaChannel());
            // The installed icons are the committed ones.
            EXPECT_NONE(firstDifference(i, QImage(source + QStringLiteral("/assets/") + name),
                                        name + " generated vs committed"));
        }

        // The scalable icon, a text file, byte for byte.
        QFile svg(out.filePath(QStringLiteral("icon.svg")));
        QFile committedSvg(source + QStringLiteral("/assets/icon.svg"));
        QVERIFY(svg.open(QIODevice::ReadOnly) && committedSvg.open(QIODevice::ReadOnly));
        QCOMPARE(svg.readAll(), committedSvg.readAll());

        QProcess usage;
        usage.start(generator, {});
        QVERIFY(usage.waitForFinished(60000));
        QVERIFY2(usage.exitCode() != 0, "gen_assets without a folder must fail");
    }

    void detailedLogosMatchTheirSmallerTwins() {
        // The @2x logos are the same drawing at twice the size: same background key,
        // and reduced they come close to the 1x ones.
        for (const char* base : {"title_logo", "small_logo"}) {
            const QImage one =
                embeddedPicture(QLatin1String(base)).convertToFormat(QImage::Format_RGB32);
            const QImage two = QImage(QStringLiteral(":/assets/%1@2x.png").arg(base))
                                   .convertToFormat(QImage::Format_RGB32);
            QCOMPARE(two.size(), one.size() * 2);
            QCOMPARE(two.pixel(0, two.height() - 1), one.pixel(0, one.height() - 1));
            const QImage reduced =
                two.scaled(one.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            long diff = 0;
            for (int y = 0; y < one.height(); ++y)
                for (int x = 0; x < one.width(); ++x)
                    diff += qAbs(qGray(one.pixel(x, y)) - qGray(reduced.pixel(x, y)));
            const double mean = double(diff) / (one.width() * one.height());
            QVERIFY2(mean < 12.0,
                     qPrintable(QStringLiteral("%1: mean difference %2").arg(base).arg(mean)));
        }
    }

    void panelInteriorsAreBlack() {
        using namespace layout;
        for (const QRect& r : {scorePanel, bonusPanel, vanishInterior, phasePanel, levelInterior,
                               limitPanel, nextBox})
            EXPECT_NONE(firstNot(sheet, r, black, QStringLiteral("interior")));
        // The vanish panel is restored from x=237; its column x=236 must be black already.
        EXPECT_NONE(firstNot(sheet, vLine(236, 120, 145), black, QStringLiteral("VANISH x=236")));
    }

    void wellFrameHasItsEdgeLines() {
        EXPECT_NONE(firstNot(sheet, vLine(20, 2, 396), lightLine, "well left"));
        EXPECT_NONE(firstNot(sheet, hLine(2, 20, 222), lightLine, "well top"));
        EXPECT_NONE(firstNot(sheet, vLine(223, 2, 397), black, "well right"));
        EXPECT_NONE(firstNot(sheet, hLine(397, 20, 223), black, "well bottom"));
        checkWoodenFrame(QRect(QPoint(21, 3), QPoint(222, 396)), layout::well);
    }

    void panelFramesHaveTheirEdgeLines() {
        for (const Panel& p : tabbedPanels) {
            const QRect& in = p.interior;
            const QRect frame = in.adjusted(-5, -5, 5, 5);
            const QString name = p.word;
            EXPECT_NONE(firstNot(sheet, vLine(frame.left() - 1, p.tab.top() - 4, frame.bottom()),
                                 lightLine, name + " left (tab and frame)"));
            EXPECT_NONE(firstNot(sheet, vLine(frame.right() + 1, frame.top(), frame.bottom() + 1),
                                 black, name + " right"));
            EXPECT_NONE(firstNot(sheet, hLine(frame.bottom() + 1, frame.left(), frame.right() + 1),
                                 black, name + " bottom"));
            // The top line runs from the tab's black right edge to the frame's corner.
            const int tabEdge = p.tab.right() + 4;
            EXPECT_NONE(firstNot(sheet, vLine(tabEdge, p.tab.top() - 3, frame.top() - 1), black,
                                 name + " tab right"));
            EXPECT_NONE(firstNot(sheet, hLine(frame.top() - 1, tabEdge + 1, frame.right()),
                                 lightLine, name + " top"));
            EXPECT_NONE(firstNot(sheet, hLine(p.tab.top() - 4, frame.left() - 1, tabEdge - 1),
                                 lightLine, name + " tab top"));
            checkWoodenFrame(frame, in);
        }
        // SCORE and the bonus box below its right half share one frame.
        EXPECT_NONE(firstNot(sheet, vLine(231, 26, 75), lightLine, "SCORE left"));
        EXPECT_NONE(firstNot(sheet, hLine(39, 278, 387), lightLine, "SCORE top"));
        EXPECT_NONE(firstNot(sheet, vLine(388, 40, 98), black, "SCORE/bonus right"));
        EXPECT_NONE(firstNot(sheet, hLine(76, 231, 308), black, "SCORE bottom"));
        EXPECT_NONE(firstNot(sheet, vLine(308, 77, 97), lightLine, "bonus left"));
        EXPECT_NONE(firstNot(sheet, hLine(98, 308, 388), black, "bonus bottom"));
        checkWoodenFrame(QRect(QPoint(232, 40), QPoint(387, 74)), layout::scorePanel);
        checkWoodenFrame(QRect(QPoint(309, 71), QPoint(387, 97)), layout::bonusPanel);
    }

    void tabsCarryTheirNames() {
        std::vector<Panel> all(tabbedPanels.begin(), tabbedPanels.end());
        all.push_back({layout::scorePanel, layout::scoreTab, QStringLiteral("SCORE")});
        for (const Panel& p : all) {
            const QRect& t = p.tab;
            QCOMPARE(t.height(), 8);
            // Ink reaches every side of the text rectangle, and the letters stand apart
            // as one run of inked columns each.
            auto inked = [&](const QRect& r) {
                return share(sheet, r, [](QRgb c) { return c == tabInk; }) > 0;
            };
            QVERIFY2(inked(hLine(t.top(), t.left(), t.right())), qPrintable(p.word + " top row"));
            QVERIFY2(inked(hLine(t.bottom(), t.left(), t.right())), qPrintable(p.word + " bottom"));
            QVERIFY2(inked(vLine(t.left(), t.top(), t.bottom())), qPrintable(p.word + " left"));
            QVERIFY2(inked(vLine(t.right(), t.top(), t.bottom())), qPrintable(p.word + " right"));
            int runs = 0;
            bool inRun = false;
            for (int x = t.left(); x <= t.right(); ++x) {
                const bool ink = inked(vLine(x, t.top(), t.bottom()));
                runs += ink && !inRun ? 1 : 0;
                inRun = ink;
            }
            QCOMPARE(runs, int(p.word.size()));
            // The tab itself is dark wood that the green stands out from.
            EXPECT_NONE(firstFailure(sheet, t.adjusted(-1, -1, 1, 1), p.word + " tab ground",
                                     [](QRgb c) { return c == tabInk || luma(c) < 110; }));
        }
        // No text colour anywhere else on the screen.
        for (int y = 0; y < layout::screenHeight; ++y)
            for (int x = 0; x < layout::screenWidth; ++x) {
                if (sheet.pixel(x, y) != tabInk)
                    continue;
                bool inTab = false;
                for (const Panel& p : all)
                    inTab = inTab || p.tab.contains(x, y);
                QVERIFY2(inTab, qPrintable(where("stray tab ink", x, y, sheet.pixel(x, y))));
            }
    }

    void patternsHaveTheirBands() {
        using namespace layout;
        auto rows = [](const QRect& pattern, int first, int last) {
            return QRect(pattern.left(), pattern.top() + first, pattern.width(), last - first + 1);
        };
        // STONE: the bright red line on row 176, dark bricks below, none of that red above.
        EXPECT_NONE(firstNot(sheet, rows(stonePattern, 176, 176), qRgb(255, 64, 64), "STONE line"));
        EXPECT_NONE(firstFailure(sheet, rows(stonePattern, 177, 191), "STONE dark bricks",
                                 [](QRgb c) { return luma(c) < 90 && qRed(c) >= qBlue(c); }));
        QCOMPARE(
            share(sheet, rows(stonePattern, 0, 175), [](QRgb c) { return c == qRgb(255, 64, 64); }),
            0.0);
        // MARINE: water above, sand from row 176.
        QVERIFY(share(sheet, rows(marinePattern, 0, 175),
                      [](QRgb c) { return qBlue(c) > qRed(c) + 40; }) > 0.95);
        QVERIFY(share(sheet, rows(marinePattern, 176, 191), [](QRgb c) {
                    return qRed(c) > qGreen(c) && qGreen(c) > qBlue(c) && luma(c) > 120;
                }) > 0.9);
        QVERIFY(share(sheet, rows(marinePattern, 175, 175),
                      [](QRgb c) { return qBlue(c) > qRed(c); }) > 0.9);
        // WA: pale paper down to row 175, the green mat from row 176.
        EXPECT_NONE(firstFailure(sheet, rows(waPattern, 176, 191), "WA mat", [](QRgb c) {
            return qGreen(c) > qRed(c) && qGreen(c) > qBlue(c);
        }));
        QVERIFY(share(sheet, rows(waPattern, 0, 175), [](QRgb c) { return luma(c) > 200; }) > 0.7);
        QVERIFY(share(sheet, rows(waPattern, 175, 175), [](QRgb c) { return luma(c) > 200; }) >
                0.9);
        // RAIN: dark water from row 175, the bank above it.
        QVERIFY(share(sheet, rows(rainPattern, 175, 191), [](QRgb c) { return luma(c) < 110; }) >
                0.97);
        QVERIFY(share(sheet, rows(rainPattern, 175, 191),
                      [](QRgb c) { return qBlue(c) > qGreen(c); }) > 0.8);
        QVERIFY(share(sheet, rows(rainPattern, 174, 174),
                      [](QRgb c) { return qBlue(c) > qGreen(c); }) < 0.2);
        // Pictures, not flat fills.
        for (const QRect& p : {stonePattern, marinePattern, waPattern, rainPattern})
            QVERIFY(distinctColours(sheet, p) > 1000);
    }

    void arrowBlocksAreOpaqueAndPointTheirWay() {
        EXPECT_NONE(firstNot(sheet, layout::arrowMask, black, QStringLiteral("arrow mask")));
        // Kinds 1 right, 2 down, 3 left, 4 up. In the up arrow the head spreads wide just
        // above the centre while beside the stem below it lies the grey face; the other
        // kinds are that turned clockwise by 90 degrees per step.
        struct Probe {
            QPoint at;
            bool blue;
        };
        const std::array<Probe, 6> up = {{{{9, 13}, true},
                                          {{22, 13}, true},
                                          {{15, 7}, true},
                                          {{15, 24}, true},
                                          {{8, 21}, false},
                                          {{23, 21}, false}}};
        for (int kind = 1; kind <= 4; ++kind) {
            const QImage c = cell(sheet, layout::spriteOf(kind));
            const QString name = QStringLiteral("arrow %1").arg(kind);
            // Bevel: light top-left, dark bottom-right, light grey face at the corners.
            QVERIFY2(luma(c.pixel(0, 0)) > 230 && luma(c.pixel(31, 31)) < 110, qPrintable(name));
            const QRgb face = c.pixel(3, 3);
            QVERIFY2(luma(face) > 170 && std::abs(qRed(face) - qBlue(face)) < 16,
                     qPrintable(where(name + " face", 3, 3, face)));
            for (const Probe& probe : up) {
                QPoint p = probe.at;
                for (int turn = 0; turn < kind % 4; ++turn)
                    p = QPoint(31 - p.y(), p.x());
                const QRgb px = c.pixel(p);
                const bool blue = qBlue(px) > qRed(px) + 80;
                QVERIFY2(
                    blue == probe.blue,
                    qPrintable(where(name + (probe.blue ? " arrow" : " face"), p.x(), p.y(), px)));
            }
        }
    }

    void starBallMatchesItsMask() {
        const QImage ball = cell(sheet, layout::spriteOf(5));
        const QImage mask = cell(sheet, layout::starMask);
        int disc = 0, orange = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QRgb m = mask.pixel(x, y) | 0xff000000u, b = ball.pixel(x, y);
                QVERIFY2(m == black || m == white, qPrintable(where("star mask", x, y, m)));
                if (m == white)
                    QVERIFY2((b | 0xff000000u) == black,
                             qPrintable(where("star ball outside its mask", x, y, b)));
                else
                    ++disc;
                orange += qRed(b) > 200 && qGreen(b) > 80 && qGreen(b) < 200 && qBlue(b) < 90;
            }
        // A round disc: about pi * 15^2 pixels, black at the centre, white at the corners.
        QVERIFY2(disc > 660 && disc < 760, qPrintable(QString::number(disc)));
        QCOMPARE(mask.pixel(16, 16) | 0xff000000u, black);
        for (QPoint p : {QPoint(0, 0), QPoint(31, 0), QPoint(0, 31), QPoint(31, 31)})
            QCOMPARE(mask.pixel(p) | 0xff000000u, white);
        QVERIFY(orange > 150);
        // The star: pale yellow in the middle of the ball.
        const QRgb star = ball.pixel(16, 16);
        QVERIFY2(qRed(star) > 240 && qGreen(star) > 200 && qBlue(star) < 200,
                 qPrintable(where("star", 16, 16, star)));
    }

    void gaugeStripesHaveTheirShading() {
        static constexpr std::array<int, 18> v = {10,  39,  77,  117, 157, 193, 221, 239, 250,
                                                  253, 248, 235, 214, 184, 148, 107, 67,  27};
        for (int row = 0; row < 18; ++row) {
            const int s = v[size_t(row)];
            const int y = 400 + row;
            const QString r = QStringLiteral(" row %1").arg(row);
            EXPECT_NONE(firstNot(sheet, hLine(y, 224, 231), qRgb(s, 255, s), "green" + r));
            EXPECT_NONE(firstNot(sheet, hLine(y, 232, 239), qRgb(255, 255, s), "yellow" + r));
            EXPECT_NONE(firstNot(sheet, hLine(y, 240, 247), qRgb(255, s, s), "red" + r));
        }
        EXPECT_NONE(
            firstNot(sheet, QRect(QPoint(248, 400), QPoint(255, 417)), white, "gauge rest"));
        EXPECT_NONE(
            firstNot(sheet, QRect(QPoint(224, 418), QPoint(255, 431)), white, "gauge rest"));
    }

    void crackSpriteAndMaskShareTheirLines() {
        const QImage sprite = cell(sheet, layout::crackSprite);
        const QImage mask = cell(sheet, layout::crackMask);
        int lines = 0;
        bool left = false, right = false, top = false, bottom = false;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QRgb s = sprite.pixel(x, y) | 0xff000000u, m = mask.pixel(x, y) | 0xff000000u;
                const bool line = s == qRgb(1, 0, 0);
                QVERIFY2(line || s == black, qPrintable(where("crack sprite", x, y, s)));
                QVERIFY2(m == (line ? black : white), qPrintable(where("crack mask", x, y, m)));
                if (line) {
                    ++lines;
                    left |= x == 0;
                    right |= x == 31;
                    top |= y == 0;
                    bottom |= y == 31;
                }
            }
        QVERIFY2(left && right && top && bottom, "the cracks must run across the whole cell");
        QVERIFY(lines > 60 && lines < 400);
    }

    void waMotifsShowBelowTheStartingRows() {
        // A round starts with four rows over the top third of the field (pattern rows 0
        // to 63): the crane and the bell's red cord lie below them.
        const QRect& wa = layout::waPattern;
        auto red = [](QRgb c) { return qRed(c) > 150 && qGreen(c) < 90 && qBlue(c) < 100; };
        const double above = share(sheet, QRect(wa.left(), wa.top(), wa.width(), 64), red);
        const double below =
            share(sheet, QRect(wa.left(), wa.top() + 64, wa.width(), wa.height() - 64), red);
        QVERIFY2(below > 0.03 && above < 0.001,
                 qPrintable(QStringLiteral("%1 above, %2 below").arg(above).arg(below)));
    }

    void logoRimsEndCleanly() {
        // Next to the transparent grey a logo is white (or its outline's blend with white),
        // never a grey between the key colour and white: that shows as a grey ring round
        // the logo on the window.
        for (const char* name : {"title_logo", "small_logo", "title_logo@2x", "small_logo@2x"}) {
            const QImage img =
                embeddedPicture(QLatin1String(name)).convertToFormat(QImage::Format_RGB32);
            auto key = [&](int x, int y) {
                return x < 0 || y < 0 || x >= img.width() || y >= img.height() ||
                       (img.pixel(x, y) | 0xff000000u) == logoKey;
            };
            auto keyGrey = [](QRgb c) {
                const int lo = std::min({qRed(c), qGreen(c), qBlue(c)});
                const int hi = std::max({qRed(c), qGreen(c), qBlue(c)});
                return hi - lo <= 2 && lo > 192 && hi < 246;
            };
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    if (!key(x, y) &&
                        (key(x - 1, y) || key(x + 1, y) || key(x, y - 1) || key(x, y + 1)))
                        QVERIFY2(!keyGrey(img.pixel(x, y)),
                                 qPrintable(where(QLatin1String(name), x, y, img.pixel(x, y))));
        }
    }

    void unusedStripIsWhite() {
        EXPECT_NONE(firstNot(sheet, QRect(QPoint(320, 400), QPoint(399, 431)), white, "tail"));
    }

    void logosStandOnTheTransparentGrey() {
        for (const QImage* img : {&logo, &smallLogo}) {
            const QString name = img == &logo ? QStringLiteral("title") : QStringLiteral("small");
            const int w = img->width(), h = img->height();
            QCOMPARE(img->pixel(0, h - 1) | 0xff000000u, logoKey);
            EXPECT_NONE(firstNot(*img, hLine(h - 1, 0, w - 1), logoKey, name + " bottom row"));
            // The key colour appears only as background: every grey pixel reaches the
            // border through grey, so no stray holes open in the drawing.
            std::vector<char> seen(size_t(w * h), 0);
            std::vector<QPoint> todo;
            for (int x = 0; x < w; ++x)
                todo.insert(todo.end(), {QPoint(x, 0), QPoint(x, h - 1)});
            for (int y = 0; y < h; ++y)
                todo.insert(todo.end(), {QPoint(0, y), QPoint(w - 1, y)});
            while (!todo.empty()) {
                const QPoint p = todo.back();
                todo.pop_back();
                if (p.x() < 0 || p.y() < 0 || p.x() >= w || p.y() >= h)
                    continue;
                char& s = seen[size_t(p.y() * w + p.x())];
                if (s || (img->pixel(p) | 0xff000000u) != logoKey)
                    continue;
                s = 1;
                todo.insert(todo.end(), {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1),
                                         p - QPoint(0, 1)});
            }
            int drawn = 0;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const bool key = (img->pixel(x, y) | 0xff000000u) == logoKey;
                    QVERIFY2(!key || seen[size_t(y * w + x)],
                             qPrintable(where(name + " enclosed key colour", x, y, logoKey)));
                    drawn += !key;
                }
            // The letters fill a good part of the picture.
            QVERIFY(drawn > w * h / 3 && drawn < w * h * 9 / 10);
        }
        // The small logo is the same design reduced.
        const QImage reduced =
            logo.scaled(smallLogo.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        double diff = 0;
        for (int y = 0; y < smallLogo.height(); ++y)
            for (int x = 0; x < smallLogo.width(); ++x) {
                const QRgb a = reduced.pixel(x, y), b = smallLogo.pixel(x, y);
                diff += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                        std::abs(qBlue(a) - qBlue(b));
            }
        diff /= 3.0 * smallLogo.width() * smallLogo.height();
        QVERIFY2(diff < 20, qPrintable(QString::number(diff)));
    }

private:
    // The 5-pixel ring between outer and interior is dark wood: warm, not black.
    void checkWoodenFrame(const QRect& outer, const QRect& interior) {
        for (int y = outer.top(); y <= outer.bottom(); ++y)
            for (int x = outer.left(); x <= outer.right(); ++x) {
                if (interior.contains(x, y))
                    continue;
                const QRgb c = sheet.pixel(x, y);
                QVERIFY2(qRed(c) > qGreen(c) && qGreen(c) > qBlue(c) && luma(c) > 8 &&
                             luma(c) < 130,
                         qPrintable(where("frame wood", x, y, c)));
            }
    }
};

QTEST_GUILESS_MAIN(TestAssets)
#include "test_assets.moc"
