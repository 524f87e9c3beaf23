#pragma once

#include <QByteArray>
#include <QFont>
#include <QString>
#include <functional>

class QPainter;
class QRectF;

// What the pages of heat map tables (the breakdown's subgroups, the trend's waves) share, in the
// report's logical units (tenths of a millimetre): the title, the two tables' columns, their
// headings, frames and rules, and the PDF of their own.

// Where the accent rule under a page's title stands.
inline constexpr double kHeatTitleBottom = 95;
// The title in the accent colour, cut to the page's width, over the accent rule.
void paintHeatTitle(QPainter &painter, const QString &title);

// The columns of one of the two tables: the summary values, or the 24 scales.
int heatColumns(bool scales);
int heatFirstColumn(bool scales);
// A value cell's width when the name and count columns take theirs.
double heatCellWidth(bool scales, double nameWidth, double countWidth);
QFont heatHeadingFont(bool scales);
// The turned titles stand in the heading: as high as the longest of them.
double heatHeadingHeight(bool scales);

// A table's heading at top: the table's name, then a title per column, turned to read upwards.
void paintHeatHeading(QPainter &painter, bool scales, double top, double nameWidth,
                      double countWidth);
// The lines between the value columns, from under the heading of a block at top down to bottom.
void paintHeatColumnRules(QPainter &painter, bool scales, double top, double bottom,
                          double nameWidth, double countWidth);
// A frame the eye finds whatever the cell's colour, around a significant cell.
void paintHeatMark(QPainter &painter, const QRectF &box);

// Pages as a PDF of their own, A4 as the report, titled title and each with a footer: layOut
// lays them out on the painter and says how many, paint paints one. Empty when it could not be
// painted.
QByteArray heatPdf(const QString &title, const std::function<int(QPainter &)> &layOut,
                   const std::function<void(int page)> &paint);
