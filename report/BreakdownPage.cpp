#include "BreakdownPage.h"

#include "Fonts.h"
#include "GroupTexts.h"
#include "HeatPage.h"
#include "NumberFormat.h"
#include "Report.h"
#include "ReportStyle.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// Logical units are tenths of a millimetre, as in the report.
constexpr double kNameWidth = 520;
constexpr double kCountWidth = 90;
constexpr double kRowHeight = 48;
constexpr double kCellPad = 12;
constexpr double kLegendWidth = 600;
constexpr double kLegendHeight = 34;
constexpr int kBodyPx = 35;
constexpr int kSmallPx = 29;
constexpr int kSummaryCellPx = 31;
constexpr int kScaleCellPx = 26;

int channel(int from, int to, double t)
{
    return int(std::lround(from + (to - from) * t));
}

// The geometry both tables share and the pieces of every page, measured once.
class HeatMapLayout
{
public:
    explicit HeatMapLayout(const BreakdownTable &table)
    {
        const QFontMetricsF small(sansFont(kSmallPx));
        notesTop_ = kHeatTitleBottom + 30 + QFontMetricsF(sansFont(kBodyPx)).lineSpacing();
        // The notes wrap: a note may name many subgroups.
        notesHeight_ = small
                           .boundingRect(QRectF(0, 0, kReportWidth, kReportHeight), kRiskFlags,
                                         breakdownNotes(table).join(QLatin1Char('\n')))
                           .height();
        riskTop_ = notesTop_ + notesHeight_;
        riskHeight_ = small.boundingRect(riskBox(0), kRiskFlags, breakdownRiskNote()).height();
        legendTop_ = riskTop_ + riskHeight_ + 0.5 * small.lineSpacing();
        marksTop_ = legendTop_ + kLegendHeight + 4 + 1.5 * small.lineSpacing();
        marksHeight_ =
            small.boundingRect(marksBox(0), kRiskFlags, breakdownMarksNote(table.disclosure))
                .height();
        summary_ = {heatHeadingHeight(false), kRowHeight};
        scales_ = {heatHeadingHeight(true), kRowHeight};
        // Each table ends in the share row.
        blocks_ = heatBlocks(int(table.rows.size()) + 1, marksTop_ + marksHeight_ + 60, kBodyBottom,
                             summary_, scales_);
    }

    int pages() const { return blocks_.empty() ? 1 : blocks_.back().page + 1; }
    const std::vector<HeatBlock> &blocks() const { return blocks_; }
    double notesTop() const { return notesTop_; }
    QRectF notesBox() const { return QRectF(0, notesTop_, kReportWidth, notesHeight_); }
    // The warning on subtracting breakdowns, wrapped in the page's width.
    QRectF riskBox() const { return riskBox(riskHeight_); }
    static constexpr int kRiskFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    double legendTop() const { return legendTop_; }
    // What the frames and the share row say, wrapped in the page's width.
    QRectF marksBox() const { return marksBox(marksHeight_); }
    const HeatTableShape &shape(bool scales) const { return scales ? scales_ : summary_; }

    static QFont cellFont(bool scales, bool bold)
    {
        return sansFont(scales ? kScaleCellPx : kSummaryCellPx, bold);
    }

private:
    QRectF riskBox(double height) const { return QRectF(0, riskTop_, kReportWidth, height); }
    QRectF marksBox(double height) const { return QRectF(0, marksTop_, kReportWidth, height); }

    double notesTop_ = 0;
    double notesHeight_ = 0;
    double riskTop_ = 0;
    double riskHeight_ = 0;
    double legendTop_ = 0;
    double marksTop_ = 0;
    double marksHeight_ = 0;
    HeatTableShape summary_;
    HeatTableShape scales_;
    std::vector<HeatBlock> blocks_;
};

class HeatMapPainter
{
public:
    HeatMapPainter(QPainter &painter, const BreakdownTable &table, const QString &today)
        : p_(painter), t_(table), today_(today), layout_(table)
    {
    }

    int pages() const { return layout_.pages(); }

