#pragma once

#include "Disclosure.h"
#include "NativePath.h"
#include "Profile.h"

#include <QLocale>
#include <QString>
#include <array>
#include <vector>

// A second profile laid over the loaded one: a respondent held against the team's mean, a
// department against the company, this year against last year.
struct ReferenceProfile
{
    ProfileStore store; // percent state
    HeaderTexts header;
    int count = 0;
    bool group = false;
    QString folderName; // a group's folder as shown, without its path
    // Its members' moments, for the tests of a comparison of two groups
    // (comparisonTests(profile.moments, reference.moments)) and a respondent's percentile
    // within the group (percentileWithin).
    ValueMoments moments{};
    // A group's members' 36 values in percent (indexed as ValueMoments::value), for the exact
    // percentile of a respondent within it; empty where the members were not read (an
    // anonymous subgroup), which then takes the normal approximation from the moments.
    std::vector<std::array<double, kValueCount>> memberValues;
    // The tests of the profile against this reference when they were made elsewhere: a subgroup
    // shown over its whole folder is tested against the rest of the folder, with the p and the
    // marks of the breakdown it comes from, since the folder contains it.
    std::optional<ValueTests> tests;
};

// A member's 36 values in percent, converted as the shown profile is, so that a respondent with
// a member's very answers ties with that member.
std::array<double, kValueCount> percentValues(const ProfileStore &raw);

// The reference from a profile read in the raw state (a loaded file or group), converted to
// percentages; folderName names a group. Of its members only their values are copied.
ReferenceProfile referenceOf(const LoadedProfile &loaded, const QString &folderName = {});

// What names the reference on screen: its code and name, or for a group the folder's name and
// the number of files.
QString referenceCaption(const ReferenceProfile &reference);
// How many characters at the end of a caption give a group's number of files (", файлов: 12"),
// which stays whole when the caption is cut to fit; 0 for a person's caption.
qsizetype referenceCaptionCountLength(const QString &caption);
// A caption of at most about most characters: a longer name loses its middle to "…", so that
// names that differ only in their ends stay apart; the number of files stays whole.
QString shownReferenceCaption(const QString &caption, qsizetype most);

// This profile minus the reference, in percentage points, indexed as the store is.
struct ProfileDifference
{
    std::array<double, kSummaryCount + 1> summary{};
    std::array<double, kScaleScoreCount + 1> scales{};
};
ProfileDifference profileDifference(const ProfileStore &profile, const ProfileStore &reference);

// A difference of this many points or more is worth the reader's eye.
inline constexpr double kNotableDifference = 10;

// The difference the reader can check: the two values rounded to one decimal, as they are
// shown, then subtracted, so that 56.26 against 55.74 gives 0.6 ("56,3" - "55,7"), not 0.5.
// Saved numbers keep the unrounded difference.
double shownDifference(double value, double reference);

// Whether a difference is worth the reader's eye: kNotableDifference points or more as it is
// shown, with one decimal, so a difference that reads "+10,0" is marked and "+9,9" is not.
bool isNotableDifference(double difference);

// A difference as the reader sees it: signed, one decimal, the locale's decimal mark ("+12,5",
// "-3,0"); one that shows as zero has no sign.
QString differenceText(double difference, const QLocale &locale = QLocale::system());

// The name of ScaleScores[i] (1..24) as the results table places it: the factor (II) it stands
// under, then its own name ("Инновация / Поощрение", "Адаптация / Климат"), since the table
// repeats the base scales' and the factor (III) cells' names under every factor (II).
QString scaleCaption(int i);

// One line of a comparison table: the twelve summary values (named by
// ProfileStore::SummaryNames), then the 24 scales (named by scaleCaption), in store order.
struct ComparisonRow
{
    QString name;
    double value = 0;     // this profile
    double reference = 0; // the reference
    double difference = 0;
};
std::vector<ComparisonRow> comparisonRows(const ProfileStore &profile,
                                          const ProfileStore &reference);

// The 36 values of a store in the percent state: the summary values, then the scales (indexed
// as ValueMoments::value).
std::array<double, kValueCount> valuesOf(const ProfileStore &percent);

// What the statistics say of a comparison, value by value (indexed as ValueMoments::value).
// Two groups: Welch's test of each value with Benjamini-Hochberg over the 36 (comparisonTests).
// A respondent against a group: where the respondent stands within the group, the exact
// mid-rank percentile from the members' values, else the normal approximation. Any other pair
// (a group against a respondent, two respondents): nothing, since one answer sheet has no spread
// to test against. A group below the spread minimum (or whose spread is withheld) is neither
// tested nor a group to place a respondent in: Kind::Withheld. A difference is marked when it
// holds after Benjamini-Hochberg and reaches the minimum difference as shown.
struct ComparisonStatistics
{
    enum class Kind { None, Tests, Percentile, Withheld };
    Kind kind = Kind::None;
    ValueTests tests;                                            // Kind::Tests
    std::array<std::optional<double>, kValueCount> percentile{}; // Kind::Percentile, 0..100
    int minSpread = 0;                                           // Kind::Withheld
};
// profile: the compared profile in the percent state; groupMoments: its members' moments when
// it is a group, nullptr for a respondent.
ComparisonStatistics comparisonStatistics(const ProfileStore &profile,
                                          const ValueMoments *groupMoments,
                                          const ReferenceProfile &reference,
                                          const Disclosure &disclosure);
