// Tables exported from online forms, as the user runs the program on them: the same answers as a
// table in every encoding, delimiter and workbook writer give exactly the group export of the
// answer files; bad tables are refused with their row and column and nothing on standard output;
// --split, --check, --skip-bad and trend waves read from tables.

#include "AnswerFile.h"
#include "ProgramRun.h"
#include "SaveNames.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

using namespace clitest;

namespace {

const QString kSamples = QStringLiteral(VORL_SAMPLES_DIR);

// The answer files of a folder as the rows of a form's table, in the order the group reads them
// (by name, letter case aside): a time stamp, the code, the name, the four details by their
// headers, then the 32 answers, every fifth with its label as the form writes it.
QList<QStringList> tableOf(const QString &folder)
{
    const QStringList details{"Подразделение", "Должность", "Стаж работы в организации", "Город"};
    QList<QStringList> rows{QStringList{"Отметка времени", "Код", "ФИО"} + details};
    for (int j = 1; j <= 32; ++j)
        rows[0] << QStringLiteral("%1. Вопрос, «в кавычках»").arg(j);
    QDir dir(folder);
    const QStringList files =
        dir.entryList({"*.txt"}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString &file : files) {
        QFile in(dir.filePath(file));
        EXPECT_TRUE(in.open(QIODevice::ReadOnly));
        const QStringList lines = decode1251(in.readAll()).split(QStringLiteral("\r\n"));
        QStringList row{lines[0] + " 10:15:00", lines[1], lines[2]};
        for (int n = 3; n < 7; ++n) {
            // A cell holds its text without the blanks around it.
            const QString line = lines[n].trimmed(), prefix = details[n - 3] + ": ";
            EXPECT_TRUE(line.isEmpty() || line.startsWith(prefix)) << line.toStdString();
            row << line.mid(prefix.size());
        }
        for (int j = 1; j <= 32; ++j)
            row << (j % 5 == 0 ? lines[7 + j] + " - метка ответа" : lines[7 + j]);
        rows << row;
    }
    return rows;
}

QString csvText(const QList<QStringList> &rows, QChar delimiter)
{
    QString text;
    for (const QStringList &row : rows) {
        QStringList cells;
        for (QString cell : row) {
            if (cell.contains(delimiter) || cell.contains('"') || cell.contains('\n'))
                cell = '"' + cell.replace("\"", "\"\"") + '"';
            cells << cell;
        }
        text += cells.join(delimiter) + "\r\n";
    }
    return text;
}

enum class Encoding { Utf8, Utf8Mark, Utf16Le, Utf16Be, Cp1251 };

QByteArray encoded(const QString &text, Encoding encoding)
{
    switch (encoding) {
    case Encoding::Utf8:
        return text.toUtf8();
    case Encoding::Utf8Mark:
        return "\xEF\xBB\xBF" + text.toUtf8();
    case Encoding::Utf16Le:
    case Encoding::Utf16Be: {
        QByteArray bytes = encoding == Encoding::Utf16Le ? "\xFF\xFE" : "\xFE\xFF";
        for (const QChar c : text) {
            const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
            if (encoding == Encoding::Utf16Le)
                bytes.append(lo).append(hi);
            else
                bytes.append(hi).append(lo);
        }
        return bytes;
    }
    case Encoding::Cp1251:
        break;
    }
    QString lf = text;
    return analysisFileBytes(lf.replace("\r\n", "\n")).bytes;
}

QString write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

QByteArray jsonOf(const QStringList &arguments)
{
    const Outcome run = runProgram(arguments, kRussian);
    EXPECT_EQ(run.exitCode, 0) << arguments.join(' ').toStdString() << ": "
                               << run.err.toStdString();
    return run.out;
}

// Runs Debian's Python with openpyxl; false when it failed.
bool runPython(const QString &script, const QStringList &arguments)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), QStringList{"-c", script} + arguments);
    const bool done = python.waitForFinished(120000) && python.exitCode() == 0;
    EXPECT_TRUE(done) << python.readAllStandardError().toStdString();
    return done;
}

// The UTF-8 CSV as a workbook written by openpyxl: time stamps as dates, plain answers as
// numbers, everything else as text.
const char *const kOpenpyxlWorkbook = R"(
import csv, datetime, sys, openpyxl
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "Ответы на форму"
for r, row in enumerate(csv.reader(open(sys.argv[1], encoding="utf-8", newline=""))):
    cells = []
    for c, cell in enumerate(row):
        if r > 0 and c == 0:
            cells.append(datetime.datetime.strptime(cell, "%d.%m.%Y %H:%M:%S"))
        elif r > 0 and c >= 7 and cell.isdigit():
            cells.append(int(cell))
        else:
            cells.append(cell)
    ws.append(cells)
for c in ws["A"][1:]:
    c.number_format = "DD.MM.YYYY HH:MM:SS"
wb.create_sheet("Пусто")
wb.save(sys.argv[2])
)";

} // namespace

