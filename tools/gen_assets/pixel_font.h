#pragma once
// The 8-pixel-high capitals of the panel tabs, drawn from bitmaps.

#include <QString>

#include <vector>

struct Glyph {
    int width = 0;
    std::vector<const char*> rows; // 8 rows, '#' set
};

// The glyph of an upper-case letter used on the tabs; an empty glyph for others.
const Glyph& tabGlyph(QChar letter);

// Column offsets of each letter when the word is spread to exactly the given width
// (gaps of at least one pixel, the wider gaps first). The offsets are relative to the
// left edge; the last glyph ends at width.
std::vector<int> spreadWord(const QString& word, int width);
