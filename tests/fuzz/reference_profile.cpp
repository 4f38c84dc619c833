#include "reference_profile.h"

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

bool sameName(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString unquoted(QStringView v) {
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) &&
        v.back() == v.front())
        return v.mid(1, v.size() - 2).toString();
    return v.toString();
}

QString cutToMax(const QString& v) {
    if (v.size() <= 2047)
        return v;
    qsizetype n = 2047;
    if (v[n - 1].isHighSurrogate()) // never split a character
        --n;
    return v.left(n);
}

} // namespace

ReferenceProfile::ReferenceProfile(const QString& text) {
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != QLatin1Char('\n') &&
               text[end] != QLatin1Char('\r'))
            ++end;
        Line line{text.mid(start, end - start), QString()};
        if (end < text.size()) {
            const bool crlf = text[end] == QLatin1Char('\r') && end + 1 < text.size() &&
                              text[end + 1] == QLatin1Char('\n');
            line.ending = text.mid(end, crlf ? 2 : 1);
        }
        if (newline_.isEmpty() && !line.ending.isEmpty())
            newline_ = line.ending;
        start = end + line.ending.size();
        lines_.append(line);
    }
    if (newline_.isEmpty())
        newline_ = QStringLiteral("\n");
}

QString ReferenceProfile::text() const {
    QString out;
    for (const Line& line : lines_)
        out += line.content + line.ending;
    return out;
}

int ReferenceProfile::findSection(const QString& section) const {
    QStringView name;
    for (int i = 0; i < lines_.size(); ++i)
        if (sectionOf(lines_[i].content, &name) && sameName(name, section))
            return i;
    return -1;
}

int ReferenceProfile::sectionEnd(int header) const {
    QStringView name;
    int i = header + 1;
    while (i < lines_.size() && !sectionOf(lines_[i].content, &name))
        ++i;
    return i;
}

int ReferenceProfile::findKey(int header, const QString& key) const {
    const int end = sectionEnd(header);
    QStringView name;
    for (int i = header + 1; i < end; ++i)
        if (keyOf(lines_[i].content, &name, nullptr) && sameName(name, key))
            return i;
    return -1;
}

QString ReferenceProfile::readString(const QString& section, const QString& key,
                                     const QString& def) const {
    const int header = findSection(section);
    if (header < 0)
        return def;
    const int line = findKey(header, key);
    if (line < 0)
        return def;
    QStringView name, value;
    keyOf(lines_[line].content, &name, &value);
    return cutToMax(unquoted(value));
}

void ReferenceProfile::insertLine(int index, const QString& content) {
    // The line before an added one must end, even if it was the text's last.
    if (index > 0 && lines_[index - 1].ending.isEmpty())
        lines_[index - 1].ending = newline_;
    // A lone CR before an empty line's LF would read as one CRLF and lose that line.
    const bool merges = newline_ == QLatin1String("\r") && index < lines_.size() &&
                        lines_[index].content.isEmpty() &&
                        lines_[index].ending == QLatin1String("\n");
    lines_.insert(index, Line{content, merges ? QStringLiteral("\r\n") : newline_});
}

void ReferenceProfile::writeString(const QString& section, const QString& key,
                                   const QString& value) {
    QString oneLine = value;
    oneLine.remove(QLatin1Char('\r'));
    oneLine.remove(QLatin1Char('\n'));
    const int header = findSection(section);
    if (header < 0) {
        insertLine(int(lines_.size()), QLatin1Char('[') + section + QLatin1Char(']'));
        insertLine(int(lines_.size()), key + QLatin1Char('=') + oneLine);
        return;
    }
    const int line = findKey(header, key);
    if (line >= 0) {
        QStringView name;
        keyOf(lines_[line].content, &name, nullptr);
        lines_[line].content = name.toString() + QLatin1Char('=') + oneLine; // the file's spelling
        return;
    }
    // At the end of the section: after its last line that is not blank.
    int at = sectionEnd(header);
    while (at - 1 > header && trimBlanks(lines_[at - 1].content).isEmpty())
        --at;
    insertLine(at, key + QLatin1Char('=') + oneLine);
}
