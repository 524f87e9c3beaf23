#pragma once

#include "NativePath.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <memory>
#include <vector>

// A table exported from an online form or a spreadsheet (CSV, TSV or an Excel workbook), read
// as a stream of records: a table of any length costs memory for its file and one record.

// One record: its cells as UTF-8 text, valid until the next call of next() or rewind().
struct TableRecord
{
    int row = 0; // as the spreadsheet numbers it, from 1 (a record whose quoted cell spans
                 // several lines of the file is one row)
    std::vector<QByteArrayView> cells;
};

class TableRecords
{
public:
    TableRecords() = default;
    virtual ~TableRecords() = default;
    TableRecords(const TableRecords &) = delete;
    TableRecords &operator=(const TableRecords &) = delete;

    // The next record; false after the last. Throws CommandError naming the file and the row
    // where the file breaks off (a quote never closed, a workbook cut short).
    virtual bool next(TableRecord &record) = 0;
    // Back before the first record, for a second pass.
    virtual void rewind() = 0;
    // What the reader found, for the user to confirm: "UTF-8, разделитель «;»",
    // "лист «Ответы на форму»".
    virtual QString description() const = 0;
};

// Whether the path names a table by its extension: .csv, .tsv or .xlsx, in any letter case.
bool isTablePath(QByteArrayView path);
bool isWorkbookPath(QByteArrayView path);

// A CSV or TSV text as the form services, Excel and LibreOffice write it in any locale: UTF-8
// with or without a byte order mark, UTF-16 LE or BE with one, otherwise code page 1251 when the
// bytes are not UTF-8; ",", ";" or tab as the delimiter, found from the text; RFC 4180 quoting
// with doubled quotes and line breaks inside quoted cells; CR LF, LF or CR line ends.
// shownFile names the file in messages. Throws CommandError for a text that is no table (NUL
// bytes where no UTF-16 mark says so, a quote never closed).
std::unique_ptr<TableRecords> csvRecords(QByteArray bytes, const QString &shownFile);

// The first worksheet of an .xlsx workbook, or the one named sheet when sheet is not empty:
// shared and inline strings, numbers as their text, a number in a date or time format as
// "yyyy-mm-dd hh:mm:ss" (1900 and 1904 date systems). Throws CommandError when the file cannot
// be opened, is no workbook, has no such worksheet, is cut short, or inflates to more than the
// limits below.
std::unique_ptr<TableRecords> workbookRecords(const NativePath &path, const QString &sheet = {});

// What a workbook may inflate to: a real form's export of 100,000 answers is a few hundred
// megabytes of XML at most; a zip bomb is refused, not obeyed.
inline constexpr qint64 kMaxWorkbookPartBytes = qint64(2) * 1024 * 1024 * 1024;
inline constexpr qint64 kMaxSharedStringsBytes = qint64(256) * 1024 * 1024;

// The records of the table at path, by its extension: a workbook, or a CSV/TSV file read whole.
// Throws "Cannot open file %s" with the system's reason when the file cannot be read.
std::unique_ptr<TableRecords> tableRecords(const NativePath &path, const QString &sheet = {});
