// gen_assets <output-folder>: draws the sprite sheet, the two logos and the icons of
// the game and writes them as opaque 24-bit PNG files, and the icon once more as an SVG
// file. The drawing is deterministic.

#include "art.h"

#include "screen/layout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>

#include <cstdio>

namespace {

bool write(const QImage& rgb32, const QDir& dir, const QString& name) {
    const QString path = dir.filePath(name);
    QImageWriter writer(path, "png");
    // RGB888 makes the PNG colour type RGB, without an alpha channel.
    if (!writer.write(rgb32.convertToFormat(QImage::Format_RGB888))) {
        std::fprintf(stderr, "gen_assets: cannot write %s: %s\n", qPrintable(path),
                     qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

bool writeBytes(const QByteArray& bytes, const QDir& dir, const QString& name) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "gen_assets: cannot write %s: %s\n", qPrintable(file.fileName()),
                     qPrintable(file.errorString()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen_assets <output-folder>\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.exists() && !QDir().mkpath(dir.path())) {
        std::fprintf(stderr, "gen_assets: cannot create %s\n", argv[1]);
        return 1;
    }
    bool ok = write(drawSheet().toImage(), dir, QStringLiteral("sheet.png"));
    ok = write(drawLogo(layout::titleLogoWidth, layout::titleLogoHeight).toImage(), dir,
               QStringLiteral("title_logo.png")) &&
         ok;
    ok = write(drawLogo(layout::smallLogoWidth, layout::smallLogoHeight).toImage(), dir,
               QStringLiteral("small_logo.png")) &&
         ok;
    // Twice the size, for screens that draw two device pixels per pixel.
    ok = write(drawLogo(2 * layout::titleLogoWidth, 2 * layout::titleLogoHeight).toImage(), dir,
               QStringLiteral("title_logo@2x.png")) &&
         ok;
    ok = write(drawLogo(2 * layout::smallLogoWidth, 2 * layout::smallLogoHeight).toImage(), dir,
               QStringLiteral("small_logo@2x.png")) &&
         ok;
    // Every size the desktop's icon themes ask for.
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        ok = write(drawIcon(size).toImage(), dir, QStringLiteral("icon%1.png").arg(size)) && ok;
    ok = writeBytes(drawIconSvg(), dir, QStringLiteral("icon.svg")) && ok;
    return ok ? 0 : 1;
}
