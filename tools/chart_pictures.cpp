// Pictures of the chart views as PNG files, straight from the chart component without a
// window: for each answer file or group folder, the six views at the window's 416 x 294 and at
// a few other sizes, plus views of stored values no answer file gives. Two builds' pictures of
// the same inputs compare byte for byte (cmp -r), which is how a change of the engine is shown
// to keep every pixel.
//
// Usage: chart_pictures OUT_DIR PATH...   (answer files or group folders)
//
// Besides the program's own design, the chart is drawn with settings the program never uses
// (framed titles, other legend styles, axis titles, inverted axes, a line series, other bar
// layouts), since the engine draws those too.
#include "ChartViews.h"
#include "Fonts.h"
#include "GroupLoader.h"
#include "GroupSource.h"
#include "ProfileStore.h"
#include "Scoring.h"
#include "TBarSeries.h"
#include "TChart.h"
#include "TLineSeries.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QStyleFactory>
#include <cstdio>
#include <functional>
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

using Variation = std::function<void(TChart &, const ChartAllSeries &)>;

TChartFont font(int height, TColor color, bool bold = false)
{
    TChartFont f;
    f.Height = height;
    f.Color = color;
    f.Bold = bold;
    return f;
}

const std::pair<const char *, Variation> kVariations[] = {
    {"framed-titles",
     [](TChart &c, const ChartAllSeries &) {
         c.Title().Frame().setVisible(true);
         c.Title().Frame().setColor(clRed);
         c.Title().Frame().setWidth(2);
         c.Title().setAlignment(TAlignment::taLeftJustify);
         c.Foot().setAlignment(TAlignment::taRightJustify);
         c.Foot().Brush().setColor(clYellow);
         c.Foot().setText({QStringLiteral("первая"), QStringLiteral("вторая строка")});
     }},
    {"filled-titles",
     [](TChart &c, const ChartAllSeries &) {
         c.Title().setColor(clAqua);
         c.Title().setAdjustFrame(false);
         c.Title().setFont(font(-15, clNavy, true));
         c.Foot().Brush().setStyle(TBrushStyle::bsDiagCross);
         c.Foot().Frame().setVisible(true);
         c.setTitleGap(9);
     }},
    {"legend-box",
     [](TChart &c, const ChartAllSeries &) {
         c.Legend().setInverted(true);
         c.Legend().Frame().setWidth(2);
         c.Legend().setShadowSize(0);
         c.Legend().setColorWidth(30);
         c.Legend().setTopPos(0);
         c.Legend().setVertMargin(10);
         c.Legend().setColor(clBlack);
         c.Legend().setFontColor(clYellow);
     }},
    {"legend-values",
     [](TChart &c, const ChartAllSeries &) {
         c.Legend().setLegendStyle(TLegendStyle::lsValues);
         c.Legend().setFirstValue(1);
         c.Legend().setResizeChart(false);
         c.Legend().Brush().setStyle(TBrushStyle::bsHorizontal);
         c.Legend().setMaxNumRows(2);
     }},
    {"legend-left",
     [](TChart &c, const ChartAllSeries &) { c.Legend().setAlignment(TLegendAlignment::laLeft); }},
    {"axis-titles",
     [](TChart &c, const ChartAllSeries &) {
         c.LeftAxis().Title().setCaption(QStringLiteral("Проценты"));
         c.BottomAxis().Title().setCaption(QStringLiteral("Факторы"));
         c.LeftAxis().setLabelsOnAxis(false);
         c.LeftAxis().setGridCentered(true);
         c.BottomAxis().MinorGrid().setVisible(true);
         c.BottomAxis().setTickInnerLength(3);
         c.LeftAxis().setTickInnerLength(5);
         c.LeftAxis().setPositionPercent(10);
     }},
    {"inverted-axes",
     [](TChart &c, const ChartAllSeries &) {
         c.BottomAxis().setInverted(true);
         c.LeftAxis().setInverted(true);
         c.LeftAxis().setStartPosition(10);
         c.LeftAxis().setEndPosition(90);
         c.LeftAxis().setLogarithmic(true);
     }},
    {"axis-labels",
     [](TChart &c, const ChartAllSeries &) {
         c.BottomAxis().setLabelStyle(TAxisLabelStyle::talValue);
         c.BottomAxis().setTickOnLabelsOnly(false);
         c.LeftAxis().setLabelsAngle(90);
         c.LeftAxis().setRoundFirstLabel(false);
         c.LeftAxis().setIncrement(0);
         c.LeftAxis().setAxisValuesFormat(QStringLiteral("#,##0.###"));
         c.LeftAxis().LabelsFont().setFont(font(-14, clMaroon));
     }},
    {"text-labels",
     [](TChart &c, const ChartAllSeries &) {
         c.BottomAxis().setLabelStyle(TAxisLabelStyle::talText);
         c.BottomAxis().setLabelsSeparation(0);
         c.BottomAxis().setLabelsSize(30);
         c.LeftAxis().setLabelsSeparation(0);
         c.LeftAxis().setTickOnLabelsOnly(false);
         c.LeftAxis().MinorTicks().setVisible(false);
         c.LeftAxis().Ticks().setVisible(false);
     }},
    {"fixed-range",
     [](TChart &c, const ChartAllSeries &) {
         c.LeftAxis().setAutomatic(false);
         c.LeftAxis().setMaximum(200);
         c.LeftAxis().setMinimum(-50);
         c.BottomAxis().setAutomaticMinimum(false);
         c.BottomAxis().Axis().setVisible(false);
         c.LeftAxis().Grid().setColor(AutoColor);
         c.LeftAxis().Grid().setSmallDots(true);
     }},
    {"bars",
     [](TChart &, const ChartAllSeries &s) {
         s.SeriesS5->setOffsetPercent(50);
         s.SeriesS6->setMultiBar(TMultiBar::mbNone);
         s.SeriesS7->setCustomBarWidth(10);
         s.SeriesS8->setAutoBarSize(true);
         s.SeriesS5->setSideMargins(false);
         s.SeriesS6->setUseYOrigin(false);
         s.SeriesS7->setYOrigin(30);
         s.SeriesS8->BarPen().setVisible(false);
         s.SeriesS5->BarPen().setWidth(3);
         s.SeriesS6->BarBrush().setStyle(TBrushStyle::bsBDiagonal);
         s.SeriesS7->setBarWidthPercent(100);
     }},
    {"auto-bar-size",
     [](TChart &, const ChartAllSeries &s) {
         for (TBarSeries *b : s.bars())
             b->setAutoBarSize(true);
         s.SeriesS5->AddValue(40, QStringLiteral("не видна"), clNone);
     }},
    {"lines",
     [](TChart &, const ChartAllSeries &s) {
         s.SeriesAllMean->setActive(true);
         s.SeriesAllMean->Pointer().setVisible(true);
         s.SeriesAllMax->setActive(true);
         s.SeriesAllMax->setColorEachPoint(true);
         s.SeriesS7->setActive(false);
         for (int i = 0; i < 6; ++i) {
             s.SeriesAllMean->AddXY(i * 0.7, 20 + 11 * i, QStringLiteral("т%1").arg(i));
             s.SeriesAllMax->AddXY(i * 0.9 - 1, 90 - 13 * i);
         }
     }},
    {"panel",
     [](TChart &c, const ChartAllSeries &) {
         c.Gradient().setVisible(true);
         c.Gradient().setDirection(TGradientDirection::gdLeftRight);
         c.setBorderWidth(3);
         c.setBevelWidth(2);
         c.setBevelOuter(TPanelBevel::bvLowered);
         c.setBevelInner(TPanelBevel::bvRaised);
         c.setMarginTop(10);
         c.setMarginRight(8);
         c.setClipPoints(false);
         c.BackWall().Brush().setStyle(TBrushStyle::bsCross);
         c.BackWall().Pen().setColor(clRed);
     }},
    {"no-axes",
     [](TChart &c, const ChartAllSeries &) {
         c.setAxisVisible(false);
         c.Title().setVisible(false);
         c.Legend().setVisible(false);
     }},
};

