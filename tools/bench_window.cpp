// Load commands through the main window, end to end with the dialog skipped: one answer file,
// a group of 1,000 files set against the scoring core alone on the same folder, and the worst
// headers the reader accepts: six header lines of 256 KiB without a blank, and such a name.
#include "Analysis.h"
#include "AnswerGenerator.h"
#include "Dialogs.h"
#include "Fonts.h"
#include "GroupLoader.h"
#include "NumberFormat.h"
#include "ProfileStore.h"
#include "Scoring.h"
#include "UnitPlot.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

constexpr int kGroupSize = 1000;

struct Fixture
{
    QTemporaryDir dir;
    QString group;
    QString single;
    QString hugeHeader;
    QString hugeName;
    std::unique_ptr<TForm1> form;

    Fixture()
    {
        group = dir.filePath("group");
        single = dir.filePath("one");
        writeAnswerFiles(group.toStdString(), kGroupSize, 7);
        writeAnswerFiles(single.toStdString(), 1, 11);
        single += "/" + QString::fromStdString(generatedFileName(0, 1));
        // The code stays short, so the file names of the saves stay within the file system's.
        hugeHeader = dir.filePath("huge-header.txt");
        writeHugeHeaderAnswerFile(hugeHeader.toStdString(), 5, {1, 3, 4, 5, 6, 7});
        hugeName = dir.filePath("huge-name.txt");
        writeHugeHeaderAnswerFile(hugeName.toStdString(), 5, {3});
        form = std::make_unique<TForm1>(dialogsThatStopTool("bench_window"));
        form->show();
    }
};

Fixture *fixture = nullptr;

// The load, then the events it queued, painting included, as a user would wait for them.
void loadThroughWindow(const QString &path)
{
    fixture->form->openPath(path);
    QCoreApplication::processEvents();
}

void BM_WindowDataLoad(benchmark::State &state)
{
    for (auto _ : state)
        loadThroughWindow(fixture->single);
}

void BM_WindowGroupLoad(benchmark::State &state)
{
    for (auto _ : state)
        loadThroughWindow(fixture->group);
    state.counters["files"] = kGroupSize;
}

void BM_WindowHugeHeaderLoad(benchmark::State &state)
{
    for (auto _ : state)
        loadThroughWindow(fixture->hugeHeader);
}

void BM_WindowHugeNameLoad(benchmark::State &state)
{
    for (auto _ : state)
        loadThroughWindow(fixture->hugeName);
}

void BM_CoreGroupLoad(benchmark::State &state)
{
    for (auto _ : state) {
        const QString today = todayText();
        LoadedProfile loaded = loadGroup(fixture->group, today);
        convertToPercent(loaded.store);
        benchmark::DoNotOptimize(analysisLines(loaded.store, loaded.header, today));
    }
    state.counters["files"] = kGroupSize;
}

BENCHMARK(BM_WindowDataLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowGroupLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CoreGroupLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowHugeHeaderLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowHugeNameLoad)->Unit(benchmark::kMillisecond);

// Keeps the real time per iteration of each benchmark for the ratio printed at the end.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}
    std::map<std::string, double> seconds;
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            seconds[run.benchmark_name()] = run.real_accumulated_time / double(run.iterations);
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutions();
    Fixture data;
    fixture = &data;

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double window = reporter.seconds["BM_WindowGroupLoad"];
    const double core = reporter.seconds["BM_CoreGroupLoad"];
    if (window > 0 && core > 0)
        std::printf("\nGroup of %d files: window %.1f ms, scoring core %.1f ms, ratio %.2f "
                    "(target: at most 1.5)\n",
                    kGroupSize, window * 1e3, core * 1e3, window / core);
    return 0;
}
