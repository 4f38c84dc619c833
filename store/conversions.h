#pragma once
// Text to number: the one decimal reading of the settings file's integers and the
// ranking's scores.

#include <QString>
#include <QStringView>

#include <cstdint>

// Strict decimal: an optional "+" or "-" followed by one or more digits 0-9, nothing
// else (no blanks), within the signed 32-bit range. False for anything else.
bool parseDecimal(QStringView text, std::int32_t* value);

// parseDecimal, or AppError "'<text>' は整数ではありません" when the text is no such number.
std::int32_t strToInt(const QString& text);
