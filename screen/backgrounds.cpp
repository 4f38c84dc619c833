#include "screen/backgrounds.h"

#include "screen/frame.h"
#include "screen/layout.h"

namespace {

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

void drawBackground(int choice) {
    // The user's picture ("back.bmp", choice 4) comes with the shell's settings folder;
    // until then choice 4 draws STONE, as when the file is missing.
    copyRect(pictures.BackImage, QRect(0, 0, 192, 384), pictures.CharaImage, patternFor(choice),
             CopyMode::SrcCopy);
    copyRect(pictures.TmpImage, layout::well, pictures.BackImage, pictures.BackImage.rect(),
             CopyMode::SrcCopy);
}
