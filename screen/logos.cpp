#include "screen/logos.h"

#include "screen/layout.h"

#include <cstdint>

// Built into the program from assets/title_logo.png and assets/small_logo.png.
extern const std::uint32_t flinderTitleLogoPixels[];
extern const std::uint32_t flinderSmallLogoPixels[];

QImage titleLogo() {
    return QImage(reinterpret_cast<const uchar*>(flinderTitleLogoPixels), layout::titleLogoWidth,
                  layout::titleLogoHeight, layout::titleLogoWidth * 4, QImage::Format_RGB32);
}

QImage smallLogo() {
    return QImage(reinterpret_cast<const uchar*>(flinderSmallLogoPixels), layout::smallLogoWidth,
                  layout::smallLogoHeight, layout::smallLogoWidth * 4, QImage::Format_RGB32);
}
