// Any bytes as "flinder.ini": decoded (UTF-16 after its mark, else each line UTF-8 or
// Shift-JIS, bytes neither reads kept as escapes), the 104 values read,
// written back into the same text as a close does, and read again. The values come
// back as the reading rules make them, every line the program does not own survives in
// order, and every further load and save takes the values one round trip further (a
// fixed point once a round trip changes none). Every read and write is also
// done by the plain line-by-line implementation, which must agree to the character.

#include "fuzz_check.h"
#include "reference_profile.h"
#include "store/private_profile.h"
#include "store/ranking.h"
#include "store/settings_file.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

namespace {

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString trimmed(QString v) {
    while (!v.isEmpty() && isBlank(v.front()))
        v.remove(0, 1);
    while (!v.isEmpty() && isBlank(v.back()))
        v.chop(1);
    return v;
}

// What a value becomes after it has been written and read once more: one line, blanks
// at the ends dropped, one pair of matching quotes dropped.
QString afterRoundTrip(QString v) {
    v.remove(QLatin1Char('\r'));
    v.remove(QLatin1Char('\n'));
    v = trimmed(v);
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) &&
        v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v;
}

bool sameValues(const Settings& a, const Settings& b) {
    return a.top == b.top && a.left == b.left && a.back == b.back &&
           a.ranking.RankNameList == b.ranking.RankNameList &&
           a.ranking.RankNumberList == b.ranking.RankNumberList && a.defaultName == b.defaultName;
}

Settings roundTripped(Settings s) {
    for (QString& name : s.ranking.RankNameList)
        name = afterRoundTrip(name);
    for (QString& number : s.ranking.RankNumberList)
        number = afterRoundTrip(number);
    s.defaultName = afterRoundTrip(s.defaultName);
    return s;
}

struct Line {
    QString content;
    QString ending;
};

QList<Line> linesOf(const QString& text) {
    QList<Line> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != QLatin1Char('\r') &&
               text[end] != QLatin1Char('\n'))
            ++end;
        qsizetype next = end;
        if (next < text.size())
            next += text[next] == QLatin1Char('\r') && next + 1 < text.size() &&
                            text[next + 1] == QLatin1Char('\n')
                        ? 2
                        : 1;
        lines.append(Line{text.mid(start, end - start), text.mid(end, next - end)});
        start = next;
    }
    return lines;
}

const QSet<QString>& programKeys() {
    static const QSet<QString> keys = [] {
        QSet<QString> k{QStringLiteral("xpos"), QStringLiteral("ypos"), QStringLiteral("back"),
                        QStringLiteral("default")};
        for (int i = 0; i < rankEntryCount; ++i)
            k << QStringLiteral("name%1").arg(i) << QStringLiteral("number%1").arg(i);
        return k;
    }();
    return keys;
}

// A line the save may write: a key of the program's, or one of its section headers.
bool programLine(const QString& content) {
    const QString t = trimmed(content);
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq >= 0)
        return programKeys().contains(trimmed(t.left(eq)).toLower());
    const QString header = t.toLower();
    return header == QLatin1String("[position]") || header == QLatin1String("[back]") ||
           header == QLatin1String("[ranking]");
}

// The saved text is the old one with some key lines of the program's rewritten and
// lines of the program's added; every other line is there, in order, unchanged, with
// its line ending (the old last line may have gained one).
bool onlyProgramLinesChanged(const QString& before, const QString& after) {
    const QList<Line> old = linesOf(before), now = linesOf(after);
    qsizetype i = 0;
    for (const Line& line : now) {
        if (i < old.size() && line.content == old[i].content) {
            if (line.ending != old[i].ending && !(i == old.size() - 1 && old[i].ending.isEmpty()))
                return false;
            ++i;
        } else if (programLine(line.content)) {
            if (i < old.size() && programLine(old[i].content) && !old[i].content.startsWith('['))
                ++i; // the old line rewritten in place (or this one added before it)
        } else {
            return false;
        }
    }
    return i == old.size();
}

struct Place {
    QString section, key;
};

// The 104 keys, and up to eight more named by the text itself (any spelling, any
// characters), with their sections.
QList<Place> placesOf(const QString& text) {
    QList<Place> places{{QStringLiteral("Position"), QStringLiteral("xpos")},
                        {QStringLiteral("Position"), QStringLiteral("ypos")},
                        {QStringLiteral("Back"), QStringLiteral("back")}};
    for (int i = 0; i < rankEntryCount; ++i)
        places << Place{QStringLiteral("Ranking"), QStringLiteral("name%1").arg(i)}
               << Place{QStringLiteral("Ranking"), QStringLiteral("number%1").arg(i)};
    places << Place{QStringLiteral("Ranking"), QStringLiteral("default")};
    QString section;
    int extra = 0;
    for (const Line& line : linesOf(text)) {
        const QString t = trimmed(line.content);
        if (t.startsWith(QLatin1Char('[')) && t.contains(QLatin1Char(']')))
            section = t.mid(1, t.lastIndexOf(QLatin1Char(']')) - 1);
        else if (t.contains(QLatin1Char('=')) && extra++ < 8)
            places << Place{section, t.left(t.indexOf(QLatin1Char('=')))};
    }
    return places;
}

