#pragma once

#include "ProfileStore.h"
#include "Statistics.h"

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

// n, mean, sample standard deviation (n - 1 in the divisor; 0 for a single value), minimum and
// maximum of a column of values.
struct Spread
{
    int n = 0;
    double mean = 0;
    double sd = 0;
    double min = 0;
    double max = 0;
    bool operator==(const Spread &) const = default;
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
    // A subgroup opened from a breakdown is anonymous, so that no member can be recognised by
    // anything a client receives: members is empty, the details name the subgroup and its size,
    // the store's answers are the members' means rounded (not the last member's), and the
    // tables and the report have only the n, mean and sd of each number column of the table of
    // individual results, below (min and max are 0 and never shown); below the spread minimum
    // only n and mean (moments.spreadWithheld(), sd 0 and never shown).
    bool anonymous = false;
    std::vector<Spread> spread{};
    // The moments of every member's values, gathered as the members are read (no member is kept
    // for them): the spread, the agreement and the tests of the statistics. An anonymous
    // subgroup's have no minimum or maximum.
    ValueMoments moments{};
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
