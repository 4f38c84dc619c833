#include "store/private_profile.h"

#include "store/conversions.h"

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

// Names match without regard to case: equal when their folded forms are.
QString folded(QStringView name) {
    return name.toString().toCaseFolded();
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
    sections_.append(Section{});
    bool newlineSeen = false;
    qsizetype start = 0;
    while (start < text_.size()) {
        qsizetype end = start;
        const QChar* data = text_.constData();
        while (end < text_.size() && data[end] != QLatin1Char('\n') &&
               data[end] != QLatin1Char('\r'))
            ++end;
        Ending ending = Ending::None;
        qsizetype next = end;
        if (end < text_.size()) {
            const bool cr = text_[end] == QLatin1Char('\r');
            const bool crlf = cr && end + 1 < text_.size() && text_[end + 1] == QLatin1Char('\n');
            ending = crlf ? Ending::CrLf : cr ? Ending::Cr : Ending::Lf;
            next = end + (crlf ? 2 : 1);
        }
        if (!newlineSeen && ending != Ending::None) {
            newline_ = ending;
            newlineSeen = true;
        }
        appendLine(start, end - start, ending);
        start = next;
    }
}

void PrivateProfile::appendLine(qsizetype begin, qsizetype length, Ending ending) {
    const QStringView line = QStringView(text_).mid(begin, length);
    const QStringView t = trimBlanks(line);
    QList<Line>& lines = sections_.last().lines;
    QStringView name;
    const bool header = t.startsWith(QLatin1Char('[')) && sectionOf(t, &name);
    if (header && !firstSection_.contains(folded(name))) {
        firstSection_.insert(folded(name), sections_.size());
        sections_.append(Section{Line{begin, length, ending, Kind::Header}, {}});
        return;
    }
    // A later section of a name already seen is never read or written: it and its lines,
    // up to the next new section, are one run that only ends the section before it.
    const Kind kind = header                                                ? Kind::Dead
                      : !lines.isEmpty() && lines.last().kind == Kind::Dead ? Kind::Dead
                      : t.isEmpty()                                         ? Kind::Blank
                      : t.contains(QLatin1Char('='))                        ? Kind::Key
                                                                            : Kind::Other;
    if (kind != Kind::Key && !lines.isEmpty() && lines.last().kind == kind) {
        // The run grows over this line; its content holds the line endings within it.
        Line& run = lines.last();
        run.length = begin + length - run.begin;
        run.ending = ending;
        return;
    }
    lines.append(Line{begin, length, ending, kind});
}

QStringView PrivateProfile::content(const Line& line) const {
    if (line.begin < 0)
        return written_[-1 - line.begin];
    return QStringView(text_).mid(line.begin, line.length);
}

PrivateProfile::Line PrivateProfile::ownLine(const QString& content) {
    written_.append(content);
    QStringView name;
    const Kind kind = sectionOf(content, &name)          ? Kind::Header
                      : keyOf(content, nullptr, nullptr) ? Kind::Key
                                                         : Kind::Other;
    return Line{-written_.size(), content.size(), newline_, kind};
}

QString PrivateProfile::text() const {
    QString out;
    out.reserve(text_.size() + 64 * written_.size());
    const auto add = [&](const Line& line) {
        out += content(line);
        out += endingText(int(line.ending));
    };
    for (qsizetype s = 0; s < sections_.size(); ++s) {
        if (s > 0)
            add(sections_[s].header);
        for (const Line& line : sections_[s].lines)
            add(line);
    }
    return out;
}

PrivateProfile::KeyIndex& PrivateProfile::keysOf(qsizetype section) const {
    auto it = keys_.find(section);
    if (it != keys_.end())
        return *it;
    KeyIndex index;
    const QList<Line>& lines = sections_[section].lines;
    for (qsizetype i = 0; i < lines.size() && lines[i].kind != Kind::Dead; ++i) {
        QStringView name;
        if (lines[i].kind != Kind::Key || !keyOf(content(lines[i]), &name, nullptr))
            continue;
        const QString f = folded(name);
        if (!index.first.contains(f)) // the first line of a key wins
            index.first.insert(f, i);
    }
    return *keys_.insert(section, index);
}

