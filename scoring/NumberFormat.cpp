#include "NumberFormat.h"

#include <QDate>
#include <charconv>
#include <cmath>
#include <string>

namespace {
constexpr int kSignificantDigits = 18;
}

QString formatFixed(double value, int decimals, int width, const QString &decimalPoint)
{
    QString text;
    if (std::isnan(value)) {
        text = QStringLiteral("NAN");
    } else if (std::isinf(value)) {
        text = value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    } else {
        // d.ddddddddddddddddde+XX: the 18 significant digits and the decimal exponent. to_chars
        // writes "." whatever the C library's locale says, where printf would write ",".
        char buf[48];
        const auto written = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                                           std::chars_format::scientific, kSignificantDigits - 1);
        const char *const end = written.ptr;
        // A leading zero takes the carry of a round-up (9.96 to 10.0).
        std::string digits = "0";
        const char *p = buf;
        for (; p != end && *p != 'e'; ++p)
            if (*p >= '0' && *p <= '9')
                digits.push_back(*p);
        int exponent = 0;
        if (value != 0.0 && p != end) {
            const char *e = p + 1;
            if (e != end && *e == '+')
                ++e;
            std::from_chars(e, end, exponent);
        }

        // Digits before the point, counting the leading zero; keep those plus the decimals.
        const int intDigits = exponent + 2;
        const int keep = intDigits + decimals;
        if (keep <= 0) {
            digits.assign(1, '0');
        } else if (keep < int(digits.size())) {
            const bool roundUp = digits[keep] >= '5';
            digits.resize(keep);
            for (int i = keep - 1; roundUp && i >= 0; --i) {
                if (digits[i] != '9') {
                    ++digits[i];
                    break;
                }
                digits[i] = '0';
            }
        }
        // Lay the kept digits out around the point, padding with zeros on either side.
        std::string integerPart;
        std::string fraction;
        for (int i = 0; i < intDigits; ++i)
            integerPart.push_back(i < int(digits.size()) ? digits[i] : '0');
        const auto firstNonZero = integerPart.find_first_not_of('0');
        integerPart =
            firstNonZero == std::string::npos ? std::string("0") : integerPart.substr(firstNonZero);
        for (int i = 0; i < decimals; ++i) {
            const int at = intDigits + i;
            fraction.push_back(at >= 0 && at < int(digits.size()) ? digits[at] : '0');
        }
        // A negative value keeps its sign even when it rounds to zero (-0.04 is "-0.0").
        if (value < 0)
            text = QStringLiteral("-");
        text += QString::fromLatin1(integerPart.data(), qsizetype(integerPart.size()));
        if (decimals > 0)
            text += decimalPoint + QString::fromLatin1(fraction.data(), qsizetype(fraction.size()));
    }
    if (text.size() < width)
        text.prepend(QString(width - text.size(), QLatin1Char(' ')));
    return text;
}

QString formatOneDecimal(double value, const QLocale &locale)
{
    return formatFixed(value, 1, 3, locale.decimalPoint());
}

QString formatWhole(double value, const QLocale &locale)
{
    return formatFixed(value, 0, 3, locale.decimalPoint());
}

QString todayText(const QLocale &locale)
{
    return locale.toString(QDate::currentDate(), QLocale::ShortFormat);
}

QByteArray shortestNumberText(double value, char decimalPoint)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    for (char *p = buffer; p != result.ptr; ++p)
        if (*p == '.')
            *p = decimalPoint;
    return QByteArray(buffer, result.ptr - buffer);
}
