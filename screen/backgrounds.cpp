#include "screen/backgrounds.h"

#include "platform/app_folder.h"
#include "screen/bitmap_file.h"
#include "screen/frame.h"
#include "screen/layout.h"

#include <QFileInfo>

namespace {

constexpr int patternTargetWidth = 192;
constexpr int pictureTargetWidth = 196;

QRect patternFor(int choice) {
    switch (choice) {
    case 1:
        return layout::marinePattern;
    case 2:
        return layout::waPattern;
    case 3:
        return layout::rainPattern;
    default:
        return layout::stonePattern;
    }
}

} // namespace

bool backBitmapExists() {
    return QFileInfo(backBitmapPath()).isFile();
}

void drawBackground(int choice) {
    const QRect back(0, 0, patternTargetWidth, layout::backHeight);
    if (choice == 4 && backBitmapExists()) {
        pictures.MybackImage = loadBitmapFile(backBitmapPath());
        // A picture of any size: stretched smoothly, each target pixel the mean of what it
        // covers, so that thin lines and text of a large photo survive the reduction.
        const QImage stretched = pictures.MybackImage
                                     .scaled(pictureTargetWidth, layout::backHeight,
                                             Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                     .convertToFormat(QImage::Format_RGB32);
        copyRect(pictures.BackImage, back, stretched, back, CopyMode::SrcCopy);
    } else {
        copyRect(pictures.BackImage, back, pictures.CharaImage, patternFor(choice),
                 CopyMode::SrcCopy);
    }
    copyRect(pictures.TmpImage, layout::well, pictures.BackImage, pictures.BackImage.rect(),
             CopyMode::SrcCopy);
    markFrameChanged(layout::well);
}
