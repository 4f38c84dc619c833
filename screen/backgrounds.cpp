#include "screen/backgrounds.h"

#include "screen/bitmap_file.h"
#include "screen/frame.h"
#include "screen/layout.h"
#include "shell/app_folder.h"

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
    const QImage* source = &pictures.CharaImage;
    QRect sourceRect = patternFor(choice);
    int targetWidth = patternTargetWidth;
    if (choice == 4 && backBitmapExists()) {
        pictures.MybackImage = loadBitmapFile(backBitmapPath());
        source = &pictures.MybackImage;
        sourceRect = pictures.MybackImage.rect();
        targetWidth = pictureTargetWidth;
    }
    copyRect(pictures.BackImage, QRect(0, 0, targetWidth, layout::backHeight), *source, sourceRect,
             CopyMode::SrcCopy);
    copyRect(pictures.TmpImage, layout::well, pictures.BackImage, pictures.BackImage.rect(),
             CopyMode::SrcCopy);
    markFrameChanged(layout::well);
}
