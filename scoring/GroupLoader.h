#pragma once

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
};

// The answer files of a folder in reading order: every entry whose name ends in ".txt" in any
// letter case, hidden ones included, sub-folders and their contents left out, sorted by the
// shown name ignoring letter case (upper-case comparison, as the original platform's listing
// orders them). Throws "Cannot open file %s" when the folder cannot be listed.
std::vector<GroupMember> groupMembers(const NativePath &folder);
// The shown names of groupMembers.
QStringList groupMemberNames(const QString &folder);

// Reads every member of the folder into a fresh store and divides by their number. today is the
// header date. Throws "Cannot open file %s" or the integer message (with the member's path as
// its file) at the first bad member, and a message of its own when the folder has no answer
// file; nothing is returned half-read. members: whether each member's own scores are kept in
// LoadedProfile::members (the exports need only the group or one row at a time, and a folder
// of many thousand files need not hold them all). onMember, when given, sees every member as
// it is read.
enum class Members { Keep, Drop };
using MemberSink = std::function<void(const MemberProfile &)>;
LoadedProfile loadGroup(const QString &folder, const QString &today,
                        Members members = Members::Keep, const MemberSink &onMember = {});
LoadedProfile loadGroup(const NativePath &folder, const QString &today,
                        Members members = Members::Keep, const MemberSink &onMember = {});

// The steps of a group load, for whoever forms groups of members read elsewhere: the group
// before its first member; a member counted and its raw scores added (the store's answers stay
// those of the last member added); a member's line in the details (name, code and date); the
// sums made means.
LoadedProfile startGroup(const QString &today);
void addMemberScores(LoadedProfile &group, const ProfileStore &member);
QString memberDetailsLine(const HeaderTexts &header);
void finishGroupMeans(LoadedProfile &group);

// A subgroup of a breakdown, read with its members, made anonymous (LoadedProfile::anonymous):
// the spread of every column taken, then the members and their list let go; the details become
// anonymousDetails.
void makeAnonymous(LoadedProfile &subgroup);
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
