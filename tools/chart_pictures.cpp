// Pictures of the chart views as PNG files, straight from the chart component without a
// window: for each answer file or group folder, the six views at the window's 416 x 294 and at
// a few other sizes, plus views of stored values no answer file gives. Two builds' pictures of
// the same inputs compare byte for byte (cmp -r), which is how a change of the engine is shown
// to keep every pixel.
//
// Usage: chart_pictures OUT_DIR PATH...   (answer files or group folders)
#include "ChartViews.h"
#include "Fonts.h"
#include "GroupLoader.h"
#include "ProfileStore.h"
#include "Scoring.h"
#include "TChart.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QStyleFactory>
#include <cstdio>
#include <limits>

namespace {

constexpr QSize kSizes[] = {{416, 294}, {300, 200}, {800, 560}, {120, 90}, {40, 30}};

int writeViews(const QDir &out, const QString &stem, const ProfileStore &store,
               const HeaderTexts &header)
{
    int written = 0;
    for (const QSize size : kSizes) {
        TChart chart;
        const ChartAllSeries series = configureChartAll(chart);
        writeChartFoot(chart, header.code, header.name, header.date);
        for (char letter = 'A'; letter <= 'F'; ++letter) {
            fillChart(chart, series, chartView(QLatin1Char(letter), store));
            QImage image(size, QImage::Format_RGB32);
            QPainter painter(&image);
            chart.paintTo(painter, size);
            painter.end();
            const QString name = QStringLiteral("%1-%2x%3-%4.png")
                                     .arg(stem)
                                     .arg(size.width())
                                     .arg(size.height())
                                     .arg(QLatin1Char(letter));
            if (!image.save(out.filePath(name)))
                return -1;
            ++written;
        }
    }
    return written;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    installFontSubstitutions();
    if (argc < 3) {
        std::fputs("usage: chart_pictures OUT_DIR PATH...\n", stderr);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "chart_pictures: cannot create %s\n", argv[1]);
        return 1;
    }
    int total = 0;
    for (int i = 2; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        LoadedProfile loaded = QFileInfo(path).isDir()
                                   ? loadGroup(path, QStringLiteral("01.01.2024"))
                                   : loadRespondent(path);
        convertToPercent(loaded.store);
        const int n =
            writeViews(out, QFileInfo(path).completeBaseName(), loaded.store, loaded.header);
        if (n < 0)
            return 1;
        total += n;
    }
    // Stored values no answer file gives: negative, above 100, equal, huge, not numbers.
    const double inf = std::numeric_limits<double>::infinity();
    const double wild[][2] = {{-35.5, 250},    {50, 50},
                              {0, 0},          {-5000, 2.1e11},
                              {1e308, -1e308}, {std::numeric_limits<double>::quiet_NaN(), 0},
                              {inf, -inf}};
    int k = 0;
    for (const auto &pair : wild) {
        ProfileStore store;
        for (std::size_t j = 1; j < store.ScaleScores.size(); ++j)
            store.ScaleScores[j] = pair[j % 2];
        for (std::size_t j = 1; j < store.SummaryScores.size(); ++j)
            store.SummaryScores[j] = pair[j % 2];
        const int n = writeViews(out, QStringLiteral("wild%1").arg(k++), store,
                                 {QStringLiteral("0000"), QString(), QString(), {}});
        if (n < 0)
            return 1;
        total += n;
    }
    std::printf("%d pictures\n", total);
    return 0;
}
