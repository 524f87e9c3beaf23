// The PDF report of one respondent: the whole document (six charts, diagram, table and
// analysis painted into a QPdfWriter), with its size in bytes and its page count.
#include "Analysis.h"
#include "Fonts.h"
#include "GroupLoader.h"
#include "NumberFormat.h"
#include "Report.h"
#include "Scoring.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

ReportContent content;

void BM_ReportPdfOneRespondent(benchmark::State &state)
{
    QByteArray pdf;
    for (auto _ : state) {
        pdf = reportPdf(content);
        benchmark::DoNotOptimize(pdf.constData());
    }
    state.counters["bytes"] = double(pdf.size());
    state.counters["pages"] = double(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r"));
}

BENCHMARK(BM_ReportPdfOneRespondent)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fputs("usage: bench_report ANSWER_FILE [benchmark options]\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutions();
    const LoadedProfile loaded = loadRespondent(QString::fromLocal8Bit(argv[1]));
    content.header = loaded.header;
    content.nameCaption = QStringLiteral("Ф.И.О");
    content.count = loaded.count;
    content.today = todayText();
    content.store = loaded.store;
    convertToPercent(content.store);
    content.analysis = analysisLines(content.store, loaded.header, content.today).join('\n');
    --argc;
    ++argv;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