// The views of the store with a variation applied, each view drawn after the one before on
// the same chart, as the window does.
int writeVariations(const QDir &out, const ProfileStore &store)
{
    int written = 0;
    for (const auto &[name, vary] : kVariations) {
        for (const QSize size : {QSize(416, 294), QSize(230, 160)}) {
            TChart chart;
            const ChartAllSeries series = configureChartAll(chart);
            writeChartFoot(chart, QStringLiteral("0451"), QStringLiteral("Петрова"),
                           QStringLiteral("01.03.2024"));
            for (char letter : {'A', 'C', 'B', 'D'}) {
                fillChart(chart, series, chartView(QLatin1Char(letter), store));
                vary(chart, series);
                QImage image(size, QImage::Format_RGB32);
                QPainter painter(&image);
                chart.paintTo(painter, size);
                painter.end();
                const QString file = QStringLiteral("var-%1-%2x%3-%4.png")
                                         .arg(QLatin1String(name))
                                         .arg(size.width())
                                         .arg(size.height())
                                         .arg(QLatin1Char(letter));
                if (!image.save(out.filePath(file)))
                    return -1;
                ++written;
            }
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
    ProfileStore first;
    for (int i = 2; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        LoadedProfile loaded = QFileInfo(path).isDir()
                                   ? loadGroup(path, QStringLiteral("01.01.2024"))
                                   : loadRespondent(path);
        convertToPercent(loaded.store);
        if (i == 2)
            first = loaded.store;
        const int n =
            writeViews(out, QFileInfo(path).completeBaseName(), loaded.store, loaded.header);
        if (n < 0)
            return 1;
        total += n;
    }
    const int varied = writeVariations(out, first);
    if (varied < 0)
        return 1;
    total += varied;
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
