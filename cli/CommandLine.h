#pragma once

#include "Comparison.h"
#include "Breakdown.h"
#include "GroupSource.h"
#include "NativePath.h"
#include "XlsxTable.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <optional>

// What the command line asks for. Paths are kept as the bytes they were given in: a name that
// is not UTF-8 still names its own file or folder.
struct CommandLine
{
    enum class Mode { Window, Json, Csv, Xlsx, Batch, Check, Split, Help, Version, Error };
    Mode mode = Mode::Window;
    NativePath path;         // the file or folder to load (window or export)
    QString error;           // what was wrong with the arguments
    NativePath outDir;       // batch: the folder the reports go to; split: the answer files
    NativePath outFile;      // --xlsx: the workbook written
    QList<NativePath> paths; // batch: the inputs, in order
    int jobs = 0;            // batch: the threads that write the inputs; 0 for one per core
    // --compare: the file or folder the profile is compared with (--json, --csv, --batch).
    std::optional<NativePath> compare;
    int splitLine = 0;       // --by: the details line a folder is split by; 0 for no split
    // --min-size, --min-spread, --min-diff: what a breakdown, a trend and a comparison show
    Disclosure disclosure;
    bool trend = false;                    // --trend: path is the parent folder of the waves
    TableOptions table; // --sheet, --columns, --skip-bad: how a table given as a group is read
};

// The most threads --jobs may ask for: each holds an input's pictures while it writes them.
inline constexpr int kMaxBatchJobs = 64;

// The arguments as the program received them, the program's own name first.
CommandLine parseCommandLine(const QList<QByteArray> &arguments);

QString usageText();
QString versionText();

// A message for the terminal in UTF-8, with control characters shown as "\\xNN".
QByteArray terminalText(const QString &message);
// Writes the message and a line end, whole, NUL characters included; false when the stream
// did not take them (a full disk, a closed stream).
bool printMessage(std::FILE *stream, const QString &message);

// The reference of --compare, read as loadReference reads it; throws the load's error, with
// the path put before a message that does not name it.
ReferenceProfile loadCompareReference(const NativePath &path);

// The headless export: loads path (a file as one respondent, a folder as a group), prints the
// profile as JSON to out and returns 0; on failure prints the error box text to err and
// returns 1, with nothing on out. With compare, the profile is compared with that file or
// folder, which must load too; a message of either load that does not name its file then has
// the path put before it.
// A comparison's tests and percentiles follow disclosure.
int runJsonExport(const NativePath &path, std::FILE *out, std::FILE *err,
                  const std::optional<NativePath> &compare = {}, const TableOptions &table = {},
                  const Disclosure &disclosure = {});
// The same for the table of individual results as plain CSV (RFC 4180, ",", ".", UTF-8).
int runCsvExport(const NativePath &path, std::FILE *out, std::FILE *err,
                 const std::optional<NativePath> &compare = {}, const TableOptions &table = {});
// How the breakdown and the trend are printed: JSON or plain CSV.
enum class TableFormat { Json, Csv };
// The breakdown of a folder by details line splitLine into subgroups as disclosure allows,
// printed as JSON or as plain CSV, the whole folder first.
int runBreakdownExport(const NativePath &folder, int splitLine, const Disclosure &disclosure,
                       TableFormat format, std::FILE *out, std::FILE *err,
                       const TableOptions &table = {});
// The trend of the survey waves under parent, waves of fewer than disclosure.minSize files
// withheld, printed as JSON or as plain CSV.
int runTrendExport(const NativePath &parent, const Disclosure &disclosure, TableFormat format,
                   std::FILE *out, std::FILE *err, const TableOptions &table = {});
// The same table as an Excel workbook, written to outFile by a safe replacing write (a failed
// export leaves an older file whole); nothing on out.
int runXlsxExport(const NativePath &outFile, const NativePath &path, std::FILE *err,
                  const TableOptions &table = {});

// vorlzut --check: every problem of a folder, a table or an answer file on out, a line each,
// and what is read but suspicious; 1 when there is any problem, 0 otherwise (warnings alone
// pass).
int runCheck(const NativePath &path, const TableOptions &table, std::FILE *out, std::FILE *err);

// vorlzut --split: one answer file per row of the table into outDir, all or none; the count on
// out. 1 when the table or a file fails, with nothing written.
int runSplit(const NativePath &outDir, const NativePath &table, const TableOptions &options,
             std::FILE *out, std::FILE *err);

// The workbook's properties: a title naming the code, and the program with its version.
WorkbookProperties tableWorkbookProperties(const QString &code);
