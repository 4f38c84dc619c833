#pragma once
// Text widths in columns as the Shift-JIS code page counts them: one for ASCII and
// half-width katakana, two for a full-width character, and two for a character that
// Shift-JIS cannot store. The name field and the hiscore table use this, so a name of
// 20 columns fills the table's name column in the monospaced list font exactly.

#include <QString>

int sjisWidth(char32_t c);
int sjisWidth(const QString& text);

// The text padded with blanks on the right, or on the left, to width columns; a text
// already as wide or wider is returned unchanged.
QString padRight(const QString& text, int width);
QString padLeft(const QString& text, int width);
