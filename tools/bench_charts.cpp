// The window's chart: one full frame of view A at 416 x 294, drawn into an image as a batch
// picture would be, its layout alone, and a repaint of the widget that only copies its cached
// picture; the full frame again with a reference marked over every bar (a comparison should
// cost at most a quarter more).
#include "ChartViews.h"
#include "Fonts.h"
#include "ProfileStore.h"
#include "TChart.h"
#include "TChartCanvas.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

struct Fixture
{
    TChart chart;
    ChartAllSeries series = configureChartAll(chart);

    explicit Fixture(bool compared = false)
    {
        ProfileStore store;
        ProfileStore reference;
        for (int k = 1; k <= kScaleScoreCount; ++k) {
            store.ScaleScores[k] = 12.5 + 3.25 * k;
            reference.ScaleScores[k] = 90 - 3 * k;
        }
        fillChart(chart, series,
                  chartView(QLatin1Char('A'), store, compared ? &reference : nullptr));
        writeChartFoot(chart, QStringLiteral("0451"), QStringLiteral("Петрова Анна Сергеевна"),
                       QStringLiteral("01.03.2024"),
                       compared ? QStringLiteral("Отдел продаж, файлов: 4") : QString());
        chart.show();
    }
};

Fixture *fixture = nullptr;
Fixture *comparedFixture = nullptr;

void paintFrames(benchmark::State &state, Fixture &f)
{
    QImage image(416, 294, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        f.chart.paintTo(painter, image.size());
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_ChartFullFrameViewA(benchmark::State &state)
{
    paintFrames(state, *fixture);
}

void BM_ChartFullFrameViewACompared(benchmark::State &state)
{
    paintFrames(state, *comparedFixture);
}

void BM_ChartLayoutViewA(benchmark::State &state)
{
    const QImage device(416, 294, QImage::Format_RGB32);
    for (auto _ : state) {
        // Text measured afresh each time, as a frame does.
        const TChartLayout frame =
            fixture->chart.Layout(device.size(), TChartTextMetrics(&device));
        benchmark::DoNotOptimize(frame.Plot);
    }
}

void BM_ChartCachedRepaint(benchmark::State &state)
{
    QImage target(416, 294, QImage::Format_RGB32);
    fixture->chart.render(&target); // draws the frame once
    const int frames = fixture->chart.FramesDrawn();
    for (auto _ : state) {
        fixture->chart.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
    if (fixture->chart.FramesDrawn() != frames)
        state.SkipWithError("the repaint drew the frame again instead of copying it");
}

BENCHMARK(BM_ChartFullFrameViewA)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ChartFullFrameViewACompared)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ChartLayoutViewA)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ChartCachedRepaint)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutions();
    Fixture data;
    fixture = &data;
    Fixture compared(true);
    comparedFixture = &compared;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
