// The headless export run as the user runs it: the built program in a child process with no
// display, a pinned locale, answer files written in code page 1251, and its JSON, messages and
// exit status read back.

#include "AnswerFiles.h"
#include "CsvReader.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <functional>

#include <locale.h>
#include <sys/stat.h>

using testfiles::Questionnaire;

namespace {

const QString kProgram = QStringLiteral(VORLZUT_PATH);
const QString kC = QStringLiteral("C");
const QString kRussian = QStringLiteral("ru_RU.UTF-8");
// Only a guard against a child that never ends, so that a hang fails instead of blocking.
constexpr int kHangGuardMs = 5 * 60 * 1000;

struct Outcome
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Outcome runProgram(const QStringList &arguments, const QString &locale = kC)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &key : env.keys())
        if (key.startsWith(QLatin1String("LC_")) || key == QLatin1String("LANG") ||
            key == QLatin1String("LANGUAGE"))
            env.remove(key);
    // No window system at all: the export must not need one.
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("LC_ALL"), locale);

    QProcess process;
    process.setProcessEnvironment(env);
    process.start(kProgram, arguments);
    Outcome run;
    if (!process.waitForStarted(kHangGuardMs)) {
        ADD_FAILURE() << "cannot start " << kProgram.toStdString();
        return run;
    }
    if (!process.waitForFinished(kHangGuardMs)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "the program did not finish";
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

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
    EXPECT_EQ(QString::fromUtf8(run.err), "Cannot open file " + missing + ".\n");
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
                "Cannot open file %1.\n"},
        Failure{"Pipe", [](const QString &d) { return fifo(d + "/pipe.txt"); },
                "Cannot open file %1.\n"},
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
                "'x1' is not a valid integer value.\n"}),
    [](const testing::TestParamInfo<Failure> &info) { return std::string(info.param.name); });

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
    EXPECT_EQ(QString::fromUtf8(run.err), "Cannot open file " + pipe + ".\n");
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
    EXPECT_EQ(failed.err, "'x1' is not a valid integer value.\n");
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
    EXPECT_EQ(QString::fromUtf8(refused.err), "Cannot create file " + nowhere + ".\n");
}

TEST(CliArguments, HelpAndVersion)
{
    const Outcome help = runProgram({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("--json PATH")) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains("--xlsx OUTFILE PATH")) << help.out.toStdString();
    EXPECT_EQ(help.err, QByteArray());

    const Outcome version = runProgram({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("vorlzut ")) << version.out.toStdString();
    EXPECT_EQ(version.err, QByteArray());
}

class BadArguments : public testing::TestWithParam<std::vector<const char *>>
{
};

TEST_P(BadArguments, ExitTwoWithUsage)
{
    QStringList arguments;
    for (const char *a : GetParam())
        arguments << QString::fromUtf8(a);
    const Outcome run = runProgram(arguments);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, QByteArray());
    EXPECT_TRUE(run.err.contains("Usage:")) << run.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Lists, BadArguments,
    testing::Values(std::vector<const char *>{"--bogus"}, std::vector<const char *>{"--json"},
                    std::vector<const char *>{"--json", "a.txt", "b.txt"},
                    std::vector<const char *>{"a.txt", "--json"},
                    std::vector<const char *>{"--json", "a.txt", "--json", "b.txt"},
                    std::vector<const char *>{"a.txt", "--json", "b.txt"},
                    std::vector<const char *>{"--xlsx"},
                    std::vector<const char *>{"--xlsx", "out.xlsx"},
                    std::vector<const char *>{"--xlsx", "out.xlsx", "a.txt", "b.txt"},
                    std::vector<const char *>{"--csv", "a.txt", "--xlsx", "out.xlsx", "b.txt"},
                    std::vector<const char *>{"--xlsx", "out.xlsx", "a.txt", "--batch", "o", "b"}));

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

    QStringList expected;
    for (const QString code : {"R-17", "0000", "R-17 (2)"}) {
        expected << code + ".rtf"
                 << "Report " + code + ".pdf";
        for (const char *letter : {"A", "B", "C", "D"})
            expected << QStringLiteral("Image %1 %2.jpg").arg(letter, code);
        for (const char *letter : {"A", "B", "C", "D", "E", "F"})
            expected << QStringLiteral("Plot %1 %2.jpg").arg(letter, code);
    }
    QStringList written = QDir(out).entryList(QDir::Files);
    expected.sort();
    written.sort();
    EXPECT_EQ(written, expected);
    for (const QString &name : written) {
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
