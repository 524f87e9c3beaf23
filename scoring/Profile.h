#pragma once

#include "ProfileStore.h"

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

// A profile read from disk in the raw state, with the header texts the load sets.
struct LoadedProfile
{
    ProfileStore store;
    HeaderTexts header;
    int count = 0;      // questionnaires read
    bool group = false; // true for a group load
};

// Texts of a group's header.
inline QString groupCode()
{
    return QStringLiteral("0000");
}
inline QString groupName()
{
    return QStringLiteral("Группа");
}
inline QString groupDetailsHead()
{
    return QStringLiteral("Состав группы:");
}