    void paintPage(int page)
    {
        if (page == 0)
            paintTitle();
        for (const HeatBlock &block : layout_.blocks())
            if (block.page == page)
                paintBlock(block);
    }

private:
    void paintTitle()
    {
        paintHeatTitle(p_, QStringLiteral("Подгруппы: ") + t_.folder);

        const QFont body = sansFont(kBodyPx);
        p_.setFont(body);
        p_.setPen(kInk);
        p_.drawText(QPointF(0, kHeatTitleBottom + 30 + ascentOf(body)),
                    QStringLiteral("Разбивка по строке %1 анкеты; строк подгрупп: %2; дата "
                                   "отчёта: %3")
                        .arg(t_.line)
                        .arg(std::max<qsizetype>(0, qsizetype(t_.rows.size()) - 1))
                        .arg(today_));
        const QFont small = sansFont(kSmallPx);
        p_.setFont(small);
        p_.setPen(kMuted);
        p_.drawText(layout_.notesBox(), HeatMapLayout::kRiskFlags,
                    breakdownNotes(t_).join(QLatin1Char('\n')));
        p_.setPen(kInk);
        p_.drawText(layout_.riskBox(), HeatMapLayout::kRiskFlags, breakdownRiskNote());
        paintLegend(layout_.legendTop());
        p_.setFont(small);
        p_.setPen(kInk);
        p_.drawText(layout_.marksBox(), HeatMapLayout::kRiskFlags,
                    breakdownMarksNote(t_.disclosure));
    }

    void paintLegend(double top)
    {
        const QFont small = sansFont(kSmallPx);
        const QFontMetricsF metrics(small);
        const QString caption = QStringLiteral("Отличие от всей папки, процентных пунктов:  ");
        const double barLeft = metrics.horizontalAdvance(caption);
        p_.setFont(small);
        p_.setPen(kInk);
        p_.drawText(QPointF(0, top + ascentOf(small)), caption);
        QLinearGradient gradient(barLeft, 0, barLeft + kLegendWidth, 0);
        gradient.setColorAt(0, heatColour(-kHeatFullPoints));
        gradient.setColorAt(0.5, heatColour(0));
        gradient.setColorAt(1, heatColour(kHeatFullPoints));
        const QRectF bar(barLeft, top, kLegendWidth, kLegendHeight);
        p_.fillRect(bar, gradient);
        p_.setPen(QPen(kRule, 2));
        p_.setBrush(Qt::NoBrush);
        p_.drawRect(bar);
        p_.setPen(kMuted);
        const QString marks[] = {QStringLiteral("−20 и ниже"), QStringLiteral("0"),
                                 QStringLiteral("+20 и выше")};
        for (int i = 0; i < 3; ++i) {
            const double x = barLeft + kLegendWidth * i / 2;
            const double width = metrics.horizontalAdvance(marks[i]);
            const double left = i == 0 ? x : i == 1 ? x - width / 2 : x - width;
            p_.drawText(QPointF(left, top + kLegendHeight + 4 + ascentOf(small)), marks[i]);
        }
    }

    void paintBlock(const HeatBlock &block)
    {
        const bool scales = block.scales;
        const HeatTableShape &shape = layout_.shape(scales);
        const double cell = heatCellWidth(scales, kNameWidth, kCountWidth);
        const double valuesLeft = kNameWidth + kCountWidth;
        double top = block.top;

        paintHeatHeading(p_, scales, top, kNameWidth, kCountWidth);
        top += shape.heading;

        const BreakdownRow &whole = t_.rows.front();
        // A table going on from an earlier page repeats the whole folder's row first.
        std::vector<int> rows;
        if (block.firstRow > 0)
            rows.push_back(0);
        for (int r = block.firstRow; r < block.firstRow + block.rowCount; ++r)
            rows.push_back(r);
        for (const int r : rows) {
            if (r == int(t_.rows.size())) {
                paintShareRow(scales, top);
                top += shape.row;
                continue;
            }
            const BreakdownRow &row = t_.rows[std::size_t(r)];
            const bool isWhole = row.kind == SubgroupKind::Whole;
            const QFont font = HeatMapLayout::cellFont(scales, isWhole);
            const double baseline =
                top + (shape.row - QFontMetricsF(font).height()) / 2 + ascentOf(font);
            for (int c = 0; c < heatColumns(scales); ++c) {
                const int column = heatFirstColumn(scales) + c;
                const QRectF box(valuesLeft + c * cell, top, cell, shape.row);
                p_.fillRect(box, heatColour(row.value(column) - whole.value(column)));
            }
            p_.setFont(font);
            p_.setPen(kInk);
            p_.drawText(QPointF(kCellPad, baseline),
                        fitted(row.name, font, kNameWidth - 2 * kCellPad));
            const QString count = QString::number(row.count);
            const QFontMetricsF metrics(font);
            p_.drawText(QPointF(valuesLeft - kCellPad - metrics.horizontalAdvance(count), baseline),
                        count);
            for (int c = 0; c < heatColumns(scales); ++c) {
                const int column = heatFirstColumn(scales) + c;
                const bool marked = row.significant[std::size_t(column)];
                const QString text = formatWhole(row.value(column)).trimmed();
                const QFont cellFont = HeatMapLayout::cellFont(scales, isWhole || marked);
                p_.setFont(cellFont);
                p_.drawText(QPointF(valuesLeft + (c + 0.5) * cell -
                                        QFontMetricsF(cellFont).horizontalAdvance(text) / 2,
                                    baseline),
                            text);
                if (marked)
                    paintHeatMark(p_, QRectF(valuesLeft + c * cell, top, cell, shape.row));
            }
            top += shape.row;
            p_.fillRect(QRectF(0, top - (isWhole ? 2 : 1), kReportWidth, isWhole ? 4 : 1.5),
                        isWhole ? kAccent : kRule);
        }
        paintHeatColumnRules(p_, scales, block.top, top, kNameWidth, kCountWidth);
    }

