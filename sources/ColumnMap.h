#pragma once

#include "TableRecords.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

// Which columns of a table feed which fields of an answer file. Columns are numbered from 0.
inline constexpr int kTableAnswers = 32;
inline constexpr int kTableDetails = 4; // details lines 4 to 7 of an answer file

struct ColumnMap
{
    int headerRows = 0;             // records before the data: 0 to 3
    std::array<int, kTableAnswers> answers{}; // the 32 answers' columns
    int date = -1;                  // a time-stamp column, or -1
    int code = -1;                  // "Код" / "ID", or -1 (the row's number then)
    int name = -1;                  // "ФИО" / "Имя" / "Name", or -1 (empty then)
    int email = -1;                 // finds duplicates; never written anywhere
    std::vector<int> details;       // up to four columns, written "Header: value"
    QStringList headers;            // every column's header text, "" where it has none
    bool operator==(const ColumnMap &) const = default;
};

// An answer as a form writes it: an integer 1 to 7 alone or followed by its label
// ("5 - скорее согласен", "7 (полностью согласен)"), blanks around it allowed.
std::optional<int> answerValue(QByteArrayView cell);

// How many of the first records detectColumns looks at.
inline constexpr int kRecordsForMapping = 200;

// The mapping found in the first records of a table (up to kRecordsForMapping): the 32
// consecutive columns whose cells are answers in the most records (the leftmost of equals),
// the header rows above the first record that has answers there (at most three), and the other
// columns by their headers. Throws CommandError naming the file when no 32 consecutive columns
// hold answers, or more than three rows stand above the first answers.
ColumnMap detectColumns(const std::vector<std::vector<QString>> &firstRecords,
                        const QString &shownFile);

// The mapping of a table whose header rows and answer columns are known: every column's header
// text and the date, code, name, e-mail and details columns found by them, as detectColumns
// finds them.
ColumnMap columnsByHeaders(const std::vector<std::vector<QString>> &firstRecords, int headerRows,
                           const std::array<int, kTableAnswers> &answers);

// Applies a --columns text to a mapping: comma-separated FIELD=COLUMNS, FIELD one of answers,
// date, code, name, email, details; COLUMNS a column by its letters as a spreadsheet names it
// ("E", "AJ"), its number from 1, or its header text, a range "E-AJ" or "5:36", several joined
// by "+", or "none" to leave the field out. headers are the table's column headers. Throws
// CommandError with a message that says what is wrong (an unknown field, a column the table
// has not, 31 answers).
ColumnMap applyColumns(ColumnMap map, const QString &columns, const QStringList &headers);

// "A", "Z", "AA" for column 0, 25, 26.
QString columnLetters(int column);

// The mapping as the user confirms it: one line a field ("Ответы 1–32: столбцы E–AJ",
// "Дата: A «Отметка времени»", ...).
QStringList describeColumns(const ColumnMap &map);

// One data record as the fields of an answer file.
struct RespondentRow
{
    int row = 0;
    QString date;    // dd.mm.yyyy from a time stamp, else the cell as it stands
    QString code;    // the code column, else the row's number as four digits
    QString name;    // the name column, else empty
    QString email;   // for duplicates only, case-folded and trimmed
    QString stamp;   // the time stamp sortable ("yyyy-mm-dd hh:mm:ss"), empty when none
    QStringList details; // four lines, "Header: value" or empty; line breaks become blanks
    std::array<int, kTableAnswers> answers{};
};

// A cell that keeps a record from being read.
struct CellProblem
{
    int row = 0;
    int column = -1; // -1 for the whole row (too few cells)
    QString header;
    QString text;
    QString reason;
    // "строка 7, столбец F «Вопрос 2»: «8» — не ответ от 1 до 7"
    QString message() const;
};

// A record as a respondent. nullopt for a blank record (every cell empty), which is skipped,
// and for a record with problems, which are appended to problems.
std::optional<RespondentRow> respondentRow(const TableRecord &record, const ColumnMap &map,
                                           std::vector<CellProblem> &problems);

// respondentRow for every record of one table: what depends on the mapping alone is prepared
// once, since a table may have a hundred thousand rows.
class RespondentReader
{
public:
    // details: whether the details lines are read; a group load that keeps no member and
    // shows none to anyone needs only the names, codes and dates of its member list.
    explicit RespondentReader(const ColumnMap &map, bool details = true);
    std::optional<RespondentRow> read(const TableRecord &record,
                                      std::vector<CellProblem> &problems) const;

private:
    const ColumnMap &map_;
    bool details_;
    QStringList detailPrefixes_; // "Header: ", or empty for a column without a header
};

// A time stamp as the services write it ("15.03.2024 10:20:30", "2024-03-15 10:20:30",
// "2024/03/15 10:20:30 AM GMT+3", "3/15/2024 10:20:30") as a date "15.03.2024" and a
// sortable stamp; nullopt for anything else.
struct TimeStamp
{
    QString date;
    QString sortable;
};
std::optional<TimeStamp> parseTimeStamp(const QString &text);
