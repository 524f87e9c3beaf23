// Load commands through the main window, end to end with the dialog skipped: one answer file,
// a group of 1,000 files set against the scoring core alone on the same folders, and the worst
// headers the reader accepts: six header lines of 256 KiB without a blank, and such a name;
// and a group of 10,000 files loaded through Group against the same folder taken as the
// comparison's reference (which should load at least as fast).
// The group loads take turns between two folders of other members and other scores, as a user
// loads one group after another: nothing shown can be kept from the load before.
#include "Analysis.h"
#include "Comparison.h"
#include "AnswerGenerator.h"
#include "Dialogs.h"
#include "Fonts.h"
#include "GroupLoader.h"
#include "GroupSource.h"
#include "NumberFormat.h"
#include "ProfileStore.h"
#include "Scoring.h"
#include "UnitPlot.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kGroupSize = 1000;
constexpr int kBigGroupSize = 10000;
// The rounds of the ratio: each round times one window load and one core load of a folder.
constexpr int kRatioRounds = 21;
// The goal of the window's group load against the scoring core alone.
constexpr double kRatioTarget = 1.3;

struct Fixture
{
    QTemporaryDir dir;
    QString groups[2];
    QString single;
    QString hugeHeader;
    QString hugeName;
    QString bigGroup;
    std::unique_ptr<TForm1> form;

    Fixture()
    {
        groups[0] = dir.filePath("group-a");
        groups[1] = dir.filePath("group-b");
        single = dir.filePath("one");
        writeAnswerFiles(groups[0].toStdString(), kGroupSize, 7);
        writeAnswerFiles(groups[1].toStdString(), kGroupSize, 8);
        writeAnswerFiles(single.toStdString(), 1, 11);
        single += "/" + QString::fromStdString(generatedFileName(0, 1));
        // The code stays short, so the file names of the saves stay within the file system's.
        hugeHeader = dir.filePath("huge-header.txt");
        writeHugeHeaderAnswerFile(hugeHeader.toStdString(), 5, {1, 3, 4, 5, 6, 7});
        hugeName = dir.filePath("huge-name.txt");
        writeHugeHeaderAnswerFile(hugeName.toStdString(), 5, {3});
        bigGroup = dir.filePath("group-big");
        writeAnswerFiles(bigGroup.toStdString(), kBigGroupSize, 9);
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

// The scoring core's share of a group load: what the window's load reads and computes.
void loadThroughCore(const QString &folder)
{
    const QString today = todayText();
    LoadedProfile loaded = loadGroup(folder, today);
    convertToPercent(loaded.store);
    benchmark::DoNotOptimize(analysisLines(loaded.store, loaded.header, today));
}

void BM_WindowGroupLoad(benchmark::State &state)
{
    int turn = 0;
    for (auto _ : state)
        loadThroughWindow(fixture->groups[turn++ % 2]);
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

void BM_WindowBigGroupLoad(benchmark::State &state)
{
    fixture->form->setReference(std::nullopt);
    for (auto _ : state)
        loadThroughWindow(fixture->bigGroup);
    state.counters["files"] = kBigGroupSize;
}

// The same folder as the reference of the profile on screen, the views redrawn with it.
void BM_ReferenceBigGroupLoad(benchmark::State &state)
{
    loadThroughWindow(fixture->single);
    const NativePath folder = toNativePath(fixture->bigGroup);
    for (auto _ : state) {
        fixture->form->setReference(loadReference(folder, todayText()));
        QCoreApplication::processEvents();
    }
    fixture->form->setReference(std::nullopt);
    state.counters["files"] = kBigGroupSize;
}

void BM_CoreGroupLoad(benchmark::State &state)
{
    int turn = 0;
    for (auto _ : state)
        loadThroughCore(fixture->groups[turn++ % 2]);
    state.counters["files"] = kGroupSize;
}

BENCHMARK(BM_WindowDataLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowGroupLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CoreGroupLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowHugeHeaderLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowHugeNameLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowBigGroupLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReferenceBigGroupLoad)->Unit(benchmark::kMillisecond);

// Notes which benchmarks ran, so the ratio is measured only when both group loads were asked for.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}
    std::map<std::string, bool> ran;
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            ran[run.benchmark_name()] = true;
        ConsoleReporter::ReportRuns(runs);
    }
};

double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

struct Timing
{
    double wall = 0;
    double cpu = 0;
};

template <typename Load> Timing timed(Load load)
{
    const auto start = std::chrono::steady_clock::now();
    const double cpu = processCpuSeconds();
    load();
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
            processCpuSeconds() - cpu};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Milliseconds with one decimal, whatever the locale's decimal mark.
std::string ms(double seconds)
{
    return QString::number(seconds * 1e3, 'f', 1).toStdString();
}

// The ratio the goal is judged by: window and core load the same folder in turn, round after
// round, so a busy moment of the machine falls on both; the medians of the wall times are set
// against each other. The CPU time of the whole process is shown beside them, and the window's
// time is split into the command (reading and filling the views) and the painting after it.
void printRatio()
{
    std::vector<double> windowWall, coreWall, windowCpu, coreCpu, commandWall, paintWall;
    for (int round = 0; round < kRatioRounds; ++round) {
        const QString &folder = fixture->groups[round % 2];
        Timing command, paint;
        const Timing window = timed([&] {
            command = timed([&] { fixture->form->openPath(folder); });
            paint = timed([] { QCoreApplication::processEvents(); });
        });
        const Timing core = timed([&] { loadThroughCore(folder); });
        windowWall.push_back(window.wall);
        windowCpu.push_back(window.cpu);
        coreWall.push_back(core.wall);
        coreCpu.push_back(core.cpu);
        commandWall.push_back(command.wall);
        paintWall.push_back(paint.wall);
    }
    const double window = median(windowWall);
    const double core = median(coreWall);
    std::printf("\nGroup of %d files, %d rounds taking turns: window %s ms, scoring core %s ms "
                "(medians; CPU %s and %s ms)\n",
                kGroupSize, kRatioRounds, ms(window).c_str(), ms(core).c_str(),
                ms(median(windowCpu)).c_str(), ms(median(coreCpu)).c_str());
    std::printf("window: the load command %s ms (reading and filling the views), painting %s ms\n",
                ms(median(commandWall)).c_str(), ms(median(paintWall)).c_str());
    std::printf("ratio window / core %s (target: at most %s; CPU time ratio %s)\n",
                QString::number(window / core, 'f', 2).toStdString().c_str(),
                QString::number(kRatioTarget, 'f', 1).toStdString().c_str(),
                QString::number(median(windowCpu) / median(coreCpu), 'f', 2).toStdString().c_str());
}

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

    if (reporter.ran["BM_WindowGroupLoad"] && reporter.ran["BM_CoreGroupLoad"])
        printRatio();
    return 0;
}
