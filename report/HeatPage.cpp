#include "HeatPage.h"

#include "Breakdown.h"
#include "PdfDocument.h"
#include "Report.h"
#include "ReportStyle.h"
#include "ShownText.h"
#include "Version.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

namespace {

constexpr int kTitlePx = 64;
constexpr int kSmallPx = 29;
constexpr double kHeadingPad = 24;
constexpr double kCellPad = 12;
constexpr double kMarkFrame = 4;

} // namespace

void paintHeatTitle(QPainter &painter, const QString &title)
{
    const QFont font = sansFont(kTitlePx, true);
    painter.setFont(font);
    painter.setPen(kAccent);
    painter.drawText(QPointF(0, ascentOf(font)), fitted(title, font, kReportWidth));
    painter.fillRect(QRectF(0, kHeatTitleBottom, kReportWidth, 6), kAccent);
}

int heatColumns(bool scales)
{
    return scales ? kScaleScoreCount : kSummaryCount;
}

int heatFirstColumn(bool scales)
{
    return scales ? kSummaryCount : 0;
}

double heatCellWidth(bool scales, double nameWidth, double countWidth)
{
    return (kReportWidth - nameWidth - countWidth) / heatColumns(scales);
}

QFont heatHeadingFont(bool scales)
{
    return sansFont(scales ? 24 : 30);
}

double heatHeadingHeight(bool scales)
{
    const QFontMetricsF metrics(heatHeadingFont(scales));
    double longest = metrics.horizontalAdvance(QStringLiteral("N"));
    for (int c = 0; c < heatColumns(scales); ++c)
        longest = std::max(
            longest, metrics.horizontalAdvance(breakdownColumnTitle(heatFirstColumn(scales) + c)));
    return longest + 2 * kHeadingPad;
}

void paintHeatHeading(QPainter &painter, bool scales, double top, double nameWidth,
                      double countWidth)
{
    const double heading = heatHeadingHeight(scales);
    const double cell = heatCellWidth(scales, nameWidth, countWidth);
    const double valuesLeft = nameWidth + countWidth;
    painter.fillRect(QRectF(0, top, kReportWidth, heading), kHeaderFill);
    painter.setFont(sansFont(kSmallPx, true));
    painter.setPen(kAccent);
    painter.drawText(QRectF(kCellPad, top, nameWidth - kCellPad, heading),
                     Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap,
                     scales ? QStringLiteral("Шкалы и факторы (III), %")
                            : QStringLiteral("Итоговые показатели, %"));
    const QFont head = heatHeadingFont(scales);
    const QFontMetricsF headMetrics(head);
    painter.setFont(head);
    painter.setPen(kInk);
    const auto turned = [&](double centre, const QString &text) {
        painter.save();
        painter.translate(centre + headMetrics.ascent() / 2 - headMetrics.descent() / 2,
                          top + heading - kHeadingPad);
        painter.rotate(-90);
        painter.drawText(QPointF(0, 0), text);
        painter.restore();
    };
    turned(nameWidth + countWidth / 2, QStringLiteral("N"));
    for (int c = 0; c < heatColumns(scales); ++c)
        turned(valuesLeft + (c + 0.5) * cell, breakdownColumnTitle(heatFirstColumn(scales) + c));
}

void paintHeatColumnRules(QPainter &painter, bool scales, double top, double bottom,
                          double nameWidth, double countWidth)
{
    const double heading = heatHeadingHeight(scales);
    const double cell = heatCellWidth(scales, nameWidth, countWidth);
    const double valuesLeft = nameWidth + countWidth;
    for (int c = 0; c <= heatColumns(scales); ++c)
        painter.fillRect(
            QRectF(valuesLeft + c * cell - 0.75, top + heading, 1.5, bottom - top - heading),
            kRule);
}

void paintHeatMark(QPainter &painter, const QRectF &box)
{
    painter.save();
    painter.setPen(QPen(kInk, kMarkFrame));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(kMarkFrame, kMarkFrame, -kMarkFrame, -kMarkFrame));
    painter.restore();
}

QByteArray heatPdf(const QString &title, const std::function<int(QPainter &)> &layOut,
                   const std::function<void(int page)> &paint)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        PdfDocument document(&buffer);
        setUpReportWriter(document);
        document.setTitle(shownBeginning(title));
        QPainter painter;
        if (!painter.begin(&document))
            return {};
        const int pages = layOut(painter);
        for (int page = 0; page < pages; ++page) {
            if (!startReportPage(document, painter, page))
                return {};
            paint(page);
            paintPageFooter(painter, kApplicationTitle + QStringLiteral("  ·  ") + title, page,
                            pages);
        }
        painter.end();
    }
    return buffer.data();
}
