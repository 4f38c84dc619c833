#pragma once
// What NameEdit accepts: at most 20 columns (columnWidth) and no control characters.
// Line breaks, tabs and other control characters are dropped from whatever is typed or
// pasted, so a name always stays one line of the settings file; of a text too long for
// the room left, as much as fits goes in.

#include <QValidator>

class NameValidator : public QValidator {
public:
    static constexpr int maxColumns = 20;

    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// The text without control characters and line or paragraph separators.
QString withoutControlCharacters(const QString& text);
