#include "TChart.h"

#include <QPainter>

TChart::TChart(QWidget *parent) : QWidget(parent) {}

void TChart::setFoot(const QStringList &lines)
{
    foot_ = lines;
    update();
}

void TChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
}
