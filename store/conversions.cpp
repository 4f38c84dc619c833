#include "store/conversions.h"

#include "platform/errors.h"

bool parseDecimal(QStringView text, std::int32_t* value) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        negative = text[i++] == QLatin1Char('-');
    if (i == text.size())
        return false;
    // Accumulated as a negative number so that -2147483648 fits.
    std::int64_t v = 0;
    for (; i < text.size(); ++i) {
        const char16_t ch = text[i].unicode();
        if (ch < u'0' || ch > u'9')
            return false;
        v = v * 10 - (ch - u'0');
        if (v < INT32_MIN)
            return false;
    }
    if (!negative) {
        v = -v;
        if (v > INT32_MAX)
            return false;
    }
    *value = std::int32_t(v);
    return true;
}

std::int32_t strToInt(const QString& text) {
    std::int32_t value = 0;
    if (!parseDecimal(text, &value))
        throw AppError(QStringLiteral("'%1' は整数ではありません").arg(text));
    return value;
}
