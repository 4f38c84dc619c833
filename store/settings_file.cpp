#include "store/settings_file.h"

#include "platform/errors.h"
#include "store/mixed_text.h"
#include "store/ranking.h"
#include "store/safe_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

#include <functional>
#include <utility>

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

int& lockPatience() {
    static int ms = 10000;
    return ms;
}

// Creates the folder and those above it, as mkdir -p does; a component that is a link
// to nowhere is named as such.
void makeFolders(const QString& path, const QString& folder) {
    const QFileInfo info(folder);
    if (info.isDir())
        return;
    if (info.isSymLink() && !info.exists())
        throw SaveError(path, missingLinkFolderReason(info.symLinkTarget()));
    const QString parent = info.absolutePath();
    if (parent != info.absoluteFilePath())
        makeFolders(path, parent);
    if (::mkdir(QFile::encodeName(folder).constData(), 0777) != 0 && errno != EEXIST)
        throw SaveError(path, systemReason(errno));
}

// The text to write on: the file's, or fallback's while the file does not exist.
SettingsText readForSave(const QString& path, const QString& fallback) {
    QByteArray bytes;
    QString why;
    ReadResult result = readRegularFile(path, &bytes, &why);
    if (result == ReadResult::Missing && !fallback.isEmpty())
        result = readRegularFile(fallback, &bytes, &why);
    switch (result) {
    case ReadResult::Read:
        return decodeSettingsBytes(bytes);
    case ReadResult::Missing:
        return SettingsText();
    case ReadResult::Unreadable: // it may hold rankings: not overwritten
        break;
    }
    throw SaveError(path, why);
}

// Reads the file as it is now, lets values() decide what to write on top of it, and
// replaces it, all under the folder's lock.
SavedSettings saveMerged(const QString& path, const QString& fallback,
                         const std::function<Settings(const Settings&)>& values) {
    makeFolders(path, QFileInfo(path).absolutePath());
    const QString target = resolvedPath(path);
    const QString folder = QFileInfo(target).absolutePath();
    if (!QFileInfo(folder).isDir()) // a link into a folder that does not exist
        throw SaveError(path, missingLinkFolderReason(folder));
    const FolderLock lock(folder, lockPatience());
    if (!lock.held())
        throw SaveError(path,
                        lock.busy() ? anotherFlinderSavingReason : systemReason(lock.error()));
    removeReplaceLeftovers(path);
    // Each form of the text is let go once the next is made: a large file costs a few
    // times its size, not the sum of its forms.
    SettingsText current = readForSave(path, fallback);
    SavedSettings saved;
    {
        PrivateProfile profile(std::exchange(current.text, QString()));
        try {
            saved.written = values(readSettings(profile));
        } catch (const AppError& e) { // a hand-edited score met by the merge
            throw SaveError(path, e.message());
        }
        writeSettings(profile, saved.written);
        saved.readBack = readSettings(profile);
        current.text = profile.text();
    }
    const QByteArray bytes = encodeSettingsText(std::exchange(current, {}));
    QString why;
    if (!replaceFile(path, bytes, &why))
        throw SaveError(path, why);
    return saved;
}

} // namespace

Settings readSettings(const PrivateProfile& profile) {
    Settings s;
    const QStringList xy = profile.readStrings(
        position, {QStringLiteral("xpos"), QStringLiteral("ypos")}, {QString(), QString()});
    const auto integer = [](const QString& text) {
        int value = 0;
        return parseProfileInt(text, &value) ? value : 0;
    };
    s.top = integer(xy[0]);
    s.left = integer(xy[1]);
    s.back = profile.readInt(back, QStringLiteral("back"), 0);
    // The ranking's 101 keys in one pass over its section.
    QStringList keys, defs;
    for (int i = 0; i < rankEntryCount; ++i) {
        keys << nameKey(i) << numberKey(i);
        defs << emptyRankName << emptyRankNumber;
    }
    keys << QStringLiteral("default");
    defs << QString();
    const QStringList texts = profile.readStrings(ranking, keys, defs);
    for (int i = 0; i < rankEntryCount; ++i) {
        s.ranking.RankNameList.append(withoutEscapes(texts[2 * i]));
        s.ranking.RankNumberList.append(withoutEscapes(texts[2 * i + 1]));
    }
    s.defaultName = withoutEscapes(texts.last());
    return s;
}

