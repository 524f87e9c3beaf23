#include "ChartViews.h"

#include "ChartLayout.h"
#include "Comparison.h"
#include "ProfileStore.h"
#include "ShownText.h"
#include "TBarSeries.h"
#include "TCustomChart.h"
#include "TLineSeries.h"

#include <QFontMetricsF>
#include <algorithm>
#include <memory>

namespace {

constexpr TColor kOrange = rgbColor(255, 128, 0);
constexpr TColor kGreen232 = rgbColor(0, 232, 0);
constexpr int kChartFontHeight = -11;

TChartFont arial11()
{
    TChartFont font;
    font.Name = QStringLiteral("Arial");
    font.Height = kChartFontHeight;
    font.Color = clBlack;
    return font;
}

TLineSeries *addLine(TCustomChart &chart, const QString &name, TColor color)
{
    auto series = std::make_unique<TLineSeries>(name);
    series->setActive(false);
    series->setSeriesColor(color);
    series->Pointer().setStyle(TSeriesPointerStyle::psRectangle);
    series->Pointer().setVisible(false);
    series->Pointer().setInflateMargins(true);
    series->Marks().setVisible(false);
    series->Marks().setArrowLength(8);
    series->XValues().setOrder(TChartListOrder::loAscending);
    series->YValues().setName(QStringLiteral("Y"));
    return chart.AddSeries(std::move(series));
}

TBarSeries *addBar(TCustomChart &chart, const QString &name, TColor color, const QString &title,
                   int arrowLength, TChartListOrder xOrder)
{
    auto series = std::make_unique<TBarSeries>(name);
    series->setSeriesColor(color);
    series->setTitle(title);
    series->Marks().setVisible(false);
    series->Marks().setArrowLength(arrowLength);
    series->XValues().setOrder(xOrder);
    series->YValues().setName(QStringLiteral("Bar"));
    series->YValues().setOrder(TChartListOrder::loNone);
    return chart.AddSeries(std::move(series));
}

const QStringList kFactorsII = {QStringLiteral("Инновация"), QStringLiteral("Адаптация"),
                                QStringLiteral("Конкуренция"), QStringLiteral("Интеграция")};

} // namespace

ChartAllSeries configureChartAll(TCustomChart &chart)
{
    chart.setBevelInner(TPanelBevel::bvLowered);
    chart.setBackColor(clWhite);
    chart.BackWall().setColor(clWhite);
    chart.BackWall().Brush().setColor(clWhite);
    chart.setMarginLeft(2);
    chart.Title().setFont(arial11());
    chart.Title().setText({QStringLiteral("График шкал по факторам (II)")});
    chart.Foot().setFont(arial11());
    chart.Legend().setAlignment(TLegendAlignment::laTop);
    chart.setView3D(false);

    TChartAxis &bottom = chart.BottomAxis();
    bottom.setAxisValuesFormat(QStringLiteral("#0."));
    bottom.setIncrement(1);
    bottom.setLabelsOnAxis(false);
    bottom.setLabelStyle(TAxisLabelStyle::talMark);
    TChartAxis &left = chart.LeftAxis();
    left.setAxisValuesFormat(QStringLiteral("0."));
    left.setIncrement(1);
    left.setLabelStyle(TAxisLabelStyle::talValue);
    left.setStartPosition(1);

    ChartAllSeries s;
    s.SeriesAllMean = addLine(chart, QStringLiteral("SeriesAllMean"), clYellow);
    s.SeriesAllMax = addLine(chart, QStringLiteral("SeriesAllMax"), clBlue);
    s.SeriesAllMax->setShowInLegend(false);
    s.SeriesAllMax->LinePen().setStyle(TPenStyle::psDot);
    s.SeriesAllMin = addLine(chart, QStringLiteral("SeriesAllMin"), clGray);
    s.SeriesAllMin->LinePen().setStyle(TPenStyle::psDot);

    s.SeriesS5 = addBar(chart, QStringLiteral("SeriesS5"), kOrange, QStringLiteral("Поощрение"), 5,
                        TChartListOrder::loNone);
    s.SeriesS5->BarPen().setColor(clGray);
    s.SeriesS5->Marks().Frame().setVisible(false);
    s.SeriesS6 = addBar(chart, QStringLiteral("SeriesS6"), clFuchsia, QStringLiteral("Вовлечение"),
                        20, TChartListOrder::loAscending);
    s.SeriesS7 = addBar(chart, QStringLiteral("SeriesS7"), kGreen232, QStringLiteral("Согласие"),
                        20, TChartListOrder::loAscending);
    s.SeriesS8 = addBar(chart, QStringLiteral("SeriesS8"), clBlue, QStringLiteral("Общение"), 20,
                        TChartListOrder::loAscending);
    return s;
}

const ChartViewEntry &chartViewEntry(ChartViewKind kind)
{
    for (const ChartViewEntry &entry : kChartViewKinds)
        if (entry.kind == kind)
            return entry;
    return kChartViewKinds.front();
}

ChartView chartView(QChar letter, const ProfileStore &store, const ProfileStore *reference)
{
    for (const ChartViewEntry &entry : kChartViewKinds)
        if (entry.letter == letter)
            return chartView(entry.kind, store, reference);
    return {};
}

