#pragma once

#include "GroupSource.h"

#include <QByteArray>
#include <QString>

// Answer files written from a table's rows, so a survey collected with a form can be kept,
// read and sent as the answer files every other tool of the questionnaire knows.

// The answer file of one row: the date, code and name, the four details lines, a line before
// the answers, the 32 answers, a line before the totals and the twelve totals computed from the
// answers, each with its name; CR LF line ends. Code page 1251, or UTF-8 with a byte order
// mark when a text holds a character code page 1251 has not, so that nothing is lost.
QByteArray answerFileBytes(const RespondentRow &row);

// The file name of a row's answer file: the row's number in rowDigits digits, so that the files
// are read back in the table's order, then its code (unless it is that number) and its name, made
// safe for a file name, ".txt": "0007 1124 Яковлева Ирина.txt".
QString answerFileName(const RespondentRow &row, int rowDigits);

// Writes one answer file per member row of the table into outDir (made when missing), all or
// none, so that the folder reads back as the table does, member order included: a file of the same name already in outDir
// refuses the whole split and nothing is written. Bad rows refuse the table as a group load
// does, or are left out with options.skipBad and named in notes. Returns the files written.
int splitTable(const NativePath &table, const NativePath &outDir, const TableOptions &options,
               QStringList *notes = nullptr);
