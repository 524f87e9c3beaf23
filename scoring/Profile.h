#pragma once

#include "ProfileStore.h"

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

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

// One answer file as read: its name as shown, its header texts and its own scores (raw).
struct MemberProfile
{
    QString file;
    HeaderTexts header;
    ProfileStore store;
};

// A profile read from disk in the raw state, with the header texts the load sets.
struct LoadedProfile
{
    ProfileStore store;
    HeaderTexts header;
    int count = 0;      // questionnaires read
    bool group = false; // true for a group load
    // The answers over every file read, unrounded: a respondent's own answers, a group's
    // members' means. The store keeps the last member's answers, which the analysis text uses.
    std::array<double, kAnswerCount + 1> meanAnswers{};
    // Every file read, in load order (the one file of a respondent), for the tables of
    // individual answers and the group's spread.
    std::vector<MemberProfile> members;
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
