#pragma once

#include "AnswerFile.h"
#include "NativePath.h"
#include "Profile.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// Reads one respondent's answer file into a fresh store: header lines 1-3, details lines 4-7,
// scores from ReadAnswers. Throws on the first failure; nothing is returned half-read.
LoadedProfile loadRespondent(const QString &path);
LoadedProfile loadRespondent(const NativePath &path);

// One answer file of a group: its name as the file system holds it and as it is shown.
struct GroupMember
{
    NativePath native;
    QString shown;
    bool regular = false; // the folder's listing knows it for a regular file
};

// Whether a group load keeps each member's own scores in LoadedProfile::members (the exports
// need only the group or one row at a time, and a group of many thousand members need not hold
// them all), and who sees every member as it is read.
// Sums: neither the members nor their list in the details, for an export that prints no member
// (a breakdown), so that a folder of 100,000 files is not held as 100,000 lines.
enum class Members { Keep, Drop, Sums };
using MemberSink = std::function<void(const MemberProfile &)>;

// The header texts of an answer file: lines 1 to 3 and the details lines 4 to 7.
HeaderTexts answerFileHeader(const AnswerFileText &text);

// The steps of a group load, for whoever forms groups of members read elsewhere: the group
// before its first member; a member counted and its raw scores added (the store's answers stay
// those of the last member added); a member's line in the details (name, code and date); the
// sums made means.
LoadedProfile startGroup(const QString &today);
void addMemberScores(LoadedProfile &group, const ProfileStore &member);
QString memberDetailsLine(const HeaderTexts &header);
// memberDetailsLine of the file's header, decoded straight into the line.
QString memberDetailsLine(const AnswerFileText &text);
void finishGroupMeans(LoadedProfile &group);

// A subgroup of a breakdown, read with its members, made anonymous (LoadedProfile::anonymous):
// the spread of every column taken, then the members and their list let go; the details become
// anonymousDetails. No minimum or maximum is kept; without showSpread (a subgroup below the
// spread minimum) no spread at all: the moments are withheld and the spread has n and mean only.
void makeAnonymous(LoadedProfile &subgroup, bool showSpread);
// What an anonymous subgroup's details say instead of its members: its name and size.
QStringList anonymousDetails(const QString &name, int count);
// "анкета", "анкеты" or "анкет", as the number asks.
QString questionnaires(int count);

// The header texts of a group's members together may come to this much; a folder over it is
// refused with a message naming the limit, since every member's name, code and date are kept
// and shown several times over. Real members bring a few hundred bytes each.
inline constexpr qsizetype kMaxGroupHeaderBytes = 64 * 1024 * 1024;

// The message for a folder without answer files.
QString emptyGroupMessage(const QString &folder);