    // The share of the differences between the subgroups (ICC(1)) under a table's rows.
    void paintShareRow(bool scales, double top)
    {
        const HeatTableShape &shape = layout_.shape(scales);
        const double cell = heatCellWidth(scales, kNameWidth, kCountWidth);
        const double valuesLeft = kNameWidth + kCountWidth;
        p_.fillRect(QRectF(0, top, kReportWidth, shape.row), kHeaderFill);
        const QFont font = HeatMapLayout::cellFont(scales, false);
        const QFontMetricsF metrics(font);
        const double baseline = top + (shape.row - metrics.height()) / 2 + ascentOf(font);
        p_.setFont(font);
        p_.setPen(kInk);
        p_.drawText(QPointF(kCellPad, baseline),
                    fitted(breakdownShareRowName(), font, kNameWidth + kCountWidth - 2 * kCellPad));
        for (int c = 0; c < heatColumns(scales); ++c) {
            const QString text =
                breakdownShareText(t_.icc1[std::size_t(heatFirstColumn(scales) + c)]);
            p_.drawText(QPointF(valuesLeft + (c + 0.5) * cell - metrics.horizontalAdvance(text) / 2,
                                baseline),
                        text);
        }
        p_.fillRect(QRectF(0, top + shape.row - 1, kReportWidth, 1.5), kRule);
    }

    QPainter &p_;
    const BreakdownTable &t_;
    QString today_;
    HeatMapLayout layout_;
};

} // namespace

QColor heatColour(double points)
{
    const double t = std::min(std::abs(points) / kHeatFullPoints, 1.0);
    const QColor &full = points < 0 ? kHeatLow : kHeatHigh;
    return QColor(channel(255, full.red(), t), channel(255, full.green(), t),
                  channel(255, full.blue(), t));
}

std::vector<HeatBlock> heatBlocks(int rows, double firstTop, double bottom,
                                  const HeatTableShape &summary, const HeatTableShape &scales)
{
    std::vector<HeatBlock> blocks;
    int page = 0;
    double top = firstTop;
    for (const bool isScales : {false, true}) {
        const HeatTableShape &shape = isScales ? scales : summary;
        for (int first = 0; first < rows;) {
            // A block going on with the table repeats the whole folder's row under its heading.
            const double above = shape.heading + (first > 0 ? shape.row : 0);
            if (top + above + shape.row > bottom && top > 0) {
                ++page;
                top = 0;
            }
            // At least one row a page, however little room a page has.
            const int fit = std::max(1, int(std::floor((bottom - top - above) / shape.row)));
            const int count = std::min(fit, rows - first);
            blocks.push_back({page, isScales, top, first, count});
            top += above + count * shape.row + kHeatTableGap;
            first += count;
        }
    }
    return blocks;
}

class BreakdownPages::Painter : public HeatMapPainter
{
    using HeatMapPainter::HeatMapPainter;
};

BreakdownPages::BreakdownPages(QPainter &painter, const BreakdownTable &table, const QString &today)
    : painter_(std::make_unique<Painter>(painter, table, today))
{
}

BreakdownPages::~BreakdownPages() = default;

int BreakdownPages::pages() const
{
    return painter_->pages();
}

void BreakdownPages::paintPage(int page)
{
    painter_->paintPage(page);
}

int breakdownPageCount(const BreakdownTable &table)
{
    return HeatMapLayout(table).pages();
}

void paintBreakdownPage(QPainter &painter, const BreakdownTable &table, int page,
                        const QString &today)
{
    HeatMapPainter(painter, table, today).paintPage(page);
}

QByteArray breakdownPdf(const BreakdownTable &table, const QString &today)
{
    std::optional<HeatMapPainter> heatMap;
    return heatPdf(
        QStringLiteral("Подгруппы: ") + table.folder,
        [&](QPainter &painter) {
            heatMap.emplace(painter, table, today);
            return heatMap->pages();
        },
        [&](int page) { heatMap->paintPage(page); });
}
