#pragma once

#include "Profile.h"

#include <QLocale>
#include <QString>
#include <QStringList>

// The factor analysis of a profile in the percent state, one entry a line: heading, today's
// date, the respondent line (left out when the name is exactly "Группа"), the details, then the
// seventeen result sentences separated by empty lines.
QStringList analysisLines(const ProfileStore &store, const HeaderTexts &header,
                          const QString &today, const QLocale &locale = QLocale::system());
