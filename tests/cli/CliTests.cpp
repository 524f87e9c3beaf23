// The headless export run as the user runs it: the built program in a child process with no
// display, a pinned locale, answer files written in code page 1251, and its JSON, messages and
// exit status read back.

#include "AnswerFiles.h"
#include "CsvReader.h"
#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <functional>
#include <map>

#include <csignal>
#include <locale.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using testfiles::Questionnaire;
using namespace clitest;

namespace {

QStringList lines(const QJsonValue &text)
{
    return text.toString().split(QLatin1Char('\n'));
}

std::vector<double> numbers(const QJsonValue &array)
{
    std::vector<double> values;
    for (const QJsonValue &v : array.toArray()) {
        EXPECT_TRUE(v.isDouble());
        values.push_back(v.toDouble());
    }
    return values;
}

// Totals giving 56.25, 50, 100, 0, -8.33, 108.33, 12.5, 37.5, 56.25, 0, 100, 50 percent and a
// first scale of 5 + 4 = 9.
Questionnaire respondent()
{
    Questionnaire q;
    q.totals = {35, 32, 56, 8, 4, 60, 14, 26, 70, 16, 112, 64};
    q.answers[0] = 5;
    q.answers[4] = 4;
    q.answers[8] = 5;  // answer 9
    q.answers[12] = 4; // answer 13
    q.answers[31] = 300;
    return q;
}

} // namespace

class CliTest : public testing::Test
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }

    // Runs the export and returns its object, with the day it ran on (either side of a
    // midnight that falls during the run).
    QJsonObject exportJson(const QString &target, const QString &locale = kC)
    {
        dayBefore = QDate::currentDate();
        const Outcome run = runProgram({QStringLiteral("--json"), target}, locale);
        dayAfter = QDate::currentDate();
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.err, QByteArray());
        EXPECT_EQ(QString::fromUtf8(run.out).toUtf8(), run.out) << "output is UTF-8";
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(run.out, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
        EXPECT_TRUE(doc.isObject());
        return doc.object();
    }

    // Today's date in the given short format, as the run saw it.
    bool isRunDay(const QString &text, const std::function<QString(QDate)> &format) const
    {
        return text == format(dayBefore) || text == format(dayAfter);
    }

    QTemporaryDir dir;
    QDate dayBefore;
    QDate dayAfter;
};

TEST_F(CliTest, RespondentProfile)
{
    const Questionnaire q = respondent();
    q.write(path("r.txt"));
    const QJsonObject json = exportJson(path("r.txt"));

    EXPECT_EQ(json.keys(), (QStringList{"analysis", "answers", "code", "count", "date", "details",
                                        "name", "scales", "summary"}));
    EXPECT_EQ(json["code"].toString(), q.code);
    EXPECT_EQ(json["name"].toString(), q.name);
    EXPECT_EQ(json["date"].toString(), q.date);
    EXPECT_EQ(json["details"].toString(), q.details.join('\n'));
    EXPECT_EQ(json["count"].toInt(-1), 1);

    std::vector<double> expectedAnswers(q.answers.begin(), q.answers.end());
    expectedAnswers[31] = 44; // the low 8 bits of 300
    EXPECT_EQ(numbers(json["answers"]), expectedAnswers);

    // Unrounded percentages, summaries 1 to 12 and scales 1 to 24.
    const std::vector<double> summary = numbers(json["summary"]);
    const double expectedSummary[] = {56.25, 50,   100,   0, -100.0 / 12, 1300.0 / 12,
                                      12.5,  37.5, 56.25, 0, 100,         50};
    ASSERT_EQ(summary.size(), 12u);
    for (std::size_t i = 0; i < summary.size(); ++i)
        EXPECT_DOUBLE_EQ(summary[i], expectedSummary[i]) << "summary " << i + 1;
    const std::vector<double> scales = numbers(json["scales"]);
    ASSERT_EQ(scales.size(), 24u);
    EXPECT_DOUBLE_EQ(scales[0], 700.0 / 12);
    EXPECT_DOUBLE_EQ(scales[1], 50);
    EXPECT_DOUBLE_EQ(scales[15], (4 + 44 - 2) * 100.0 / 12);
    EXPECT_DOUBLE_EQ(scales[16], (700.0 / 12 + 50) / 2);

    const QStringList analysis = lines(json["analysis"]);
    ASSERT_EQ(analysis.size(), 42);
    EXPECT_EQ(analysis[0], "Анализ данных опросника.");
    EXPECT_TRUE(isRunDay(analysis[1], [](QDate d) {
        return QLocale::c().toString(d, QLocale::ShortFormat);
    })) << analysis[1].toStdString();
    EXPECT_EQ(analysis[2], "");
    EXPECT_EQ(analysis[3], "R-17. Петров Пётр Ильич 12.03.2004");
    EXPECT_EQ(analysis.mid(4, 4), q.details);
    EXPECT_EQ(analysis[9], "Инновационная составляющая развития (Проактивность) = 56.3%");
    EXPECT_EQ(analysis[17], "Система поощрений в мотивации персонала = -8.3%");
    EXPECT_EQ(analysis[33],
              "Преобладание \"Адаптационной\" составляющей над \"Инновационной\" = -6.3%");
    EXPECT_EQ(analysis[39],
              "Преобладание поощрения качества услуг над поощрением полученной прибыли = 16.7%");
    EXPECT_FALSE(json["analysis"].toString().contains('\r'));
}

TEST_F(CliTest, LocaleGivesSeparatorAndDate)
{
    respondent().write(path("r.txt"));
    const QJsonObject c = exportJson(path("r.txt"), kC);
    const QJsonObject ru = exportJson(path("r.txt"), kRussian);

    EXPECT_EQ(lines(ru["analysis"])[9],
              "Инновационная составляющая развития (Проактивность) = 56,3%");
    EXPECT_EQ(lines(ru["analysis"])[17], "Система поощрений в мотивации персонала = -8,3%");
    EXPECT_TRUE(isRunDay(lines(ru["analysis"])[1], [](QDate d) {
        return d.toString(QStringLiteral("dd.MM.yyyy"));
    })) << lines(ru["analysis"])[1].toStdString();
    EXPECT_NE(lines(c["analysis"])[1], lines(ru["analysis"])[1]);
    // The numbers of the export itself do not follow the locale.
    EXPECT_EQ(c["summary"], ru["summary"]);
    EXPECT_EQ(c["scales"], ru["scales"]);
    EXPECT_EQ(ru["date"].toString(), "12.03.2004") << "the file's date is kept as written";
}

