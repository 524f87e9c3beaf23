#pragma once

#include "ChartLayout.h"
#include "ProfileView.h"
#include "TCustomChart.h"

#include <QImage>
#include <QPalette>
#include <QSize>

class QPainter;

// The chart ChartAll as the window shows it: a chart of the window's design that paints the
// view's chart kind, with the view's letter in its top-right corner, into any painter. A picture
// depends on the view alone, so any chart on any thread paints it with the same bytes.
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

private:
    TCustomChart chart_;
    ChartAllSeries series_;
};
