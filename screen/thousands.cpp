#include "screen/thousands.h"

QString formatThousands(const QString& digits) {
    QString result;
    const qsizetype n = digits.size();
    result.reserve(n + n / 3);
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            result += QLatin1Char(',');
        result += digits[i];
    }
    return result;
}
