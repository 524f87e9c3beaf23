#pragma once

#include "NativePath.h"
#include "Profile.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

// The table of individual results as an Excel workbook, for people rather than scripts: a
// spreadsheet opens it without import options, and every cell carries its type, so codes keep
// their leading zeros and a text starting with "=" stays a text.
//
// Sheet "Результаты": a frozen header row with an autofilter, its columns named as the window
// names them ("Ф.И.О", "Строка 4", "Инновация", "Инновация / Поощрение"); one row per member
// (file, code, name, date and each of the four details lines as texts, the answers as whole
// numbers, the scores in percent shown with one decimal and coloured by conditional formats:
// bold green above 60, bold red below 40); for a group then the rows mean, sd, min and max.
// Sheet "Разброс", for a group only: the spread of the twelve summary values and the 24 scales,
// with the 95 % confidence interval of each mean and the agreement rwg(j) of the scales, the
// factor (III) cells and the factors (II).

// What the workbook's document properties say.
struct WorkbookProperties
{
    QString title;
    QString program; // the writing program's name and version
};

// The workbook written as the members arrive: the rows go to temporary files, so a folder of
// any size needs no table kept in memory. Throws CommandError for a text longer than a cell
// holds, for more members than a sheet has rows, and when the workbook cannot be written.
class XlsxTableWriter
{
public:
    // The workbook's temporary file is made in temporaryFolder (the target's, so that a killed
    // run leaves nothing in the system's temporary folder), by default the system's.
    explicit XlsxTableWriter(const NativePath &temporaryFolder = {});
    ~XlsxTableWriter();
    XlsxTableWriter(const XlsxTableWriter &) = delete;
    XlsxTableWriter &operator=(const XlsxTableWriter &) = delete;

    void addMember(const MemberProfile &member);
    // An anonymous subgroup (LoadedProfile::anonymous): no member rows, and for statistics the
    // rows n, mean and sd of the spread given, one per number column, with one decimal; the
    // spread sheet without minimum and maximum. Without withSd (below the spread minimum) no sd,
    // interval or agreement.
    void setAnonymous(const std::vector<Spread> &spread, bool withSd);
    // The workbook file's bytes; for a group with the statistics rows and the spread sheet.
    QByteArray finish(bool group, const WorkbookProperties &properties);

private:
    struct Book;
    std::unique_ptr<Book> book_;
};

// The whole workbook of a load; its temporary file is made in temporaryFolder (see the writer).
QByteArray profileXlsx(const LoadedProfile &loaded, const WorkbookProperties &properties,
                       const NativePath &temporaryFolder = {});

// Texts a cell can hold at most (UTF-16 code units, as spreadsheets count them).
inline constexpr qsizetype kMaxCellText = 32767;
