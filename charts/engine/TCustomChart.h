#pragma once

#include "ChartParts.h"
#include "TCustomAxisPanel.h"

// The chart: adds the title, the foot, the legend and the walls to the frame. It paints into any
// painter; the window shows it through the chart control TChart.
class TCustomChart : public TCustomAxisPanel
{
    Q_DISABLE_COPY(TCustomChart)

public:
    TCustomChart();

    TChartTitle &Title() { return title_; }
    TChartTitle &Foot() { return foot_; }
    TChartLegend &Legend() { return legend_; }
    TChartWall &BackWall() { return backWall_; }

    // A chart placed on a window, as the window's chart and its pictures are, rather than a
    // chart of its own (the report's): only there does the back colour make the wall opaque.
    bool Placed() const { return placed_; }
    void setPlaced(bool value) { placed_ = value; }

    // The back wall's colour; on a placed chart it also makes the wall opaque.
    TColor BackColor() const { return backWall_.Color(); }
    void setBackColor(TColor value);

    // The room between the title or foot and the plot rectangle. A chart's own, so that charts
    // painted on several threads share no setting.
    int TitleGap() const { return titleGap_; }
    void setTitleGap(int value) { titleGap_ = value; }

protected:
    void LayoutTitlesAndLegend(TChartLayout &frame,
                               const TChartTextMetrics &metrics) const override;
    void PaintTitlesAndLegend(TChartCanvas &canvas, const TChartLayout &frame) const override;
    void PaintWalls(TChartCanvas &canvas, const TChartLayout &frame) const override;

private:
    int titleGap_ = 5;
    TChartTitle title_{this, false};
    TChartTitle foot_{this, true};
    TChartLegend legend_{this};
    TChartWall backWall_{this, TBrushStyle::bsClear};
    bool placed_ = false;
};
