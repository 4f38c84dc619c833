// The first, line-by-line implementation of the private-profile text (with the same
// rules, the CR guard for added lines included), kept as the reference the fuzzer
// compares the indexed one against: simple enough to be plainly right, too slow for a
// hostile file (every read scans every line).
#pragma once

#include <QList>
#include <QString>

class ReferenceProfile {
public:
    explicit ReferenceProfile(const QString& text = QString());
    QString readString(const QString& section, const QString& key, const QString& def) const;
    void writeString(const QString& section, const QString& key, const QString& value);
    QString text() const;

private:
    struct Line {
        QString content;
        QString ending;
    };
    int findSection(const QString& section) const;
    int sectionEnd(int header) const;
    int findKey(int header, const QString& key) const;
    void insertLine(int index, const QString& content);

    QList<Line> lines_;
    QString newline_;
};
