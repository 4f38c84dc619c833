#include "store/mixed_text.h"

#include <QStringDecoder>

#include <array>
#include <vector>

namespace {

constexpr char16_t escapeBase = 0xDC00; // + a byte of 0x80..0xFF
constexpr char16_t none = 0xFFFF;       // no Shift-JIS code decodes to U+FFFF
constexpr int trailFirst = 0x40, trailEnd = 0xFD;

bool isLineEnd(uchar b) {
    return b == '\n' || b == '\r';
}

bool isEscape(char16_t c) {
    return c >= escapeBase + 0x80 && c <= escapeBase + 0xFF;
}

// The length of the valid UTF-8 sequence at p (n bytes left), 0 when there is none.
int utf8Length(const uchar* p, qsizetype n) {
    const uchar b = p[0];
    if (b < 0x80)
        return 1;
    const int length = b >= 0xC2 && b <= 0xDF   ? 2
                       : b >= 0xE0 && b <= 0xEF ? 3
                       : b >= 0xF0 && b <= 0xF4 ? 4
                                                : 0;
    if (length == 0 || n < length)
        return 0;
    for (int i = 1; i < length; ++i)
        if ((p[i] & 0xC0) != 0x80)
            return 0;
    // No overlong forms, no surrogates, nothing past U+10FFFF.
    if ((b == 0xE0 && p[1] < 0xA0) || (b == 0xED && p[1] > 0x9F) || (b == 0xF0 && p[1] < 0x90) ||
        (b == 0xF4 && p[1] > 0x8F))
        return 0;
    return length;
}

bool isValidUtf8(QByteArrayView line) {
    const auto* p = reinterpret_cast<const uchar*>(line.data());
    for (qsizetype i = 0; i < line.size();) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        const int length = utf8Length(p + i, line.size() - i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

// Valid UTF-8; a byte order mark at the start is a character here, as anywhere else.
void appendUtf8(QString& out, QByteArrayView bytes) {
    const QByteArrayView mark("\xEF\xBB\xBF");
    while (bytes.startsWith(mark)) {
        out += QChar(0xFEFF);
        bytes = bytes.sliced(mark.size());
    }
    if (out.isEmpty()) // a whole file of UTF-8 is decoded once, not copied again
        out = QString::fromUtf8(bytes);
    else
        out += QString::fromUtf8(bytes);
}

// Shift-JIS as the platform's converter reads it, one code at a time, so that a line
// can be read in part.
struct ShiftJisTables {
    std::array<char16_t, 256> single{};
    std::vector<char16_t> pairs = std::vector<char16_t>(256 * (trailEnd - trailFirst), none);

    char16_t pair(uchar lead, uchar trail) const {
        if (trail < trailFirst || trail >= trailEnd)
            return none;
        return pairs[size_t(lead * (trailEnd - trailFirst) + trail - trailFirst)];
    }
};

char16_t decodeOne(QByteArrayView code) {
    QStringDecoder decoder("Shift_JIS");
    const QString s = decoder.decode(code);
    return !decoder.hasError() && s.size() == 1 ? s[0].unicode() : none;
}

const ShiftJisTables& shiftJis() {
    static const ShiftJisTables tables = [] {
        ShiftJisTables t;
        for (int b = 0; b < 256; ++b) {
            const char c = char(b);
            // ASCII is itself in every reading of a line.
            t.single[size_t(b)] = b < 0x80 ? char16_t(b) : decodeOne(QByteArrayView(&c, 1));
        }
        for (int lead = 0x80; lead < 0x100; ++lead) {
            if (t.single[size_t(lead)] != none)
                continue;
            for (int trail = trailFirst; trail < trailEnd; ++trail) {
                const char code[2] = {char(lead), char(trail)};
                t.pairs[size_t(lead * (trailEnd - trailFirst) + trail - trailFirst)] =
                    decodeOne(QByteArrayView(code, 2));
            }
        }
        return t;
    }();
    return tables;
}

QString utf8WithEscapes(QByteArrayView line) {
    QString text;
    const auto* p = reinterpret_cast<const uchar*>(line.data());
    qsizetype run = 0;
    for (qsizetype i = 0; i < line.size();) {
        if (const int length = utf8Length(p + i, line.size() - i)) {
            i += length;
            continue;
        }
        appendUtf8(text, line.sliced(run, i - run));
        text += QChar(char16_t(escapeBase + p[i]));
        run = ++i;
    }
    appendUtf8(text, line.sliced(run));
    return text;
}

// A line that is not valid UTF-8: Shift-JIS when it is that, else UTF-8 with the bytes
// that are not kept as escapes. (Shift-JIS with escapes would not come back the same:
// once its characters are written in UTF-8, the line would read otherwise.)
QString readOtherLine(QByteArrayView line) {
    const ShiftJisTables& t = shiftJis();
    const auto* p = reinterpret_cast<const uchar*>(line.data());
    QString text;
    text.reserve(line.size());
    for (qsizetype i = 0; i < line.size();) {
        if (const char16_t single = t.single[p[i]]; single != none) {
            text += QChar(single);
            ++i;
        } else if (const char16_t pair = i + 1 < line.size() ? t.pair(p[i], p[i + 1]) : none;
                   pair != none) {
            text += QChar(pair);
            i += 2;
        } else {
            return utf8WithEscapes(line);
        }
    }
    return text;
}

} // namespace

QString decodeMixedLines(QByteArrayView bytes) {
    QString out;
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    // Runs of valid UTF-8 lines, line ends included, are decoded in one go.
    qsizetype runStart = 0, lineStart = 0;
    for (;;) {
        qsizetype lineEnd = lineStart;
        while (lineEnd < bytes.size() && !isLineEnd(p[lineEnd]))
            ++lineEnd;
        const QByteArrayView line = bytes.sliced(lineStart, lineEnd - lineStart);
        if (!isValidUtf8(line)) {
            appendUtf8(out, bytes.sliced(runStart, lineStart - runStart));
            out += readOtherLine(line);
            runStart = lineEnd;
        }
        if (lineEnd == bytes.size())
            break;
        lineStart = lineEnd + 1;
    }
    appendUtf8(out, bytes.sliced(runStart));
    return out;
}

QByteArray encodeUtf8Escaped(QStringView text) {
    QByteArray out;
    qsizetype run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        // A low surrogate after a high one is half of a character, not an escape.
        if (!isEscape(c) || (i > 0 && text[i - 1].isHighSurrogate()))
            continue;
        out += text.sliced(run, i - run).toUtf8();
        out += char(c - escapeBase);
        run = i + 1;
    }
    if (run == 0) // no escapes: encoded once, not copied again
        return text.toUtf8();
    out += text.sliced(run).toUtf8();
    return out;
}

QString withoutEscapes(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i)
        if (isEscape(text[i].unicode()) && !(i > 0 && text[i - 1].isHighSurrogate()))
            text[i] = QChar::ReplacementCharacter;
    return text;
}
