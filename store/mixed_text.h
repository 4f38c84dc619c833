#pragma once
// Text whose lines may each be in another encoding, as a settings file becomes when an
// old Shift-JIS file meets an editor or a newer program writing UTF-8. Each line is
// read on its own: as UTF-8 when it is valid UTF-8, else as Shift-JIS (CP932) when it
// is valid Shift-JIS, else as UTF-8 in which each byte that is not part of a valid
// sequence becomes an escape, the lone surrogate U+DC80..U+DCFF. encodeUtf8Escaped
// writes an escape back as its byte: nothing in the file is lost, and a line written
// back unchanged keeps its bytes.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

QString decodeMixedLines(QByteArrayView bytes);

// UTF-8, with each escape of decodeMixedLines written as its byte.
QByteArray encodeUtf8Escaped(QStringView text);

// The text with each escape replaced by U+FFFD, for a value that is shown and written
// anew: once cut or moved to another line, the escaped bytes could read otherwise (as
// Shift-JIS, say) the next time.
QString withoutEscapes(QString text);
