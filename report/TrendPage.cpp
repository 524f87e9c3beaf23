#include "TrendPage.h"

#include "BreakdownPage.h"
#include "GroupTexts.h"
#include "HeatPage.h"
#include "NumberFormat.h"
#include "Report.h"
#include "ReportStyle.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <optional>

namespace {

// Logical units are tenths of a millimetre, as in the report.
constexpr double kNameWidth = 300;
constexpr double kCountWidth = 90;
constexpr double kRowHeight = 84;
constexpr double kCellPad = 12;
constexpr double kGap = 50;
constexpr int kBodyPx = 35;
constexpr int kSmallPx = 29;
// The chart a little narrower than the page, so that a trend of three or four waves keeps both
// tables on its page.
constexpr double kChartWidth = 1560;
constexpr double kChartHeight = kChartWidth * kTrendChartHeight / kTrendChartWidth;
constexpr int kNoteFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

QFont valueFont(bool scales, bool bold)
{
    return sansFont(scales ? 26 : 31, bold);
}

QFont changeFont(bool scales)
{
    return sansFont(scales ? 21 : 25);
}

QString notesText(const Trend &trend)
{
    const QString withheld = trendWithheldNote(trend);
    const QString marks = trendMarksNote(trend.disclosure);
    return withheld.isEmpty() ? marks : withheld + QLatin1Char('\n') + marks;
}

} // namespace

TrendPages::TrendPages(QPainter &painter, const Trend &trend, TrendValues values,
                       const QString &today, int chosen)
    : p_(painter), trend_(trend), values_(values), today_(today), chosen_(chosen)
{
    const double notesTop =
        kHeatTitleBottom + 30 + QFontMetricsF(sansFont(kBodyPx)).lineSpacing() + 20;
    notesHeight_ = QFontMetricsF(sansFont(kSmallPx))
                       .boundingRect(QRectF(0, 0, kReportWidth, 0), kNoteFlags, notesText(trend))
                       .height();
    chartTop_ = notesTop + notesHeight_ + kGap;
    blocks_ =
        heatBlocks(int(trend.waves.size()), chartTop_ + kChartHeight + kGap, kBodyBottom,
                   {heatHeadingHeight(false), kRowHeight}, {heatHeadingHeight(true), kRowHeight});
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
    paintHeatTitle(p_, QStringLiteral("Динамика: ") + trend_.folder);

    int files = 0;
    for (const TrendWave &wave : trend_.waves)
        files += wave.count;
    const QFont body = sansFont(kBodyPx);
    p_.setFont(body);
    p_.setPen(kInk);
    p_.drawText(QPointF(0, kHeatTitleBottom + 30 + ascentOf(body)),
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
    paintTrendChart(p_, trend_, values_, chosen_);
    p_.restore();
}

void TrendPages::paintBlock(const HeatBlock &block)
{
    const bool scales = block.scales;
    const double heading = heatHeadingHeight(scales);
    const double cell = heatCellWidth(scales, kNameWidth, kCountWidth);
    const double valuesLeft = kNameWidth + kCountWidth;
    double top = block.top;

    paintHeatHeading(p_, scales, top, kNameWidth, kCountWidth);
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
        for (int c = 0; c < heatColumns(scales); ++c) {
            const int column = heatFirstColumn(scales) + c;
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
            if (marked)
                paintHeatMark(p_, box);
        }
        top += kRowHeight;
        p_.fillRect(QRectF(0, top - 1, kReportWidth, 1.5), kRule);
    }
    paintHeatColumnRules(p_, scales, block.top, top, kNameWidth, kCountWidth);
}

QByteArray trendPdf(const Trend &trend, TrendValues values, const QString &today, int chosen)
{
    std::optional<TrendPages> pages;
    return heatPdf(
        QStringLiteral("Динамика: ") + trend.folder,
        [&](QPainter &painter) {
            pages.emplace(painter, trend, values, today, chosen);
            return pages->pages();
        },
        [&](int page) { pages->paintPage(page); });
}
