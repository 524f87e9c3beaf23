#pragma once

#include "Comparison.h"
#include "Profile.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <array>
#include <span>
#include <vector>

// The table of individual results behind a profile: one row per answer file read, with the
// group's spread. Consultants take it into spreadsheets; the report shows the spread.

Spread spreadOf(const std::vector<double> &values);

// The same figures gathered one value at a time (Welford's update), so a table of any length
// needs no column kept.
class SpreadAccumulator
{
public:
    void add(double value);
    Spread result() const;

private:
    Spread s_;
    double squares_ = 0; // sum of squared differences from the running mean
};

// The table of individual results, in its columns: the texts file, code, name and date; then
// the numbers answer1..32, summary1..12 and scale1..24, the scores in percent, unrounded; for a
// group then the statistics rows "mean", "sd", "min" and "max" of every number column. The CSV
// and the workbook are written from this one model.
inline constexpr int kTableNumberColumns = kAnswerCount + kSummaryCount + kScaleScoreCount;
// Index of the first percentage among the number columns (summary1).
inline constexpr int kTableFirstPercent = kAnswerCount;

// The heading of a number column 0..kTableNumberColumns - 1: "answer1", "summary12", "scale3".
QByteArray tableNumberHeading(int column);
// The score range a percentage column is taken over (a row of ProfileStore::ScoreRanges), and
// the raw score it is taken of.
int tableRangeRow(int column);
double tableRawScore(const ProfileStore &raw, int column);

struct TableStatistic
{
    const char *name;
    double Spread::*field;
};
inline constexpr std::array<TableStatistic, 4> kTableStatistics{
    {{"mean", &Spread::mean}, {"sd", &Spread::sd}, {"min", &Spread::min}, {"max", &Spread::max}}};

// The number rows as the members arrive, with the running spread of every column, so a table
// of any length needs no column kept.
class TableRows
{
public:
    using Numbers = std::array<double, kTableNumberColumns>;
    // The member's answers and scores in percent, counted into the spread; valid until the
    // next call.
    const Numbers &add(const ProfileStore &raw);
    Spread spread(int column) const { return columns_[std::size_t(column)].result(); }
    // The spread of the twelve summary values, indexed 1..12.
    std::array<Spread, kSummaryCount + 1> summarySpread() const;

private:
    Numbers numbers_{};
    std::array<SpreadAccumulator, kTableNumberColumns> columns_{};
};

// A group's spread as the report shows it: the twelve summary values' over the members,
// indexed 1..12 (an anonymous subgroup's as it was kept), and the moments of the members'
// values, for the agreement and the tests of a comparison.
struct GroupSpread
{
    std::array<Spread, kSummaryCount + 1> summary{};
    ValueMoments moments{};
};
GroupSpread summarySpread(const LoadedProfile &loaded);

// The statistics rows of an anonymous subgroup's table, which has no member rows: n, then these.
// Never the minimum or maximum: with a few members they give a member's own values away.
inline constexpr std::array<TableStatistic, 2> kAnonymousStatistics{
    {{"mean", &Spread::mean}, {"sd", &Spread::sd}}};
// Those a subgroup shows: below the spread minimum the mean alone.
std::span<const TableStatistic> anonymousStatistics(const LoadedProfile &loaded);

// The column titles of a spread table: the value's name, then n, mean, sd, min and max.
QStringList spreadTitles();
// The titles of the columns a spread table may add: the two ends of the 95 % confidence interval
// of the mean and the agreement rwg(j).
QStringList spreadStatisticsTitles();

