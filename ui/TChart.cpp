#include "TChart.h"

#include "ChartViews.h"

#include <QEvent>
#include <QPainter>

TChart::TChart(QWidget *parent) : QWidget(parent)
{
    setPlaced(parent != nullptr);
    setSystemColors(palette());
    resize(400, 250);
    // The whole client area is painted from the picture: no background fill first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage TChart::render()
{
    return TCustomChart::render(size());
}

void TChart::RepaintRequested()
{
    current_ = false;
    update();
}

void TChart::paintEvent(QPaintEvent *)
{
    if (!current_ || picture_.size() != size()) {
        if (picture_.size() != size())
            picture_ = QImage(size(), QImage::Format_RGB32);
        QPainter painter(&picture_);
        paintTo(painter, size());
        current_ = true;
    }
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
}

void TChart::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        setSystemColors(palette());
    QWidget::changeEvent(event);
}

ChartAllSeries configureChartAll(TChart &chart)
{
    const ChartAllSeries series = configureChartAll(static_cast<TCustomChart &>(chart));
    chart.setGeometry(5, 435, kChartAllWidth, kChartAllHeight);
    chart.hide();
    return series;
}
