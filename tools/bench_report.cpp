// The PDF report of one respondent: the whole document (six charts, diagram, table and
// analysis painted into our PdfDocument), with its size in bytes and its page count; and the same
// for the worst header an answer file may have (six header lines of 256 KiB without a blank).
#include "Analysis.h"
#include "AnswerGenerator.h"
#include "Fonts.h"
#include "GroupLoader.h"
#include "MemoText.h"
#include "NumberFormat.h"
#include "Report.h"
#include "Scoring.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

ReportContent content;
ReportContent hugeHeaderContent;

void measureReport(benchmark::State &state, const ReportContent &report)
{
    QByteArray pdf;
    for (auto _ : state) {
        pdf = reportPdf(report);
        benchmark::DoNotOptimize(pdf.constData());
    }
    state.counters["bytes"] = double(pdf.size());
    state.counters["pages"] = double(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r"));
}

void BM_ReportPdfOneRespondent(benchmark::State &state)
{
    measureReport(state, content);
}

void BM_ReportPdfHugeHeader(benchmark::State &state)
{
    measureReport(state, hugeHeaderContent);
}

BENCHMARK(BM_ReportPdfOneRespondent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportPdfHugeHeader)->Unit(benchmark::kMillisecond);

// The report's content as the window hands it over after loading path: the header as read and
// the analysis text as the memo holds it.
ReportContent contentOf(const QString &path)
{
    const LoadedProfile loaded = loadRespondent(path);
    ReportContent c;
    c.header = loaded.header;
    c.nameCaption = QStringLiteral("Ф.И.О");
    c.count = loaded.count;
    c.today = todayText();
    c.store = loaded.store;
    convertToPercent(c.store);
    c.analysis = memoTextOf(analysisLines(c.store, loaded.header, c.today).join('\n')).shown;
    return c;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fputs("usage: bench_report ANSWER_FILE [benchmark options]\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    installFontSubstitutions();
    content = contentOf(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir dir;
    const QString huge = dir.filePath("huge-header.txt");
    writeHugeHeaderAnswerFile(huge.toStdString(), 5, {1, 3, 4, 5, 6, 7});
    hugeHeaderContent = contentOf(huge);
    --argc;
    ++argv;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
