#pragma once

#include "GroupSource.h"

#include <QStringList>

// What vorlzut --check and the window's check tell of a folder, a table or an answer file:
// every problem that keeps a member from being read, not only the first, and what is read but
// suspicious.
struct SourceCheck
{
    QStringList reading;  // a table: how it was read and its mapping, a line each
    QStringList problems; // a line each: where (file and line, or row and column) and why
    QStringList warnings; // read, but suspicious
    int members = 0;      // members that would be read
    std::vector<int> badRows; // a table's rows with problems
};

// Checks path: a folder's every answer file (the file, the line and the program's message;
// a file that cannot be opened with the system's reason), a table's every data row (the row as
// the spreadsheet numbers it, the column's header, the cell's text and the reason), or one
// answer file. Warnings: an answer outside 1 to 7 (the reader keeps its low 8 bits), totals
// that disagree with the answers, the same respondent twice. Throws only what stops the
// check as a whole (a folder that cannot be listed, a file that is no table).
SourceCheck checkSource(const NativePath &path, const TableOptions &options = {});

// The report as printed: the reading, problems, warnings and a closing count.
QStringList checkReport(const QString &shownPath, const SourceCheck &check);
