#pragma once
// The text of an INI file read and changed the way the private-profile functions of the
// platform the game was designed for do it: section and key names match without regard
// to case, the first matching section and key win, blanks around names and values are
// dropped, a quoted value loses its quotes, a read returns at most 2047 characters. A
// write changes only the key's own line (or adds the key at the end of its section, or
// the section at the end of the text); every other byte stays as it was, line endings
// included. Pure text in, text out: files are the caller's business.

#include <QList>
#include <QString>

class PrivateProfile {
public:
    explicit PrivateProfile(const QString& text = QString());

    // The value, or def when the section or key is missing. A key present with an
    // empty value reads as empty, not as def.
    QString readString(const QString& section, const QString& key, const QString& def) const;
    // The value as a decimal integer with an optional sign, or as hexadecimal after
    // "0x"/"0X"; def when missing, empty, not a number or out of range.
    int readInt(const QString& section, const QString& key, int def) const;

    // Sets the key's value. Line breaks in value are dropped: a value is one line.
    void writeString(const QString& section, const QString& key, const QString& value);

    QString text() const;

    static constexpr int maxValueLength = 2047;

private:
    struct Line {
        QString content;
        QString ending; // "\r\n", "\n", "\r", or empty for a last line without one
    };
    int findSection(const QString& section) const;
    int sectionEnd(int header) const;
    int findKey(int header, const QString& key) const;
    void insertLine(int index, const QString& content);

    QList<Line> lines_;
    QString newline_; // for added lines: the text's first line ending, else "\n"
};

// Integer conversion of a profile value (exposed for tests).
bool parseProfileInt(const QString& text, int* value);