// The analysis under the locales users run: only the decimal mark and the date may differ from
// the C locale's text. The C library follows these locales (they are generated), so its
// number conversions write "," under ru_RU and de_DE.
TEST_F(CliTest, AnalysisNumbersUnderEveryLocale)
{
    respondent().write(path("r.txt"));
    Questionnaire member = Questionnaire::uniform(3);
    member.answers[5] = 6;
    ASSERT_TRUE(QDir(dir.path()).mkpath("g"));
    respondent().write(path("g/a.txt"));
    member.write(path("g/b.txt"));

    for (const QString &target : {path("r.txt"), path("g")}) {
        const QStringList plain = lines(exportJson(target, QStringLiteral("C.UTF-8"))["analysis"]);
        ASSERT_GT(plain.size(), 30);
        const struct
        {
            const char *locale;
            QChar mark;
        } table[] = {
            {"C.UTF-8", '.'}, {"en_US.UTF-8", '.'}, {"ru_RU.UTF-8", ','}, {"de_DE.UTF-8", ','}};
        for (const auto &row : table) {
            SCOPED_TRACE(std::string(row.locale) + " " + target.toStdString());
            locale_t generated = newlocale(LC_ALL_MASK, row.locale, locale_t(nullptr));
            ASSERT_NE(generated, locale_t(nullptr))
                << row.locale << " is not generated here; make test generates it";
            freelocale(generated);

            const QStringList shown = lines(exportJson(target, row.locale)["analysis"]);
            ASSERT_EQ(shown.size(), plain.size());
            int numbersSeen = 0;
            for (qsizetype i = 0; i < plain.size(); ++i) {
                if (i == 1)
                    continue; // today's date, in the locale's short format
                QString expected = plain[i];
                static const QRegularExpression number(QStringLiteral("(-?\\d+)\\.(\\d)%"));
                numbersSeen += int(expected.count(number));
                expected.replace(number, QStringLiteral("\\1") + row.mark + QStringLiteral("\\2%"));
                EXPECT_EQ(shown[i], expected) << "line " << i;
            }
            EXPECT_GE(numbersSeen, 20);
        }
    }
}

TEST_F(CliTest, GroupProfile)
{
    Questionnaire low = Questionnaire::uniform(2);
    low.name = QStringLiteral("Анна");
    low.code = "A1";
    Questionnaire high = Questionnaire::uniform(2);
    high.name = QStringLiteral("Борис");
    high.code = "B2";
    high.answers[0] = 4;
    high.answers[4] = 5;
    high.answers[8] = 7;
    high.answers[12] = 1;
    low.write(path("a.txt"));
    high.write(path("B.TXT"));
    testfiles::writeBytes(path("readme.doc"), "not an answer file");
    ASSERT_TRUE(QDir(dir.path()).mkpath("old.txt"));
    Questionnaire::uniform(7).write(path("old.txt/inner.txt"));

    const QJsonObject json = exportJson(dir.path(), kRussian);
    EXPECT_EQ(json["code"].toString(), "0000");
    EXPECT_EQ(json["name"].toString(), QStringLiteral("Группа"));
    EXPECT_TRUE(isRunDay(json["date"].toString(),
                         [](QDate d) { return d.toString(QStringLiteral("dd.MM.yyyy")); }));
    EXPECT_EQ(json["count"].toInt(-1), 2);
    EXPECT_EQ(json["details"].toString(), QStringLiteral("Состав группы:\nАнна A1 "
                                                         "12.03.2004\nБорис B2 12.03.2004"));
    // The members' mean answers, unrounded, beside the group's mean scores.
    std::vector<double> meanAnswers(32, 2.0);
    meanAnswers[0] = 3.0;
    meanAnswers[4] = 3.5;
    meanAnswers[8] = 4.5;
    meanAnswers[12] = 1.5;
    EXPECT_EQ(numbers(json["answers"]), meanAnswers);
    EXPECT_DOUBLE_EQ(numbers(json["scales"])[0], 37.5); // sums 4 and 9
    EXPECT_DOUBLE_EQ(numbers(json["summary"])[0], 100.0 / 6);

    const QStringList analysis = lines(json["analysis"]);
    ASSERT_EQ(analysis.size(), 40);
    EXPECT_EQ(analysis[1], json["date"].toString());
    EXPECT_EQ(analysis.mid(2, 5),
              (QStringList{"", "Состав группы:", "Анна A1 12.03.2004", "Борис B2 12.03.2004", ""}));
    EXPECT_EQ(analysis[37],
              "Преобладание поощрения качества услуг над поощрением полученной прибыли = 100,0%");
}

TEST_F(CliTest, OneMemberGroupMatchesRespondent)
{
    respondent().write(path("only.txt"));
    const QJsonObject alone = exportJson(path("only.txt"));
    const QJsonObject group = exportJson(dir.path() + "/");
    EXPECT_EQ(group["summary"], alone["summary"]);
    EXPECT_EQ(group["scales"], alone["scales"]);
    EXPECT_EQ(group["answers"], alone["answers"]);
    EXPECT_EQ(group["count"].toInt(-1), 1);
    EXPECT_EQ(group["details"].toString(), QStringLiteral("Состав группы:\nПетров Пётр Ильич R-17 "
                                                          "12.03.2004"));
}

TEST_F(CliTest, CyrillicPathsInCLocale)
{
    const QString folder = path(QStringLiteral("Отдел кадров"));
    ASSERT_TRUE(QDir().mkpath(folder));
    respondent().write(folder + QStringLiteral("/Иванов.txt"));
    EXPECT_EQ(exportJson(folder)["count"].toInt(-1), 1);
    EXPECT_EQ(exportJson(folder + QStringLiteral("/Иванов.txt"))["code"].toString(), "R-17");

    const QString missing = folder + QStringLiteral("/Нет.txt");
    const Outcome run = runProgram({"--json", missing});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(QString::fromUtf8(run.err),
              "Cannot open file " + missing + ": No such file or directory.\n");
}

// Each way a load can fail: exit status 1, nothing on standard output, and the message with
// its closing full stop on standard error. setUp writes into the folder and returns the path
// to export; message is the expected text with %1 standing for that path.
struct Failure
{
    const char *name;
    QString (*setUp)(const QString &folder);
    const char *message;
};

void PrintTo(const Failure &f, std::ostream *os)
{
    *os << f.name;
}

class FailedExport : public CliTest, public testing::WithParamInterface<Failure>
{
};

TEST_P(FailedExport, MessageAndStatus)
{
    const QString target = GetParam().setUp(dir.path());
    const Outcome run = runProgram({"--json", target});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, QByteArray());
    QString message = QString::fromUtf8(GetParam().message);
    if (message.contains(QLatin1String("%1")))
        message = message.arg(target);
    EXPECT_EQ(QString::fromUtf8(run.err), message);
}

