#include "TCustomChart.h"

#include "TChartCanvas.h"

TCustomChart::TCustomChart()
{
    EndConstruction();
}

void TCustomChart::setBackColor(TColor value)
{
    backWall_.setColor(value);
    if (placed_)
        backWall_.Brush().setStyle(TBrushStyle::bsSolid);
}

void TCustomChart::LayoutTitlesAndLegend(TChartLayout &frame,
                                         const TChartTextMetrics &metrics) const
{
    // A legend at the left or right would come first; only the top one takes room, so the
    // title and the foot always come before it.
    frame.Title = title_.Layout(frame.Plot, titleGap_, metrics);
    if (frame.Title.Shown)
        frame.SetPlot(
            {frame.Plot.Left, frame.Title.Geometry.NewEdge, frame.Plot.Right, frame.Plot.Bottom});
    frame.Foot = foot_.Layout(frame.Plot, titleGap_, metrics);
    if (frame.Foot.Shown)
        frame.SetPlot(
            {frame.Plot.Left, frame.Plot.Top, frame.Plot.Right, frame.Foot.Geometry.NewEdge});
    if (!legend_.Visible() || CountActiveSeries() == 0)
        return;
    frame.Legend = legend_.Layout(*this, frame.Plot, frame.Panel.width(), metrics);
    if (frame.Legend.Geometry.Drawn)
        frame.SetPlot(
            {frame.Plot.Left, frame.Legend.Geometry.PlotTop, frame.Plot.Right, frame.Plot.Bottom});
}

void TCustomChart::PaintTitlesAndLegend(TChartCanvas &canvas, const TChartLayout &frame) const
{
    title_.Paint(canvas, frame.Title);
    foot_.Paint(canvas, frame.Foot);
    legend_.Paint(canvas, frame.Legend, *this);
}

void TCustomChart::PaintWalls(TChartCanvas &canvas, const TChartLayout &frame) const
{
    backWall_.PrepareCanvas(canvas);
    const TRect &plot = frame.Plot;
    canvas.Rectangle({plot.Left, plot.Top, plot.Right + 1, plot.Bottom + 1});
}
