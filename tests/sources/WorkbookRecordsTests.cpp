// Excel workbooks read as records: made by openpyxl, written part by part, converted by
// LibreOffice from a CSV; and the broken, hostile and wrongly named ones that are refused.

#include "CommandError.h"
#include "TableRecords.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <string>

namespace {

using Rows = std::vector<std::pair<int, std::vector<std::string>>>;

// Trailing empty cells are left out: a cell the file does not hold reads the same.
Rows readAll(TableRecords &table)
{
    Rows rows;
    TableRecord record;
    while (table.next(record)) {
        std::vector<std::string> cells;
        for (const QByteArrayView cell : record.cells)
            cells.emplace_back(cell.data(), std::size_t(cell.size()));
        while (!cells.empty() && cells.back().empty())
            cells.pop_back();
        rows.emplace_back(record.row, std::move(cells));
    }
    return rows;
}

class WorkbookRecordsTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        folder_ = new QTemporaryDir;
        const QString script =
            QFileInfo(QStringLiteral(__FILE__)).dir().filePath("make_workbooks.py");
        ASSERT_EQ(QProcess::execute(VORL_PYTHON3, {script, folder_->path()}), 0);
    }
    static void TearDownTestSuite() { delete folder_; }

    static QString shown(const char *name) { return folder_->filePath(name); }
    static NativePath book(const char *name) { return QFile::encodeName(shown(name)); }

    // Both passes read the same.
    static Rows read(const char *name, const QString &sheet = {})
    {
        const std::unique_ptr<TableRecords> table = workbookRecords(book(name), sheet);
        const Rows rows = readAll(*table);
        table->rewind();
        EXPECT_EQ(readAll(*table), rows);
        return rows;
    }

    static QTemporaryDir *folder_;
};

QTemporaryDir *WorkbookRecordsTest::folder_ = nullptr;