QString PrivateProfile::readString(const QString& section, const QString& key,
                                   const QString& def) const {
    const auto s = firstSection_.constFind(folded(section));
    if (s == firstSection_.constEnd())
        return def;
    const KeyIndex& keys = keysOf(*s);
    const auto line = keys.first.constFind(folded(key));
    if (line == keys.first.constEnd())
        return def;
    QStringView name, value;
    keyOf(content(sections_[*s].lines[*line]), &name, &value);
    return cutToMax(unquoted(value));
}

int PrivateProfile::readInt(const QString& section, const QString& key, int def) const {
    int value = def;
    if (!parseProfileInt(readString(section, key, QString()), &value))
        return def;
    return value;
}

void PrivateProfile::endLastLine() {
    for (qsizetype s = sections_.size() - 1; s >= 0; --s) {
        Section& section = sections_[s];
        Line* last = !section.lines.isEmpty() ? &section.lines.last()
                     : s > 0                  ? &section.header
                                              : nullptr;
        if (last) {
            if (last->ending == Ending::None)
                last->ending = newline_;
            return;
        }
    }
}

void PrivateProfile::writeString(const QString& section, const QString& key, const QString& value) {
    QString oneLine = value;
    oneLine.remove(QLatin1Char('\r'));
    oneLine.remove(QLatin1Char('\n'));
    const auto found = firstSection_.constFind(folded(section));
    if (found == firstSection_.constEnd()) {
        // A new section at the end of the text, with no blank line before it.
        endLastLine();
        const Line header = ownLine(QLatin1Char('[') + section + QLatin1Char(']'));
        QStringView name;
        sectionOf(content(header), &name);
        if (!firstSection_.contains(folded(name)))
            firstSection_.insert(folded(name), sections_.size());
        sections_.append(Section{header, {ownLine(key + QLatin1Char('=') + oneLine)}});
        return;
    }
    const qsizetype s = *found;
    Section& sec = sections_[s];
    KeyIndex& keys = keysOf(s);
    const QString foldedKey = folded(key);
    if (const auto line = keys.first.constFind(foldedKey); line != keys.first.constEnd()) {
        Line& old = sec.lines[*line];
        QStringView name;
        keyOf(content(old), &name, nullptr);
        const QString replaced = name.toString() + QLatin1Char('=') + oneLine; // its spelling
        if (old.begin < 0) {
            written_[-1 - old.begin] = replaced;
        } else {
            const Line own = ownLine(replaced);
            old.begin = own.begin;
            old.length = own.length;
        }
        return;
    }
    // At the end of the section: after its last line that is not blank.
    if (keys.insertAt < 0) {
        qsizetype at = sec.lines.size();
        if (at > 0 && sec.lines[at - 1].kind == Kind::Dead)
            --at; // the section ends where the later one of a seen name begins
        while (at > 0 && sec.lines[at - 1].kind == Kind::Blank)
            --at;
        keys.insertAt = at;
    }
    const qsizetype at = keys.insertAt;
    Line& before = at > 0 ? sec.lines[at - 1] : sec.header;
    if (before.ending == Ending::None) // it was the text's last line
        before.ending = newline_;
    Line added = ownLine(key + QLatin1Char('=') + oneLine);
    // A lone CR before an empty line's LF would read as one CRLF and lose that line.
    const Line* next = at < sec.lines.size()      ? &sec.lines[at]
                       : s + 1 < sections_.size() ? &sections_[s + 1].header
                                                  : nullptr;
    if (added.ending == Ending::Cr && next &&
        (content(*next).startsWith(QLatin1Char('\n')) ||
         (content(*next).isEmpty() && next->ending == Ending::Lf)))
        added.ending = Ending::CrLf;
    sec.lines.insert(at, added);
    keys.insertAt = at + 1; // only blank lines and dead runs follow: no index moves
    // Found by the name it is read by (a key with blanks at its ends is not).
    QStringView name;
    if (keyOf(content(added), &name, nullptr) && !keys.first.contains(folded(name)))
        keys.first.insert(folded(name), at);
}
