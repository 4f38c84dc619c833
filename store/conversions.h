#pragma once
// Text to number, as the ranking's texts need it.

#include <QString>

#include <cstdint>

// Strict decimal: an optional "+" or "-" followed by one or more digits 0-9, nothing
// else (no blanks), within the signed 32-bit range. Anything else throws AppError
// "'<text>' は整数ではありません".
std::int32_t strToInt(const QString& text);
