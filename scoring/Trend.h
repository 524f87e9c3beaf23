#pragma once

#include "Breakdown.h"
#include "NativePath.h"
#include "Profile.h"
#include "ProfileTable.h"
#include "Statistics.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

// A company surveyed again and again, each survey's answer files in a folder of their own under
// one parent folder ("2023", "2024", … or "Волна 1", "Волна 2", …): the waves side by side in
// order, with the changes from one wave to the next that are more than noise.

// The 36 values of a row: the twelve summary values, then the 24 scales, as in the breakdown.
inline constexpr int kTrendColumns = kBreakdownColumns;

// A wave as --json of its folder shows it: count and percentages, unrounded.
struct TrendWave
{
    QString name;
    NativePath folder; // where the wave lies, to open it as a group
    int count = 0;
    std::array<double, kSummaryCount + 1> summary{};   // 1..12
    std::array<double, kScaleScoreCount + 1> scales{}; // 1..24
    ValueMoments moments;                              // of its members' values, in percent
    // The value of column 0..kTrendColumns - 1.
    double value(int column) const;
};

// A wave below the minimum size: named and counted, never shown.
struct TrendWithheld
{
    QString name;
    int count = 0;
};

// The change from one shown wave to the next.
struct TrendChange
{
    int from = 0; // index into Trend::waves
    int to = 0;
    std::array<double, kTrendColumns> difference{}; // later minus earlier, unrounded
    // Welch's two-sided test of the two waves' members; none where it is undefined (a wave of
    // one file, no spread on both sides) or withheld (a wave below the spread minimum).
    std::array<std::optional<double>, kTrendColumns> p{};
    // Benjamini–Hochberg over every change of the trend, below kSignificanceLevel, and at least
    // the minimum difference as shown.
    std::array<bool, kTrendColumns> significant{};
};

struct Trend
{
    QString folder;                      // the parent's name as shown
    Disclosure disclosure;               // minSize: the smallest wave shown
    std::vector<TrendWithheld> withheld; // in wave order
    std::vector<TrendWave> waves;        // shown, in wave order
    std::vector<TrendChange> changes;    // one per pair of consecutive shown waves
};

// The changes between consecutive waves: differences, Welch's p and the marks.
std::vector<TrendChange> trendChanges(const std::vector<TrendWave> &waves,
                                      const Disclosure &disclosure);


