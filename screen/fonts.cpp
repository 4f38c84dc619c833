#include "screen/fonts.h"

#include <QFontDatabase>
#include <QHash>

#include <algorithm>

void installFontSubstitutions() {
    static bool done = false;
    if (done)
        return;
    done = true;
    QFont::insertSubstitution(centuryFamily, QStringLiteral("C059"));
    QFont::insertSubstitution(gothicFamily, QStringLiteral("IPAGothic"));
    QFont::insertSubstitution(pGothicFamily, QStringLiteral("IPAPGothic"));
}

namespace {

// The family to ask for: the named face where it is installed, else its stand-in by its
// own name. Asked for by the design's name, the font system would look for that face in
// vain and work out fallbacks for it too, at every size and script.
QString installedFamily(const QString& family) {
    static QHash<QString, QString> chosen;
    auto it = chosen.find(family);
    if (it == chosen.end()) {
        // The plain list of families (with a foundry appended where a family has several)
        // costs nothing once the database is read, unlike hasFamily's alias lookup.
        const QStringList installed = QFontDatabase::families();
        const bool present = std::any_of(installed.begin(), installed.end(), [&](const QString& f) {
            return f.compare(family, Qt::CaseInsensitive) == 0 ||
                   f.startsWith(family + QStringLiteral(" ["), Qt::CaseInsensitive);
        });
        it = chosen.insert(family, present ? family : QFont::substitute(family));
    }
    return *it;
}

} // namespace

QFont gameFont(const QString& family, int pixelSize, bool bold) {
    installFontSubstitutions();
    QFont font(installedFamily(family));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}
