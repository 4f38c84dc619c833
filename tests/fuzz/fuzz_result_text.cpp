// Any name and result text, as a hand-edited ranking may hold them, through the
// result-text splitter and the hiscore table's line builder: the parts put back
// together give the text, the line always starts with its place and keeps its columns
// when the parts fit them, and a text the program builds splits into its numbers.

#include "fuzz_check.h"
#include "shell/hiscore_table.h"
#include "store/ranking.h"
#include "store/text_columns.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// Input: place byte, a mode byte, three 32-bit numbers, then the name and the result
// text separated by the first 0xFF byte. The mode picks UTF-8 (what a file gives) or
// raw UTF-16 (any code units, lone surrogates included).
struct Input {
    int place = 1;
    bool rawUtf16 = false;
    std::int32_t numbers[3] = {0, 0, 0};
    QString name, result;
};

QString textOf(const std::uint8_t* p, std::size_t n, bool rawUtf16) {
    if (!rawUtf16)
        return QString::fromUtf8(reinterpret_cast<const char*>(p), qsizetype(n));
    QString s;
    for (std::size_t i = 0; i + 1 < n; i += 2)
        s += QChar(char16_t(p[i] | p[i + 1] << 8));
    return s;
}

Input parse(const std::uint8_t* data, std::size_t size) {
    Input in;
    if (size < 14)
        return in;
    in.place = data[0] % 10 + 1;
    in.rawUtf16 = data[1] & 1;
    std::memcpy(in.numbers, data + 2, sizeof in.numbers);
    const std::uint8_t* rest = data + 14;
    const std::size_t n = size - 14;
    const auto* split = static_cast<const std::uint8_t*>(std::memchr(rest, 0xFF, n));
    const std::size_t nameLength = split ? std::size_t(split - rest) : n;
    in.name = textOf(rest, nameLength, in.rawUtf16);
    if (split)
        in.result = textOf(split + 1, n - nameLength - 1, in.rawUtf16);
    return in;
}

bool allDigits(const QString& s) {
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

// Digits grouped by three from the right; anything else as it is.
void checkGrouping(const QString& text) {
    const QString grouped = groupDigits(text);
    if (!allDigits(text)) {
        FUZZ_CHECK(grouped == text);
        return;
    }
    FUZZ_CHECK(QString(grouped).remove(QLatin1Char(',')) == text);
    const QStringList groups = grouped.split(QLatin1Char(','));
    FUZZ_CHECK(!groups.front().isEmpty() && groups.front().size() <= 3);
    for (qsizetype i = 1; i < groups.size(); ++i)
        FUZZ_CHECK(groups[i].size() == 3);
}

void checkSplitting(const QString& result) {
    const QString score = scorePart(result), vanish = vanishPart(result), phase = phasePart(result);
    const qsizetype colon = result.indexOf(QLatin1Char(':'));
    const qsizetype semicolon = result.indexOf(QLatin1Char(';'));
    FUZZ_CHECK(!score.contains(QLatin1Char(':')));
    FUZZ_CHECK(!vanish.contains(QLatin1Char(';')));
    FUZZ_CHECK(colon >= 0 || score.isEmpty());
    FUZZ_CHECK(semicolon >= 0 || phase.isEmpty());
    if (colon >= 0)
        FUZZ_CHECK(result.startsWith(score + QLatin1Char(':')));
    if (semicolon >= 0)
        FUZZ_CHECK(result.endsWith(QLatin1Char(';') + phase) &&
                   result.size() - phase.size() - 1 == semicolon);
    if (colon >= 0 && semicolon > colon)
        FUZZ_CHECK(score + QLatin1Char(':') + vanish + QLatin1Char(';') + phase == result);
    else
        FUZZ_CHECK(vanish.isEmpty());
}

void checkWidth(const QString& text) {
    const int width = columnWidth(text);
    const qsizetype characters = text.toUcs4().size();
    FUZZ_CHECK(width >= characters && width <= 2 * characters);
    for (int target : {0, 5, 20}) {
        FUZZ_CHECK(columnWidth(padRight(text, target)) == std::max(width, target));
        FUZZ_CHECK(padRight(text, target).startsWith(text));
        FUZZ_CHECK(padLeft(text, target).endsWith(text));
    }
}

void checkLine(int place, const QString& name, const QString& result) {
    const QString line = hiscoreLine(place, name, result);
    const QString placeText =
        place == 10 ? QStringLiteral(" 10 ") : QStringLiteral("  %1 ").arg(place);
    FUZZ_CHECK(line.startsWith(placeText + name));
    const QString score = groupDigits(scorePart(result)), vanish = groupDigits(vanishPart(result)),
                  phase = phasePart(result);
    FUZZ_CHECK(line.endsWith(phase));
    FUZZ_CHECK(columnWidth(line) >= 48);
    const int nameWidth = columnWidth(name), scoreWidth = columnWidth(score),
              vanishWidth = columnWidth(vanish), phaseWidth = columnWidth(phase);
    if (nameWidth > 20 || scoreWidth > 11 || vanishWidth > 5 || phaseWidth > 3)
        return;
    // Every part fits: each in its fixed columns, padded with blanks.
    FUZZ_CHECK(columnWidth(line) == 48);
    const auto blanks = [](int n) { return QString(n, QLatin1Char(' ')); };
    FUZZ_CHECK(line == placeText + name + blanks(20 - nameWidth) + blanks(1) +
                           blanks(11 - scoreWidth) + score + blanks(2) + blanks(5 - vanishWidth) +
                           vanish + blanks(2) + blanks(3 - phaseWidth) + phase);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Input in = parse(data, size);

    // A text the program builds splits into its three numbers.
    const QString built = resultText(in.numbers[0], in.numbers[1], in.numbers[2]);
    FUZZ_CHECK(scorePart(built) == QString::number(in.numbers[0]));
    FUZZ_CHECK(vanishPart(built) == QString::number(in.numbers[1]));
    FUZZ_CHECK(phasePart(built) == QString::number(in.numbers[2]));

    checkSplitting(in.result);
    checkGrouping(scorePart(in.result));
    checkGrouping(in.name);
    checkWidth(in.name);
    checkLine(in.place, in.name, in.result);
    checkLine(in.place, in.name, built);
    return 0;
}
