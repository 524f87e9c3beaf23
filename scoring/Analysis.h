#pragma once

#include "ProfileStore.h"

#include <QLocale>
#include <QString>
#include <QStringList>

// The header texts that name the profile on screen: the three editable header fields and the
// details (four lines of a respondent, or the group's member list).
struct HeaderTexts
{
    QString code;
    QString name;
    QString date;
    QStringList details;
    bool operator==(const HeaderTexts &) const = default;
};

// The factor analysis of a profile in the percent state, one entry a line: heading, today's
// date, the respondent line (left out when the name is exactly "Группа"), the details, then the
// seventeen result sentences separated by empty lines.
QStringList analysisLines(const ProfileStore &store, const HeaderTexts &header,
                          const QString &today, const QLocale &locale = QLocale::system());
