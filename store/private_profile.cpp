#include "store/private_profile.h"

#include "store/conversions.h"

#include <algorithm>
#include <iterator>

namespace {

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Only blanks and tabs, as the platform trims: an ideographic space in a name stays.
QStringView trimBlanks(QStringView s) {
    qsizetype begin = 0, end = s.size();
    while (begin < end && isBlank(s[begin]))
        ++begin;
    while (end > begin && isBlank(s[end - 1]))
        --end;
    return s.mid(begin, end - begin);
}

bool sectionOf(QStringView line, QStringView* name) {
    const QStringView t = trimBlanks(line);
    if (!t.startsWith(QLatin1Char('[')))
        return false;
    const qsizetype close = t.lastIndexOf(QLatin1Char(']'));
    if (close < 1)
        return false;
    *name = trimBlanks(t.mid(1, close - 1));
    return true;
}

bool keyOf(QStringView line, QStringView* key, QStringView* value) {
    const QStringView t = trimBlanks(line);
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq < 0)
        return false;
    if (key)
        *key = trimBlanks(t.left(eq));
    if (value)
        *value = trimBlanks(t.mid(eq + 1));
    return true;
}

// Names match without regard to case: equal when their folded forms are, as
// QString::toCaseFolded folds them (code point by code point).
char32_t foldedAt(QStringView s, qsizetype& i) {
    char32_t c = s[i].unicode();
    if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
        c = QChar::surrogateToUcs4(s[i], s[i + 1]);
        ++i;
    }
    ++i;
    return QChar::toCaseFolded(c);
}

bool sameName(QStringView a, QStringView b) {
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size())
        if (foldedAt(a, i) != foldedAt(b, j))
            return false;
    return i == a.size() && j == b.size();
}

// A hash of the folded name, equal for names that sameName finds equal.
quint64 nameHash(QStringView name) {
    quint64 h = 14695981039346656037ull;
    for (qsizetype i = 0; i < name.size();) {
        h ^= foldedAt(name, i);
        h *= 1099511628211ull;
    }
    return h;
}

QStringView unquoted(QStringView v) {
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) &&
        v.back() == v.front())
        return v.mid(1, v.size() - 2);
    return v;
}

QString cutToMax(QStringView v) {
    if (v.size() <= PrivateProfile::maxValueLength)
        return v.toString();
    qsizetype n = PrivateProfile::maxValueLength;
    if (v[n - 1].isHighSurrogate()) // never split a character
        --n;
    return v.left(n).toString();
}

QStringView endingText(int ending) {
    static const QString texts[] = {QString(), QStringLiteral("\n"), QStringLiteral("\r"),
                                    QStringLiteral("\r\n")};
    return texts[ending];
}

} // namespace

bool parseProfileInt(const QString& text, int* value) {
    const bool hex = text.size() > 2 && text[0] == QLatin1Char('0') &&
                     (text[1] == QLatin1Char('x') || text[1] == QLatin1Char('X'));
    if (hex) {
        quint64 v = 0;
        for (qsizetype i = 2; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            const int digit = c >= u'0' && c <= u'9'   ? c - u'0'
                              : c >= u'a' && c <= u'f' ? c - u'a' + 10
                              : c >= u'A' && c <= u'F' ? c - u'A' + 10
                                                       : -1;
            if (digit < 0)
                return false;
            v = v * 16 + quint64(digit);
            if (v > 0xFFFFFFFFu)
                return false;
        }
        *value = int(quint32(v)); // the 32-bit pattern, as the platform returns it
        return true;
    }
    std::int32_t decimal = 0;
    if (!parseDecimal(text, &decimal))
        return false;
    *value = decimal;
    return true;
}

PrivateProfile::PrivateProfile(const QString& text) : text_(text) {
    const qsizetype end = contentEnd(0);
    if (end < text_.size())
        newline_ = text_.at(end) == QLatin1Char('\n')                                 ? Ending::Lf
                   : end + 1 < text_.size() && text_.at(end + 1) == QLatin1Char('\n') ? Ending::CrLf
                                                                                      : Ending::Cr;
}

qsizetype PrivateProfile::contentEnd(qsizetype begin) const {
    const QChar* data = text_.constData();
    const qsizetype n = text_.size();
    while (begin < n && data[begin] != QLatin1Char('\n') && data[begin] != QLatin1Char('\r'))
        ++begin;
    return begin;
}

qsizetype PrivateProfile::nextLine(qsizetype end) const {
    if (end >= text_.size())
        return text_.size();
    if (text_.at(end) == QLatin1Char('\r') && end + 1 < text_.size() &&
        text_.at(end + 1) == QLatin1Char('\n'))
        return end + 2;
    return end + 1;
}

