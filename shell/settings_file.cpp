#include "shell/settings_file.h"

#include "shell/errors.h"
#include "shell/mixed_text.h"
#include "shell/ranking.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QString position = QStringLiteral("Position");
const QString back = QStringLiteral("Back");
const QString ranking = QStringLiteral("Ranking");
const QByteArray utf8Bom("\xEF\xBB\xBF");

QString nameKey(int i) {
    return QStringLiteral("name%1").arg(i);
}
QString numberKey(int i) {
    return QStringLiteral("number%1").arg(i);
}

AppError writeError(const QString& path) {
    return AppError(QStringLiteral("%1 に書き込めません").arg(QDir::toNativeSeparators(path)));
}

} // namespace

Settings readSettings(const PrivateProfile& profile) {
    const auto text = [&](const QString& section, const QString& key, const QString& def) {
        return withoutEscapes(profile.readString(section, key, def));
    };
    Settings s;
    s.top = profile.readInt(position, QStringLiteral("xpos"), 0);
    s.left = profile.readInt(position, QStringLiteral("ypos"), 0);
    s.back = profile.readInt(back, QStringLiteral("back"), 0);
    for (int i = 0; i < rankEntryCount; ++i) {
        s.names.append(text(ranking, nameKey(i), emptyRankName));
        s.numbers.append(text(ranking, numberKey(i), emptyRankNumber));
    }
    s.defaultName = text(ranking, QStringLiteral("default"), QString());
    return s;
}

void writeSettings(PrivateProfile& profile, const Settings& s) {
    profile.writeString(position, QStringLiteral("xpos"), QString::number(s.top));
    profile.writeString(position, QStringLiteral("ypos"), QString::number(s.left));
    profile.writeString(back, QStringLiteral("back"), QString::number(s.back));
    for (int i = 0; i < rankEntryCount; ++i) {
        profile.writeString(ranking, nameKey(i), s.names.value(i, emptyRankName));
        profile.writeString(ranking, numberKey(i), s.numbers.value(i, emptyRankNumber));
    }
    profile.writeString(ranking, QStringLiteral("default"), s.defaultName);
}

SettingsText decodeSettingsBytes(const QByteArray& bytes) {
    SettingsText out;
    QByteArrayView data(bytes);
    // An editor's UTF-16 file: no Shift-JIS or UTF-8 text starts with FF FE or FE FF.
    const bool littleEndian = data.startsWith("\xFF\xFE");
    if (littleEndian || data.startsWith("\xFE\xFF")) {
        out.byteOrderMark = true;
        out.encoding = littleEndian ? QStringConverter::Utf16LE : QStringConverter::Utf16BE;
        out.text.reserve(data.size() / 2);
        for (qsizetype i = 2; i + 1 < data.size(); i += 2) {
            const auto low = uchar(data[littleEndian ? i : i + 1]);
            const auto high = uchar(data[littleEndian ? i + 1 : i]);
            out.text += QChar(char16_t(high << 8 | low));
        }
        return out;
    }
    out.byteOrderMark = data.startsWith(utf8Bom);
    while (data.startsWith(utf8Bom)) // a doubled mark is dropped, as it always was
        data = data.sliced(utf8Bom.size());
    out.text = decodeMixedLines(data);
    return out;
}

QByteArray encodeSettingsText(const SettingsText& text) {
    if (text.encoding == QStringConverter::Utf16LE || text.encoding == QStringConverter::Utf16BE) {
        const bool littleEndian = text.encoding == QStringConverter::Utf16LE;
        QByteArray bytes = littleEndian ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
        for (QChar c : text.text) {
            const char low = char(c.unicode() & 0xFF), high = char(c.unicode() >> 8);
            bytes += littleEndian ? low : high;
            bytes += littleEndian ? high : low;
        }
        return bytes;
    }
    QByteArray bytes = text.byteOrderMark ? utf8Bom : QByteArray();
    bytes += encodeUtf8Escaped(text.text);
    return bytes;
}

Settings loadSettings(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return readSettings(PrivateProfile());
    return readSettings(PrivateProfile(decodeSettingsBytes(file.readAll()).text));
}

void saveSettings(const QString& path, const Settings& settings) {
    SettingsText current;
    if (QFileInfo::exists(path)) {
        // What cannot be read is not overwritten: it may hold rankings.
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw writeError(path);
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            throw writeError(path);
        current = decodeSettingsBytes(bytes);
    }
    PrivateProfile profile(current.text);
    writeSettings(profile, settings);
    current.text = profile.text();

    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile out(path);
    const QByteArray bytes = encodeSettingsText(current);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw writeError(path);
    // A full disk can end a write short without any error from Qt: the size on disk
    // must be the whole text before the new file may replace the old one.
    if (out.write(bytes) != bytes.size() || !out.flush() || out.size() != bytes.size()) {
        out.cancelWriting();
        throw writeError(path);
    }
    if (!out.commit())
        throw writeError(path);
}