TEST(TableCli, EveryEncodingDelimiterAndWorkbookGivesTheProfileOfTheAnswerFiles)
{
    QTemporaryDir dir;
    const QString company = kSamples + QStringLiteral("/Компания");
    const QList<QStringList> rows = tableOf(company);
    ASSERT_EQ(rows.size(), 25);
    const QByteArray folderJson = jsonOf({"--json", company});
    const QByteArray folderBreakdown = jsonOf({"--json", "--by", "4", company});

    QStringList tables;
    const std::pair<Encoding, const char *> encodings[] = {{Encoding::Utf8, "utf8"},
                                                           {Encoding::Utf8Mark, "utf8bom"},
                                                           {Encoding::Utf16Le, "utf16le"},
                                                           {Encoding::Utf16Be, "utf16be"},
                                                           {Encoding::Cp1251, "cp1251"}};
    for (const auto &[encoding, name] : encodings)
        for (const QChar delimiter : {QChar(','), QChar(';'), QChar('\t')})
            tables << write(dir.filePath(QStringLiteral("%1-%2.%3")
                                             .arg(QLatin1String(name))
                                             .arg(int(delimiter.unicode()))
                                             .arg(delimiter == '\t' ? "tsv" : "csv")),
                            encoded(csvText(rows, delimiter), encoding));

    const QString openpyxl = dir.filePath("openpyxl.xlsx");
    ASSERT_TRUE(runPython(kOpenpyxlWorkbook, {tables.first(), openpyxl}));
    tables << openpyxl;
    // LibreOffice writes its own workbook: inline styles, its own shared strings and dates.
    QProcess office;
    office.start("soffice", {"--headless", "-env:UserInstallation=file://" + dir.filePath("lo"),
                             "--convert-to", "xlsx:Calc MS Excel 2007 XML", "--outdir",
                             dir.filePath("office"), openpyxl});
    if (office.waitForFinished(180000) && office.exitCode() == 0 &&
        QFile::exists(dir.filePath("office/openpyxl.xlsx")))
        tables << dir.filePath("office/openpyxl.xlsx");
    else
        ADD_FAILURE() << "LibreOffice could not write the workbook: "
                      << office.readAllStandardError().toStdString();

    for (const QString &table : tables) {
        SCOPED_TRACE(table.toStdString());
        EXPECT_EQ(jsonOf({"--json", table}), folderJson);
        QJsonObject breakdown = QJsonDocument::fromJson(jsonOf({"--json", "--by=4", table})).object();
        QJsonObject expected = QJsonDocument::fromJson(folderBreakdown).object();
        // The breakdown names the group after the folder or the table.
        breakdown.remove("folder");
        expected.remove("folder");
        EXPECT_EQ(breakdown, expected);
    }

    // The answer files written from the table read as the originals do.
    const QString split = dir.filePath("Анкеты/2024");
    const Outcome written = runProgram({"--split", split, tables.first()}, kRussian);
    ASSERT_EQ(written.exitCode, 0) << written.err.toStdString();
    EXPECT_EQ(QDir(split).entryList(QDir::Files).size(), 24);
    EXPECT_EQ(jsonOf({"--json", split}), folderJson);
    // A second split into the same folder writes nothing and replaces nothing.
    QFile::remove(QDir(split).filePath(QDir(split).entryList(QDir::Files).first()));
    const QStringList before = QDir(split).entryList(QDir::Files);
    const Outcome again = runProgram({"--split", split, tables.first()}, kRussian);
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.out.isEmpty());
    EXPECT_TRUE(again.err.contains("ничего не записано")) << again.err.toStdString();
    EXPECT_EQ(QDir(split).entryList(QDir::Files), before);
}

struct BadTable
{
    const char *name;
    std::function<QByteArray(QList<QStringList>)> make;
    QStringList said; // fragments of the message
};

