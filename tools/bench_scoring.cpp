// Google Benchmark figures for the scoring core: reading and scoring answer files, the number
// formatting, the analysis text, a group load and its statistics.

#include "Analysis.h"
#include "AnswerFile.h"
#include "AnswerGenerator.h"
#include "Breakdown.h"
#include "GroupLoader.h"
#include "GroupSource.h"
#include "NumberFormat.h"
#include "ProfileStore.h"
#include "Scoring.h"
#include "Statistics.h"

#include <QDir>
#include <QLocale>
#include <QString>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kGroupSize = 1000;
constexpr std::uint64_t kSeed = 7;

// Generated files, written once before the benchmarks run.
struct Fixture
{
    QTemporaryDir dir;
    QString oneFile;
    QString group;
    std::string oneFileBytes;
};
std::unique_ptr<Fixture> fixture;

void makeFixture()
{
    fixture = std::make_unique<Fixture>();
    if (!fixture->dir.isValid()) {
        std::fprintf(stderr, "bench_scoring: cannot create a temporary folder\n");
        std::exit(1);
    }
    const std::string base = QDir(fixture->dir.path()).absolutePath().toStdString();
    writeAnswerFiles(base + "/one", 1, kSeed);
    writeAnswerFiles(base + "/group", kGroupSize, kSeed);
    fixture->oneFile = QString::fromStdString(base + "/one/" + generatedFileName(0, 1));
    fixture->group = QString::fromStdString(base + "/group");
    fixture->oneFileBytes = generatedAnswerFile(0, kSeed);
}

void BM_LoadAndReadAnswers(benchmark::State &state)
{
    for (auto _ : state) {
        const AnswerFileText text = AnswerFileText::load(fixture->oneFile);
        ProfileStore store;
        ReadAnswers(text, store);
        benchmark::DoNotOptimize(store);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LoadAndReadAnswers);

// The same without the file system: line splitting and integer reading only.
void BM_ReadAnswersFromMemory(benchmark::State &state)
{
    const QByteArrayView bytes(fixture->oneFileBytes.data(),
                               qsizetype(fixture->oneFileBytes.size()));
    for (auto _ : state) {
        const AnswerFileText text = AnswerFileText::fromBytes(bytes);
        ProfileStore store;
        ReadAnswers(text, store);
        benchmark::DoNotOptimize(store);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadAnswersFromMemory);

void BM_FormatFixed(benchmark::State &state)
{
    const std::vector<double> values{
        0.0, 6.25, 12.5, 37.5, 58.333333333333336, -8.33, 99.96, 100.0, 54.1666666666667, 43.75};
    const QString point = QStringLiteral(",");
    for (auto _ : state) {
        for (double v : values) {
            QString text = formatFixed(v, 1, 3, point);
            benchmark::DoNotOptimize(text);
        }
    }
    state.SetItemsProcessed(state.iterations() * qint64(values.size()));
}
BENCHMARK(BM_FormatFixed);

void BM_AnalysisLines(benchmark::State &state)
{
    LoadedProfile profile = loadRespondent(fixture->oneFile);
    convertToPercent(profile.store);
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    const QString today = todayText(russian);
    for (auto _ : state) {
        QStringList lines = analysisLines(profile.store, profile.header, today, russian);
        benchmark::DoNotOptimize(lines);
    }
}
BENCHMARK(BM_AnalysisLines);

void BM_GroupMembers1000(benchmark::State &state)
{
    for (auto _ : state) {
        QStringList names = groupMemberNames(fixture->group + QLatin1Char('/'));
        benchmark::DoNotOptimize(names);
    }
    state.SetItemsProcessed(state.iterations() * kGroupSize);
}
BENCHMARK(BM_GroupMembers1000)->Unit(benchmark::kMillisecond);

void BM_LoadGroup1000(benchmark::State &state)
{
    const QString today = QStringLiteral("01.01.2025");
    for (auto _ : state) {
        LoadedProfile profile = loadGroup(fixture->group, today);
        benchmark::DoNotOptimize(profile);
    }
    state.SetItemsProcessed(state.iterations() * kGroupSize);
}
BENCHMARK(BM_LoadGroup1000)->Unit(benchmark::kMillisecond);

// The breakdown's two ways against the group loads they replace: as the command line does it
// (members summed by subgroup as they are read, none kept) against a group load that keeps none,
// and as the window does it (a group load keeping the members, then the split of what was
// read) against the group load alone.
constexpr int kSplitLine = 4;

void BM_LoadGroupDrop1000(benchmark::State &state)
{
    const QString today = QStringLiteral("01.01.2025");
    for (auto _ : state) {
        LoadedProfile profile = loadGroup(fixture->group, today, Members::Drop);
        benchmark::DoNotOptimize(profile);
    }
    state.SetItemsProcessed(state.iterations() * kGroupSize);
}
BENCHMARK(BM_LoadGroupDrop1000)->Unit(benchmark::kMillisecond);

void BM_SplitAsRead1000(benchmark::State &state)
{
    const QString today = QStringLiteral("01.01.2025");
    for (auto _ : state) {
        BreakdownBuilder builder(kSplitLine, today, Members::Drop);
        LoadedProfile whole =
            loadGroup(fixture->group, today, Members::Drop,
                      [&builder](const MemberProfile &member) { builder.add(member); });
        Breakdown breakdown = builder.finish(Disclosure{});
        benchmark::DoNotOptimize(whole);
        benchmark::DoNotOptimize(breakdown);
    }
    state.SetItemsProcessed(state.iterations() * kGroupSize);
}
BENCHMARK(BM_SplitAsRead1000)->Unit(benchmark::kMillisecond);

void BM_LoadGroupThenSplit1000(benchmark::State &state)
{
    const QString today = QStringLiteral("01.01.2025");
    for (auto _ : state) {
        LoadedProfile whole = loadGroup(fixture->group, today);
        Breakdown breakdown = splitGroup(whole, kSplitLine, Disclosure{});
        benchmark::DoNotOptimize(whole);
        benchmark::DoNotOptimize(breakdown);
    }
    state.SetItemsProcessed(state.iterations() * kGroupSize);
}
BENCHMARK(BM_LoadGroupThenSplit1000)->Unit(benchmark::kMillisecond);

// What the statistics add to every member read (the moments of its 36 values and 32 answers),
// and the tests of a breakdown's table once its rows are summed (Welch and Benjamini-Hochberg
// over every cell, the ICCs of every column).
void BM_MemberMoments(benchmark::State &state)
{
    const LoadedProfile one = loadRespondent(fixture->oneFile);
    ValueMoments moments;
    for (auto _ : state) {
        moments.add(one.store);
        benchmark::DoNotOptimize(moments);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MemberMoments);

void BM_BreakdownTests1000(benchmark::State &state)
{
    const QString today = QStringLiteral("01.01.2025");
    const LoadedProfile whole = loadGroup(fixture->group, today);
    const BreakdownTable table =
        breakdownTable(whole, splitGroup(whole, kSplitLine, Disclosure{}), QStringLiteral("group"));
    for (auto _ : state) {
        BreakdownTable tested = table;
        testRowsAgainstTheRest(tested);
        benchmark::DoNotOptimize(tested);
    }
}
BENCHMARK(BM_BreakdownTests1000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    makeFixture();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fixture.reset();
    return 0;
}
