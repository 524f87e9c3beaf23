#include "TrendPage.h"

#include "BreakdownPage.h"
#include "NumberFormat.h"
#include "Report.h"
#include "ReportStyle.h"
#include "ShownText.h"
#include "Version.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

namespace {

// Logical units are tenths of a millimetre, as in the report.
constexpr double kTitleBottom = 95;
constexpr double kNameWidth = 300;
constexpr double kCountWidth = 90;
constexpr double kRowHeight = 84;
constexpr double kHeadingPad = 24;
constexpr double kCellPad = 12;
constexpr double kMarkFrame = 4;
constexpr double kGap = 50;
constexpr int kTitlePx = 64;
constexpr int kBodyPx = 35;
constexpr int kSmallPx = 29;
// The chart a little narrower than the page, so that a trend of three or four waves keeps both
// tables on its page.
constexpr double kChartWidth = 1560;
constexpr double kChartHeight = kChartWidth * kTrendChartHeight / kTrendChartWidth;
constexpr int kNoteFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

int columns(bool scales)
{
    return scales ? kScaleScoreCount : kSummaryCount;
}

int firstColumn(bool scales)
{
    return scales ? kSummaryCount : 0;
}

double cellWidth(bool scales)
{
    return (kReportWidth - kNameWidth - kCountWidth) / columns(scales);
}

QFont headingFont(bool scales)
{
    return sansFont(scales ? 24 : 30);
}

QFont valueFont(bool scales, bool bold)
{
    return sansFont(scales ? 26 : 31, bold);
}

QFont changeFont(bool scales)
{
    return sansFont(scales ? 21 : 25);
}

// The turned titles stand in the heading: as high as the longest of them.
double headingHeight(bool scales)
{
    const QFontMetricsF metrics(headingFont(scales));
    double longest = metrics.horizontalAdvance(QStringLiteral("N"));
    for (int c = 0; c < columns(scales); ++c)
        longest = std::max(
            longest, metrics.horizontalAdvance(breakdownColumnTitle(firstColumn(scales) + c)));
    return longest + 2 * kHeadingPad;
}

QString notesText(const Trend &trend)
{
    const QString withheld = trendWithheldNote(trend);
    return withheld.isEmpty() ? trendMarksNote() : withheld + QLatin1Char('\n') + trendMarksNote();
}

} // namespace

TrendPages::TrendPages(QPainter &painter, const Trend &trend, TrendValues values,
                       const QString &today)
    : p_(painter), trend_(trend), values_(values), today_(today)
{
    const double notesTop = kTitleBottom + 30 + QFontMetricsF(sansFont(kBodyPx)).lineSpacing() + 20;
    notesHeight_ = QFontMetricsF(sansFont(kSmallPx))
                       .boundingRect(QRectF(0, 0, kReportWidth, 0), kNoteFlags, notesText(trend))
                       .height();
    chartTop_ = notesTop + notesHeight_ + kGap;
    blocks_ = heatBlocks(int(trend.waves.size()), chartTop_ + kChartHeight + kGap, kBodyBottom,
                         {headingHeight(false), kRowHeight}, {headingHeight(true), kRowHeight});
}

TrendPages::~TrendPages() = default;

int TrendPages::pages() const
{
    return blocks_.empty() ? 1 : blocks_.back().page + 1;
}

void TrendPages::paintPage(int page)
{
    if (page == 0)
        paintHead();
    for (const HeatBlock &block : blocks_)
        if (block.page == page)
            paintBlock(block);
}

void TrendPages::paintHead()
{
    const QFont title = sansFont(kTitlePx, true);
    p_.setFont(title);
    p_.setPen(kAccent);
    p_.drawText(QPointF(0, ascentOf(title)),
                fitted(QStringLiteral("Динамика: ") + trend_.folder, title, kReportWidth));
    p_.fillRect(QRectF(0, kTitleBottom, kReportWidth, 6), kAccent);

    int files = 0;
    for (const TrendWave &wave : trend_.waves)
        files += wave.count;
    const QFont body = sansFont(kBodyPx);
    p_.setFont(body);
    p_.setPen(kInk);
    p_.drawText(QPointF(0, kTitleBottom + 30 + ascentOf(body)),
                fitted(QStringLiteral("Волн: %1 (%2 — %3); файлов: %4; дата отчёта: %5")
                           .arg(trend_.waves.size())
                           .arg(trend_.waves.front().name, trend_.waves.back().name)
                           .arg(files)
                           .arg(today_),
                       body, kReportWidth));
    p_.setFont(sansFont(kSmallPx));
    p_.drawText(QRectF(0, chartTop_ - kGap - notesHeight_, kReportWidth, notesHeight_), kNoteFlags,
                notesText(trend_));

    p_.save();
    p_.translate((kReportWidth - kChartWidth) / 2, chartTop_);
    const double scale = kChartWidth / kTrendChartWidth;
    p_.scale(scale, scale);
    startReportPainting(p_);
    p_.setClipRect(QRect(0, 0, kTrendChartWidth, kTrendChartHeight));
    paintTrendChart(p_, trend_, values_);
    p_.restore();
}

