#pragma once

#include "ChartPanel.h"
#include "TChartAxis.h"
#include "TChartSeries.h"

#include <array>
#include <memory>

// Adds the series list and the five axes, and lays out and draws them in the frame.
class TCustomAxisPanel : public TCustomChartPanelExtended
{
    Q_OBJECT
    Q_DISABLE_COPY(TCustomAxisPanel)

public:
    explicit TCustomAxisPanel(QWidget *parent = nullptr);
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
    std::array<TCustomChartAxis *, 5> Axes();

    // settings
    bool AxisVisible() const { return axisVisible_; }
    void setAxisVisible(bool value) { store(axisVisible_, value); }
    bool ClipPoints() const { return clipPoints_; }
    void setClipPoints(bool value) { store(clipPoints_, value); }
    bool View3DWalls() const { return view3DWalls_; }
    void setView3DWalls(bool value) { store(view3DWalls_, value); }
    int MaxPointsPerPage() const { return maxPointsPerPage_; }
    void setMaxPointsPerPage(int value) { store(maxPointsPerPage_, value); }
    int Page() const { return page_; }
    void setPage(int value) { store(page_, value); }
    bool ScaleLastPage() const { return scaleLastPage_; }
    void setScaleLastPage(bool value) { store(scaleLastPage_, value); }

protected:
    void DrawFrame(TChartCanvas3D &canvas) override;
    // Title, foot and legend: the chart adds them.
    virtual void DrawTitlesAndLegend(TChartCanvas3D &) {}
    // The back wall: the chart adds it.
    virtual void DrawWalls(TChartCanvas3D &) {}

private:
    void drawSeries(TChartCanvas3D &canvas, TChartSeries &series);

    TChartSeriesList seriesList_{this};
    TChartAxis bottomAxis_{this, true, false};
    TChartAxis topAxis_{this, true, true};
    TChartAxis leftAxis_{this, false, false};
    TChartAxis rightAxis_{this, false, true};
    TChartDepthAxis depthAxis_{this};
    bool axisVisible_ = true;
    bool clipPoints_ = true;
    bool view3DWalls_ = true;
    int maxPointsPerPage_ = 0;
    int page_ = 1;
    bool scaleLastPage_ = true;
};
