#include "shell/hiscore_table.h"

#include "screen/thousands.h"
#include "store/ranking.h"
#include "store/text_columns.h"

namespace {

bool allDigits(const QString& text) {
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

QString placeText(int place) {
    return place == 10 ? QStringLiteral(" 10 ") : QStringLiteral("  %1 ").arg(place);
}

} // namespace

QString groupDigits(const QString& text) {
    return allDigits(text) ? formatThousands(text) : text;
}

QString hiscoreLine(int place, const QString& name, const QString& result) {
    return placeText(place) + padRight(name, 20) + QLatin1Char(' ') +
           padLeft(groupDigits(scorePart(result)), 11) + QStringLiteral("  ") +
           padLeft(groupDigits(vanishPart(result)), 5) + QStringLiteral("  ") +
           padLeft(phasePart(result), 3);
}
