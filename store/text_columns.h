#pragma once
// Text widths in columns of the monospaced list font, which the name field's limit and
// the hiscore table's alignment count in: a character that the Shift-JIS code page
// stores takes as many columns as it has bytes there (one for ASCII and half-width
// katakana, two for the full-width rest); any other character takes two when it is East
// Asian wide or full-width (Hangul, rarer ideographs, emoji) and one otherwise (é, Ł,
// Ñ), as the font draws it.

#include <QString>

int columnWidth(char32_t c);
int columnWidth(const QString& text);

// The longest start of text that is at most columns wide, cut between characters.
QString leftColumns(const QString& text, int columns);

// The text padded with blanks on the right, or on the left, to width columns; a text
// already as wide or wider is returned unchanged.
QString padRight(const QString& text, int width);
QString padLeft(const QString& text, int width);
