#include "ChartViews.h"

QString chartFootLine(const QString &code, const QString &name, const QString &date)
{
    return code + QLatin1Char(' ') + name + QLatin1Char(' ') + date;
}
