// The breakdown on the command line, run as the user runs it: the built program in a child
// process with no display, a Russian locale, answer files in code page 1251; its CSV and JSON
// read back against the group export of each subgroup's own folder.

#include "AnswerFiles.h"
#include "CsvReader.h"
#include "ProgramRun.h"
#include "Scoring.h"
#include "Statistics.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <cmath>
#include <functional>
#include <map>
#include <random>

using testfiles::Questionnaire;
using namespace clitest;
using ChildRun = Outcome;

namespace {

ChildRun vorlzut(const QStringList &arguments)
{
    return runProgram(arguments, kRussian);
}

class BreakdownCliTest : public testing::Test
{
protected:
    // A member in the company's folder and in the folder of the row it belongs to.
    void write(const QString &file, const QString &city, int answer, const QString &row)
    {
        Questionnaire q = Questionnaire::uniform(answer);
        q.details[3] = city;
        q.totals[5] = 3 * answer + 1;
        for (const QString &folder : {QStringLiteral("company"), row}) {
            QDir().mkpath(dir.filePath(folder));
            q.write(dir.filePath(folder + QLatin1Char('/') + file));
        }
    }

    void SetUp() override
    {
        write("a.txt", "Пермь", 2, "perm");
        write("b.txt", "ПЕРМЬ ", 5, "perm");
        write("c.txt", "Тула", 6, "others");
        write("d.txt", "Пермь", 3, "perm");
        write("e.txt", "", 7, "others");
        write("f.txt", "Омск", 1, "others");
    }

