#include "store/ranking.h"

QString resultText(std::int32_t score, std::int32_t vanishCount, std::int32_t phase) {
    return QStringLiteral("%1:%2;%3").arg(score).arg(vanishCount).arg(phase);
}

QString scorePart(const QString& result) {
    const qsizetype colon = result.indexOf(QLatin1Char(':'));
    return colon < 0 ? QString() : result.left(colon);
}

QString vanishPart(const QString& result) {
    const qsizetype colon = result.indexOf(QLatin1Char(':'));
    const qsizetype semicolon = result.indexOf(QLatin1Char(';'));
    if (colon < 0 || semicolon < 0 || semicolon <= colon)
        return QString();
    return result.mid(colon + 1, semicolon - colon - 1);
}

QString phasePart(const QString& result) {
    const qsizetype semicolon = result.indexOf(QLatin1Char(';'));
    return semicolon < 0 ? QString() : result.mid(semicolon + 1);
}
