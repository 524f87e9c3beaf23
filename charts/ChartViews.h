#pragma once

#include <QString>

// The one foot line of the chart: code, name and date separated by single blanks.
QString chartFootLine(const QString &code, const QString &name, const QString &date);
