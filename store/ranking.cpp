#include "store/ranking.h"

#include "store/conversions.h"

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

std::int32_t resultScore(const QString& result) {
    return strToInt(scorePart(result));
}

Ranking Ranking::empty() {
    return Ranking{QStringList(rankEntryCount, emptyRankName),
                   QStringList(rankEntryCount, emptyRankNumber)};
}

bool Ranking::admits(int blockStart, std::int32_t score) const {
    return resultScore(RankNumberList.at(blockStart + entriesPerLevel - 1)) < score;
}

int Ranking::enter(int blockStart, const QString& name, const QString& result) {
    const std::int32_t score = resultScore(result);
    const int end = blockStart + entriesPerLevel;
    int i = blockStart;
    while (i < end && resultScore(RankNumberList.at(i)) > score)
        ++i;
    if (i == end)
        return end;
    RankNameList.insert(i, name);
    RankNameList.removeAt(end);
    RankNumberList.insert(i, result);
    RankNumberList.removeAt(end);
    return i;
}