TEST_F(WorkbookRecordsTest, OpenpyxlBooksReadTheSameInBothDateSystems)
{
    const Rows expected = {
        {1, {"Имя", "Балл", "Когда", "Флаг", "Дробь"}},
        {2, {"Иванов", "5", "2024-01-29 13:45:30", "TRUE", "0.125"}},
        {3, {"Петров", "", "1900-03-01 00:00:00", "FALSE", "-2.5"}},
        {4, {"", "12", "1900-01-01 06:00:00", "", "1234567.25"}},
        {5, {"Сидоров", "7", "2024-03-01 00:00:00"}}, // 23:59:59.6 rounds to the next day
    };
    for (const char *name : {"openpyxl.xlsx", "openpyxl1904.xlsx"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(read(name), expected);
        EXPECT_EQ(read(name, "ВТОРОЙ"), (Rows{{1, {"второй лист", "1"}}}));
        EXPECT_EQ(workbookRecords(book(name))->description(), "лист «Ответы»");
    }
}

// The first worksheet in the workbook's order behind a chart sheet, found through the
// relationships; a prefixed namespace; shared strings with runs and a phonetic reading; inline
// and formula strings; the 1900 system's false leap day; formats that only look like dates.
TEST_F(WorkbookRecordsTest, HandWrittenPartsReadByTheirRules)
{
    std::vector<std::string> row8(27);
    row8.push_back("7");
    const Rows expected = {
        {1, {"Имя", "", "Жир и тонко", "漢字"}},
        {2,
         {"", "Инлайн строка", "Имя!", "TRUE", "#N/A", "  пробелы & \"кавычки\"  ", "",
          "😀 эмодзи"}},
        {5, {"5", "45321.5", "-0.25", "1E-3", "12345678901234567890"}},
        {6,
         {"2024-01-30 12:00:00", "1900-02-29 00:00:00", "1900-02-28 23:59:59",
          "1900-03-01 00:00:00", "1900-01-01 18:00:00", "1899-12-31 00:00:01",
          "2024-02-29 23:59:59", "2024-03-01 00:00:00", "-1", "1900-01-01 00:00:00", "Имя", "abc"}},
        {8, row8},
        {9, {}},
    };
    EXPECT_EQ(read("hand.xlsx"), expected);
    EXPECT_EQ(read("hand.xlsx", "Второй & последний"), (Rows{{3, {"", "второй"}}}));
}

TEST_F(WorkbookRecordsTest, LibreOfficeBookReadsAsItsCsv)
{
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    const Rows table = {
        {1, {"Имя", "Балл", "Когда", "Флаг", "Комментарий"}},
        {2, {"Иванов", "5", "2024-01-29 13:45:30", "TRUE", "с \"кавычками\", запятой"}},
        {3, {"Петров", "45321.5", "", "FALSE", "много\nстрок"}},
        {5, {"Сидоров", "-3.25", "1900-03-01 00:00:00"}},
    };
    QByteArray csv;
    for (int row = 1; const auto &[number, cells] : table) {
        for (; row < number; ++row)
            csv += ",,,,\n";
        for (std::size_t i = 0; i < cells.size(); ++i)
            csv += (i ? ",\"" : "\"") + QByteArray::fromStdString(cells[i]).replace("\"", "\"\"") +
                   '"';
        csv += '\n';
        ++row;
    }
    QFile file(shown("lo.csv"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(csv) == csv.size());
    file.close();
    // A profile of its own, so that no LibreOffice already running takes the conversion; the
    // CSV import pinned to commas, UTF-8 and English numbers.
    QProcess process;
    process.start(soffice, {"-env:UserInstallation=file://" + shown("profile"), "--headless",
                            "--infilter=CSV:44,34,76,1,,1033", "--convert-to", "xlsx", "--outdir",
                            folder_->path(), shown("lo.csv")});
    ASSERT_TRUE(process.waitForFinished(180000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(read("lo.xlsx"), table);
}

struct Broken
{
    const char *file;
    const char *sheet;
    const char *message; // after the file's name
};

class BrokenWorkbookTest : public WorkbookRecordsTest, public testing::WithParamInterface<Broken>
{
};

TEST_P(BrokenWorkbookTest, IsRefusedNamingTheFile)
{
    const Broken broken = GetParam();
    QString message = "<no error>";
    try {
        read(broken.file, QString::fromUtf8(broken.sheet));
    } catch (const CommandError &e) {
        message = e.message();
    }
    EXPECT_TRUE(message.contains(shown(broken.file) + QString::fromUtf8(broken.message)))
        << message.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Table, BrokenWorkbookTest,
    testing::Values(
        Broken{"absent.xlsx", "", ""},
        Broken{"notzip.xlsx", "", " не является книгой Excel (.xlsx): это не zip-архив"},
        Broken{"nowb.xlsx", "",
               " не является книгой Excel (.xlsx): в архиве нет части xl/workbook.xml"},
        Broken{"nosheet.xlsx", "", " нет ни одного листа с таблицей"},
        Broken{"hand.xlsx", "Нет такого",
               " нет листа «Нет такого»; в ней есть листы «Диаграмма», «Ответы», «Второй & "
               "последний»"},
        Broken{"hand.xlsx", "диаграмма", " — не таблица"},
        Broken{"truncated.xlsx", "", " повреждена или обрезана: архив обрывается"},
        Broken{"corrupt.xlsx", "", " повреждена или обрезана: лист «Ответы»"},
        Broken{"cut.xlsx", "",
               " повреждена или обрезана: лист «Ответы», строка 7: данные обрываются"},
        Broken{"badxml.xlsx", "",
               " повреждена или обрезана: лист «Ответы», строка 2: разметка XML нарушена"},
        Broken{"badref.xlsx", "",
               " повреждена или обрезана: лист «Ответы», строка 1: ячейка «XFE1» лежит за "
               "пределами листа"},
        Broken{"badindex.xlsx", "",
               " повреждена или обрезана: лист «Ответы», строка 1: ячейка ссылается на строку №6, "
               "а в книге их 6"},
        Broken{"bomb.xlsx", "",
               " не прочитана: лист «Ответы»: данные распаковываются больше чем в 2048 МБ"},
        Broken{"ratio.xlsx", "",
               " не прочитана: лист «Ответы»: данные сжаты больше чем в 1000 раз"},
        Broken{"long.xlsx", "", " не прочитана: лист «Ответы», строка 3: "},
        Broken{"strings.xlsx", "",
               " не прочитана: часть xl/sharedStrings.xml: данные распаковываются больше чем в 256 "
               "МБ"}));

} // namespace
