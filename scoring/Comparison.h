#pragma once

#include "NativePath.h"
#include "Profile.h"

#include <QString>
#include <array>

// A second profile laid over the loaded one: a respondent held against the team's mean, a
// department against the company, this year against last year.
struct ReferenceProfile
{
    ProfileStore store; // percent state
    HeaderTexts header;
    int count = 0;
    bool group = false;
    QString folderName; // a group's folder as shown, without its path
};

// Reads the reference exactly as Data reads a file and Group a folder: same rules, same
// messages. Throws on failure; nothing is returned half-read.
ReferenceProfile loadReference(const NativePath &path, const QString &today);

// The reference from a profile read in the raw state (a loaded file or group), converted to
// percentages; folderName names a group.
ReferenceProfile referenceOf(LoadedProfile loaded, const QString &folderName = {});

// What names the reference on screen: its code and name, or for a group the folder's name and
// the number of files.
QString referenceCaption(const ReferenceProfile &reference);

// This profile minus the reference, in percentage points, indexed as the store is.
struct ProfileDifference
{
    std::array<double, kSummaryCount + 1> summary{};
    std::array<double, kScaleScoreCount + 1> scales{};
};
ProfileDifference profileDifference(const ProfileStore &profile, const ProfileStore &reference);

// A difference of this many points or more is worth the reader's eye.
inline constexpr double kNotableDifference = 10;
