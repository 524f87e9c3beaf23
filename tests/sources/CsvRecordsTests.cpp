// CSV and TSV tables as the form services and spreadsheets write them: encodings, delimiters,
// line ends, quoting, and the texts that are refused.

#include "CommandError.h"
#include "TableRecords.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <numeric>
#include <string>
#include <tuple>

#include <fcntl.h>
#include <unistd.h>

namespace {

using Records = std::vector<std::vector<std::string>>;

struct Read
{
    Records records;
    std::vector<int> rows;
    std::string description;
};

Read readAll(std::unique_ptr<TableRecords> table)
{
    Read read;
    TableRecord record;
    while (table->next(record)) {
        read.records.emplace_back();
        for (const QByteArrayView cell : record.cells)
            read.records.back().emplace_back(cell.data(), std::size_t(cell.size()));
        read.rows.push_back(record.row);
    }
    read.description = table->description().toStdString();
    // A second pass reads the same.
    table->rewind();
    for (std::size_t i = 0; table->next(record); ++i)
        EXPECT_EQ(record.row, read.rows.at(i));
    return read;
}

Read readCsv(const QByteArray &bytes)
{
    return readAll(csvRecords(bytes, "Ответы.csv"));
}

QString csvError(const QByteArray &bytes)
{
    try {
        readCsv(bytes);
    } catch (const CommandError &e) {
        return e.message();
    }
    return "<no error>";
}

// One table with the cells that need quoting, written in every encoding, delimiter and line end.
const Records kTable = {
    {"Отметка времени", "ФИО", "Вопрос 1, шкала 1-7", "Комментарий"},
    {"2024-05-01 10:00:00", "Иванов, Пётр; \"Ваня\"", "5 - скорее согласен", "две\nстроки"},
    {"", "Сидорова", "7", ""},
};

QByteArray writeTable(char delimiter, const QByteArray &lineEnd)
{
    QByteArray text;
    for (const auto &record : kTable) {
        for (std::size_t i = 0; i < record.size(); ++i) {
            QByteArray cell = QByteArray::fromStdString(record[i]);
            const bool quoted =
                i == 2 || cell.contains(delimiter) || cell.contains('"') || cell.contains('\n');
            if (quoted)
                cell = '"' + cell.replace("\"", "\"\"").replace("\n", lineEnd) + '"';
            text += (i ? QByteArray(1, delimiter) : QByteArray()) + cell;
        }
        text += lineEnd;
    }
    return text;
}

enum class Encoding { Utf8, Utf8Bom, Utf16Le, Utf16Be, Cp1251 };

QByteArray encode(const QByteArray &utf8, Encoding encoding)
{
    const QString text = QString::fromUtf8(utf8);
    switch (encoding) {
    case Encoding::Utf8:
        return utf8;
    case Encoding::Utf8Bom:
        return "\xEF\xBB\xBF" + utf8;
    case Encoding::Utf16Le:
        return QStringEncoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom)(text);
    case Encoding::Utf16Be:
        return QStringEncoder(QStringConverter::Utf16BE, QStringConverter::Flag::WriteBom)(text);
    case Encoding::Cp1251:
        return QStringEncoder("windows-1251")(text);
    }
    return {};
}

std::string described(Encoding e, char delimiter)
{
    const std::string encoding = e == Encoding::Cp1251                              ? "Windows-1251"
                                 : e == Encoding::Utf16Le || e == Encoding::Utf16Be ? "UTF-16"
                                                                                    : "UTF-8";
    const std::string shown = delimiter == '\t' ? "табуляция" : std::string(1, delimiter);
    return encoding + ", разделитель «" + shown + "»";
}

using CsvEncodings = testing::TestWithParam<std::tuple<Encoding, char, const char *>>;

