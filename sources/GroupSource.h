#pragma once

#include "ColumnMap.h"
#include "CommandError.h"
#include "Comparison.h"
#include "GroupLoader.h"
#include "NativePath.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// A group is read from one source of members, wherever a folder is accepted: a folder's answer
// files, or a table exported from an online form (CSV, TSV, XLSX), one member per data row.
// Everything that reads groups (Group, the exports, the breakdown, the trend, the batch, the
// comparisons) goes through loadGroup, so none of them needs to know which it reads.

// How a table is read: the worksheet, the mapping's overrides, and whether bad rows are left
// out instead of refusing the table.
struct TableOptions
{
    QString sheet;
    QString columns;
    bool skipBad = false;
};

// Whether a folder's entry is an answer file by its name: it ends in ".txt" in any letter case.
bool isAnswerFileName(QByteArrayView name);

// Whether path is read as a group: a folder, or a file named as a table (.csv, .tsv, .xlsx).
bool isGroupPath(const NativePath &path);

// The name a group is shown by: the folder's own name (also when given as "." or "a/.."), a
// table's file name without its extension.
QString groupSourceName(const NativePath &path);

// The answer files of a folder in reading order: every entry whose name ends in ".txt" in any
// letter case, hidden ones included, sub-folders and their contents left out, sorted by the
// shown name ignoring letter case (upper-case comparison, as the original platform's listing
// orders them). Throws "Cannot open file %s" when the folder cannot be listed.
std::vector<GroupMember> groupMembers(const NativePath &folder);
// The shown names of groupMembers.
QStringList groupMemberNames(const QString &folder);

// Reads every member of the folder or table into a fresh store and divides by their number.
// today is the header date. Throws "Cannot open file %s" or the integer message (with the
// member's path as its file) at the first bad member of a folder; a table with bad rows is
// refused with its first problem and the count of the others, unless options.skipBad, when the
// rows are left out and named in notes. A respondent whose e-mail appears twice in a table
// counts once, with the later answers (by time stamp, else by row), and notes say so. Nothing
// is returned half-read. members: whether each member's own scores are kept in
// LoadedProfile::members. onMember, when given, sees every member as it is read.
LoadedProfile loadGroup(const NativePath &path, const QString &today,
                        Members members = Members::Keep, const MemberSink &onMember = {},
                        const TableOptions &options = {}, QStringList *notes = nullptr);
LoadedProfile loadGroup(const QString &path, const QString &today,
                        Members members = Members::Keep, const MemberSink &onMember = {},
                        const TableOptions &options = {}, QStringList *notes = nullptr);

// A respondent's file or a group as a reference to compare with: a folder's or a table's mean,
// with its members' values for a respondent's percentile.
ReferenceProfile loadReference(const NativePath &path, const QString &today,
                               const TableOptions &options = {});

// Throws, naming the path and what the command wanted of it ("Cannot split %1 into subgroups"),
// when path does not fit: the system's reason when it names nothing, else notFitting.
void checkPathIs(const NativePath &path, bool (*fits)(const NativePath &), const QString &command,
                 const QString &notFitting);
// checkPathIs for a folder or a table.
void checkGroupPath(const NativePath &path, const QString &command);

// A table as its load will read it: the file's reading, the mapping, and its first records as
// text for the user to confirm the mapping against. Throws what the reading and the mapping
// throw.
struct TablePreview
{
    QString description;                         // "UTF-8, разделитель «;»", "лист «…»"
    ColumnMap map;
    std::vector<std::vector<QString>> records;   // the first records, header rows included
    std::vector<int> rows;                       // each record's row as the spreadsheet numbers it
};
TablePreview previewTable(const NativePath &path, const TableOptions &options,
                          int records = kRecordsForMapping);

// A table that reads but whose answers are not found: its columns are for the user to name.
class ColumnsNotFound : public CommandError
{
public:
    using CommandError::CommandError;
};
// The first records of a table and how it was read, with no mapping, for a table whose columns
// are not found.
TablePreview unmappedPreview(const NativePath &path, const TableOptions &options,
                             int records = kRecordsForMapping);

// Every data row of a table checked: the bad ones with all their problems, the duplicates by
// e-mail and the rows that counted. Throws what the reading and the mapping throw.
struct TableScan
{
    TablePreview preview;
    std::vector<CellProblem> problems;
    std::vector<int> badRows;        // in order
    std::vector<int> supersededRows; // an e-mail met again later: in order
    QStringList duplicateNotes;      // "строки 3 и 9: …; учтена строка 9"
    int members = 0;                 // rows that are read as members
    // Why the table could not be mapped (the rest then empty): for the window, which lets the
    // user name the columns instead of stopping.
    QString error;
};
TableScan scanTable(const NativePath &path, const TableOptions &options);

// The rows of a table that load as members, in order, each with its row number. Bad rows and
// rows superseded by a later one of the same e-mail are left out; a bad row throws unless
// options.skipBad.
// details: whether the rows' details lines are read (else they are empty).
void forEachRespondent(const NativePath &path, const TableOptions &options,
                       const std::function<void(const RespondentRow &)> &visit,
                       QStringList *notes = nullptr, bool details = true);
