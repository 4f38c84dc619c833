#pragma once
// The text of an INI file read and changed the way the private-profile functions of the
// platform the game was designed for do it: section and key names match without regard
// to case, the first matching section and key win, blanks around names and values are
// dropped, a quoted value loses its quotes, a read returns at most 2047 characters. A
// write changes only the key's own line (or adds the key at the end of its section, or
// the section at the end of the text); every other byte stays as it was, line endings
// included. Pure text in, text out: files are the caller's business.
//
// The text is kept as it came and never indexed line by line: a read or write finds its
// section and keys by a pass over the text, and the changes are kept beside it until
// text() puts them in. So a hostile file of millions of lines costs its own size in
// memory and a few passes in time.

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <map>
#include <utility>

class PrivateProfile {
public:
    explicit PrivateProfile(const QString& text = QString());

    // The value, or def when the section or key is missing. A key present with an
    // empty value reads as empty, not as def.
    QString readString(const QString& section, const QString& key, const QString& def) const;
    // The value as a decimal integer with an optional sign, or as hexadecimal after
    // "0x"/"0X"; def when missing, empty, not a number or out of range.
    int readInt(const QString& section, const QString& key, int def) const;
    // Several keys of one section in one pass over it: readString of each key with the
    // default at the same index.
    QStringList readStrings(const QString& section, const QStringList& keys,
                            const QStringList& defs) const;

    // Sets the key's value. Line breaks in value are dropped: a value is one line.
    void writeString(const QString& section, const QString& key, const QString& value);
    // Several writes to one section in one pass over it, as writeString of each in turn.
    void writeStrings(const QString& section, const QList<std::pair<QString, QString>>& values);

    QString text() const;

    static constexpr int maxValueLength = 2047;

private:
    enum class Ending : quint8 { None, Lf, Cr, CrLf };
    // A line of the program's own: added by a write.
    struct Added {
        QString content;
        Ending ending = Ending::Lf;
    };
    // Where a section is: the first header of its name in the text, its lines reaching to
    // the next header of any name; or a section that a write added at the end.
    struct Place {
        bool found = false;
        int added = -1;          // index in added_, for a section added by a write
        qsizetype bodyBegin = 0; // in text_: the line after the header
        qsizetype bodyEnd = 0;   // in text_: the next header, or the end
        qsizetype insertAt = -1; // where a missing key goes: after the last line that
                                 // is not blank (known after the first pass)
    };
    // Where a key's first line is: a line of text_ (its start), or line `index` of an
    // added section or of the lines inserted at a place of text_; or nowhere.
    struct KeyLine {
        qsizetype textLine = -1;
        int section = -1;
        qsizetype insertedAt = -1;
        qsizetype index = -1;
        bool found() const { return textLine >= 0 || index >= 0; }
    };

    qsizetype contentEnd(qsizetype begin) const;
    qsizetype nextLine(qsizetype contentEnd) const;
    QStringView view(qsizetype begin, qsizetype end) const {
        return QStringView(text_).mid(begin, end - begin);
    }
    Place& locate(const QString& section) const;
    // The first line of each key (by index in keys) in the section; fills insertAt.
    QList<KeyLine> findKeys(Place& place, const QStringList& keys) const;
    QStringView lineContent(const KeyLine& line) const;
    Added& addedLine(const KeyLine& line);
    void endLastLine();
    Ending addedEnding(qsizetype at) const;

    QString text_;
    Ending newline_ = Ending::Lf;        // for added lines: the text's first line ending
    bool lastLineEnded_ = false;         // the text's last line, which had no ending, got one
    QHash<qsizetype, QString> replaced_; // start of a line of text_ -> its new content
    std::map<qsizetype, QList<Added>> inserted_; // place in text_ -> lines added there
    QList<QList<Added>> added_;                  // sections added at the end, header first
    mutable QHash<QString, Place> places_;       // by folded section name, once looked up
};

// Integer conversion of a profile value (exposed for tests).
bool parseProfileInt(const QString& text, int* value);
