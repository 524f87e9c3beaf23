#pragma once

#include <QStringList>
#include <QWidget>

// The chart component. For now it holds the foot text and paints an empty white panel; the
// panel, title, legend, walls, axes and series come with the chart work.
class TChart : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(TChart)

public:
    explicit TChart(QWidget *parent = nullptr);

    // The lines under the chart.
    const QStringList &foot() const { return foot_; }
    void setFoot(const QStringList &lines);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QStringList foot_;
};
