#include "TCustomAxisPanel.h"

#include "TChartCanvas.h"

TCustomAxisPanel::TCustomAxisPanel() = default;

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

std::array<const TCustomChartAxis *, kAxisCount> TCustomAxisPanel::Axes() const
{
    return {&bottomAxis_, &topAxis_, &leftAxis_, &rightAxis_, &depthAxis_};
}

// ---- layout

TChartLayout TCustomAxisPanel::Layout(QSize size, const TChartTextMetrics &metrics) const
{
    // Two rounds settle every chart met so far (the second has the step the first's lengths
    // give); a label set that would flip back and forth stops at the last round.
    constexpr int kMostRounds = 4;
    TAxisLengths lengths{};
    TChartLayout frame = LayoutWith(size, metrics, lengths);
    for (int round = 1; round < kMostRounds; ++round) {
        TAxisLengths reached{};
        for (int i = 0; i < kAxisCount; ++i)
            reached[std::size_t(i)] = frame.Axes[std::size_t(i)].Scale.LengthPixels();
        if (reached == lengths)
            break;
        lengths = reached;
        frame = LayoutWith(size, metrics, lengths);
    }
    return frame;
}

TChartLayout TCustomAxisPanel::LayoutWith(QSize size, const TChartTextMetrics &metrics,
                                          const TAxisLengths &lengths) const
{
    TChartLayout frame;
    frame.Panel = {0, 0, size.width(), size.height()};
    frame.SetPlot(PlotRectFromMargins(frame.Panel));
    LayoutTitlesAndLegend(frame, metrics);
    layoutAxes(frame, metrics, lengths);
    layoutSeries(frame);
    // Mark labels follow the series' visible points, so the labels come last.
    const auto axes = Axes();
    for (int i = 0; i < kAxisCount; ++i)
        if (frame.Axes[i].Visible)
            frame.Axes[i] = axes[i]->LayoutLabels(frame.Axes[i], frame, metrics);
    return frame;
}

TChartLayout TCustomAxisPanel::Layout(QSize size) const
{
    return Layout(size, TChartTextMetrics());
}

void TCustomAxisPanel::layoutAxes(TChartLayout &frame, const TChartTextMetrics &metrics,
                                  const TAxisLengths &lengths) const
{
    const auto axes = Axes();
    for (int i = 0; i < kAxisCount; ++i) {
        TAxisLayout &axis = frame.Axes[i];
        axis.Scale = axes[i]->AutoRange();
        axis.Minimum = axis.Scale.RangeMin;
        axis.Maximum = axis.Scale.RangeMax;
        axis.Visible = axes[i]->IsVisible();
    }
    // Each visible axis takes its room from what the ones before it left.
    for (int i = 0; i < kAxisCount; ++i) {
        TAxisLayout &axis = frame.Axes[i];
        if (!axis.Visible)
            continue;
        const TAxisRoom room = axes[i]->CalcRoom(frame.Plot, axis.Scale, metrics, lengths[i]);
        axis.TitlePos = room.TitlePos;
        axis.LabelsPos = room.LabelsPos;
        frame.SetPlot(room.Plot);
    }
    for (int i = 0; i < kAxisCount; ++i)
        frame.Axes[i].Scale = axes[i]->CalcScreenPositions(frame.Axes[i].Scale, frame.Plot);
    for (int i : {kTopAxis, kLeftAxis, kRightAxis, kBottomAxis})
        frame.Axes[i].Scale = axes[i]->WidenBySeriesMargins(frame.Axes[i].Scale);
}

void TCustomAxisPanel::layoutSeries(TChartLayout &frame) const
{
    frame.Series.assign(static_cast<std::size_t>(seriesList_.Count()), {});
    for (int i = 0; i < seriesList_.Count(); ++i) {
        const TChartSeries &s = *seriesList_[i];
        if (s.Active())
            frame.Series[static_cast<std::size_t>(i)] =
                s.Layout(frame.Axes[s.HorizAxisIndex()].Scale, frame.Axes[s.VertAxisIndex()].Scale,
                         frame.Plot);
    }
}

// ---- painting

void TCustomAxisPanel::DrawFrame(TChartCanvas &canvas, QSize size)
{
    const TChartLayout frame = Layout(size, TChartTextMetrics(canvas.painter().device()));
    Paint(canvas, frame);
    bottomAxis_.FrameDrawn(frame.Axes[kBottomAxis]);
    topAxis_.FrameDrawn(frame.Axes[kTopAxis]);
    leftAxis_.FrameDrawn(frame.Axes[kLeftAxis]);
    rightAxis_.FrameDrawn(frame.Axes[kRightAxis]);
    depthAxis_.FrameDrawn(frame.Axes[kDepthAxis]);
}

void TCustomAxisPanel::Paint(TChartCanvas &canvas, const TChartLayout &frame) const
{
    PaintBackground(canvas, frame.Panel);
    PaintBevels(canvas, frame.Panel);
    PaintTitlesAndLegend(canvas, frame);
    // Series depths are all zero in the flat view.
    PaintWalls(canvas, frame);
    // Axes before the series: bars cover the grid lines they cross.
    const auto axes = Axes();
    for (int i = 0; i < kAxisCount; ++i)
        if (frame.Axes[i].Visible)
            axes[i]->Paint(canvas, frame.Axes[i], frame.Plot);
    const std::size_t count =
        std::min(frame.Series.size(), static_cast<std::size_t>(seriesList_.Count()));
    for (std::size_t i = 0; i < count; ++i)
        paintSeries(canvas, *seriesList_[static_cast<int>(i)], frame.Series[i], frame.Plot);
    canvas.ResetState();
}

void TCustomAxisPanel::paintSeries(TChartCanvas &canvas, const TChartSeries &series,
                                   const TSeriesLayout &layout, const TRect &plot) const
{
    if (layout.Visible.First < 0)
        return;
    // The clip takes in the wall's right and bottom edges, so a bar of no height at the
    // origin still shows on the bottom edge.
    if (clipPoints_)
        canvas.ClipRectangle({plot.Left, plot.Top, plot.Right + 1, plot.Bottom + 1});
    const std::size_t count = layout.Points.size();
    for (std::size_t k = 0; k < count; ++k)
        series.DrawValue(canvas, layout, layout.Forward ? k : count - 1 - k);
    if (clipPoints_)
        canvas.UnClipRectangle();
    // Marks beside the points are not drawn: every series of the program hides them.
}
