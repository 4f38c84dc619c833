#include "shell/name_validator.h"

#include "shell/sjis_width.h"

namespace {

bool isControl(QChar c) {
    switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

} // namespace

QString withoutControlCharacters(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (!isControl(c))
            out += c;
    return out;
}

QValidator::State NameValidator::validate(QString& input, int& pos) const {
    const QString clean = withoutControlCharacters(input);
    if (clean.size() != input.size()) {
        // Keep the cursor after what was typed, less the dropped characters before it.
        pos = int(withoutControlCharacters(input.left(pos)).size());
        input = clean;
    }
    return sjisWidth(input) <= maxColumns ? Acceptable : Invalid;
}
