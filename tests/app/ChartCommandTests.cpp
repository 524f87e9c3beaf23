#include "AppTestSupport.h"
#include "ChartViews.h"
#include "DiagramViews.h"
#include "ProfileStore.h"
#include "TBarSeries.h"
#include "TChart.h"
#include "TLabel.h"
#include "TLineSeries.h"

#include <QAction>
#include <QMenu>

namespace {

struct ChartCommand
{
    void (TForm1::*handler)();
    const char *letter;
    const char *title;
    int s5Points;
    int s6Points;
};

// One of the chart's seven series, found by its name in the chart.
const TChartSeries &series(const TForm1 &form, const QString &name)
{
    const TChartSeriesList &list = child<TChart>(form, "ChartAll")->SeriesList();
    for (int i = 0; i < list.Count(); ++i)
        if (list[i]->Name() == name)
            return *list[i];
    throw std::logic_error("no series " + name.toStdString());
}

class ChartCommands : public WindowTest, public ::testing::WithParamInterface<ChartCommand>
{
};

TEST_P(ChartCommands, FillTheChartAndNameTheView)
{
    openData(writeSheet("a.txt", {}));
    const ChartCommand c = GetParam();
    (form.get()->*c.handler)();
    EXPECT_EQ(child<TChart>(*form, "ChartAll")->Title().Text(),
              QStringList({QString::fromUtf8(c.title)}));
    EXPECT_EQ(series(*form, "SeriesS5").Count(), c.s5Points);
    EXPECT_EQ(series(*form, "SeriesS6").Count(), c.s6Points);
    EXPECT_EQ(child<TLabel>(*form, "laPlotN")->text(), c.letter);
    EXPECT_EQ(child<QAction>(*form, "mmPlotSave")->text(), QStringLiteral("Plot ") + c.letter);
    // the foot stays as the load wrote it
    EXPECT_EQ(child<TChart>(*form, "ChartAll")->Foot().Text(),
              QStringList({"0451 Петрова Анна Сергеевна 01.03.2024"}));
}

INSTANTIATE_TEST_SUITE_P(
    Views, ChartCommands,
    ::testing::Values(
        ChartCommand{&TForm1::mmPlotAllScalesClick, "A", "График шкал по факторам (II)", 4, 4},
        ChartCommand{&TForm1::mmPlotFactorsIIIClick, "B", "График факторов (III)", 4, 4},
        ChartCommand{&TForm1::mmPlotFactorsIIClick, "C", "График факторов (II)", 4, 0},
        ChartCommand{&TForm1::mmPlotFactorsIClick, "D", "График факторов (I)", 2, 0},
        ChartCommand{&TForm1::mmPlot4lScalesClick, "E", "Базовые шкалы", 4, 0},
        ChartCommand{&TForm1::mmPlot2FactorsIIIClick, "F", "Базовые факторы (III)", 2, 0}),
    [](const auto &row) { return std::string(row.param.letter); });

// The Plots and Images menus list their tables' views in order, and each item shows the view
// of its own row: a handler wired to the next row would show that row's letter and title.
TEST_F(WindowTest, MenuItemsShowTheViewsOfTheirTableRows)
{
    openData(writeSheet("a.txt", {}));
    const QList<QAction *> plots = child<QMenu>(*form, "mmPlotAll")->actions();
    ASSERT_EQ(plots.size(), qsizetype(kChartViewKinds.size()));
    for (std::size_t i = 0; i < kChartViewKinds.size(); ++i) {
        const ChartViewEntry &entry = kChartViewKinds[i];
        EXPECT_EQ(plots[qsizetype(i)]->text(), QString::fromUtf16(entry.menuCaption));
        plots[qsizetype(i)]->trigger();
        EXPECT_EQ(child<TLabel>(*form, "laPlotN")->text(), QString(QChar(entry.letter)));
        EXPECT_EQ(child<TChart>(*form, "ChartAll")->Title().Text(),
                  QStringList({QString::fromUtf16(entry.title)}));
    }
    const QList<QAction *> images = child<QMenu>(*form, "mmImages")->actions();
    ASSERT_EQ(images.size(), qsizetype(kDiagramKinds.size()));
    for (std::size_t i = 0; i < kDiagramKinds.size(); ++i) {
        const DiagramKindEntry &entry = kDiagramKinds[i];
        EXPECT_EQ(images[qsizetype(i)]->text(), QString::fromUtf16(entry.menuCaption));
        images[qsizetype(i)]->trigger();
        EXPECT_EQ(child<TLabel>(*form, "laImageN")->text(), QString(QChar(entry.letter)));
        EXPECT_EQ(child<TLabel>(*form, "laImage")->text(), QString::fromUtf16(entry.title));
        EXPECT_EQ(child<QAction>(*form, "mmImageSave")->text(),
                  QStringLiteral("Image ") + QChar(entry.letter));
    }
}

TEST_F(WindowTest, EveryLoadOpensOnViewAWithTheStoresPercentages)
{
    openData(writeSheet("a.txt", {}));
    form->mmPlotFactorsIIClick();
    openData(writeSheet("b.txt", {}));
    EXPECT_EQ(child<TLabel>(*form, "laPlotN")->text(), "A");
    ASSERT_EQ(series(*form, "SeriesS8").Count(), 4);
    EXPECT_EQ(series(*form, "SeriesS5").YValues().Value(0), form->session().scores().ScaleScores[1]);
    EXPECT_EQ(series(*form, "SeriesS8").YValues().Value(3), form->session().scores().ScaleScores[16]);
    EXPECT_EQ(series(*form, "SeriesS5").Label(3), "Интеграция");
    EXPECT_FALSE(series(*form, "SeriesS5").ColorEachPoint());
}

TEST_F(WindowTest, ChartHasItsDesignBeforeTheFirstLoad)
{
    TChart &chart = *child<TChart>(*form, "ChartAll");
    EXPECT_FALSE(chart.isVisible());
    EXPECT_EQ(chart.geometry(), QRect(5, 435, 416, 294));
    EXPECT_EQ(chart.SeriesList().Count(), 7);
    EXPECT_EQ(chart.SeriesList()[0]->Name(), "SeriesAllMean");
    EXPECT_EQ(chart.SeriesList()[3]->Name(), "SeriesS5");
    EXPECT_EQ(chart.SeriesList()[6]->Name(), "SeriesS8");
    EXPECT_EQ(chart.CountActiveSeries(), 4);
    EXPECT_EQ(child<TLabel>(*form, "laPlotN")->parentWidget(), &chart);
}

} // namespace
