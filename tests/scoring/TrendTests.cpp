// Trends: which subfolders are waves and in what order, which the minimum size withholds, what
// a parent that gives no trend is told, and the changes' tests read back by R.

#include "AnswerFiles.h"
#include "CommandError.h"
#include "GroupLoader.h"
#include "GroupSource.h"
#include "GroupTexts.h"
#include "Trend.h"
#include "Waves.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstring>

using testfiles::Questionnaire;

namespace {

const QString kToday = QStringLiteral("01.06.2031");

// What a trend of the parent shows, in one line: the waves in order, then those withheld with
// their counts; or the message (after the file it names, from the parent) that refuses it.
// Entries: "wave/file.txt" an answer file, "name/" a folder, "wave/bad.txt!" a file that is no
// answer file.
std::string trendOf(const std::vector<QString> &entries, int minimumSize)
{
    QTemporaryDir dir;
    for (QString entry : entries) {
        const bool bad = entry.endsWith(QLatin1Char('!'));
        entry.chop(bad ? 1 : 0);
        const QString path = dir.filePath(entry);
        QDir().mkpath(entry.endsWith(QLatin1Char('/')) ? path : QFileInfo(path).path());
        if (!entry.endsWith(QLatin1Char('/')))
            testfiles::writeBytes(path, bad ? "x" : Questionnaire().bytes());
    }
    if (entries.empty())
        Questionnaire().write(dir.filePath("f.txt"));
    const NativePath path = toNativePath(dir.filePath(entries.empty() ? "f.txt" : ""));
    try {
        const Trend trend = loadTrend(path, Disclosure{minimumSize}, kToday);
        QStringList waves, withheld;
        for (const TrendWave &w : trend.waves)
            waves << w.name;
        for (const TrendWithheld &w : trend.withheld)
            withheld << QStringLiteral("%1 %2").arg(w.name).arg(w.count);
        if (trend.changes.size() + 1 != trend.waves.size())
            return "changes missing";
        return (waves.join(", ") + "; withheld: " + withheld.join(", ")).toStdString();
    } catch (const CommandError &e) {
        return (QDir(dir.path()).relativeFilePath(e.file()) + ": " + e.message()).toStdString();
    }
}

struct ParentCase
{
    std::vector<QString> entries; // none: the parent is an answer file
    int minimumSize;
    const char *trend; // what trendOf gives, or its beginning
};

class TrendOfParent : public testing::TestWithParam<ParentCase>
{
};

TEST_P(TrendOfParent, ShowsItsWavesInNaturalOrderOrSaysWhyNot)
{
    const std::string trend = trendOf(GetParam().entries, GetParam().minimumSize);
    EXPECT_EQ(trend.substr(0, std::strlen(GetParam().trend)), GetParam().trend) << trend;
}

INSTANTIATE_TEST_SUITE_P(
    Table, TrendOfParent,
    testing::Values(ParentCase{{"Волна 10/a.txt", "Волна 2/a.txt", "волна 1/a.txt"},
                               1,
                               "волна 1, Волна 2, Волна 10; withheld: "},
                    // Only immediate subfolders with answer files: not the parent's own files, a
                    // folder named like one, or a folder whose answer files lie deeper.
                    ParentCase{{"2024/a.TXT", "2023/a.txt", "a.txt", "notes/readme.md",
                                "2022/old/a.txt", "2021/x.txt/", "empty/"},
                               1,
                               "2023, 2024; withheld: "},
                    ParentCase{{"A/1.txt", "A/2.txt", "A/3.txt", "B/1.txt", "B/2.txt", "C/1.txt",
                                "C/2.txt", "C/3.txt", "C/4.txt"},
                               3,
                               "A, C; withheld: B 2"},
                    ParentCase{{}, 3, ": Cannot show the trend of "},
                    ParentCase{{"a.txt", "notes/"}, 3, ": В папке "},
                    ParentCase{{"A/1.txt", "A/2.txt", "A/3.txt", "B/1.txt"},
                               3,
                               ": Для динамики нужны хотя бы две"},
                    ParentCase{{"A/1.txt", "A/2.txt", "A/3.txt", "B/1.txt", "B/2.txt!", "B/3.txt"},
                               3,
                               "B/2.txt: Волна «B»: '' is not a valid integer value"}),
    [](const auto &row) { return std::to_string(row.index); });

// ---- the changes, against R's t.test and p.adjust(…, "BH")

// A wave of members whose answers and totals scatter about a level; total 1 is the same for
// everyone, so that its test is undefined.
void writeWave(const QString &folder, int members, int level, unsigned &seed)
{
    QDir().mkpath(folder);
    const auto next = [&seed](int spread) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 16) % unsigned(spread));
    };
    for (int m = 0; m < members; ++m) {
        Questionnaire q;
        for (int &a : q.answers)
            a = std::clamp(level + next(3) - 1, 1, 7);
        for (int k = 1; k < 12; ++k)
            q.totals[std::size_t(k)] = (k < 8 ? 8 : 16) * std::clamp(level + next(3) - 1, 1, 7);
        q.write(QStringLiteral("%1/m%2.txt").arg(folder).arg(m));
    }
}

