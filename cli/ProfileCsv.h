#pragma once

#include "Comparison.h"
#include "Profile.h"
#include "ProfileTable.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <array>
#include <vector>

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

// The table as CSV in UTF-8: a header row, then the rows of the table (for an anonymous
// subgroup the rows n, mean and sd only, with one decimal; below the spread minimum no sd). Lines
// end in CR LF.
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
    void appendNumber(double value);
    // Writes the percentage of a raw score.
    void appendPercent(double percent, double raw, int rangeRow);

    CsvStyle style_;
    QByteArray out_;
    TableRows rows_;
    // Texts of the percentages of whole raw sums, made once: members' scores are small whole
    // numbers, so a large table formats each distinct value only once.
    std::array<std::vector<QByteArray>, ProfileStore::ScoreRanges.size()> percentTexts_{};
};

// The rows that follow the table when the profile is compared with a reference: "reference",
// with the reference's code, name and date and its percentages, and "difference", this profile's
// percentages minus the reference's. The answer columns stay empty: a group's reference keeps
// only its mean scores. profile is in the percent state.
QByteArray comparisonCsvRows(const ProfileStore &profile, const ReferenceProfile &reference,
                             const CsvStyle &style);

// One field quoted as RFC 4180 asks when it holds the separator, a quote or a line break.
QByteArray csvField(const QString &text, const CsvStyle &style);
