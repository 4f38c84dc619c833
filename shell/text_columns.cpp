#include "shell/sjis_width.h"

#include <QHash>
#include <QStringEncoder>

int sjisWidth(char32_t c) {
    if (c < 0x80)
        return 1;
    if (c >= 0xFF61 && c <= 0xFF9F) // half-width katakana: one byte
        return 1;
    static QHash<char32_t, int> known;
    if (auto it = known.constFind(c); it != known.constEnd())
        return *it;
    QStringEncoder encoder("Shift_JIS");
    const QByteArray bytes = encoder.encode(QString::fromUcs4(&c, 1));
    const int width = encoder.hasError() || bytes.isEmpty() ? 2 : int(bytes.size());
    known.insert(c, width);
    return width;
}

int sjisWidth(const QString& text) {
    int width = 0;
    for (char32_t c : text.toUcs4())
        width += sjisWidth(c);
    return width;
}

QString padRight(const QString& text, int width) {
    const int missing = width - sjisWidth(text);
    return missing > 0 ? text + QString(missing, QLatin1Char(' ')) : text;
}

QString padLeft(const QString& text, int width) {
    const int missing = width - sjisWidth(text);
    return missing > 0 ? QString(missing, QLatin1Char(' ')) + text : text;
}
