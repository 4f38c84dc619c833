#include "store/conversions.h"

#include "platform/errors.h"

namespace {

[[noreturn]] void notAnInteger(const QString& text) {
    throw AppError(QStringLiteral("'%1' は整数ではありません").arg(text));
}

} // namespace

std::int32_t strToInt(const QString& text) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    if (i == text.size())
        notAnInteger(text);
    // Accumulated as a negative number so that -2147483648 fits.
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char16_t ch = text[i].unicode();
        if (ch < u'0' || ch > u'9')
            notAnInteger(text);
        value = value * 10 - (ch - u'0');
        if (value < INT32_MIN)
            notAnInteger(text);
    }
    if (!negative) {
        value = -value;
        if (value > INT32_MAX)
            notAnInteger(text);
    }
    return std::int32_t(value);
}