PrivateProfile::Place& PrivateProfile::locate(const QString& section) const {
    const QString key = section.toCaseFolded();
    if (const auto it = places_.find(key); it != places_.end())
        return *it;
    Place place;
    const qsizetype n = text_.size();
    QStringView name;
    for (qsizetype pos = 0; pos < n && !place.found;) {
        const qsizetype end = contentEnd(pos);
        if (sectionOf(view(pos, end), &name) && sameName(name, section)) {
            place.found = true;
            place.bodyBegin = nextLine(end);
            qsizetype next = place.bodyBegin;
            for (qsizetype e; next < n && !sectionOf(view(next, e = contentEnd(next)), &name);)
                next = nextLine(e);
            place.bodyEnd = next;
        }
        pos = nextLine(end);
    }
    for (int k = 0; k < added_.size() && !place.found; ++k)
        if (sectionOf(added_[k][0].content, &name) && sameName(name, section)) {
            place.found = true;
            place.added = k;
        }
    return *places_.insert(key, place);
}

QList<PrivateProfile::KeyLine> PrivateProfile::findKeys(Place& place,
                                                        const QStringList& keys) const {
    QList<KeyLine> lines(keys.size());
    qsizetype missing = keys.size();
    QHash<quint64, QList<int>> wanted;
    for (int i = 0; i < keys.size(); ++i)
        wanted[nameHash(keys[i])].append(i);
    const auto consider = [&](QStringView content, const KeyLine& line) {
        QStringView name;
        if (!keyOf(content, &name, nullptr))
            return;
        const auto w = wanted.constFind(nameHash(name));
        if (w == wanted.constEnd())
            return;
        for (int i : *w)
            if (!lines[i].found() && sameName(name, keys[i])) {
                lines[i] = line;
                --missing;
            }
    };
    if (place.added >= 0) {
        const QList<Added>& section = added_[place.added];
        for (qsizetype j = 1; j < section.size() && missing > 0; ++j)
            consider(section[j].content, KeyLine{-1, place.added, -1, j});
        return lines;
    }
    // The keys, and where the last line that is not blank ends (once: the lines that
    // follow it are blank and hold no key).
    qsizetype afterFilled = place.bodyBegin;
    for (qsizetype pos = place.bodyBegin; pos < place.bodyEnd;) {
        if (missing == 0 && place.insertAt >= 0)
            break;
        const qsizetype end = contentEnd(pos);
        const qsizetype next = nextLine(end);
        if (!trimBlanks(view(pos, end)).isEmpty()) {
            afterFilled = next;
            if (missing > 0)
                consider(view(pos, end), KeyLine{pos, -1, -1, -1});
        }
        pos = next;
    }
    if (place.insertAt < 0)
        place.insertAt = afterFilled;
    if (const auto it = inserted_.find(place.insertAt); it != inserted_.end())
        for (qsizetype j = 0; j < it->second.size() && missing > 0; ++j)
            consider(it->second[j].content, KeyLine{-1, -1, place.insertAt, j});
    return lines;
}

QStringView PrivateProfile::lineContent(const KeyLine& line) const {
    if (line.textLine >= 0) {
        const auto it = replaced_.constFind(line.textLine);
        return it != replaced_.constEnd() ? QStringView(*it)
                                          : view(line.textLine, contentEnd(line.textLine));
    }
    if (line.section >= 0)
        return added_[line.section][line.index].content;
    return inserted_.at(line.insertedAt)[line.index].content;
}

PrivateProfile::Added& PrivateProfile::addedLine(const KeyLine& line) {
    if (line.section >= 0)
        return added_[line.section][line.index];
    return inserted_.at(line.insertedAt)[line.index];
}

QStringList PrivateProfile::readStrings(const QString& section, const QStringList& keys,
                                        const QStringList& defs) const {
    Place& place = locate(section);
    if (!place.found)
        return defs.mid(0, keys.size());
    const QList<KeyLine> lines = findKeys(place, keys);
    QStringList values;
    values.reserve(keys.size());
    for (qsizetype i = 0; i < keys.size(); ++i) {
        QStringView name, value;
        if (lines[i].found() && keyOf(lineContent(lines[i]), &name, &value))
            values.append(cutToMax(unquoted(value)));
        else
            values.append(defs.value(i));
    }
    return values;
}

QString PrivateProfile::readString(const QString& section, const QString& key,
                                   const QString& def) const {
    return readStrings(section, {key}, {def}).constFirst();
}

int PrivateProfile::readInt(const QString& section, const QString& key, int def) const {
    int value = def;
    if (!parseProfileInt(readString(section, key, QString()), &value))
        return def;
    return value;
}

void PrivateProfile::endLastLine() {
    if (!added_.isEmpty())
        return; // the last line is an added one, which ends
    const qsizetype n = text_.size();
    if (const auto it = inserted_.find(n); it != inserted_.end() && !it->second.isEmpty())
        return;
    if (n > 0 && text_.at(n - 1) != QLatin1Char('\n') && text_.at(n - 1) != QLatin1Char('\r'))
        lastLineEnded_ = true;
}

