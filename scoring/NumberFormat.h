#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>

// Fixed-point text of value with the given number of decimals, padded with leading blanks to
// at least width characters, using decimalPoint. The value is rounded on its decimal expansion
// to 18 significant digits, halves away from zero (6.25 gives 6.3 and 12.5 gives 13, where C's
// printf would round the binary tie to even). A negative value keeps its minus sign, also when
// it rounds to zero.
QString formatFixed(double value, int decimals, int width, const QString &decimalPoint);

// "%3.1f" and "%3.0f" with the locale's decimal separator.
QString formatOneDecimal(double value, const QLocale &locale = QLocale::system());
QString formatWhole(double value, const QLocale &locale = QLocale::system());

// Today's date in the locale's short date format.
QString todayText(const QLocale &locale = QLocale::system());

// The shortest text that reads back as the same double, with the given decimal point; the C
// library's locale plays no part.
QByteArray shortestNumberText(double value, char decimalPoint);
