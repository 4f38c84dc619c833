#include "shell/name_validator.h"

#include "store/text_columns.h"

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
    int excess = columnWidth(input) - maxColumns;
    if (excess <= 0)
        return Acceptable;
    // What was just typed or pasted ends at the cursor: drop its end until the rest fits.
    int cut = pos;
    while (excess > 0 && cut > 0) {
        const bool pair =
            cut >= 2 && input[cut - 1].isLowSurrogate() && input[cut - 2].isHighSurrogate();
        const int size = pair ? 2 : 1;
        excess -= columnWidth(input.mid(cut - size, size));
        cut -= size;
    }
    if (excess > 0)
        return Invalid;
    input.remove(cut, pos - cut);
    pos = cut;
    return Acceptable;
}
