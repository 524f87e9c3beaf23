#pragma once

#include "ChartLayout.h"
#include "ProfileView.h"
#include "TCustomChart.h"

#include <QImage>
#include <QPalette>
#include <QSize>

class QPainter;

// The chart ChartAll as the window shows it: a chart of the window's design that paints the
// view's chart kind, with the view's letter in its top-right corner, into any painter. Like the
// window's chart it lays each frame out with the axis lengths of the frame it drew before;
// those can be given, so that a chart of a worker thread paints as the one chart of a serial
// run would.
class ChartPicture
{
public:
    // placed: as the window's chart (and its saved pictures) rather than a chart of its own
    // (the report's); see TCustomChart::Placed.
    explicit ChartPicture(bool placed, const QPalette &colors = QPalette());
    ChartPicture(const ChartPicture &) = delete;
    ChartPicture &operator=(const ChartPicture &) = delete;

    static constexpr QSize size() { return {kChartAllWidth, kChartAllHeight}; }

    // The chart filled with the view's chart kind, its foot naming the view's header; nothing
    // is painted.
    TCustomChart &filledFor(const ProfileView &view);
    // Paints the chart of the view (filledFor) at the painter's origin, and the letter when
    // asked.
    void paint(QPainter &painter, const ProfileView &view, bool letter = true);
    // The chart and its letter as a picture, as the window's Plot save shows it.
    QImage picture(const ProfileView &view);

    // The axis lengths the next frame is laid out with: those of the last frame painted, all 0
    // before the first.
    const TAxisLengths &lastLengths() const { return chart_.LastLengths(); }
    void setLastLengths(const TAxisLengths &lengths) { chart_.setLastLengths(lengths); }
    // The lengths of the view's frame, laid out and not painted.
    TAxisLengths frameLengths(const ProfileView &view);

private:
    TCustomChart chart_;
    ChartAllSeries series_;
};