    // The group export of a folder: the numbers a subgroup's row must have.
    QJsonObject groupOf(const QString &folder)
    {
        const ChildRun run = vorlzut({"--json", dir.filePath(folder)});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return QJsonDocument::fromJson(run.out).object();
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(BreakdownCliTest, JsonRowsAreTheGroupsOfTheirMembers)
{
    const ChildRun run =
        vorlzut({"--json", "--by", "7", "--min-size", "3", dir.filePath("company")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty());
    const QJsonObject json = QJsonDocument::fromJson(run.out).object();
    EXPECT_EQ(json["folder"].toString(), QStringLiteral("company"));
    EXPECT_EQ(json["line"].toInt(), 7);
    EXPECT_EQ(json["minSize"].toInt(), 3);
    EXPECT_EQ(json["pooled"].toInt(), 3);
    EXPECT_EQ(json["withheld"].toInt(), 0);
    const QJsonArray rows = json["subgroups"].toArray();
    ASSERT_EQ(rows.size(), 3);
    const struct
    {
        const char *name;
        int count;
        const char *folder;
    } expected[] = {{"Вся папка", 6, "company"}, {"Пермь", 3, "perm"}, {"Прочие", 3, "others"}};
    for (int i = 0; i < 3; ++i) {
        const QJsonObject row = rows[i].toObject();
        EXPECT_EQ(row["name"].toString(), QString::fromUtf8(expected[i].name));
        EXPECT_EQ(row["count"].toInt(), expected[i].count);
        const QJsonObject group = groupOf(QString::fromLatin1(expected[i].folder));
        if (i == 0) {
            EXPECT_EQ(row["summary"], group["summary"]);
            EXPECT_EQ(row["scales"], group["scales"]);
            continue;
        }
        // A subgroup's percentages as the views show them, with one decimal.
        for (const char *kind : {"summary", "scales"})
            for (qsizetype v = 0; v < group[kind].toArray().size(); ++v) {
                const double published = row[kind].toArray()[v].toDouble();
                EXPECT_NEAR(published, group[kind].toArray()[v].toDouble(), 0.05 + 1e-9);
                EXPECT_DOUBLE_EQ(published * 10, std::round(published * 10));
            }
    }
}

TEST_F(BreakdownCliTest, CsvIsPlainWithTheWholeFolderFirst)
{
    const ChildRun run =
        vorlzut({"--csv", "--by", "7", dir.filePath("company"), "--min-size", "1"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_FALSE(run.out.startsWith("\xEF\xBB\xBF"));
    const QList<QStringList> records = readCsv(run.out, ',');
    ASSERT_EQ(records.size(), 8); // header, five rows, icc1 and icc2
    EXPECT_EQ(records[0].mid(0, 3), (QStringList{"name", "count", "summary1"}));
    EXPECT_EQ(records[0].size(), 2 + 3 * (12 + 24));
    QStringList rows;
    for (const QStringList &record : records.mid(1, 5))
        rows << record[0] + QLatin1Char(' ') + record[1];
    EXPECT_EQ(rows, (QStringList{"Вся папка 6", "Пермь 3", "(не указано) 1", "Омск 1", "Тула 1"}));
    // The point is "." under a Russian locale, and every number reads back as the JSON's.
    const QJsonObject perm = groupOf("perm");
    for (int i = 0; i < 12; ++i)
        EXPECT_NEAR(records[2][2 + i].toDouble(), perm["summary"].toArray()[i].toDouble(),
                    0.05 + 1e-9)
            << i;
}

TEST_F(BreakdownCliTest, TooSmallSubgroupsAreWithheldOrPooled)
{
    // Every city under 4: "Пермь" alone is too small, the rest too; all are pooled together.
    ChildRun run = vorlzut({"--json", "--by", "7", "--min-size", "4", dir.filePath("company")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QJsonObject json = QJsonDocument::fromJson(run.out).object();
    QJsonArray rows = json["subgroups"].toArray();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1].toObject()["name"].toString(), QStringLiteral("Прочие"));
    EXPECT_EQ(rows[1].toObject()["count"].toInt(), 6);

    // Over the whole folder's size the folder is not broken down: its one row would be the few.
    run = vorlzut({"--json", "--by", "7", "--min-size", "7", dir.filePath("company")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains("it has 6 files, fewer than the smallest subgroup shown "
                                 "(--min-size 7)"))
        << run.err.toStdString();
}

TEST_F(BreakdownCliTest, FailuresPrintNothingOnStandardOutput)
{
    Questionnaire bad;
    testfiles::writeBytes(dir.filePath("company/z.txt"),
                          testfiles::joinLines(bad.withLine(20, "x")));
    ChildRun run = vorlzut({"--csv", "--by", "4", dir.filePath("company")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains("z.txt")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("'x' is not a valid integer value")) << run.err.toStdString();

    run = vorlzut({"--json", "--by", "4", dir.filePath("perm/a.txt")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains("into subgroups: it is not a folder")) << run.err.toStdString();

    // A path that names nothing is not called a file.
    run = vorlzut({"--json", "--by", "4", dir.filePath("missing")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.endsWith("into subgroups: No such file or directory.\n"))
        << run.err.toStdString();
}

TEST_F(BreakdownCliTest, BatchWritesEachShownSubgroupAnonymousBesideTheHeatMap)
{
    const QString out = dir.filePath("out");
    const ChildRun run = vorlzut({"--batch", out, "--by", "7", dir.filePath("company")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    // "Пермь" (3) and "Прочие" (Тула, Омск and the empty line): twelve files each; none for
    // the subgroups below the minimum.
    QStringList expected{QStringLiteral("Подгруппы company (строка 7).pdf"),
                         QStringLiteral("Подгруппы company (строка 7).csv")};
    for (const QString &subgroup : {QStringLiteral("Пермь"), QStringLiteral("Прочие")}) {
        const QString stem = QStringLiteral("0000 ") + subgroup;
        expected << stem + ".rtf" << "Report " + stem + ".pdf";
        for (const char letter : QByteArray("ABCD"))
            expected << QStringLiteral("Image %1 %2.jpg").arg(QChar(letter)).arg(stem);
        for (const char letter : QByteArray("ABCDEF"))
            expected << QStringLiteral("Plot %1 %2.jpg").arg(QChar(letter)).arg(stem);
    }
    expected.sort();
    EXPECT_EQ(QDir(out).entryList(QDir::Files, QDir::Name), expected);

    // The table is the one --csv --by prints.
    QFile csv(out + QStringLiteral("/Подгруппы company (строка 7).csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll(), vorlzut({"--csv", "--by", "7", dir.filePath("company")}).out);
    // No member's name or code in any report or analysis file.
    for (const QString &file : expected) {
        QByteArray text;
        if (file.endsWith(".pdf")) {
            QProcess pdf;
            pdf.start("pdftotext", {out + '/' + file, "-"});
            ASSERT_TRUE(pdf.waitForFinished(kHangGuardMs));
            text = pdf.readAllStandardOutput();
        } else if (file.endsWith(".rtf")) {
            QFile analysis(out + '/' + file);
            ASSERT_TRUE(analysis.open(QIODevice::ReadOnly));
            text = QString(QStringDecoder("Windows-1251").decode(analysis.readAll())).toUtf8();
        } else {
            continue;
        }
        EXPECT_FALSE(text.isEmpty()) << file.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("Петров").toUtf8())) << file.toStdString();
        EXPECT_FALSE(text.contains("R-17")) << file.toStdString();
    }
}

// The attack on a subgroup's spread through its published p: with n, the published mean, the
// whole folder's exact mean and sd, and the Welch p of the subgroup against the rest, every set
// of members' values on the answers' grid that gives the same figures is a candidate. Below the
// spread minimum there is no p to start from; at it, the two significant digits leave many.
TEST(BreakdownDisclosure, SdFromPAttackOnTheBatchTableFindsNoSingleAnswer)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("company"));
    std::mt19937 random(3);
    int number = 0;
    std::array<int, 8> truth{}; // Склад's scale 1 in steps of 100/12, the members' own
    int stored = 0;
    for (const auto &[department, size] : {std::pair{"Продажи", 14}, std::pair{"Склад", 8},
                                           std::pair{"Охрана", 5}, std::pair{"Офис", 3}}) {
        for (int m = 0; m < size; ++m) {
            Questionnaire q;
            for (int &a : q.answers)
                a = 1 + int(random() % 7);
            const auto totals = answerTotals(q.answers);
            std::copy(totals.begin(), totals.end(), q.totals.begin());
            q.details[0] = QString::fromUtf8(department);
            if (QByteArray(department) == "Склад")
                truth[std::size_t(stored++)] = q.answers[0] + q.answers[4] - 2;
            q.write(dir.filePath(QStringLiteral("company/%1.txt").arg(number++)));
        }
    }
    const ChildRun batch =
        vorlzut({"--batch", dir.filePath("out"), "--by", "4", dir.filePath("company")});
    ASSERT_EQ(batch.exitCode, 0) << batch.err.toStdString();
    const QStringList tables = QDir(dir.filePath("out")).entryList({"*.csv"});
    ASSERT_EQ(tables.size(), 1);
    QFile file(dir.filePath("out/" + tables.front()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    std::map<QString, QMap<QString, QString>> rows;
    const QList<QByteArray> lines = file.readAll().split('\n');
    const QList<QByteArray> header = lines.front().trimmed().split(',');
    for (const QByteArray &line : lines.mid(1)) {
        const QList<QByteArray> cells = line.trimmed().split(',');
        for (qsizetype c = 0; c < cells.size() && c < header.size(); ++c)
            rows[QString::fromUtf8(cells[0])][QString::fromUtf8(header[c])] =
                QString::fromUtf8(cells[c]);
    }
    // Below the spread minimum: nothing to invert.
    for (const char *small : {"Офис", "Охрана"}) {
        const QMap<QString, QString> &row = rows[QString::fromUtf8(small)];
        ASSERT_FALSE(row.isEmpty()) << small;
        for (auto cell = row.begin(); cell != row.end(); ++cell)
            if (cell.key().startsWith("p_") || cell.key().startsWith("significant_")) {
                EXPECT_TRUE(cell.value().isEmpty()) << small;
            }
    }

    // The whole folder's own figures are exact: the attacker has them.
    const ChildRun whole = vorlzut({"--json", dir.filePath("company")});
    ASSERT_EQ(whole.exitCode, 0);
    const QJsonObject spread = QJsonDocument::fromJson(whole.out)
                                   .object()["spread"]
                                   .toObject()["scales"]
                                   .toArray()
                                   .first()
                                   .toObject();
    Moments all;
    all.n = spread["n"].toInt();
    all.mean = spread["mean"].toDouble();
    all.m2 = std::pow(spread["sd"].toDouble(), 2) * (all.n - 1);

    // Scale 1 is two answers: 13 steps of 100/12 points.
    const QMap<QString, QString> &store = rows[QStringLiteral("Склад")];
    ASSERT_EQ(store["count"], "8");
    const double mean = store["scale1"].toDouble();
    const double p = store["p_scale1"].toDouble();
    ASSERT_GT(p, 0);
    const double pStep = std::pow(10.0, std::floor(std::log10(p)) - 1);
    int candidates = 0;
    bool truthFound = false;
    std::sort(truth.begin(), truth.end());
    std::array<int, 8> steps{};
    std::function<void(int, int)> choose = [&](int at, int from) {
        if (at == 8) {
            Moments part;
            for (const int s : steps)
                part.add(s * 100.0 / 12);
            if (std::fabs(part.mean - mean) > 0.05 + 1e-9)
                return;
            const std::optional<double> theirs = welchP(part, remainderMoments(all, part));
            if (theirs && std::fabs(*theirs - p) <= pStep / 2 * (1 + 1e-9)) {
                ++candidates;
                truthFound = truthFound || steps == truth;
            }
            return;
        }
        for (int s = from; s <= 12; ++s) {
            steps[std::size_t(at)] = s;
            choose(at + 1, s);
        }
    };
    choose(0, 0);
    EXPECT_TRUE(truthFound); // the attack reads the table right
    EXPECT_GT(candidates, 1);
}
