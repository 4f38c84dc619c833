#include "screen/fonts.h"

#include <QFontDatabase>

void installFontSubstitutions() {
    static bool done = false;
    if (done)
        return;
    done = true;
    QFont::insertSubstitution(centuryFamily, QStringLiteral("C059"));
    QFont::insertSubstitution(gothicFamily, QStringLiteral("IPAGothic"));
    QFont::insertSubstitution(pGothicFamily, QStringLiteral("IPAPGothic"));
}

QFont gameFont(const QString& family, int pixelSize, bool bold) {
    installFontSubstitutions();
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}