PrivateProfile::Ending PrivateProfile::addedEnding(qsizetype at) const {
    // A lone CR before an empty line's LF would read as one CRLF and lose that line.
    if (newline_ == Ending::Cr && at < text_.size() && text_.at(at) == QLatin1Char('\n'))
        return Ending::CrLf;
    return newline_;
}

void PrivateProfile::writeString(const QString& section, const QString& key, const QString& value) {
    writeStrings(section, {{key, value}});
}

void PrivateProfile::writeStrings(const QString& section,
                                  const QList<std::pair<QString, QString>>& values) {
    const auto oneLine = [](QString v) {
        v.remove(QLatin1Char('\r'));
        v.remove(QLatin1Char('\n'));
        return v;
    };
    qsizetype first = 0;
    // A missing section: a new one at the end of the text, with no blank line before it,
    // holding the first key. Found by its name from then on (a name with blanks at its
    // ends is not: each write adds its own).
    while (first < values.size() && !locate(section).found) {
        endLastLine();
        added_.append({Added{QLatin1Char('[') + section + QLatin1Char(']'), newline_},
                       Added{values[first].first + QLatin1Char('=') + oneLine(values[first].second),
                             newline_}});
        ++first;
        for (auto it = places_.begin(); it != places_.end();)
            it = it->found ? std::next(it) : places_.erase(it);
    }
    if (first == values.size())
        return;
    Place& place = locate(section);
    QStringList keys;
    for (qsizetype i = first; i < values.size(); ++i)
        keys.append(values[i].first);
    QList<KeyLine> lines = findKeys(place, keys);
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QString v = oneLine(values[first + i].second);
        if (lines[i].found()) {
            QStringView name;
            keyOf(lineContent(lines[i]), &name, nullptr);
            const QString replaced = name.toString() + QLatin1Char('=') + v; // its spelling
            if (lines[i].textLine >= 0) {
                if (lineContent(lines[i]) != replaced) // an unchanged line stays the text's
                    replaced_.insert(lines[i].textLine, replaced);
            } else {
                addedLine(lines[i]).content = replaced;
            }
            continue;
        }
        // At the end of the section: after its last line that is not blank.
        KeyLine line;
        Added added{keys[i] + QLatin1Char('=') + v, newline_};
        if (place.added >= 0) {
            QList<Added>& section = added_[place.added];
            section.append(added);
            line = KeyLine{-1, place.added, -1, section.size() - 1};
        } else {
            QList<Added>& here = inserted_[place.insertAt];
            if (here.isEmpty() && place.insertAt == text_.size())
                endLastLine(); // the line before it was the text's last
            added.ending = addedEnding(place.insertAt);
            here.append(added);
            line = KeyLine{-1, -1, place.insertAt, here.size() - 1};
        }
        // Later writes of the key it is read by go to it.
        QStringView name;
        keyOf(added.content, &name, nullptr);
        for (qsizetype j = i + 1; j < keys.size(); ++j)
            if (!lines[j].found() && sameName(name, keys[j]))
                lines[j] = line;
    }
}

QString PrivateProfile::text() const {
    if (replaced_.isEmpty() && inserted_.empty() && added_.isEmpty() && !lastLineEnded_)
        return text_; // unchanged: the same text, not a copy
    const qsizetype n = text_.size();
    qsizetype extra = 0;
    for (const QString& line : replaced_)
        extra += line.size();
    for (const auto& [at, lines] : inserted_)
        for (const Added& line : lines)
            extra += line.content.size() + 2;
    for (const QList<Added>& section : added_)
        for (const Added& line : section)
            extra += line.content.size() + 2;
    QString out;
    out.reserve(n + extra + 2);
    const auto add = [&](const Added& line) {
        out += line.content;
        out += endingText(int(line.ending));
    };
    bool lastEnded = false;
    const auto endLast = [&] {
        if (lastLineEnded_ && !lastEnded)
            out += endingText(int(newline_));
        lastEnded = true;
    };
    QList<qsizetype> starts = replaced_.keys();
    std::sort(starts.begin(), starts.end());
    auto inserted = inserted_.begin();
    qsizetype pos = 0;
    for (qsizetype r = 0; r < starts.size() || inserted != inserted_.end();) {
        const bool insertNext =
            inserted != inserted_.end() && (r == starts.size() || inserted->first <= starts[r]);
        if (insertNext) {
            out += view(pos, inserted->first);
            pos = inserted->first;
            if (pos == n)
                endLast();
            for (const Added& line : inserted->second)
                add(line);
            ++inserted;
        } else {
            out += view(pos, starts[r]);
            out += replaced_.value(starts[r]);
            pos = contentEnd(starts[r]);
            ++r;
        }
    }
    out += view(pos, n);
    endLast();
    for (const QList<Added>& section : added_)
        for (const Added& line : section)
            add(line);
    return out;
}
