#pragma once

#include "Breakdown.h"

#include <QByteArray>
#include <QColor>
#include <QString>
#include <memory>
#include <vector>

class QPainter;

// The heat map of a breakdown: a row per subgroup, a column per summary value and another table
// with the 24 scales, each cell coloured by how far the subgroup lies from the whole folder, so
// that the differences are seen before the numbers are read. The window's table takes its
// colours from here too.

// The colour of a difference of points (the subgroup's percentage less the whole folder's):
// white at 0, red below and green above, at full strength from kHeatFullPoints on.
inline constexpr double kHeatFullPoints = 20;
inline const QColor kHeatLow{229, 83, 75};
inline const QColor kHeatHigh{76, 175, 90};
QColor heatColour(double points);

// Where the tables of the heat map stand: each block is part of one table (the summary values
// or the scales), its heading and rowCount rows from firstRow on, at top of a page. A table that
// does not fit goes on over the next pages, its heading and the whole folder's row (the row every
// colour is measured against) repeated above the rows from firstRow on.
struct HeatBlock
{
    int page = 0;
    bool scales = false;
    double top = 0;
    int firstRow = 0;
    int rowCount = 0;
    bool operator==(const HeatBlock &) const = default;
};
struct HeatTableShape
{
    double heading = 0; // height of the heading with its turned titles
    double row = 0;     // height of a row
};
// The space below a block before the next one.
inline constexpr double kHeatTableGap = 60;
// Lays out rows rows of both tables: the first page from firstTop, every page down to bottom.
std::vector<HeatBlock> heatBlocks(int rows, double firstTop, double bottom,
                                  const HeatTableShape &summary, const HeatTableShape &scales);

// The heat map on the report's logical page (kReportWidth x kReportHeight, tenths of a
// millimetre), laid out once for all its pages, its footer left to the caller; today is the
// day of the report.
class BreakdownPages
{
public:
    BreakdownPages(QPainter &painter, const BreakdownTable &table, const QString &today);
    ~BreakdownPages();
    BreakdownPages(const BreakdownPages &) = delete;
    BreakdownPages &operator=(const BreakdownPages &) = delete;

    int pages() const;
    // Paints page (from 0).
    void paintPage(int page);

private:
    class Painter;
    std::unique_ptr<Painter> painter_;
};

// The same for one look: how many pages, and one page painted.
int breakdownPageCount(const BreakdownTable &table);
void paintBreakdownPage(QPainter &painter, const BreakdownTable &table, int page,
                        const QString &today);

// The heat map as a PDF of its own, A4 as the report, with a footer. Empty when it could not be
// painted.
QByteArray breakdownPdf(const BreakdownTable &table, const QString &today);
