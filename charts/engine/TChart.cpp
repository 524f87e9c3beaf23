#include "TChart.h"

#include "TChartCanvas.h"

TCustomChart::TCustomChart(QWidget *parent) : TCustomAxisPanel(parent) {}

void TCustomChart::setBackColor(TColor value)
{
    backWall_.setColor(value);
    if (parentWidget() && !Loading())
        backWall_.Brush().setStyle(TBrushStyle::bsSolid);
}

void TCustomChart::DrawTitlesAndLegend(TChartCanvas3D &canvas)
{
    TRect plot = PlotRect();
    const auto title = [&] {
        title_.Draw(canvas, plot, titleGap_);
        SetPlotRect(plot);
        plot = PlotRect();
    };
    const auto foot = [&] {
        foot_.Draw(canvas, plot, titleGap_);
        SetPlotRect(plot);
        plot = PlotRect();
    };
    const auto legend = [&] {
        legend_.Draw(canvas, *this, plot, PanelRect().width());
        SetPlotRect(plot);
        plot = PlotRect();
    };
    const TLegendAlignment side = legend_.Alignment();
    if (!legend_.Visible() || CountActiveSeries() == 0) {
        title();
        foot();
    } else if (side == TLegendAlignment::laLeft || side == TLegendAlignment::laRight) {
        legend();
        title();
        foot();
    } else {
        title();
        foot();
        legend();
    }
}

void TCustomChart::DrawWalls(TChartCanvas3D &canvas)
{
    backWall_.PrepareCanvas(canvas);
    const TRect &plot = PlotRect();
    canvas.Rectangle({plot.Left, plot.Top, plot.Right + 1, plot.Bottom + 1});
}

TChart::TChart(QWidget *parent) : TCustomChart(parent)
{
    EndConstruction();
}
