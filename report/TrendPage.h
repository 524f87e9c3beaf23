#pragma once

#include "Trend.h"
#include "TrendChart.h"

#include <QByteArray>
#include <QString>
#include <vector>

class QPainter;
struct HeatBlock;

// The trend of a parent folder's waves on the report's logical page (kReportWidth x
// kReportHeight, tenths of a millimetre): its title and notes, the chart of the chosen values,
// then two tables, the summary values and the 24 scales, a row per wave with each value and its
// change from the wave before, a significant change framed with a bold number as on the heat
// map. A table that goes on over another page repeats its heading and the wave before. The
// footer is left to the caller.
class TrendPages
{
public:
    // chosen: the value the chart highlights, as the trend window's choice.
    TrendPages(QPainter &painter, const Trend &trend, TrendValues values, const QString &today,
               int chosen = kNoHighlight);
    ~TrendPages();
    TrendPages(const TrendPages &) = delete;
    TrendPages &operator=(const TrendPages &) = delete;

    int pages() const;
    // Paints page (from 0).
    void paintPage(int page);

private:
    void paintHead();
    void paintBlock(const HeatBlock &block);

    QPainter &p_;
    const Trend &trend_;
    TrendValues values_;
    QString today_;
    int chosen_;
    double notesHeight_ = 0;
    double chartTop_ = 0;
    std::vector<HeatBlock> blocks_;
};

// The trend as a PDF of its own, A4 as the report, with a footer, its chart highlighting the
// value chosen as the window does. Empty when it could not be painted.
QByteArray trendPdf(const Trend &trend, TrendValues values, const QString &today,
                    int chosen = kNoHighlight);
