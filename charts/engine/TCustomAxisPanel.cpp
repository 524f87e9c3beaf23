#include "TCustomAxisPanel.h"

#include "TChartCanvas.h"

TCustomAxisPanel::TCustomAxisPanel(QWidget *parent) : TCustomChartPanelExtended(parent) {}

TCustomAxisPanel::~TCustomAxisPanel()
{
    BeginDestruction();
}

int TCustomAxisPanel::CountActiveSeries() const
{
    int count = 0;
    for (const auto &s : seriesList_)
        count += s->Active() ? 1 : 0;
    return count;
}

TChartSeries *TCustomAxisPanel::FirstActiveSeries() const
{
    for (const auto &s : seriesList_)
        if (s->Active())
            return s.get();
    return nullptr;
}

std::array<TCustomChartAxis *, 5> TCustomAxisPanel::Axes()
{
    return {&bottomAxis_, &topAxis_, &leftAxis_, &rightAxis_, &depthAxis_};
}

void TCustomAxisPanel::DrawFrame(TChartCanvas3D &canvas)
{
    CalcPlotRectFromMargins();
    DrawBackground(canvas);
    DrawBevels(canvas);
    DrawTitlesAndLegend(canvas);
    // Series depths are all zero in the flat view.

    const auto axes = Axes();
    for (TCustomChartAxis *axis : axes)
        axis->AdjustMaxMin();
    for (TCustomChartAxis *axis : axes) {
        if (!axis->IsVisible())
            continue;
        TRect plot = PlotRect();
        axis->CalcRect(plot, canvas);
        SetPlotRect(plot);
    }
    for (TCustomChartAxis *axis : axes)
        axis->CalcScreenPositions(PlotRect());
    for (TCustomChartAxis *axis : {&topAxis_, &leftAxis_, &rightAxis_, &bottomAxis_})
        axis->AdjustMaxMinRect(PlotRect());

    DrawWalls(canvas);
    if (axisVisible_)
        for (TCustomChartAxis *axis : axes)
            if (axis->IsVisible())
                axis->Draw(canvas, PlotRect());
    for (const auto &s : seriesList_)
        if (s->Active())
            drawSeries(canvas, *s);
    canvas.ResetState();
}

void TCustomAxisPanel::drawSeries(TChartCanvas3D &canvas, TChartSeries &series)
{
    const TVisibleRange range = series.CalcVisibleRange();
    series.setVisible(range);
    if (range.First < 0)
        return;
    series.PrepareForGallery();
    if (clipPoints_)
        canvas.ClipRectangle(PlotRect());
    if (series.DrawValuesForward())
        for (int i = range.First; i <= range.Last; ++i)
            series.DrawValue(canvas, i);
    else
        for (int i = range.Last; i >= range.First; --i)
            series.DrawValue(canvas, i);
    if (clipPoints_)
        canvas.UnClipRectangle();
    // Marks beside the points are not drawn: every series of the program hides them.
}