void writeSettings(PrivateProfile& profile, const Settings& s) {
    profile.writeStrings(position, {{QStringLiteral("xpos"), QString::number(s.top)},
                                    {QStringLiteral("ypos"), QString::number(s.left)}});
    profile.writeString(back, QStringLiteral("back"), QString::number(s.back));
    QList<std::pair<QString, QString>> entries;
    for (int i = 0; i < rankEntryCount; ++i) {
        entries.append({nameKey(i), s.ranking.RankNameList.value(i, emptyRankName)});
        entries.append({numberKey(i), s.ranking.RankNumberList.value(i, emptyRankNumber)});
    }
    entries.append({QStringLiteral("default"), s.defaultName});
    profile.writeStrings(ranking, entries);
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
    if (!text.byteOrderMark)
        return encodeUtf8Escaped(text.text);
    return utf8Bom + encodeUtf8Escaped(text.text);
}

Settings mergeSettings(const Settings& onDisk, const SettingsChanges& changes) {
    const Settings& loaded = changes.loaded;
    const Settings& current = changes.current;
    Settings out = onDisk;
    if (current.top != loaded.top || current.left != loaded.left) {
        out.top = current.top;
        out.left = current.left;
    }
    if (current.back != loaded.back)
        out.back = current.back;
    if (current.defaultName != loaded.defaultName)
        out.defaultName = current.defaultName;
    for (int b = 0; b < rankEntryCount; b += entriesPerLevel) {
        const auto block = [b](const Settings& s) {
            return std::pair(s.ranking.RankNameList.mid(b, entriesPerLevel),
                             s.ranking.RankNumberList.mid(b, entriesPerLevel));
        };
        if (block(current) == block(loaded))
            continue; // the file's block stands
        if (block(onDisk) == block(loaded)) {
            for (int i = b; i < b + entriesPerLevel; ++i) {
                out.ranking.RankNameList[i] = current.ranking.RankNameList.value(i, emptyRankName);
                out.ranking.RankNumberList[i] =
                    current.ranking.RankNumberList.value(i, emptyRankNumber);
            }
            continue;
        }
        for (const RankEntry& entry : changes.entered)
            if (entry.blockStart == b)
                out.ranking.enter(b, entry.name, entry.result);
    }
    return out;
}

SaveError::SaveError(const QString& path, QString reason)
    : AppError(QStringLiteral("%1 に書き込めません").arg(QDir::toNativeSeparators(path))),
      reason_(std::move(reason)) {}

QString missingLinkFolderReason(const QString& folder) {
    return QStringLiteral("リンク先のフォルダ %1 がありません")
        .arg(QDir::toNativeSeparators(folder));
}

Settings loadSettings(const QString& path, const QString& fallback) {
    QByteArray bytes;
    ReadResult result = readRegularFile(path, &bytes);
    if (result == ReadResult::Missing && !fallback.isEmpty())
        result = readRegularFile(fallback, &bytes);
    if (result != ReadResult::Read)
        return readSettings(PrivateProfile());
    return readSettings(PrivateProfile(decodeSettingsBytes(bytes).text));
}

void saveSettings(const QString& path, const Settings& settings) {
    saveMerged(path, QString(), [&](const Settings&) { return settings; });
}

SavedSettings saveSettings(const QString& path, const SettingsChanges& changes,
                           const QString& fallback) {
    return saveMerged(path, fallback,
                      [&](const Settings& onDisk) { return mergeSettings(onDisk, changes); });
}

void removeSaveLeftovers(const QString& path) {
    const FolderLock lock(QFileInfo(resolvedPath(path)).absolutePath(), 0);
    if (lock.held()) // else a save of another window is running there
        removeReplaceLeftovers(path);
}

void setSaveLockPatience(int ms) {
    lockPatience() = ms;
}