// Both implementations read the same from every place.
void checkSameReads(const PrivateProfile& profile, const ReferenceProfile& reference,
                    const QList<Place>& places) {
    for (const Place& p : places)
        FUZZ_CHECK(profile.readString(p.section, p.key, QStringLiteral("\x01def")) ==
                   reference.readString(p.section, p.key, QStringLiteral("\x01def")));
}

// The writes of a close, on the reference, in the same order.
void writeReference(ReferenceProfile& reference, const Settings& s) {
    reference.writeString(QStringLiteral("Position"), QStringLiteral("xpos"),
                          QString::number(s.top));
    reference.writeString(QStringLiteral("Position"), QStringLiteral("ypos"),
                          QString::number(s.left));
    reference.writeString(QStringLiteral("Back"), QStringLiteral("back"), QString::number(s.back));
    for (int i = 0; i < rankEntryCount; ++i) {
        reference.writeString(QStringLiteral("Ranking"), QStringLiteral("name%1").arg(i),
                              s.ranking.RankNameList[i]);
        reference.writeString(QStringLiteral("Ranking"), QStringLiteral("number%1").arg(i),
                              s.ranking.RankNumberList[i]);
    }
    reference.writeString(QStringLiteral("Ranking"), QStringLiteral("default"), s.defaultName);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));

    // Loading: the text is never longer than the bytes, and parsing it loses nothing.
    const SettingsText loaded = decodeSettingsBytes(bytes);
    FUZZ_CHECK(loaded.text.size() <= bytes.size());
    PrivateProfile profile(loaded.text);
    FUZZ_CHECK(profile.text() == loaded.text);
    const Settings first = readSettings(profile);
    FUZZ_CHECK(first.ranking.RankNameList.size() == rankEntryCount &&
               first.ranking.RankNumberList.size() == rankEntryCount);
    for (int i = 0; i < rankEntryCount; ++i)
        FUZZ_CHECK(first.ranking.RankNameList[i].size() <= PrivateProfile::maxValueLength &&
                   first.ranking.RankNumberList[i].size() <= PrivateProfile::maxValueLength);

    ReferenceProfile reference(loaded.text);
    const QList<Place> places = placesOf(loaded.text);
    checkSameReads(profile, reference, places);

    // Saving what was loaded, as a close does, then loading the saved file.
    writeSettings(profile, first);
    writeReference(reference, first);
    FUZZ_CHECK(profile.text() == reference.text());
    checkSameReads(profile, reference, places);
    // Writes to the places the text names, through both.
    for (qsizetype i = rankEntryCount * 2 + 4; i < places.size(); ++i) {
        const QString value = places[i].key + QStringLiteral(" \r\n 'v'");
        profile.writeString(places[i].section, places[i].key, value);
        reference.writeString(places[i].section, places[i].key, value);
    }
    FUZZ_CHECK(profile.text() == reference.text());
    checkSameReads(profile, reference, places);
    profile = PrivateProfile(loaded.text);
    writeSettings(profile, first);
    SettingsText saved = loaded;
    saved.text = profile.text();
    FUZZ_CHECK(onlyProgramLinesChanged(loaded.text, saved.text));
    const SettingsText reloaded = decodeSettingsBytes(encodeSettingsText(saved));
    FUZZ_CHECK(reloaded.text == saved.text);
    FUZZ_CHECK(reloaded.byteOrderMark == saved.byteOrderMark);
    FUZZ_CHECK(reloaded.encoding == saved.encoding);
    PrivateProfile second(reloaded.text);
    const Settings secondValues = readSettings(second);
    FUZZ_CHECK(sameValues(secondValues, roundTripped(first)));

    // Each further load and save takes the values one more round trip, no more: a value
    // in nested quotes ("' x'") loses one layer per load, and the blanks it then shows at
    // its ends go at the next. Writing the same values again changes nothing.
    writeSettings(second, secondValues);
    const QString third = second.text();
    const Settings thirdValues = readSettings(PrivateProfile(third));
    FUZZ_CHECK(sameValues(thirdValues, roundTripped(secondValues)));
    writeSettings(second, secondValues);
    FUZZ_CHECK(second.text() == third);
    // Once a round trip changes no value, the text is a fixed point.
    if (sameValues(thirdValues, secondValues)) {
        PrivateProfile fourth(third);
        writeSettings(fourth, thirdValues);
        FUZZ_CHECK(fourth.text() == third);
    }
    return 0;
}
