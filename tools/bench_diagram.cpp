// The diagram half of the window: fillTableAndDiagram(All) (all three views, labels refreshed)
// on the 602 x 564 panel, alone and with the panel painted as the screen would show it; the painted
// panel again with a reference laid over it (a comparison should cost at most a quarter more).
#include "Dialogs.h"
#include "Fonts.h"
#include "UnitPlot.h"

#include "Comparison.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>

namespace {

TForm1 *form = nullptr;

// Every round refreshes the labels, as the first drawing after a load does.
void showAllViews()
{
    form->setLabelsFlag(0);
    form->fillTableAndDiagram(DiagramKind::All);
}

void BM_FillTableAndDiagramAllViews(benchmark::State &state)
{
    for (auto _ : state)
        showAllViews();
}

void BM_FillTableAndDiagramAllViewsPainted(benchmark::State &state)
{
    QWidget *paPlot = form->findChild<QWidget *>(QStringLiteral("paPlot"));
    QImage panel(paPlot->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        showAllViews();
        paPlot->render(&panel);
    }
    state.counters["width"] = panel.width();
    state.counters["height"] = panel.height();
}

// The reference: the sample with every value moved, so that no polygon hides another.
ReferenceProfile movedReference()
{
    ReferenceProfile reference = referenceOf(*form->lastLoad());
    for (double &v : reference.store.ScaleScores)
        v = std::min(100.0, v + 15);
    for (double &v : reference.store.SummaryScores)
        v = std::min(100.0, v + 15);
    return reference;
}

void BM_FillTableAndDiagramAllViewsPaintedCompared(benchmark::State &state)
{
    form->setReference(movedReference());
    BM_FillTableAndDiagramAllViewsPainted(state);
    form->setReference(std::nullopt);
}

BENCHMARK(BM_FillTableAndDiagramAllViews)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FillTableAndDiagramAllViewsPainted)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FillTableAndDiagramAllViewsPaintedCompared)->Unit(benchmark::kMicrosecond);

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
