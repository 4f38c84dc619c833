#pragma once
// The ranking: 50 entries, ten per level, each a name and a result text
// "score:vanish;phase", held as two columns of equal length, RankNameList and
// RankNumberList. The level at levelCombo position k owns the block of indices 10k to
// 10k + 9, best first; only the score orders entries, and among equal scores the newer
// entry stands first. A value: the main window, the settings file and the tests each
// hold their own.

#include <QString>
#include <QStringList>

#include <cstdint>

constexpr int rankEntryCount = 50;
constexpr int entriesPerLevel = 10;
constexpr int levelCount = 5;
inline const QString emptyRankName = QStringLiteral("(none)");
inline const QString emptyRankNumber = QStringLiteral("0:0;0");

// GameState.level of the levelCombo position (0 "ちょろい" .. 4 "きつい"), and the other
// way round: the same mapping, position 0 being level 4.
constexpr int levelOfPosition(int position) {
    return levelCount - 1 - position;
}
constexpr int positionOfLevel(int level) {
    return levelOfPosition(level);
}
// The first index of the block of the level at levelCombo position k (0..4).
constexpr int levelBlockStart(int position) {
    return entriesPerLevel * position;
}

// "12345:67;8" from score 12345, vanish count 67, phase 8.
QString resultText(std::int32_t score, std::int32_t vanishCount, std::int32_t phase);

// The three parts of a result text: before the first ":", strictly between the first
// ":" and the first ";", after the first ";". An absent separator gives empty parts.
// Only split, never converted: the hiscore table shows a hand-edited text as it is.
QString scorePart(const QString& result);
QString vanishPart(const QString& result);
QString phasePart(const QString& result);

// The score part as a decimal integer. A hand-edited text whose score part is none
// throws AppError "'<part>' は整数ではありません" wherever a score must be compared.
std::int32_t resultScore(const QString& result);

struct Ranking {
    QStringList RankNameList;
    QStringList RankNumberList;

    // 50 entries "(none)" with "0:0;0".
    static Ranking empty();
    bool operator==(const Ranking&) const = default;

    // Whether a score enters the block that starts at blockStart: it must be greater
    // than the score of the block's tenth entry, which it may throw on (resultScore).
    bool admits(int blockStart, std::int32_t score) const;

    // Places an entry into the block that starts at blockStart: before the first entry
    // whose score is not greater (so it stands above older equal scores); the block's
    // former tenth drops out. An entry that beats none of the ten drops out itself.
    // Returns the entry's index, blockStart + 10 when it dropped out. Throws what
    // resultScore throws for a score met on the way, and then changes nothing.
    int enter(int blockStart, const QString& name, const QString& result);
};