namespace {

QString withLine(const QString &folder, int n, const QString &text)
{
    const QString file = folder + "/r.txt";
    testfiles::writeBytes(file, testfiles::joinLines(respondent().withLine(n, text)));
    return file;
}

QString fifo(const QString &file)
{
    if (::mkfifo(QFile::encodeName(file).constData(), 0600) != 0)
        ADD_FAILURE() << "mkfifo failed";
    return file;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(
    Kinds, FailedExport,
    testing::Values(
        Failure{"AnswerWord",
                [](const QString &d) { return withLine(d, 12, QStringLiteral("пять")); },
                "'пять' is not a valid integer value.\n"},
        Failure{"AnswerTrailingBlank", [](const QString &d) { return withLine(d, 40, "5 "); },
                "'5 ' is not a valid integer value.\n"},
        Failure{"AnswerLeadingTab", [](const QString &d) { return withLine(d, 9, "\t5"); },
                "'\\x095' is not a valid integer value.\n"},
        // Bytes from a file reach the terminal whole, and never as control sequences.
        Failure{"AnswerNul",
                [](const QString &d) { return withLine(d, 9, QStringLiteral("5") + QChar(0)); },
                "'5\\x00' is not a valid integer value.\n"},
        Failure{"AnswerEscape", [](const QString &d) { return withLine(d, 9, "\x1b[2J"); },
                "'\\x1b[2J' is not a valid integer value.\n"},
        Failure{"EmptyPath", [](const QString &) { return QString(); },
                "Cannot open file: the path is empty.\n"},
        Failure{"TotalBlankInsideField",
                [](const QString &d) { return withLine(d, 42, QStringLiteral("8 слов")); },
                "'8 с' is not a valid integer value.\n"},
        Failure{"TotalTooFarRight", [](const QString &d) { return withLine(d, 53, "   45"); },
                "'' is not a valid integer value.\n"},
        Failure{"ShortFile",
                [](const QString &d) {
                    testfiles::writeBytes(d + "/r.txt",
                                          testfiles::joinLines(respondent().lines().mid(0, 47)));
                    return d + "/r.txt";
                },
                "'' is not a valid integer value.\n"},
        Failure{"MissingFile", [](const QString &d) { return d + "/none.txt"; },
                "Cannot open file %1: No such file or directory.\n"},
        Failure{"Pipe", [](const QString &d) { return fifo(d + "/pipe.txt"); },
                "Cannot open file %1: it is not a regular file.\n"},
        Failure{"EmptyFolder",
                [](const QString &d) {
                    testfiles::writeBytes(d + "/notes.doc", "x");
                    return d;
                },
                "В папке %1 нет файлов анкет (*.txt)\n"},
        Failure{"GroupBadMember",
                [](const QString &d) {
                    respondent().write(d + "/a.txt");
                    testfiles::writeBytes(d + "/b.txt",
                                          testfiles::joinLines(respondent().withLine(50, "x1")));
                    return d;
                },
                "%1/b.txt: 'x1' is not a valid integer value.\n"}),
    [](const testing::TestParamInfo<Failure> &row) { return std::string(row.param.name); });

// The table of a group, read back, holds for every member what --json says of that member alone.
TEST_F(CliTest, CsvRowsEqualEachMembersJson)
{
    Questionnaire second = respondent();
    second.code = QStringLiteral("B \"7\", x");
    second.answers[3] = 2;
    respondent().write(path("a.txt"));
    second.write(path("b.txt"));
    const Outcome run = runProgram({"--csv", dir.path()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QList<QStringList> rows = readCsv(run.out, ',');
    ASSERT_EQ(rows.size(), 1 + 2 + 4);
    for (int m = 0; m < 2; ++m) {
        const QString file = m == 0 ? "a.txt" : "b.txt";
        const QStringList &row = rows[1 + m];
        const QJsonObject json = exportJson(path(file));
        EXPECT_EQ(row[0], file);
        EXPECT_EQ(row[1], json["code"].toString());
        EXPECT_EQ(row[2], json["name"].toString());
        std::vector<double> fromCsv;
        for (const QString &field : row.mid(4))
            fromCsv.push_back(field.toDouble());
        std::vector<double> fromJson = numbers(json["answers"]);
        for (const char *key : {"summary", "scales"})
            for (const double v : numbers(json[key]))
                fromJson.push_back(v);
        EXPECT_EQ(fromCsv, fromJson) << file.toStdString();
    }
    EXPECT_EQ(rows[3][0], "mean");
}

TEST_F(CliTest, FailedWriteIsAFailure)
{
    respondent().write(path("r.txt"));
    QProcess process;
    process.setStandardOutputFile(QStringLiteral("/dev/full"));
    process.start(kProgram, {"--json", path("r.txt")});
    ASSERT_TRUE(process.waitForFinished(kHangGuardMs));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(
        process.readAllStandardError().startsWith("Cannot write the profile to standard output: "));
}

TEST_F(CliTest, Utf16FileMessageIsWholeAndEscaped)
{
    const QString text = respondent().lines().join(QStringLiteral("\r\n"));
    QByteArray bytes("\xff\xfe");
    bytes.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    testfiles::writeBytes(path("u.txt"), bytes);
    const Outcome run = runProgram({"--json", path("u.txt")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(run.err.contains('\0'));
    EXPECT_TRUE(run.err.startsWith("'\\x00")) << run.err.toStdString();
    EXPECT_TRUE(run.err.endsWith("' is not a valid integer value.\n")) << run.err.toStdString();
}

TEST_F(CliTest, GroupPipeMember)
{
    respondent().write(path("a.txt"));
    const QString pipe = fifo(path("b.txt"));
    const Outcome run = runProgram({"--json", dir.path()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, QByteArray());
    EXPECT_EQ(QString::fromUtf8(run.err),
              "Cannot open file " + pipe + ": it is not a regular file.\n");
}

// The workbook goes to its file by a replacing write: a failed export leaves the older file
// whole and no temporary beside it; a finished one prints nothing.
TEST_F(CliTest, XlsxReplacesItsFileOnlyWhenFinished)
{
    QDir(dir.path()).mkdir("group");
    QDir(dir.path()).mkdir("out");
    respondent().write(path("group/a.txt"));
    testfiles::writeBytes(path("group/b.txt"),
                          testfiles::joinLines(respondent().withLine(50, "x1")));
    const QString out = path("out/Table.xlsx");
    testfiles::writeBytes(out, "old workbook");

    const Outcome failed = runProgram({"--xlsx", out, path("group")}, kRussian);
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.out, QByteArray());
    // On the command line the failing member is named before the message.
    EXPECT_EQ(QString::fromUtf8(failed.err),
              path("group/b.txt") + ": 'x1' is not a valid integer value.\n");
    QFile old(out);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old workbook");
    old.close();

    respondent().write(path("group/b.txt"));
    const Outcome done = runProgram({"--xlsx", out, path("group")}, kRussian);
    EXPECT_EQ(done.exitCode, 0) << done.err.toStdString();
    EXPECT_EQ(done.out, QByteArray());
    EXPECT_EQ(done.err, QByteArray());
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_TRUE(old.readAll().startsWith("PK\x03\x04"));
    EXPECT_EQ(QDir(path("out")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"Table.xlsx"});

    const QString nowhere = path("missing/Table.xlsx");
    const Outcome refused = runProgram({"--xlsx", nowhere, path("group")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(QString::fromUtf8(refused.err),
              "Cannot create file " + nowhere + ": No such file or directory.\n");
}

TEST(CliArguments, HelpAndVersion)
{
    const Outcome help = runProgram({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("--json|--csv [--compare REF [--min-spread N] [--min-diff P]] PATH"))
        << help.out.toStdString();
    EXPECT_TRUE(help.out.contains("--xlsx OUTFILE PATH")) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains("--batch OUTDIR [--jobs N]")) << help.out.toStdString();
    EXPECT_EQ(help.err, QByteArray());

    const Outcome version = runProgram({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("vorlzut ")) << version.out.toStdString();
    EXPECT_EQ(version.err, QByteArray());
}

// A wrong command line (the table of them is read in-process) exits with 2, names what it
// refuses, shows the usage and makes nothing.
TEST(CliArguments, WrongLineExitsTwoWithUsageAndMakesNothing)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("out");
    const Outcome run = runProgram({"--batch", out, dir.filePath("r.txt"), "--jobs", "0"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, QByteArray());
    EXPECT_TRUE(run.err.startsWith(
        "vorlzut: --jobs needs a number of threads from 1 to 64, not \"0\"\n\nUsage:"))
        << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out));
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// ---- batch reports

namespace {

// Width and height from a JPEG file's baseline frame header, or (0, 0).
std::pair<int, int> jpegSize(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {0, 0};
    const QByteArray bytes = f.readAll();
    const qsizetype sof = bytes.indexOf(QByteArray("\xFF\xC0", 2));
    if (sof < 0 || sof + 9 > bytes.size())
        return {0, 0};
    auto word = [&](qsizetype at) { return (uchar(bytes[at]) << 8) | uchar(bytes[at + 1]); };
    return {word(sof + 7), word(sof + 5)};
}

// True when every quantisation table of the JPEG file is all 1s, as quality 100 makes them.
bool quantisedAtQuality100(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = f.readAll();
    int tables = 0;
    for (qsizetype at = 2; at + 4 <= bytes.size() && uchar(bytes[at]) == 0xFF;) {
        const uchar marker = uchar(bytes[at + 1]);
        const int length = (uchar(bytes[at + 2]) << 8) | uchar(bytes[at + 3]);
        if (marker == 0xDA)
            break;
        if (marker == 0xDB) {
            // Tables of 1 + 64 bytes each (8-bit precision).
            for (qsizetype t = at + 4; t + 65 <= at + 2 + length; t += 65, ++tables)
                for (int k = 1; k <= 64; ++k)
                    if (bytes[t + k] != 1)
                        return false;
        }
        at += 2 + length;
    }
    return tables > 0;
}

// The twelve files of each name.
QStringList reportSet(const QStringList &names)
{
    QStringList files;
    for (const QString &code : names) {
        files << code + ".rtf"
              << "Report " + code + ".pdf";
        for (const char *letter : {"A", "B", "C", "D"})
            files << QStringLiteral("Image %1 %2.jpg").arg(letter, code);
        for (const char *letter : {"A", "B", "C", "D", "E", "F"})
            files << QStringLiteral("Plot %1 %2.jpg").arg(letter, code);
    }
    files.sort();
    return files;
}

// Every entry of the folder but "." and "..", hidden ones included, sorted.
QStringList writtenFiles(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                               QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

QByteArray contents(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// True when the bytes hold no control character but the line ends.
bool onlyLineEndsAmongControls(const QByteArray &bytes)
{
    for (const char c : bytes)
        if ((uchar(c) < 0x20 && c != '\n') || uchar(c) == 0x7F)
            return false;
    return true;
}

} // namespace

TEST_F(CliTest, BatchWritesEveryInputsReportsAndGoesOnAfterABadOne)
{
    const QString one = path("one.txt");
    respondent().write(one);
    ASSERT_TRUE(QDir().mkpath(path("group")));
    respondent().write(path("group/a.txt"));
    Questionnaire::uniform(6).write(path("group/b.txt"));
    const QString bad = path("bad.txt");
    testfiles::writeBytes(bad, testfiles::joinLines(respondent().withLine(12, "x"), "\r\n"));
    const QString out = path("out");

    const Outcome run = runProgram({"--batch", out, one, path("group"), bad, one});
    EXPECT_EQ(run.exitCode, 1);
    const QStringList progress = QString::fromLocal8Bit(run.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(progress.size(), 4) << run.out.toStdString();
    EXPECT_TRUE(progress[0].startsWith("1/4 " + one + ": ")) << progress[0].toStdString();
    EXPECT_EQ(progress[2], "3/4 " + bad + ": failed");
    EXPECT_TRUE(progress[3].contains("\"R-17 (2)\"")) << progress[3].toStdString();
    EXPECT_EQ(QString::fromUtf8(run.err),
              "vorlzut: " + bad + ": 'x' is not a valid integer value.\n");

    EXPECT_EQ(writtenFiles(out), reportSet({"R-17", "0000 group", "R-17 (2)"}));
    for (const QString &name : writtenFiles(out)) {
        if (name.endsWith(".rtf"))
            continue;
        if (name.endsWith(".pdf")) {
            QFile pdf(out + "/" + name);
            EXPECT_TRUE(pdf.open(QIODevice::ReadOnly) && pdf.read(5) == "%PDF-")
                << name.toStdString();
            continue;
        }
        const auto size =
            name.startsWith("Image") ? std::make_pair(602, 564) : std::make_pair(416, 294);
        EXPECT_EQ(jpegSize(out + "/" + name), size) << name.toStdString();
        EXPECT_TRUE(quantisedAtQuality100(out + "/" + name)) << name.toStdString();
    }

    QFile analysis(out + "/R-17.rtf");
    ASSERT_TRUE(analysis.open(QIODevice::ReadOnly));
    const QByteArray bytes = analysis.readAll();
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(bytes.contains("\r\n"));
    EXPECT_FALSE(bytes.contains("\n\n"));
    EXPECT_TRUE(bytes.contains("\xCF\xE5\xF2\xF0\xEE\xE2")) << "the name in code page 1251";
}

TEST_F(CliTest, BatchNeedsAFolderAndAnInput)
{
    const Outcome run = runProgram({"--batch", path("out")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(QString::fromUtf8(run.err).contains("--batch needs a folder"));
}

// Every group has the code 0000: folders keep apart by their names, and two folders of one
// name by the number.
TEST_F(CliTest, BatchNamesAGroupsFilesAfterItsFolder)
{
    for (const QString &folder : {QStringLiteral("Отдел продаж"), QStringLiteral("Склад"),
                                  QStringLiteral("второй/Склад")}) {
        ASSERT_TRUE(QDir().mkpath(path(folder)));
        respondent().write(path(folder + "/a.txt"));
    }
    const QString out = path("out");
    const Outcome run =
        runProgram({"--batch", out, path(QStringLiteral("Отдел продаж")),
                    path(QStringLiteral("Склад")) + "/", path(QStringLiteral("второй/Склад"))});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(writtenFiles(out),
              reportSet({QStringLiteral("0000 Отдел продаж"), QStringLiteral("0000 Склад"),
                         QStringLiteral("0000 Склад (2)")}));
    EXPECT_TRUE(QString::fromUtf8(run.out).contains(
        QStringLiteral("code \"0000\", files named \"0000 Отдел продаж\"; 12 files")))
        << run.out.toStdString();
}

// A member that fails is named on the terminal; its message is the error box's text.
TEST_F(CliTest, BatchNamesTheGroupMemberThatFails)
{
    ASSERT_TRUE(QDir().mkpath(path("g")));
    respondent().write(path("g/a.txt"));
    testfiles::writeBytes(path("g/b.txt"), testfiles::joinLines(respondent().withLine(50, "x1")));
    const Outcome run = runProgram({"--batch", path("out"), path("g")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(QString::fromUtf8(run.err), "vorlzut: " + path("g") + ": " + path("g/b.txt") +
                                              ": 'x1' is not a valid integer value.\n");
}

// Names, codes and messages from files and the command line never drive the terminal.
TEST_F(CliTest, BatchShowsControlCharactersEscaped)
{
    Questionnaire q = respondent();
    q.code = QStringLiteral("R\x1b]0;title\x07") + QChar(0) + "\x1b[2J";
    const QString named = path("a\x1b[31m\x07\nb.txt");
    q.write(named);
    const QString bad = path("bad\x1b[1m\r.txt");
    testfiles::writeBytes(bad, testfiles::joinLines(respondent().withLine(12, "\x1b[5m")));
    const Outcome run = runProgram({"--batch", path("out"), named, bad});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(onlyLineEndsAmongControls(run.out)) << run.out.toStdString();
    EXPECT_TRUE(onlyLineEndsAmongControls(run.err)) << run.err.toStdString();
    EXPECT_EQ(run.out.count('\n'), 2) << run.out.toStdString();
    EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("a\\x1b[31m\\x07\\x0ab.txt: code \"R\\x1b]0;title\\x07\\x00"))
        << run.out.toStdString();
    EXPECT_EQ(run.err, "vorlzut: " + path("bad\\x1b[1m\\x0d.txt").toUtf8() +
                           ": '\\x1b[5m' is not a valid integer value.\n");
    // The file names hold the code with "_" for its control characters.
    EXPECT_TRUE(QFileInfo::exists(path("out/R_]0;title___[2J.rtf")));
}

// A respondent's code that shows nothing names no hidden file: the answer file's name does.
TEST_F(CliTest, BatchNamesABlankCodesFilesAfterTheAnswerFile)
{
    Questionnaire empty = respondent();
    empty.code.clear();
    empty.write(path("petrova.txt"));
    Questionnaire blank = respondent();
    blank.code = QStringLiteral("  ") + QChar(0x200B) + QChar(0x202E) + " ";
    // Written as UTF-8: code page 1251 has no invisible characters.
    QByteArray utf8;
    for (const QString &line : blank.lines())
        utf8 += line.toUtf8() + "\r\n";
    testfiles::writeBytes(path("ivanov.TXT"), utf8);
    const Outcome run =
        runProgram({"--batch", path("out"), path("petrova.txt"), path("ivanov.TXT")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(writtenFiles(path("out")), reportSet({"petrova", "ivanov"}));
}

// Names of every length fit the file system, a temporary name included, and messages stay short.
TEST_F(CliTest, BatchCutsLongCodesToNamesThatFit)
{
    const QList<QString> codes = {QString(236, 'a'),        QString(243, 'b'),
                                  QString(244, 'c'),        QString(130, QChar(0x416)),
                                  QString(200 * 1024, 'd'), QString(300, 'e') + "1",
                                  QString(300, 'e') + "2"};
    QStringList inputs;
    for (int i = 0; i < codes.size(); ++i) {
        Questionnaire q = respondent();
        q.code = codes[i];
        inputs << path(QStringLiteral("r%1.txt").arg(i));
        q.write(inputs.back());
    }
    const Outcome run = runProgram(QStringList{"--batch", path("out")} + inputs);
    EXPECT_EQ(run.exitCode, 0) << run.err.left(2000).toStdString();
    const QStringList files = writtenFiles(path("out"));
    EXPECT_EQ(files.size(), 12 * codes.size());
    for (const QString &name : files)
        EXPECT_LE(QFile::encodeName(name).size(), 255) << name.toStdString();
    // The longest code is cut to 243 bytes, so that "Image A <code>.jpg" takes 255.
    EXPECT_TRUE(files.contains("Image A " + QString(243, 'c') + ".jpg"));
    EXPECT_TRUE(files.contains(QString(236, 'a') + ".rtf"));
    EXPECT_TRUE(files.contains(QString(121, QChar(0x416)) + ".rtf")) << "whole letters only";
    // Two codes alike in what is kept are told apart by the number, which fits too.
    EXPECT_TRUE(files.contains(QString(243, 'e') + ".rtf"));
    EXPECT_TRUE(files.contains("Image A " + QString(239, 'e') + " (2).jpg"));
    for (const QByteArray &line : run.out.split('\n'))
        EXPECT_LT(line.size(), 2000) << line.left(200).toStdString();
}

TEST_F(CliTest, BatchFolderMayBeAnyBytesButNotEmpty)
{
    respondent().write(path("r.txt"));
    // The shell hands over a name that is not UTF-8; Qt would carry only UTF-8.
    const QByteArray folder = QFile::encodeName(path("out")) + "\xff\xfe";
    const Outcome run = runProgram(
        {"-c", "exec \"$0\" --batch \"$(printf \"$1\")\" \"$2\"", kProgram,
         QString::fromUtf8(QFile::encodeName(path("out")) + "\\377\\376"), path("r.txt")},
        kC, {}, QStringLiteral("/bin/sh"));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    struct stat st;
    EXPECT_EQ(::stat((folder + "/R-17.rtf").constData(), &st), 0)
        << "written into the folder named";
    EXPECT_FALSE(QFileInfo::exists(path("out") + QChar(0xFFFD) + QChar(0xFFFD)));

    const Outcome empty = runProgram({"--batch", "", path("r.txt")});
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_EQ(empty.err, "vorlzut: Cannot create folder: the name is empty.\n");
    const Outcome emptyInput = runProgram({"--batch", path("out"), ""});
    EXPECT_EQ(emptyInput.exitCode, 1);
    EXPECT_EQ(emptyInput.out, "1/1 \"\": failed\n");
    EXPECT_EQ(emptyInput.err, "vorlzut: \"\": Cannot open file: the path is empty.\n");
}

// Progress that cannot be written fails the run with a message, as the exports do; the reports
// are written all the same.
TEST_F(CliTest, BatchProgressThatCannotBeWrittenFailsTheRun)
{
    respondent().write(path("r.txt"));
    const Outcome full =
        runProgram({"--batch", path("full"), path("r.txt")}, kC, {{}, QStringLiteral("/dev/full")});
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_EQ(full.err, "vorlzut: Cannot write the progress to standard output: No space left "
                        "on device.\n");
    EXPECT_EQ(writtenFiles(path("full")), reportSet({"R-17"}));

    const Outcome closed =
        runProgram({"--batch", path("closed"), path("r.txt")}, kC, {[] { ::close(1); }, {}});
    EXPECT_EQ(closed.exitCode, 1);
    EXPECT_EQ(closed.err, "vorlzut: Cannot write the progress to standard output: Bad file "
                          "descriptor.\n");
    EXPECT_EQ(writtenFiles(path("closed")), reportSet({"R-17"}));
}

// A file size limit makes the larger files of an input fail as a full disk would: the older
// twelve files stay whole, no temporary file is left, and the message gives the reason. A
// symbolic link of one of the names is replaced, never written through.
TEST_F(CliTest, BatchReplacesAnInputsFilesTogetherOrNotAtAll)
{
    const QString out = path("out");
    respondent().write(path("r.txt"));
    ASSERT_EQ(runProgram({"--batch", out, path("r.txt")}).exitCode, 0);
    const QStringList names = reportSet({"R-17"});
    ASSERT_EQ(writtenFiles(out), names);
    std::map<QString, QByteArray> old;
    for (const QString &name : names)
        old[name] = contents(out + "/" + name);

    Questionnaire changed = respondent();
    changed.name = QStringLiteral("Сидоров");
    changed.answers.fill(6);
    changed.write(path("r.txt"));
    // Above the analysis file, below the report and the pictures.
    const rlim_t limit = rlim_t(old["R-17.rtf"].size() + 1024);
    const Outcome run = runProgram({"--batch", out, path("r.txt")}, kC,
                                   {[limit] {
                                        ::signal(SIGXFSZ, SIG_IGN);
                                        const rlimit l{limit, limit};
                                        ::setrlimit(RLIMIT_FSIZE, &l);
                                    },
                                    {}});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith("vorlzut: " + path("r.txt").toUtf8() + ": Cannot create file " +
                                   out.toUtf8() + "/"))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.endsWith(": File too large.\n")) << run.err.toStdString();
    EXPECT_EQ(writtenFiles(out), names);
    for (const QString &name : names)
        EXPECT_EQ(contents(out + "/" + name), old[name]) << name.toStdString();

    // A link planted among the names is replaced by the file; what it pointed to stays.
    testfiles::writeBytes(path("elsewhere.txt"), "not ours");
    ASSERT_TRUE(QFile::remove(out + "/R-17.rtf"));
    ASSERT_TRUE(QFile::link(path("elsewhere.txt"), out + "/R-17.rtf"));
    ASSERT_EQ(runProgram({"--batch", out, path("r.txt")}).exitCode, 0);
    EXPECT_EQ(contents(path("elsewhere.txt")), "not ours");
    EXPECT_FALSE(QFileInfo(out + "/R-17.rtf").isSymLink());
    EXPECT_TRUE(contents(out + "/R-17.rtf").contains("\xD1\xE8\xE4\xEE\xF0\xEE\xE2"));
    EXPECT_EQ(writtenFiles(out), names);
}

// The same on a disk that is really full: a small file system of its own, mounted where the
// machine lets a test do so (root, a mount namespace of its own) and skipped elsewhere. The
// file system goes with the namespace, so its contents are listed from inside.
TEST_F(CliTest, BatchOnAFullDiskKeepsTheOlderFilesAndSaysSo)
{
    respondent().write(path("r.txt"));
    Questionnaire changed = respondent();
    changed.name = QStringLiteral("Сидоров");
    changed.answers.fill(6);
    changed.write(path("changed.txt"));
    ASSERT_TRUE(QDir().mkpath(path("disk")));
    // $1 mount point, $2 program, $3 input, $4 listings, $5 the changed input. The run that
    // meets the full disk replaces an older run's files.
    const QString inside = QStringLiteral(
        "mount -t tmpfs -o size=8m vorl \"$1\" || exit 77\n"
        "\"$2\" --batch \"$1/out\" \"$3\" >/dev/null 2>&1 || exit 78\n"
        "(cd \"$1/out\" && ls -A && cksum -- *) >\"$4/before.txt\"\n"
        // 100 KB left: room for the analysis file and the report, not for the pictures.
        "free=$(df -k --output=avail \"$1\" | tail -n 1)\n"
        "dd if=/dev/zero of=\"$1/filler\" bs=1k count=$((free - 100)) 2>/dev/null\n"
        "cp \"$5\" \"$3\"\n"
        "\"$2\" --batch \"$1/out\" \"$3\" >/dev/null\n"
        "status=$?\n"
        "(cd \"$1/out\" && ls -A && cksum -- *) >\"$4/after.txt\"\n"
        "exit $status\n");
    const Outcome run =
        runProgram({"-c",
                    "unshare -m true 2>/dev/null || exit 77\n"
                    "exec unshare -m sh -c \"$0\" sh \"$@\"",
                    inside, path("disk"), kProgram, path("r.txt"), dir.path(), path("changed.txt")},
                   kC, {}, QStringLiteral("/bin/sh"));
    if (run.exitCode == 77)
        GTEST_SKIP() << "no small file system can be mounted here";
    ASSERT_NE(run.exitCode, 78) << "the first run did not fit";
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.endsWith(": No space left on device.\n")) << run.err.toStdString();
    const QByteArray before = contents(path("before.txt"));
    EXPECT_TRUE(before.startsWith("Image A R-17.jpg\n")) << before.toStdString();
    EXPECT_EQ(contents(path("after.txt")), before) << "the older twelve files, and nothing else";
}

// ---- batch reports on several threads

namespace {

// The bytes of a written file, a PDF's creation time (to the second) taken out.
QByteArray comparable(const QString &file)
{
    static const QRegularExpression date(QStringLiteral("/CreationDate \\(D:[0-9]+Z\\)"));
    QByteArray bytes = contents(file);
    if (file.endsWith(".pdf"))
        bytes = QString::fromLatin1(bytes).remove(date).toLatin1();
    return bytes;
}

} // namespace

// Every input on a thread of its own or all on one: the same files with the same bytes, the same
// progress lines in input order, the same messages and status. The first group is much slower
// than the inputs after it, a failing input fails alone, and a name met twice is numbered in
// input order even when its second input is done first; more inputs than jobs wait their turn.
TEST_F(CliTest, BatchOnManyJobsWritesWhatOneJobWrites)
{
    QStringList inputs;
    ASSERT_TRUE(QDir().mkpath(path("in/A/Отдел")));
    ASSERT_TRUE(QDir().mkpath(path("in/B/Отдел")));
    for (int m = 0; m < 300; ++m)
        Questionnaire::uniform(2 + m % 5).write(path(QStringLiteral("in/A/Отдел/m%1.txt").arg(m)));
    Questionnaire::uniform(3).write(path("in/B/Отдел/m.txt"));
    inputs << path("in/A/Отдел") << path("in/B/Отдел");
    for (int i = 0; i < 6; ++i) {
        Questionnaire q = Questionnaire::uniform(1 + i);
        q.code = QStringLiteral("R-%1").arg(20 + i);
        q.write(path(QStringLiteral("in/r%1.txt").arg(i)));
        inputs << path(QStringLiteral("in/r%1.txt").arg(i));
        if (i == 1) {
            testfiles::writeBytes(path("in/bad.txt"),
                                  testfiles::joinLines(respondent().withLine(12, "x")));
            inputs << path("in/bad.txt");
        }
    }
    inputs << path("in/r2.txt");

    // One folder for both runs, so that the messages name the same files.
    const QString out = path("out");
    std::map<QString, Outcome> runs;
    std::map<QString, std::map<QString, QByteArray>> files;
    for (const QString jobs : {"1", "4"}) {
        runs[jobs] = runProgram(QStringList{"--jobs", jobs, "--batch", out} + inputs);
        for (const QString &name : writtenFiles(out))
            files[jobs][name] = comparable(out + "/" + name);
        ASSERT_TRUE(QDir(out).removeRecursively());
    }

    const Outcome &one = runs["1"];
    EXPECT_EQ(one.exitCode, 1);
    const QStringList progress = QString::fromUtf8(one.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(progress.size(), inputs.size()) << one.out.toStdString();
    EXPECT_TRUE(progress[0].startsWith("1/10 " + path("in/A/Отдел") +
                                       ": code \"0000\", files named \"0000 Отдел\"; "));
    EXPECT_TRUE(progress[1].contains("are named \"0000 Отдел (2)\"; 12 files"))
        << progress[1].toStdString();
    EXPECT_EQ(progress[4], "5/10 " + path("in/bad.txt") + ": failed");
    EXPECT_TRUE(progress[9].contains("are named \"R-22 (2)\"; 12 files"))
        << progress[9].toStdString();
    EXPECT_EQ(QString::fromUtf8(one.err),
              "vorlzut: " + path("in/bad.txt") + ": 'x' is not a valid integer value.\n");
    EXPECT_EQ(files["1"].size(), 12u * 9);

    const Outcome &four = runs["4"];
    EXPECT_EQ(four.exitCode, one.exitCode);
    EXPECT_EQ(four.out.toStdString(), one.out.toStdString());
    EXPECT_EQ(four.err.toStdString(), one.err.toStdString());
    ASSERT_EQ(files["4"].size(), files["1"].size());
    for (const auto &[name, bytes] : files["1"])
        EXPECT_TRUE(files["4"].count(name) && files["4"][name] == bytes) << name.toStdString();
}

// ---- comparing with a reference (--compare)

namespace {

QJsonObject parsedJson(const Outcome &run)
{
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.err, QByteArray());
    return QJsonDocument::fromJson(run.out).object();
}

std::vector<double> percentages(const QJsonObject &json)
{
    std::vector<double> values = numbers(json["summary"]);
    for (const double v : numbers(json["scales"]))
        values.push_back(v);
    return values;
}

// pdfinfo's page count and pdftotext's text of the pages first..last, white space made one blank.
QString pdfTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(kHangGuardMs) || process.exitCode() != 0)
        return QStringLiteral("<%1 failed>").arg(program);
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pdfPages(const QString &pdf)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(pdfTool("pdfinfo", {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString pdfPageText(const QString &pdf, int first, int last)
{
    return pdfTool("pdftotext", {"-layout", "-enc", "UTF-8", "-f", QString::number(first), "-l",
                                 QString::number(last), pdf, "-"})
        .simplified();
}

} // namespace

class CompareTest : public CliTest
{
protected:
    void SetUp() override
    {
        respondent().write(path("r.txt"));
        ASSERT_TRUE(QDir(dir.path()).mkpath("g"));
        Questionnaire other = Questionnaire::uniform(6);
        other.code = "G-2";
        other.answers[5] = 1;
        respondent().write(path("g/a.txt"));
        other.write(path("g/b.txt"));
        testfiles::writeBytes(path("bad.txt"),
                              testfiles::joinLines(respondent().withLine(12, "x")));
    }
};

// Wherever --compare stands, the object is the profile's own with the reference as its own
// export has it and the difference of the two, unrounded.
TEST_F(CompareTest, JsonAddsTheReferenceAndTheDifference)
{
    const QString person = path("r.txt"), group = path("g");
    const QJsonObject alone[] = {exportJson(person), exportJson(group)};
    const struct
    {
        int self; // 0 the respondent, 1 the group
        QStringList arguments;
    } table[] = {{0, {"--json", person, "--compare", group}},
                 {0, {"--compare", group, "--json", person}},
                 {1, {"--json", group, "--compare", person}}};
    for (const auto &row : table) {
        SCOPED_TRACE(row.arguments.join(' ').toStdString());
        QJsonObject json = parsedJson(runProgram(row.arguments));
        const QJsonObject &self = alone[row.self];
        const QJsonObject &other = alone[1 - row.self];
        const QJsonObject reference = json.take("reference").toObject();
        const QJsonObject difference = json.take("difference").toObject();
        // A respondent is not placed among two colleagues (the spread minimum is 8): their
        // answers would show. The figures of larger groups are checked against R.
        EXPECT_EQ(json.take("withheld").toObject()["minSpread"].toInt(), row.self == 0 ? 8 : 0);
        EXPECT_EQ(json, self);
        EXPECT_EQ(reference.keys(), (QStringList{"code", "count", "name", "scales", "summary"}));
        for (const char *key : {"code", "name", "count", "summary", "scales"})
            EXPECT_EQ(reference[key], other[key]) << key;
        EXPECT_EQ(difference.keys(), (QStringList{"scales", "summary"}));
        const std::vector<double> mine = percentages(self), theirs = percentages(other);
        const std::vector<double> differences = percentages(difference);
        ASSERT_EQ(differences.size(), 36u);
        for (std::size_t i = 0; i < differences.size(); ++i)
            EXPECT_EQ(differences[i], mine[i] - theirs[i]) << i;
    }
}

// The table as it was, then the rows "reference" and "difference" with the percentages in
// their columns.
TEST_F(CompareTest, CsvAddsTheReferenceAndDifferenceRows)
{
    const Outcome plain = runProgram({"--csv", path("g")});
    const Outcome compared = runProgram({"--csv", path("g"), "--compare", path("r.txt")});
    ASSERT_EQ(compared.exitCode, 0) << compared.err.toStdString();
    EXPECT_TRUE(compared.out.startsWith(plain.out));
    const QList<QStringList> rows = readCsv(compared.out, ',');
    ASSERT_EQ(rows.size(), 1 + 2 + 4 + 2);
    const QStringList &reference = rows[7];
    const QStringList &difference = rows[8];
    const Questionnaire r = respondent();
    EXPECT_EQ(reference.mid(0, 4), (QStringList{"reference", r.code, r.name, r.date}));
    EXPECT_EQ(difference.mid(0, 4), (QStringList{"difference", "", "", ""}));
    ASSERT_EQ(reference.size(), rows[0].size());
    ASSERT_EQ(difference.size(), rows[0].size());
    EXPECT_EQ(rows[0][36], "summary1");
    for (int c = 4; c < 36; ++c) {
        EXPECT_EQ(reference[c], "") << c;
        EXPECT_EQ(difference[c], "") << c;
    }
    const std::vector<double> person = percentages(exportJson(path("r.txt")));
    const std::vector<double> group = percentages(exportJson(path("g")));
    for (int c = 36; c < rows[0].size(); ++c) {
        EXPECT_EQ(reference[c].toDouble(), person[std::size_t(c - 36)]) << c;
        EXPECT_EQ(difference[c].toDouble(),
                  group[std::size_t(c - 36)] - person[std::size_t(c - 36)])
            << c;
    }
}

// Wrong command lines give status 2 and the usage; a reference (or, beside one, a profile) that
// cannot be read gives status 1 and its message, naming the file when the message does not,
// and nothing on standard output nor in the batch's folder. The arguments are separated by
// "|"; %1 stands for the test's folder.
struct CompareFailure
{
    const char *name;
    const char *arguments;
    int status;
    const char *message; // all of standard error
};

void PrintTo(const CompareFailure &f, std::ostream *os)
{
    *os << f.name;
}

class CompareRefused : public CompareTest, public testing::WithParamInterface<CompareFailure>
{
};

TEST_P(CompareRefused, StatusAndMessage)
{
    const auto fill = [this](const char *text) { return QString::fromUtf8(text).arg(dir.path()); };
    const Outcome run = runProgram(fill(GetParam().arguments).split('|'));
    EXPECT_EQ(run.exitCode, GetParam().status);
    EXPECT_EQ(run.out, QByteArray());
    EXPECT_EQ(QString::fromUtf8(run.err), fill(GetParam().message));
    EXPECT_FALSE(QFileInfo::exists(path("out")));
}

const char *const kBadNumber = "%1/bad.txt: 'x' is not a valid integer value.\n";

INSTANTIATE_TEST_SUITE_P(
    Table, CompareRefused,
    testing::Values(
        CompareFailure{"MissingReference", "--json|%1/r.txt|--compare|%1/none.txt", 1,
                       "Cannot open file %1/none.txt: No such file or directory.\n"},
        CompareFailure{"EmptyReference", "--csv|%1/r.txt|--compare|", 1,
                       "Cannot open file: the path is empty.\n"},
        CompareFailure{"BadNumberInTheReference", "--csv|%1/r.txt|--compare|%1/bad.txt", 1,
                       kBadNumber},
        CompareFailure{"BadNumberInTheProfile", "--json|%1/bad.txt|--compare|%1/g", 1, kBadNumber},
        CompareFailure{"BatchReferenceFailsBeforeAnythingIsWritten",
                       "--batch|%1/out|--compare|%1/bad.txt|%1/r.txt", 1,
                       "vorlzut: %1/bad.txt: 'x' is not a valid integer value.\n"}),
    [](const testing::TestParamInfo<CompareFailure> &row) { return std::string(row.param.name); });

// Every report of a compared batch has the comparison page after the charts, wherever
// --compare stands.
TEST_F(CompareTest, BatchReportsGetTheComparisonPage)
{
    const Outcome plain = runProgram({"--batch", path("plain"), path("r.txt")});
    ASSERT_EQ(plain.exitCode, 0) << plain.err.toStdString();
    const Outcome after =
        runProgram({"--batch", path("after"), "--compare", path("g"), path("r.txt")}, kRussian);
    ASSERT_EQ(after.exitCode, 0) << after.err.toStdString();
    const Outcome before =
        runProgram({"--compare", path("g"), "--batch", path("before"), path("r.txt")}, kRussian);
    ASSERT_EQ(before.exitCode, 0) << before.err.toStdString();
    EXPECT_EQ(writtenFiles(path("after")), reportSet({"R-17"}));

    const int pages = pdfPages(path("plain/Report R-17.pdf"));
    ASSERT_GT(pages, 2);
    const QString compared = path("after/Report R-17.pdf");
    EXPECT_EQ(pdfPages(compared), pages + 1);
    const QString page = pdfPageText(compared, 3, 3);
    EXPECT_TRUE(page.startsWith("Сравнение: g, файлов: 2")) << page.toStdString();
    EXPECT_TRUE(page.contains("Показатель Профиль, % База, % Разность")) << page.toStdString();
    EXPECT_EQ(pdfPageText(path("before/Report R-17.pdf"), 1, pages + 1),
              pdfPageText(compared, 1, pages + 1));
}
