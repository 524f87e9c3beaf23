#pragma once

#include "Profile.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <array>
#include <vector>

// The table of individual results behind a profile: one row per answer file read, with the
// group's spread. Consultants take it into spreadsheets; the report shows the spread.

// n, mean, sample standard deviation (n - 1 in the divisor; 0 for a single value), minimum and
// maximum of a column.
struct Spread
{
    int n = 0;
    double mean = 0;
    double sd = 0;
    double min = 0;
    double max = 0;
    bool operator==(const Spread &) const = default;
};
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

// The spread of the twelve summary values over the members, indexed 1..12.
std::array<Spread, kSummaryCount + 1> summarySpread(const LoadedProfile &loaded);

// How a table is written: plain RFC 4180 for scripts, or for a spreadsheet in the user's
// language (byte order mark; ";" and the decimal comma where the locale writes numbers so;
// text that a spreadsheet would run as a formula gets a leading apostrophe).
struct CsvStyle
{
    char separator = ',';
    char decimalPoint = '.';
    bool byteOrderMark = false;
    bool guardFormulas = false;
};
CsvStyle scriptCsv();
CsvStyle spreadsheetCsv(const QLocale &locale = QLocale::system());

// The table as CSV in UTF-8: a header row; one row per member (file, code, name, date,
// answer1..32, summary1..12, scale1..24, the scores in percent, unrounded); for a group then
// the rows "mean", "sd", "min" and "max" of every number column. Lines end in CR LF.
QByteArray profileCsv(const LoadedProfile &loaded, const CsvStyle &style);

// profileCsv written as the members arrive, keeping only the text and running statistics:
// the command line feeds it straight from the group loader.
class CsvTableWriter
{
public:
    explicit CsvTableWriter(const CsvStyle &style);
    // A member with its raw scores.
    void addMember(const MemberProfile &member);
    // The whole text; for a group with the statistics rows.
    QByteArray finish(bool group);

private:
    static constexpr int kNumberColumns = kAnswerCount + kSummaryCount + kScaleScoreCount;
    void appendNumber(double value);
    // Writes the percentage of a raw score and returns it.
    double appendPercent(double raw, int rangeRow);

    CsvStyle style_;
    QByteArray out_;
    std::array<SpreadAccumulator, kNumberColumns> columns_{};
    // Texts of the percentages of whole raw sums, made once: members' scores are small whole
    // numbers, so a large table formats each distinct value only once.
    std::array<std::vector<QByteArray>, ProfileStore::ScoreRanges.size()> percentTexts_{};
};

// One field quoted as RFC 4180 asks when it holds the separator, a quote or a line break.
QByteArray csvField(const QString &text, const CsvStyle &style);