TEST_P(CsvEncodings, ReadTheSameTable)
{
    const auto [encoding, delimiter, lineEnd] = GetParam();
    const Read read = readCsv(encode(writeTable(delimiter, lineEnd), encoding));
    EXPECT_EQ(read.records, kTable);
    EXPECT_EQ(read.rows, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(read.description, described(encoding, delimiter));
}

INSTANTIATE_TEST_SUITE_P(All, CsvEncodings,
                         testing::Combine(testing::Values(Encoding::Utf8, Encoding::Utf8Bom,
                                                          Encoding::Utf16Le, Encoding::Utf16Be,
                                                          Encoding::Cp1251),
                                          testing::Values(',', ';', '\t'),
                                          testing::Values("\n", "\r\n", "\r")));

struct QuotingCase
{
    const char *text;
    Records records; // numbered from 1: a record over several lines is one row
    char delimiter = ',';
};

using CsvQuoting = testing::TestWithParam<QuotingCase>;

TEST_P(CsvQuoting, Cells)
{
    const QuotingCase &c = GetParam();
    const Read read = readCsv(c.text);
    EXPECT_EQ(read.records, c.records);
    std::vector<int> rows(c.records.size());
    std::iota(rows.begin(), rows.end(), 1);
    EXPECT_EQ(read.rows, rows);
    EXPECT_EQ(read.description, described(Encoding::Utf8, c.delimiter));
}

INSTANTIATE_TEST_SUITE_P(
    All, CsvQuoting,
    testing::Values(QuotingCase{"a,\"b\"\"c\",d\n", {{"a", "b\"c", "d"}}},
                    QuotingCase{"\"x,y\",\n,,", {{"x,y", ""}, {"", "", ""}}},
                    QuotingCase{"\"\",\"\"\"\"", {{"", "\""}}},
                    QuotingCase{"a\"b,c\n", {{"a\"b", "c"}}},     // a quote inside a cell
                    QuotingCase{"\"ab\"cd,e\n", {{"abcd", "e"}}}, // text after a closing quote
                    QuotingCase{"\"a\r\nb\rc\",d\r\ne\r\n", {{"a\nb\nc", "d"}, {"e"}}},
                    QuotingCase{"\"1\n2\n3\"\nnext", {{"1\n2\n3"}, {"next"}}},
                    QuotingCase{"a\n\nb\n\n\r\n", {{"a"}, {""}, {"b"}}}, // blank lines at the end
                    QuotingCase{"", {}}, QuotingCase{"x\ny\n", {{"x"}, {"y"}}},
                    QuotingCase{"Вопрос;Оценка\n1,5;2,5\n3,5;4\n",
                                {{"Вопрос", "Оценка"}, {"1,5", "2,5"}, {"3,5", "4"}},
                                ';'},
                    QuotingCase{"ФИО\tОценка\nИванов, Пётр\t5\n",
                                {{"ФИО", "Оценка"}, {"Иванов, Пётр", "5"}},
                                '\t'}));

TEST(CsvRefusals, NameTheFileAndRow)
{
    const struct
    {
        QByteArray text;
        const char *message;
    } cases[] = {
        {QByteArray("a\0,\0b\0\n\0", 8),
         "Файл Ответы.csv не похож на таблицу CSV: в нём есть нулевые байты"},
        {"a,b\n\"c,d\ne", "Файл Ответы.csv, строка 2: кавычка, открывшая ячейку, не закрыта"},
        {"\"x\ny\"\na,\"z", "Файл Ответы.csv, строка 2: кавычка"},
        {QByteArray(16384, ','), "Файл Ответы.csv, строка 1: больше 16384 столбцов"},
    };
    for (const auto &c : cases)
        EXPECT_TRUE(csvError(c.text).startsWith(QString::fromUtf8(c.message)))
            << csvError(c.text).toStdString();
    EXPECT_EQ(csvError(QByteArray(16383, ',')), "<no error>");
}

TEST(CsvUtf16, SurrogatePairAndLoneHalf)
{
    const QByteArray le("\xFF\xFE=\xD8\0\xDE,\0\0\xD8\n\0", 12); // U+1F600, a lone high half
    EXPECT_EQ(readCsv(le).records, (Records{{"\xF0\x9F\x98\x80", "\xEF\xBF\xBD"}}));
}

TEST(TablePaths, ByExtension)
{
    EXPECT_TRUE(isTablePath("папка/Ответы.CSV") && isTablePath("a.tsv") && isTablePath("b.Xlsx"));
    EXPECT_FALSE(isTablePath("a.csv.txt") || isTablePath("csv") || isTablePath("a.xls"));
    EXPECT_TRUE(isWorkbookPath("b.XLSX") && !isWorkbookPath("a.csv"));
}

TEST(TableFiles, ReadByNativeNameOrRefused)
{
    QTemporaryDir dir;
    const NativePath folder = QFile::encodeName(dir.path());
    const NativePath name = folder + "/\xCE\xF2\xE2\xE5\xF2\xFB.csv"; // "Ответы" in 1251
    const int fd = ::creat(name.constData(), 0644);
    ASSERT_TRUE(fd >= 0 && ::write(fd, "a;b\n", 4) == 4 && ::close(fd) == 0);
    EXPECT_EQ(readAll(tableRecords(name)).records, (Records{{"a", "b"}}));
    for (const NativePath &bad : {folder, folder + "/нет.csv"}) {
        try {
            tableRecords(bad);
            ADD_FAILURE() << bad.toStdString();
        } catch (const CommandError &e) {
            EXPECT_TRUE(e.message().startsWith("Cannot open file "));
            EXPECT_FALSE(e.reason().isEmpty());
        }
    }
}

} // namespace