TEST(TableCli, BadTablesAreRefusedNamingRowAndColumnWithNothingWritten)
{
    QTemporaryDir dir;
    const QList<QStringList> good = tableOf(kSamples + QStringLiteral("/Компания"));
    const auto utf8 = [](const QList<QStringList> &rows) { return csvText(rows, ';').toUtf8(); };
    const BadTable bad[] = {
        {"no-mark.csv",
         [](QList<QStringList> rows) {
             QByteArray bytes;
             for (const QChar c : csvText(rows, ','))
                 bytes.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
             return bytes;
         },
         {"no-mark.csv", "нулевые"}},
        {"ragged.csv",
         [&](QList<QStringList> rows) {
             rows[4] = rows[4].mid(0, 20);
             return utf8(rows);
         },
         {"строка 5", "пустой ответ", "всего строк с ошибками: 1"}},
        {"label.csv",
         [&](QList<QStringList> rows) {
             rows[3][9] = "восемь";
             rows[7][10] = "";
             return utf8(rows);
         },
         {"строка 4, столбец J", "«восемь» — не ответ от 1 до 7", "всего строк с ошибками: 2"}},
        {"first-row.csv",
         [&](QList<QStringList> rows) {
             rows[1][12] = " ";
             return utf8(rows);
         },
         {"строка 2, столбец M", "пустой ответ"}},
        {"no-answers.csv",
         [&](QList<QStringList> rows) {
             for (QStringList &row : rows)
                 row = row.mid(0, 7);
             return utf8(rows);
         },
         {"no-answers.csv", "нет 32 столбцов"}},
        {"hostile.xlsx", [](QList<QStringList>) { return QByteArray("PK\x03\x04 not a zip"); },
         {"hostile.xlsx"}},
        {"cut.xlsx", [](QList<QStringList>) { return QByteArray(); }, {"cut.xlsx"}},
    };
    for (const BadTable &table : bad) {
        SCOPED_TRACE(table.name);
        const QString path = write(dir.filePath(table.name), table.make(good));
        const QString out = dir.filePath(QStringLiteral("out-%1.xlsx").arg(table.name));
        for (const QStringList &arguments :
             {QStringList{"--json", path}, QStringList{"--xlsx", out, path}}) {
            const Outcome run = runProgram(arguments, kRussian);
            EXPECT_EQ(run.exitCode, 1);
            EXPECT_TRUE(run.out.isEmpty());
            for (const QString &fragment : table.said)
                EXPECT_TRUE(QString::fromUtf8(run.err).contains(fragment))
                    << run.err.toStdString() << " lacks " << fragment.toStdString();
        }
        EXPECT_FALSE(QFile::exists(out));
    }
}

TEST(TableCli, CheckListsEveryBadRowAndSkipBadLoadsTheRestCountingAnAddressOnce)
{
    QTemporaryDir dir;
    QList<QStringList> rows = tableOf(kSamples + QStringLiteral("/Компания"));
    rows[0].insert(1, "Адрес электронной почты");
    for (int r = 1; r < rows.size(); ++r)
        rows[r].insert(1, QStringLiteral("person%1@example.ru").arg(r));
    // Answered again later: row 10 counts, row 4 does not.
    rows[9][1] = "PERSON3@example.ru ";
    rows[9][0] = "31.12.2030 10:15:00";
    rows[5][12] = "0";
    rows[6][13] = "";
    const QString table = write(dir.filePath("form.csv"), csvText(rows, ',').toUtf8());

    const Outcome check = runProgram({"--check", table}, kRussian);
    EXPECT_EQ(check.exitCode, 1);
    const QString report = QString::fromUtf8(check.out);
    for (const char *line : {"  Ответы 1–32: столбцы I–AN", "  Почта: B «Адрес электронной почты»",
                             "ошибка: строка 6, столбец M", "ошибка: строка 7, столбец N",
                             "предупреждение: строки 4, 10: один и тот же адрес",
                             "читается анкет: 21, ошибок: 2, предупреждений: 1"})
        EXPECT_TRUE(report.contains(QString::fromUtf8(line))) << line << "\n" << check.out.toStdString();
    EXPECT_FALSE(report.contains("example.ru"));

    const Outcome loaded = runProgram({"--json", "--skip-bad", table}, kRussian);
    ASSERT_EQ(loaded.exitCode, 0) << loaded.err.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(loaded.out).object()["count"].toInt(), 21);
    EXPECT_FALSE(loaded.out.contains("example.ru"));
    const QString notes = QString::fromUtf8(loaded.err);
    EXPECT_TRUE(notes.contains("пропущена строка 6") && notes.contains("пропущена строка 7") &&
                notes.contains("учтена только строка 10"))
        << loaded.err.toStdString();
    EXPECT_FALSE(notes.contains("example.ru"));
}

TEST(TableCli, TrendReadsTableWavesOnceAndNoLinkIsASecondWave)
{
    QTemporaryDir dir;
    const QString waves = kSamples + QStringLiteral("/Динамика");
    const QString parent = dir.filePath("Опросы");
    QDir().mkpath(parent + "/2023");
    for (const QString &file : QDir(waves + "/2023").entryList(QDir::Files))
        QFile::copy(waves + "/2023/" + file, parent + "/2023/" + file);
    write(parent + "/2024.csv", csvText(tableOf(waves + "/2024"), ';').toUtf8());
    ASSERT_TRUE(QFile::link("2023", parent + "/2023 копия"));
    ASSERT_TRUE(QFile::link(".", parent + "/self"));
    ASSERT_TRUE(QFile::link("2024.csv", parent + "/2024b.csv"));

    const QJsonObject trend =
        QJsonDocument::fromJson(jsonOf({"--json", "--trend", parent})).object();
    const QJsonArray shown = trend["waves"].toArray();
    ASSERT_EQ(shown.size(), 2);
    for (int w = 0; w < 2; ++w) {
        const QString name = w == 0 ? "2023" : "2024";
        EXPECT_EQ(shown[w]["name"].toString(), name);
        const QJsonObject own =
            QJsonDocument::fromJson(jsonOf({"--json", waves + "/" + name})).object();
        EXPECT_EQ(shown[w]["count"], own["count"]);
        EXPECT_EQ(shown[w]["summary"], own["summary"]);
    }
}
