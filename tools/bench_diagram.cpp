// The diagram half of the window: ShowResults(4) (all three views, labels refreshed) on the
// 602 x 564 panel, alone and with the panel painted as the screen would show it.
#include "Dialogs.h"
#include "Fonts.h"
#include "TPanel.h"
#include "UnitPlot.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>

namespace {

TForm1 *form = nullptr;

// Every round refreshes the labels, as the first drawing after a load does.
void showAllViews()
{
    form->mmPlotAll->menuAction()->setData(0);
    form->ShowResults(DiagramKind::All);
}

void BM_ShowResultsAllViews(benchmark::State &state)
{
    for (auto _ : state)
        showAllViews();
}

void BM_ShowResultsAllViewsPainted(benchmark::State &state)
{
    QImage panel(form->paPlot->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        showAllViews();
        form->paPlot->render(&panel);
    }
    state.counters["width"] = panel.width();
    state.counters["height"] = panel.height();
}

BENCHMARK(BM_ShowResultsAllViews)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ShowResultsAllViewsPainted)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutions();
    if (argc < 2) {
        std::fputs("usage: bench_diagram ANSWER_FILE [benchmark options]\n", stderr);
        return 2;
    }
    const QString sample = QString::fromLocal8Bit(argv[1]);
    TForm1 window(dialogsThatStopTool("bench_diagram"));
    window.show();
    window.openPath(sample);
    QCoreApplication::processEvents();
    form = &window;

    --argc;
    ++argv;
    argv[0] = argv[-1];
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