TEST(TrendChanges, AreWelchAndBenjaminiHochbergAsRComputesThem)
{
    const QString rscript = QStandardPaths::findExecutable(QStringLiteral("Rscript"));
    if (rscript.isEmpty())
        GTEST_SKIP() << "Rscript is not installed: the changes are not read back by R";
    QTemporaryDir dir;
    unsigned seed = 7;
    const int sizes[] = {6, 9, 2, 7, 12};
    const int levels[] = {3, 3, 5, 4, 4};
    for (int w = 0; w < 5; ++w)
        writeWave(dir.filePath(QStringLiteral("Волна %1").arg(w + 1)), sizes[w], levels[w], seed);
    // Every change tested and every significant one marked, as R has them.
    const Trend trend = loadTrend(toNativePath(dir.path()), Disclosure{3, 3, 0}, kToday);
    ASSERT_EQ(trend.waves.size(), 4u);
    // By default the waves of 6 and 7 files are below the spread minimum: none of the three
    // changes is tested, and the note says which waves.
    const Trend untested = loadTrend(toNativePath(dir.path()), Disclosure{}, kToday);
    for (const TrendChange &change : untested.changes)
        EXPECT_EQ(std::count(change.p.begin(), change.p.end(), std::nullopt), kTrendColumns);
    EXPECT_TRUE(trendWithheldNote(untested).contains("не проверены изменения волн «Волна 1» (6), "
                                                     "«Волна 4» (7)"))
        << trendWithheldNote(untested).toStdString();

    // Every member's 36 values in percent, a line per member after its wave's number.
    QByteArray csv;
    TableRows table;
    for (std::size_t w = 0; w < trend.waves.size(); ++w)
        for (const MemberProfile &m :
             loadGroup(trend.waves[w].folder, kToday, Members::Keep).members) {
            const TableRows::Numbers &values = table.add(m.store);
            csv += QByteArray::number(qulonglong(w));
            for (int c = kTableFirstPercent; c < kTableNumberColumns; ++c)
                csv += ',' + QByteArray::number(values[std::size_t(c)], 'g', 17);
            csv += '\n';
        }
    testfiles::writeBytes(dir.filePath("values.csv"), csv);
    QProcess r;
    r.start(rscript, {"-e",
                      "v <- read.csv(commandArgs(TRUE)[1], header = FALSE); p <- c();"
                      "for (w in 1:(max(v[, 1]))) for (c in 2:37) p <- c(p, tryCatch("
                      "t.test(v[v[, 1] == w, c], v[v[, 1] == w - 1, c])$p.value,"
                      "error = function(e) NA));"
                      "write.table(cbind(p, p.adjust(p, 'BH')), sep = ',', row.names = FALSE,"
                      "col.names = FALSE, quote = FALSE, na = 'NA')",
                      dir.filePath("values.csv")});
    ASSERT_TRUE(r.waitForFinished(120000));
    const QList<QByteArray> lines = r.readAllStandardOutput().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3 * kTrendColumns) << r.readAllStandardError().toStdString();
    int marked = 0, undefined = 0;
    for (int k = 0; k < lines.size(); ++k) {
        const TrendChange &change = trend.changes[std::size_t(k / kTrendColumns)];
        const std::size_t c = std::size_t(k % kTrendColumns);
        const QList<QByteArray> fields = lines[k].split(',');
        if (fields[0] == "NA") {
            EXPECT_FALSE(change.p[c] || change.significant[c]) << k;
            ++undefined;
            continue;
        }
        const double p = fields[0].toDouble(), adjusted = fields[1].toDouble();
        ASSERT_TRUE(change.p[c]) << k;
        EXPECT_NEAR(*change.p[c], p, 1e-6 * p) << k;
        EXPECT_EQ(change.significant[c], adjusted < 0.05) << k;
        marked += change.significant[c] ? 1 : 0;
    }
    EXPECT_EQ(undefined, 3);
    EXPECT_GT(marked, 0);
    EXPECT_LT(marked, lines.size() - undefined);

}

} // namespace
