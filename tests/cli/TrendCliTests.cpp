// The trend on the command line, as the user runs it: its JSON and CSV read back against the
// group export of each wave's own folder.

#include "AnswerFiles.h"
#include "CsvReader.h"
#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

using testfiles::Questionnaire;
using namespace clitest;

TEST(TrendCli, JsonAndCsvHoldEachWaveAsItsGroupExportAndTheChangesBetween)
{
    QTemporaryDir dir;
    // "Волна 10" after "Волна 9"; "Волна 2" too small to show.
    const std::vector<std::pair<QString, int>> waves{
        {"Волна 9", 3}, {"Волна 2", 2}, {"Волна 10", 4}, {"Волна 11", 3}};
    for (const auto &[name, count] : waves) {
        QDir().mkpath(dir.filePath(name));
        for (int m = 0; m < count; ++m) {
            Questionnaire q = Questionnaire::uniform(1 + (m * 3 + name.size()) % 7);
            q.totals[4] = 20 + m;
            q.write(dir.filePath(QStringLiteral("%1/%2.txt").arg(name).arg(m)));
        }
    }
    const Outcome run = runProgram({"--json", "--trend", dir.path()}, kRussian);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(run.out).object();
    EXPECT_EQ(json["folder"].toString(), QDir(dir.path()).dirName());
    EXPECT_EQ(json["minSize"].toInt(), 3);
    EXPECT_EQ(json["withheld"].toArray(),
              QJsonArray({QJsonObject{{"name", "Волна 2"}, {"count", 2}}}));
    const QStringList shown{"Волна 9", "Волна 10", "Волна 11"};
    const QJsonArray shownWaves = json["waves"].toArray();
    ASSERT_EQ(shownWaves.size(), shown.size());
    const Outcome csv = runProgram({"--csv", "--trend=" + dir.path()}, kRussian);
    ASSERT_EQ(csv.exitCode, 0) << csv.err.toStdString();
    const QList<QStringList> rows = readCsv(csv.out, ',');
    ASSERT_EQ(rows.size(), shown.size() + 1);
    EXPECT_EQ(rows[0].mid(0, 3), QStringList({"name", "count", "summary1"}));
    EXPECT_EQ(rows[0].size(), 38);
    for (int w = 0; w < shown.size(); ++w) {
        const QJsonObject wave = shownWaves[w].toObject();
        const Outcome group = runProgram({"--json", dir.filePath(shown[w])}, kRussian);
        const QJsonObject own = QJsonDocument::fromJson(group.out).object();
        EXPECT_EQ(wave, QJsonObject({{"name", shown[w]},
                                     {"count", own["count"]},
                                     {"summary", own["summary"]},
                                     {"scales", own["scales"]}}));
        QVariantList values = own["summary"].toArray().toVariantList();
        values += own["scales"].toArray().toVariantList();
        EXPECT_EQ(rows[w + 1].mid(0, 2),
                  QStringList({shown[w], own["count"].toVariant().toString()}));
        for (int c = 0; c < 36; ++c)
            EXPECT_EQ(rows[w + 1][c + 2].toDouble(), values[c].toDouble()) << w << " " << c;
    }
    const QJsonArray changes = json["changes"].toArray();
    ASSERT_EQ(changes.size(), 2);
    for (int k = 0; k < 2; ++k) {
        const QJsonObject change = changes[k].toObject();
        EXPECT_EQ(QStringList({change["from"].toString(), change["to"].toString()}),
                  shown.mid(k, 2));
        for (const char *part : {"summary", "scales"}) {
            const QJsonArray before = shownWaves[k][part].toArray();
            const QJsonArray after = shownWaves[k + 1][part].toArray();
            const QJsonValue d = change["difference"][part], p = change["p"][part],
                             marked = change["significant"][part];
            ASSERT_EQ(
                QList<qsizetype>({d.toArray().size(), p.toArray().size(), marked.toArray().size()}),
                QList<qsizetype>(3, before.size()));
            for (int i = 0; i < before.size(); ++i) {
                EXPECT_EQ(d[i].toDouble(), after[i].toDouble() - before[i].toDouble());
                EXPECT_TRUE((p[i].isDouble() || p[i].isNull()) && marked[i].isBool()) << part << i;
            }
        }
    }
}
