#pragma once

#include "ProfileStore.h"

#include <array>
#include <optional>
#include <vector>

// The statistics that say which numbers to trust: the spread of a group's values with the
// confidence interval of their mean, the agreement of its members (rwg(j)), how much of the
// differences lies between the rows of a breakdown (ICC), and which differences are more than
// chance (Welch's t-test with Benjamini-Hochberg control). Each figure is what R's standard
// functions give (t.test, p.adjust, qt, multilevel::rwg.j, ICC1, ICC2); a figure that is not
// defined is std::nullopt, never 0 or NaN.

// n, mean, sum of squared deviations, minimum and maximum of a column of values, gathered one
// value at a time (Welford's update), so that no value need be kept.
struct Moments
{
    int n = 0;
    double mean = 0;
    double m2 = 0;
    double min = 0;
    double max = 0;
    // The spread is not to be published (a subgroup below the spread minimum): m2, min and max
    // are 0 and every figure of the spread, and so every test, is undefined.
    bool withheld = false;
    void add(double x);
    std::optional<double> variance() const; // sample variance, n - 1 in the divisor
    std::optional<double> sd() const;       // undefined for n < 2 and when withheld
    // mean ± t(0.975, n - 1)·sd/√n
    std::optional<std::array<double, 2>> ci95() const;
    bool operator==(const Moments &) const = default;
};

// The 95 % confidence interval of a mean from n values of sample standard deviation sd:
// mean ± t(0.975, n - 1)·sd/√n; none for n < 2.
std::optional<std::array<double, 2>> meanInterval95(int n, double mean, double sd);

// An interval of a percentage as it is shown: within 0 to 100, which no mean can leave (the
// exports keep the bounds as computed).
std::optional<std::array<double, 2>>
clippedToPercent(const std::optional<std::array<double, 2>> &interval);

// Two columns as one (the pooled subgroups of a breakdown).
Moments mergedMoments(const Moments &a, const Moments &b);
// The values of whole that are not in part (the rest of a folder beside one subgroup): n, mean
// and m2 only, the minimum and maximum being unknown (0).
Moments remainderMoments(const Moments &whole, const Moments &part);

// The values of a group's members: the 12 summary values and 24 scales in percent, as --json
// shows them, and the 32 answers (1 to 7) that agreement is measured on.
inline constexpr int kValueCount = kSummaryCount + kScaleScoreCount;
struct ValueMoments
{
    std::array<Moments, kSummaryCount> summary;
    std::array<Moments, kScaleScoreCount> scales;
    std::array<Moments, kAnswerCount> answers;
    // One member in the raw state (as read).
    void add(const ProfileStore &rawMember);
    // Value 0..kValueCount - 1: the summary values, then the scales (a breakdown's columns).
    const Moments &value(int index) const;
    Moments &value(int index);
    // Whether the spread of these members is withheld (Moments::withheld).
    bool spreadWithheld() const { return summary[0].withheld; }
    bool operator==(const ValueMoments &) const = default;
};
ValueMoments mergedMoments(const ValueMoments &a, const ValueMoments &b);
ValueMoments remainderMoments(const ValueMoments &whole, const ValueMoments &part);
// An anonymous subgroup's: the minimum and maximum forgotten (0), since with a few members they
// give a member's own value away; with withholdSpread the whole spread too (Moments::withheld).
void forgetExtremes(ValueMoments &moments, bool withholdSpread = false);

// ---- distributions

// Student's t distribution with df degrees of freedom (df > 0, not necessarily whole): the
// probability of a value at most t (R's pt), and the quantile of probability p in (0, 1) (qt).
// Outside their domains (df not above 0, p not inside (0, 1), a NaN) both give NaN at once.
double studentTCdf(double t, double df);
double studentTQuantile(double p, double df);
// The regularized incomplete beta function I_x(a, b); NaN for a or b not above 0 and x outside
// [0, 1].
double regularizedBeta(double x, double a, double b);

// A loaded profile's figures (LoadedProfile::moments): its confidence intervals are
// moments.value(i).ci95(), its agreement agreementOf(moments), and agreementIsLow says when the
// group gets the warning that its mean describes its members poorly.

// ---- tests

// Two-sided p of Welch's t-test (R's t.test(x, y)); nullopt when undefined (n < 2 on a side,
// zero variance on both sides).
std::optional<double> welchP(const Moments &x, const Moments &y);
// Benjamini-Hochberg adjusted p (R's p.adjust(p, "BH")); undefined entries stay undefined and
// are not counted.
std::vector<std::optional<double>> adjustBH(const std::vector<std::optional<double>> &p);
// The false discovery rate a difference is called significant at.
inline constexpr double kSignificanceLevel = 0.05;

// Welch's test of each of the 36 values of a against b, Benjamini-Hochberg over the 36: what
// the comparison of two groups marks (indexed as ValueMoments::value).
struct ValueTests
{
    std::array<std::optional<double>, kValueCount> p{};
    std::array<bool, kValueCount> significant{};
};
ValueTests comparisonTests(const ValueMoments &a, const ValueMoments &b);

// Where a respondent's value stands within a group, in percent of the members (0..100): the
// members below it and half of those equal to it (the mid-rank percentile). The exact figure
// needs the members' values; without them, the normal approximation from the group's moments
// (nullopt when the group has no spread).
double percentileWithin(double value, const std::vector<double> &members);
std::optional<double> percentileWithin(double value, const Moments &group);

// ---- agreement within a group: rwg(j) (multilevel::rwg.j)

// The variance of an answer given at random on the 7 steps: (7² - 1) / 12.
inline constexpr double kUniformAnswerVariance = 4.0;
// Below this the group's mean describes its members poorly.
inline constexpr double kAgreementThreshold = 0.70;
inline constexpr int kFactorIIBlocks = 4; // the factor (II) blocks of eight answers

// rwg(j) of J items from their sample variances: S is their mean, at most sigma2.
std::optional<double> rwgJ(const std::vector<std::optional<double>> &itemVariances,
                           double sigma2 = kUniformAnswerVariance);

// The answers (1..32) that make up scale 1..16 (two), factor (III) cell 17..24 (four, those of
// its two scales) and factor (II) block 1..4 (eight).
std::vector<int> scaleAnswers(int scale);
std::vector<int> blockAnswers(int block);

struct Agreement
{
    std::array<std::optional<double>, kScaleScoreCount> scales{}; // 16 scales, 8 cells
    std::array<std::optional<double>, kFactorIIBlocks> blocks{};
};
// From the sample variance of each answer, indexed 1..32.
Agreement agreementOf(const std::array<std::optional<double>, kAnswerCount + 1> &answerVariance);
Agreement agreementOf(const ValueMoments &moments);
// Whether any block's agreement is below kAgreementThreshold (the group's warning).
bool agreementIsLow(const Agreement &agreement);

// ---- a breakdown: ICC(1) and ICC(2) of the one-way analysis of variance over its rows
// (multilevel::ICC1 and ICC2 of aov(value ~ row)), k the mean row size. A figure undefined in
// exact arithmetic is none: ICC(1) when the rows differ neither between nor within, ICC(2) when
// all row means are equal (what rounding leaves of a sum of squares is taken as zero).
struct Icc
{
    std::optional<double> icc1;
    std::optional<double> icc2;
};
Icc iccOf(const std::vector<Moments> &rows);
