#pragma once

#include "Comparison.h"
#include "GroupSource.h"
#include "NativePath.h"

#include <QHash>
#include <QList>
#include <QString>
#include <cstdio>
#include <optional>

// The batch reports: for every input (an answer file: one respondent; a folder or a table: a
// group) the
// analysis file, the PDF report and the pictures of the four diagram views and the six chart views,
// written into one folder under the names the Save commands propose, a folder's with its name
// after the code. An input's files replace their older namesakes together or not at all. One
// progress line per input on out; a failing input's message on err, and the run goes on.
// Returns 1 when any input failed, the folder cannot be made or out cannot be written, else 0.
// Needs a QGuiApplication and no window: `jobs` worker threads each load, paint (through the
// views, off screen), encode and write one input after another. The files, the progress and the
// status are those of a serial run (jobs 1, every input on the calling thread, written before
// the next is read). A reference is laid over every input's views and report.
// The reference's tests and percentiles follow disclosure.
int runBatch(const NativePath &outDir, const QList<NativePath> &paths, std::FILE *out,
             std::FILE *err, int jobs = 1, std::optional<ReferenceProfile> reference = {},
             const TableOptions &table = {}, const Disclosure &disclosure = {});

// The batch of a breakdown: the folder split by details line splitLine as the breakdown window
// splits it, and for each subgroup it shows the files runBatch writes for one input, of the
// subgroup opened as the window opens it (anonymous, over the whole folder), named after the
// subgroup ("Report 0000 Склад.pdf"); beside them the heat map PDF and the breakdown's CSV
// table (as --csv --by prints it). No files for subgroups below disclosure.minSize, no spread
// page or tests for those whose spread is not shown. A folder that does not load (or is smaller
// than the minimum size) fails the run before anything is written; otherwise as runBatch.
int runBreakdownBatch(const NativePath &outDir, const NativePath &folder, int splitLine,
                      const Disclosure &disclosure, std::FILE *out, std::FILE *err, int jobs = 1,
                      const TableOptions &table = {});

// The jobs of a batch run by default: one per processor core, at most kMaxBatchJobs.
int defaultBatchJobs();

// The names already written in one run. A name met again is written as "<name> (2)", "(3)" and
// so on, so two inputs with one code never overwrite each other's files.
class CodeRegistry
{
public:
    // The name to write under, at most maxBytes bytes of UTF-8: the name itself the first time,
    // later cut to leave room for the number.
    QString claim(const QString &name, int maxBytes);

private:
    QHash<QString, int> used_;
};