void TrendPages::paintBlock(const HeatBlock &block)
{
    const bool scales = block.scales;
    const double heading = headingHeight(scales);
    const double cell = cellWidth(scales);
    const double valuesLeft = kNameWidth + kCountWidth;
    double top = block.top;

    // The heading: the table's name, then a title per column, turned to read upwards.
    p_.fillRect(QRectF(0, top, kReportWidth, heading), kHeaderFill);
    p_.setFont(sansFont(kSmallPx, true));
    p_.setPen(kAccent);
    p_.drawText(QRectF(kCellPad, top, kNameWidth - kCellPad, heading),
                Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap,
                scales ? QStringLiteral("Шкалы и факторы (III), %")
                       : QStringLiteral("Итоговые показатели, %"));
    const QFont head = headingFont(scales);
    const QFontMetricsF headMetrics(head);
    p_.setFont(head);
    p_.setPen(kInk);
    const auto turned = [&](double centre, const QString &text) {
        p_.save();
        p_.translate(centre + headMetrics.ascent() / 2 - headMetrics.descent() / 2,
                     top + heading - kHeadingPad);
        p_.rotate(-90);
        p_.drawText(QPointF(0, 0), text);
        p_.restore();
    };
    turned(kNameWidth + kCountWidth / 2, QStringLiteral("N"));
    for (int c = 0; c < columns(scales); ++c)
        turned(valuesLeft + (c + 0.5) * cell, breakdownColumnTitle(firstColumn(scales) + c));
    top += heading;

    // A table going on from an earlier page repeats the wave its first change is measured from.
    std::vector<int> rows;
    if (block.firstRow > 0)
        rows.push_back(block.firstRow - 1);
    for (int r = block.firstRow; r < block.firstRow + block.rowCount; ++r)
        rows.push_back(r);
    const QFont change = changeFont(scales);
    const QFontMetricsF changeMetrics(change);
    for (const int r : rows) {
        const TrendWave &wave = trend_.waves[std::size_t(r)];
        const TrendChange *from = r > 0 ? &trend_.changes[std::size_t(r - 1)] : nullptr;
        const QFont plain = valueFont(scales, false);
        const double valueLine = QFontMetricsF(plain).lineSpacing();
        const double first = top + (kRowHeight - valueLine - changeMetrics.lineSpacing()) / 2;
        p_.setFont(plain);
        p_.setPen(kInk);
        p_.drawText(QPointF(kCellPad, first + ascentOf(plain)),
                    fitted(wave.name, plain, kNameWidth - 2 * kCellPad));
        const QString count = QString::number(wave.count);
        p_.drawText(QPointF(valuesLeft - kCellPad - QFontMetricsF(plain).horizontalAdvance(count),
                            first + ascentOf(plain)),
                    count);
        for (int c = 0; c < columns(scales); ++c) {
            const int column = firstColumn(scales) + c;
            const QRectF box(valuesLeft + c * cell, top, cell, kRowHeight);
            const bool marked = from && from->significant[std::size_t(column)];
            if (from)
                p_.fillRect(box, heatColour(from->difference[std::size_t(column)]));
            const QFont font = valueFont(scales, marked);
            const QString text = trendValueText(wave.value(column));
            p_.setFont(font);
            p_.setPen(kInk);
            p_.drawText(QPointF(box.center().x() - QFontMetricsF(font).horizontalAdvance(text) / 2,
                                first + ascentOf(font)),
                        text);
            if (from) {
                const QString shift =
                    trendChangeText(trend_.waves[std::size_t(r - 1)], wave, column);
                p_.setFont(change);
                p_.drawText(QPointF(box.center().x() - changeMetrics.horizontalAdvance(shift) / 2,
                                    first + valueLine + ascentOf(change)),
                            shift);
            }
            if (marked) {
                // A frame the eye finds whatever the cell's colour.
                p_.save();
                p_.setPen(QPen(kInk, kMarkFrame));
                p_.setBrush(Qt::NoBrush);
                p_.drawRect(box.adjusted(kMarkFrame, kMarkFrame, -kMarkFrame, -kMarkFrame));
                p_.restore();
            }
        }
        top += kRowHeight;
        p_.fillRect(QRectF(0, top - 1, kReportWidth, 1.5), kRule);
    }
    for (int c = 0; c <= columns(scales); ++c)
        p_.fillRect(QRectF(valuesLeft + c * cell - 0.75, block.top + heading, 1.5,
                           top - block.top - heading),
                    kRule);
}

QByteArray trendPdf(const Trend &trend, TrendValues values, const QString &today)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        setUpReportWriter(writer);
        writer.setTitle(shownBeginning(QStringLiteral("Динамика: ") + trend.folder));
        QPainter painter;
        if (!painter.begin(&writer))
            return {};
        TrendPages pages(painter, trend, values, today);
        const int count = pages.pages();
        for (int page = 0; page < count; ++page) {
            if (!startReportPage(writer, painter, page))
                return {};
            pages.paintPage(page);
            paintPageFooter(painter,
                            kApplicationTitle + QStringLiteral("  ·  Динамика: ") + trend.folder,
                            page, count);
        }
        painter.end();
    }
    return buffer.data();
}
