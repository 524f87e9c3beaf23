#pragma once

#include "ChartLayout.h"
#include "ChartPanel.h"
#include "TChartAxis.h"
#include "TChartSeries.h"

#include <array>
#include <memory>

class TChartTextMetrics;

// Adds the series list and the five axes. A frame is laid out into a TChartLayout first, then
// painted from it; the painting changes nothing of the chart.
class TCustomAxisPanel : public TCustomChartPanelExtended
{
    Q_DISABLE_COPY(TCustomAxisPanel)

public:
    TCustomAxisPanel();
    ~TCustomAxisPanel() override;

    // series
    TChartSeriesList &SeriesList() { return seriesList_; }
    const TChartSeriesList &SeriesList() const { return seriesList_; }
    template <class T> T *AddSeries(std::unique_ptr<T> series)
    {
        T *added = series.get();
        seriesList_.Add(std::move(series));
        return added;
    }
    int CountActiveSeries() const;
    TChartSeries *FirstActiveSeries() const;

    // axes, in the chart's axis order
    TChartAxis &BottomAxis() { return bottomAxis_; }
    TChartAxis &TopAxis() { return topAxis_; }
    TChartAxis &LeftAxis() { return leftAxis_; }
    TChartAxis &RightAxis() { return rightAxis_; }
    TChartDepthAxis &DepthAxis() { return depthAxis_; }
    const TChartDepthAxis &DepthAxis() const { return depthAxis_; }
    std::array<const TCustomChartAxis *, kAxisCount> Axes() const;

    // settings
    bool AxisVisible() const { return axisVisible_; }
    void setAxisVisible(bool value) { storeSetting(this, axisVisible_, value); }
    bool ClipPoints() const { return clipPoints_; }
    void setClipPoints(bool value) { storeSetting(this, clipPoints_, value); }
    int MaxPointsPerPage() const { return maxPointsPerPage_; }
    void setMaxPointsPerPage(int value) { storeSetting(this, maxPointsPerPage_, value); }

    // the frame
    // Where everything goes at this size, with text measured by metrics, from the settings and
    // the series; nothing else. The labels' room across an axis depends on the axis's length,
    // which is known only once every axis has taken its room, so the layout is repeated with
    // the lengths it gave until they no longer change: a frame never depends on the one before.
    TChartLayout Layout(QSize size, const TChartTextMetrics &metrics) const;
    // The layout measured as on a picture.
    TChartLayout Layout(QSize size) const;
    // One round of the layout, the labels' room estimated with the axis lengths given (all 0
    // when none is known yet).
    TChartLayout LayoutWith(QSize size, const TChartTextMetrics &metrics,
                            const TAxisLengths &lengths) const;
    // Paints a laid-out frame; changes nothing.
    void Paint(TChartCanvas &canvas, const TChartLayout &frame) const;

protected:
    void DrawFrame(TChartCanvas &canvas, QSize size) override;
    // Title, foot and legend: the chart adds them.
    virtual void LayoutTitlesAndLegend(TChartLayout &, const TChartTextMetrics &) const {}
    virtual void PaintTitlesAndLegend(TChartCanvas &, const TChartLayout &) const {}
    // The back wall: the chart adds it.
    virtual void PaintWalls(TChartCanvas &, const TChartLayout &) const {}

private:
    void layoutAxes(TChartLayout &frame, const TChartTextMetrics &metrics,
                    const TAxisLengths &lengths) const;
    void layoutSeries(TChartLayout &frame) const;
    void paintSeries(TChartCanvas &canvas, const TChartSeries &series, const TSeriesLayout &layout,
                     const TRect &plot) const;

    TChartSeriesList seriesList_{this};
    TChartAxis bottomAxis_{this, true, false};
    TChartAxis topAxis_{this, true, true};
    TChartAxis leftAxis_{this, false, false};
    TChartAxis rightAxis_{this, false, true};
    TChartDepthAxis depthAxis_{this};
    bool axisVisible_ = true;
    bool clipPoints_ = true;
    int maxPointsPerPage_ = 0;
};
