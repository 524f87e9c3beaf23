#pragma once

#include "TCustomChart.h"

#include <QImage>
#include <QWidget>

// The chart control: a chart shown in the window. It is the chart itself (settings, series,
// axes) and a widget; a paint draws the whole frame once into an off-screen picture and copies
// that picture until the chart asks for a repaint. The system colours are the widget's.
class TChart : public QWidget, public TCustomChart
{
    Q_OBJECT
    Q_DISABLE_COPY(TChart)

public:
    // A chart made on a parent is placed on a window (TCustomChart::Placed).
    explicit TChart(QWidget *parent = nullptr);

    bool PictureCurrent() const { return current_; }
    // The frame at the control's size, without a screen.
    QImage render();
    using QWidget::render;

protected:
    void RepaintRequested() override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QImage picture_;
    bool current_ = false;
};

struct ChartAllSeries;

// The window's chart control: configureChartAll's design at its place in the window, hidden
// until the first load.
ChartAllSeries configureChartAll(TChart &chart);
