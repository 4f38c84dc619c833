#include "shell/private_profile.h"

#include <limits>

namespace {

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Only blanks and tabs, as the platform trims: an ideographic space in a name stays.
QString trimBlanks(const QString& s) {
    qsizetype begin = 0, end = s.size();
    while (begin < end && isBlank(s[begin]))
        ++begin;
    while (end > begin && isBlank(s[end - 1]))
        --end;
    return s.mid(begin, end - begin);
}

bool sectionOf(const QString& line, QString* name) {
    const QString t = trimBlanks(line);
    if (!t.startsWith(QLatin1Char('[')))
        return false;
    const qsizetype close = t.lastIndexOf(QLatin1Char(']'));
    if (close < 1)
        return false;
    *name = trimBlanks(t.mid(1, close - 1));
    return true;
}

bool keyOf(const QString& line, QString* key, QString* value) {
    const QString t = trimBlanks(line);
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq < 0)
        return false;
    *key = trimBlanks(t.left(eq));
    if (value)
        *value = trimBlanks(t.mid(eq + 1));
    return true;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString unquoted(const QString& v) {
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) &&
        v.back() == v.front())
        return v.mid(1, v.size() - 2);
    return v;
}

QString cutToMax(const QString& v) {
    if (v.size() <= PrivateProfile::maxValueLength)
        return v;
    qsizetype n = PrivateProfile::maxValueLength;
    if (v[n - 1].isHighSurrogate()) // never split a character
        --n;
    return v.left(n);
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
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        negative = text[i++] == QLatin1Char('-');
    if (i == text.size())
        return false;
    qint64 v = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + (c - u'0');
        if (v > qint64(std::numeric_limits<int>::max()) + 1)
            return false;
    }
    if (negative)
        v = -v;
    if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min())
        return false;
    *value = int(v);
    return true;
}

PrivateProfile::PrivateProfile(const QString& text) {
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

QString PrivateProfile::text() const {
    QString out;
    for (const Line& line : lines_)
        out += line.content + line.ending;
    return out;
}

int PrivateProfile::findSection(const QString& section) const {
    QString name;
    for (int i = 0; i < lines_.size(); ++i)
        if (sectionOf(lines_[i].content, &name) && sameName(name, section))
            return i;
    return -1;
}

int PrivateProfile::sectionEnd(int header) const {
    QString name;
    int i = header + 1;
    while (i < lines_.size() && !sectionOf(lines_[i].content, &name))
        ++i;
    return i;
}

int PrivateProfile::findKey(int header, const QString& key) const {
    const int end = sectionEnd(header);
    QString name;
    for (int i = header + 1; i < end; ++i)
        if (keyOf(lines_[i].content, &name, nullptr) && sameName(name, key))
            return i;
    return -1;
}

QString PrivateProfile::readString(const QString& section, const QString& key,
                                   const QString& def) const {
    const int header = findSection(section);
    if (header < 0)
        return def;
    const int line = findKey(header, key);
    if (line < 0)
        return def;
    QString name, value;
    keyOf(lines_[line].content, &name, &value);
    return cutToMax(unquoted(value));
}

int PrivateProfile::readInt(const QString& section, const QString& key, int def) const {
    int value = def;
    if (!parseProfileInt(readString(section, key, QString()), &value))
        return def;
    return value;
}

void PrivateProfile::insertLine(int index, const QString& content) {
    // The line before an added one must end, even if it was the text's last.
    if (index > 0 && lines_[index - 1].ending.isEmpty())
        lines_[index - 1].ending = newline_;
    lines_.insert(index, Line{content, newline_});
}

void PrivateProfile::writeString(const QString& section, const QString& key, const QString& value) {
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
        QString name;
        keyOf(lines_[line].content, &name, nullptr);
        lines_[line].content = name + QLatin1Char('=') + oneLine; // the file's spelling
        return;
    }
    // At the end of the section: after its last line that is not blank.
    int at = sectionEnd(header);
    while (at - 1 > header && trimBlanks(lines_[at - 1].content).isEmpty())
        --at;
    insertLine(at, key + QLatin1Char('=') + oneLine);
}
