#pragma once
// The text of an INI file read and changed the way the private-profile functions of the
// platform the game was designed for do it: section and key names match without regard
// to case, the first matching section and key win, blanks around names and values are
// dropped, a quoted value loses its quotes, a read returns at most 2047 characters. A
// write changes only the key's own line (or adds the key at the end of its section, or
// the section at the end of the text); every other byte stays as it was, line endings
// included. Pure text in, text out: files are the caller's business.

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

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
    // A line, or a run of lines that reads and writes treat alike (blank lines; lines
    // that are neither a section header nor a key; a later section of a name already
    // seen, with its lines), as a place in the original text or in written_. Runs and
    // places keep a hostile file of millions of lines small and its reads and writes
    // fast.
    enum class Ending : quint8 { None, Lf, Cr, CrLf };
    enum class Kind : quint8 { Header, Key, Blank, Other, Dead };
    struct Line {
        qsizetype begin = 0; // in text_, or -1 - i for written_[i]
        qsizetype length = 0;
        Ending ending = Ending::None;
        Kind kind = Kind::Other;
    };
    // A section: its header and the lines up to the next header of a new name (a later
    // one of a seen name is a dead run among them). sections_[0] holds the
    // lines before the first header and has no header.
    struct Section {
        Line header;
        QList<Line> lines;
    };
    // The first line of each key of a section, by folded name; built when first needed.
    struct KeyIndex {
        QHash<QString, qsizetype> first;
        qsizetype insertAt = -1; // where the next added key goes, once known
    };

    QStringView content(const Line& line) const;
    void appendLine(qsizetype begin, qsizetype length, Ending ending);
    Line ownLine(const QString& content);
    KeyIndex& keysOf(qsizetype section) const;
    void endLastLine();

    QString text_;
    QStringList written_;
    QList<Section> sections_;
    QHash<QString, qsizetype> firstSection_; // folded name -> index in sections_
    mutable QHash<qsizetype, KeyIndex> keys_;
    Ending newline_ = Ending::Lf; // for added lines: the text's first line ending
};

// Integer conversion of a profile value (exposed for tests).
bool parseProfileInt(const QString& text, int* value);