namespace {

ChartView chartViewOf(ChartViewKind kind, const ProfileStore &store)
{
    const ChartViewEntry &entry = chartViewEntry(kind);
    ChartView view;
    view.title = QString::fromUtf16(entry.title);
    const auto &scale = store.ScaleScores;
    const auto &summary = store.SummaryScores;
    switch (kind) {
    case ChartViewKind::ScalesByFactorsII:
        view.showInLegend = {true, true, true, true};
        view.titles = {QStringLiteral("Поощрение"), QStringLiteral("Вовлечение"),
                       QStringLiteral("Согласие"), QStringLiteral("Общение")};
        // Scales 1..16: four base scales within each factor (II).
        for (int k = 1; k <= 16; ++k)
            view.points.push_back({(k - 1) % 4, scale[k], kFactorsII[(k - 1) / 4]});
        break;
    case ChartViewKind::FactorsIII:
        view.showInLegend = {true, true, false, false};
        view.titles = {QStringLiteral("Мотивация"), QStringLiteral("Психологический климат")};
        for (int k = 17; k <= 24; ++k)
            view.points.push_back({(k - 17) % 2, scale[k], kFactorsII[(k - 17) / 2]});
        break;
    case ChartViewKind::FactorsII:
        view.colorEachPoint = true;
        for (int k = 1; k <= 4; ++k)
            view.points.push_back({0, summary[k], kFactorsII[k - 1]});
        break;
    case ChartViewKind::FactorsI:
        view.colorEachPoint = true;
        view.points.push_back({0, summary[11], QStringLiteral("Развитие")});
        view.points.push_back({0, summary[12], QStringLiteral("Взаимодействие")});
        break;
    case ChartViewKind::BaseScales: {
        view.colorEachPoint = true;
        const QStringList labels = {QStringLiteral("Поощрение"), QStringLiteral("Вовлечение"),
                                    QStringLiteral("Согласие"), QStringLiteral("Общение")};
        for (int k = 5; k <= 8; ++k)
            view.points.push_back({0, summary[k], labels[k - 5]});
        break;
    }
    case ChartViewKind::BaseFactorsIII:
        view.colorEachPoint = true;
        view.points.push_back({0, summary[9], QStringLiteral("Мотивация")});
        view.points.push_back({0, summary[10], QStringLiteral("Психологический климат")});
        break;
    }
    return view;
}

} // namespace

ChartView chartView(ChartViewKind kind, const ProfileStore &store, const ProfileStore *reference)
{
    ChartView view = chartViewOf(kind, store);
    if (reference) {
        // The same view of the reference has the same points in the same order.
        const ChartView other = chartViewOf(kind, *reference);
        for (std::size_t i = 0; i < view.points.size(); ++i)
            view.points[i].reference = other.points[i].value;
    }
    return view;
}

void fillChart(TCustomChart &chart, const ChartAllSeries &series, const ChartView &view)
{
    const auto bars = series.bars();
    for (TBarSeries *bar : bars)
        bar->Clear();
    chart.Title().Clear();
    chart.Title().Add(view.title);
    series.SeriesS5->setColorEachPoint(view.colorEachPoint);
    for (std::size_t i = 0; i < bars.size(); ++i)
        bars[i]->setShowInLegend(view.showInLegend[i]);
    for (int i = 0; i < view.titles.size(); ++i)
        bars[static_cast<std::size_t>(i)]->setTitle(view.titles[i]);
    for (const ChartViewPoint &p : view.points) {
        TBarSeries *bar = bars[static_cast<std::size_t>(p.bar)];
        bar->SetTarget(bar->AddValue(p.value, p.label, AutoColor), p.reference);
    }
}

QString chartFootLine(const QString &code, const QString &name, const QString &date)
{
    // The foot is measured and drawn at every frame; header lines of 256 KiB would make each
    // frame take seconds, though the chart shows only a few dozen characters of the line.
    return shownBeginning(code + QLatin1Char(' ') + name + QLatin1Char(' ') + date);
}

QString fittedReferenceCaption(const QString &prefix, const QString &caption,
                               const QFontMetricsF &metrics, double width)
{
    // No glyph is narrower than half a full stop: a longer name is cut by characters first, so
    // that a name of any length costs what one that fits costs.
    const double narrowest = std::max(0.5, metrics.horizontalAdvance(QLatin1Char('.')) / 2);
    const QString cut = shownReferenceCaption(caption, qsizetype(width / narrowest) + 2);
    const qsizetype count = referenceCaptionCountLength(cut);
    const QString name = cut.left(cut.size() - count);
    const QString tail = cut.right(count);
    const double room = width - metrics.horizontalAdvance(prefix) - metrics.horizontalAdvance(tail);
    QString shown = metrics.elidedText(name, Qt::ElideMiddle, std::max(0.0, room));
    if (shown.isEmpty() && !name.isEmpty())
        shown = kEllipsis;
    return prefix + shown + tail;
}

QString chartReferenceFootLine(TCustomChart &chart, const QString &referenceCaption)
{
    // The foot is centred between the chart's margins and a letter's width of air.
    const TRect plot =
        plotRectFromMargins({0, 0, kChartAllWidth, kChartAllHeight}, chart.MarginLeft(), 0,
                            chart.MarginRight(), 0, chart.BorderWidth());
    const QFontMetricsF metrics(chart.Foot().Font().toQFont());
    return fittedReferenceCaption(QStringLiteral("Сравнение: "), referenceCaption, metrics,
                                  plot.width() - metrics.horizontalAdvance(QLatin1Char('W')));
}

void writeChartFoot(TCustomChart &chart, const QString &code, const QString &name,
                    const QString &date, const QString &referenceCaption)
{
    chart.Foot().Clear();
    chart.Foot().Add(chartFootLine(code, name, date));
    if (!referenceCaption.isEmpty())
        chart.Foot().Add(chartReferenceFootLine(chart, referenceCaption));
}
