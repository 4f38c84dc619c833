#pragma once
// The ranking's texts: 50 entries, ten per level, each a name and a result text
// "score:vanish;phase". The entries themselves live in the main window's hidden lists
// RankNameList and RankNumberList.

#include <QString>

#include <cstdint>

constexpr int rankEntryCount = 50;
constexpr int entriesPerLevel = 10;
inline const QString emptyRankName = QStringLiteral("(none)");
inline const QString emptyRankNumber = QStringLiteral("0:0;0");

// The first index of the block of the level at levelCombo position k (0..4).
constexpr int levelBlockStart(int position) {
    return entriesPerLevel * position;
}

// "12345:67;8" from score 12345, vanish count 67, phase 8.
QString resultText(std::int32_t score, std::int32_t vanishCount, std::int32_t phase);

// The three parts of a result text: before the first ":", strictly between the first
// ":" and the first ";", after the first ";". An absent separator gives empty parts.
QString scorePart(const QString& result);
QString vanishPart(const QString& result);
QString phasePart(const QString& result);
