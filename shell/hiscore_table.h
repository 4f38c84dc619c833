#pragma once
// The lines of the hiscore table: a header, then one line per entry of a level block,
// in columns of the monospaced list font (columnWidth: a full-width character is two
// columns wide).

#include <QString>

inline const QString hiscoreHeader =
    QStringLiteral("Rank     N  a  m  e       S c o r e  Vanish Phase");

// The line of place 1..10: place (4), name (20), blank, score with "," groups (11),
// two blanks, vanish count with "," groups (5), two blanks, phase as stored (3). A
// field wider than its column is not cut; the later columns move right.
QString hiscoreLine(int place, const QString& name, const QString& result);

// formatThousands for a text of digits; any other text unchanged (a hand-edited
// ranking is shown as it is, never converted).
QString groupDigits(const QString& text);
