#include "Report.h"

#include "BreakdownPage.h"
#include "ChartPicture.h"
#include "ChartViews.h"
#include "CultureWheel.h"
#include "DiagramViews.h"
#include "Fonts.h"
#include "NumberFormat.h"
#include "PdfDocument.h"
#include "ReportStyle.h"
#include "ResultsTable.h"
#include "ShownText.h"
#include "TrendPage.h"
#include "Version.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>

namespace {

// Logical units are tenths of a millimetre; font sizes are given in them too (35 is 10 pt).
constexpr double kSectionGap = 45;

constexpr int kTitlePx = 64;
constexpr int kSectionPx = 42;
constexpr int kBodyPx = 35;
constexpr int kSmallPx = 29;
constexpr int kAnalysisPx = 37;

// Page 1: header box, results table and diagram.
constexpr double kHeaderTop = 135;
constexpr double kHeaderRow = 50;
constexpr double kHeaderPad = 22;
constexpr int kHeaderRows = 7;
constexpr int kDetailRows = 4;
constexpr double kTableScale = 2.4;
constexpr double kLegendHeight = 70;
// With a reference, its line under the legend.
constexpr double kReferenceLegendHeight = 50;

// Page 2: the chart views, two columns of three.
constexpr QSize kChartSize(416, 294);
constexpr double kChartGap = 60;
constexpr double kChartWidth = (kReportWidth - kChartGap) / 2;
constexpr double kChartHeight = kChartWidth * kChartSize.height() / kChartSize.width();
constexpr int kChartColumns = 2;

// The diagram panel: the wheel overlay sits 2 pixels inside it, the labels are placed in it.
constexpr QSize kPanelSize(602, 564);
constexpr QPoint kOverlayAt(2, 2);
constexpr int kPanelLabelPx = 13;

// The spread table after the charts: the confidence interval's column twice as wide as the
// others; under it a note and, when the members agree too little, the warning.
constexpr double kSpreadRow = 46;
constexpr double kSpreadNameWidth = 380;
constexpr double kSpreadNoteHeight = 80; // two lines
const QColor kWarningInk(160, 20, 20);

// The comparison page: a name column and three number columns, the values in three groups
// under a heading row each.
constexpr double kCompareRow = 46;
constexpr double kCompareNameWidth = 900;
constexpr int kCompareNumberColumns = 3; // a fourth with the test or the percentile
constexpr int kCompareGroups = 3;
// Room for the note's three lines: what the difference is, and what the statistics marked.
constexpr double kCompareNoteHeight = 110;

// Lines of one paragraph wrapped at word boundaries (anywhere when a word is wider).
QStringList wrapped(const QString &paragraph, const QFont &font, double width)
{
    if (paragraph.isEmpty())
        return {QString()};
    // Laying out one huge paragraph costs far more than laying out its parts; a paragraph this
    // long (only a pathological answer file makes one) is wrapped piece by piece.
    constexpr qsizetype kPiece = 8192;
    if (paragraph.size() > kPiece) {
        QStringList lines;
        for (qsizetype at = 0; at < paragraph.size(); at += kPiece)
            lines << wrapped(paragraph.mid(at, kPiece), font, width);
        return lines;
    }
    QTextLayout layout(paragraph, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << paragraph.mid(line.textStart(), line.textLength());
    }
    layout.endLayout();
    return lines;
}

QString pageTitle(const ReportContent &content)
{
    return content.group ? QStringLiteral("Групповой профиль организационной культуры")
                         : QStringLiteral("Профиль организационной культуры");
}

class ReportPainter
{
public:
    ReportPainter(QPainter &painter, const ReportContent &content)
        : p_(painter), c_(content), analysisFont_(reportFont(kTimes, kAnalysisPx))
    {
        layoutFlow();
    }

    int pages() const { return pages_; }

    static constexpr bool comparisonEndsAboveTheCharts()
    {
        return comparisonBottom() <= chartsBottom();
    }

    void paintPage(int page)
    {
        if (page == 0)
            paintFirstPage();
        else if (page == 1)
            paintChartPage();
        else if (page == 2 && c_.reference)
            paintComparisonPage();
        paintFlow(page - (fixedPages() - 1));
        if (breakdown_ && page >= flowPages_)
            breakdown_->paintPage(page - flowPages_);
        if (trend_ && page >= trendFirstPage_)
            trend_->paintPage(page - trendFirstPage_);
        paintFooter(page);
    }

private:
    // ---- the flow after the charts
    void layoutFlow()
    {
        const double lineHeight = QFontMetricsF(analysisFont_).lineSpacing() * 1.12;
        if (showsSpread()) {
            const QString warning = lowAgreementWarning(agreementOf(c_.spread->moments));
            if (!warning.isEmpty())
                warningLines_ = wrapped(warning, warningFont(), kReportWidth);
            items_.push_back({spreadHeight(), false});
        }
        const QStringList paragraphs = reportAnalysisParagraphs(c_.analysis);
        items_.push_back({sectionHeight(), true});
        for (const QString &paragraph : paragraphs)
            for (const QString &line : wrapped(paragraph, analysisFont_, kReportWidth)) {
                lines_ << line;
                items_.push_back({lineHeight, false});
            }
        // The comparison page ends above where the charts end (see below): the text flows
        // after either page alike.
        const double top = chartsBottom() + kSectionGap;
        places_ = flowPieces(items_, top, kBodyBottom - top, kBodyBottom);
        pages_ = fixedPages() + (places_.empty() ? 0 : places_.back().page);
        flowPages_ = pages_;
        if (c_.breakdown) {
            breakdown_ = std::make_unique<BreakdownPages>(p_, *c_.breakdown, c_.today);
            pages_ += breakdown_->pages();
        }
        if (c_.trend) {
            trendFirstPage_ = pages_;
            trend_ = std::make_unique<TrendPages>(p_, *c_.trend, TrendValues::FactorsII, c_.today);
            pages_ += trend_->pages();
        }
    }

    // The pages before the flow: the first page, the charts and, with a reference, the
    // comparison; the flow starts on the last of them.
    int fixedPages() const { return c_.reference ? 3 : 2; }

    // A group's spread page; none for a subgroup below the spread minimum.
    bool showsSpread() const { return c_.spread && !c_.spread->moments.spreadWithheld(); }

    void paintFlow(int flowPage)
    {
        const std::size_t first = showsSpread() ? 1 : 0;
        for (std::size_t i = 0; i < places_.size(); ++i) {
            if (places_[i].page != flowPage)
                continue;
            const double top = places_[i].top;
            if (showsSpread() && i == 0)
                paintSpread(top);
            else if (i == first)
                paintSection(top, QStringLiteral("Анализ факторов"));
            else
                paintLine(top, lines_[qsizetype(i - first - 1)]);
        }
    }

    void paintLine(double top, const QString &line)
    {
        p_.setFont(analysisFont_);
        p_.setPen(kInk);
        p_.drawText(QPointF(0, top + ascentOf(analysisFont_)), line);
    }

    // ---- pieces every page uses
    static constexpr double sectionHeight() { return 80; }

    void paintSection(double top, const QString &title)
    {
        const QFont font = sansFont(kSectionPx, true);
        p_.setFont(font);
        p_.setPen(kAccent);
        p_.drawText(QPointF(0, top + ascentOf(font)), title);
        p_.fillRect(QRectF(0, top + 58, kReportWidth, 3), kRule);
    }

    void paintFooter(int page)
    {
        paintPageFooter(p_,
                        kApplicationTitle + QStringLiteral("  ·  ") + c_.header.code +
                            QStringLiteral(". ") + c_.header.name,
                        page, pages_);
    }

    // ---- page 1
    void paintFirstPage()
    {
        const QFont title = sansFont(kTitlePx, true);
        p_.setFont(title);
        p_.setPen(kAccent);
        p_.drawText(QPointF(0, ascentOf(title)), pageTitle(c_));
        const QFont small = sansFont(kSmallPx);
        p_.setFont(small);
        p_.setPen(kMuted);
        const QString by = kApplicationTitle;
        p_.drawText(
            QPointF(kReportWidth - QFontMetricsF(small).horizontalAdvance(by), ascentOf(title)),
            by);
        p_.fillRect(QRectF(0, 95, kReportWidth, 6), kAccent);

        paintHeaderBox();
        double top = kHeaderTop + headerBoxHeight() + kSectionGap;
        paintSection(top, QStringLiteral("Результаты"));
        top += sectionHeight() + 10;
        top = paintTable(top) + 12;
        const QFont note = sansFont(kSmallPx);
        p_.setFont(note);
        p_.setPen(kMuted);
        p_.drawText(QRectF(0, top, kReportWidth, 40), Qt::AlignHCenter | Qt::AlignTop,
                    QStringLiteral("Проценты от возможного диапазона; выше 60 % — зелёным, "
                                   "ниже 40 % — красным."));
        top += 40 + kSectionGap;
        paintSection(top, QStringLiteral("Диаграмма D: все показатели"));
        top += sectionHeight() + 10;
        const double legend = kLegendHeight + (c_.reference ? kReferenceLegendHeight : 0);
        paintDiagram(top, kBodyBottom - legend - top);
    }

    static double headerBoxHeight() { return kHeaderRows * kHeaderRow + 2 * kHeaderPad; }

    // The rows of the header box: the four lines of details, or a group's first members.
    QStringList detailRows() const
    {
        QStringList details = c_.header.details;
        if (c_.group && !details.isEmpty() && details.front() == groupDetailsHead())
            details.removeFirst();
        if (details.size() <= kDetailRows)
            return details;
        QStringList rows = details.mid(0, kDetailRows - 1);
        rows << QStringLiteral("… и ещё %1").arg(details.size() - (kDetailRows - 1));
        return rows;
    }

    void paintHeaderBox()
    {
        const QRectF box(0, kHeaderTop, kReportWidth, headerBoxHeight());
        p_.fillRect(box, kPanelFill);
        p_.fillRect(QRectF(0, kHeaderTop, 8, box.height()), kAccent);

        const QFont key = sansFont(kBodyPx);
        const QFont value = sansFont(kBodyPx, true);
        const QFont detail = sansFont(kBodyPx);
        const double left = 40, leftValue = 330, right = 1000, rightValue = 1330;
        const double end = kReportWidth - kHeaderPad;
        auto row = [&](int index) { return kHeaderTop + kHeaderPad + index * kHeaderRow; };
        auto put = [&](double x, int index, const QString &text, const QFont &font,
                       const QColor &ink, double width) {
            p_.setFont(font);
            p_.setPen(ink);
            p_.drawText(QPointF(x, row(index) + ascentOf(font)), fitted(text, font, width));
        };
        put(left, 0, QStringLiteral("Код"), key, kMuted, leftValue - left);
        put(leftValue, 0, c_.header.code, value, kInk, right - leftValue - 30);
        put(right, 0, QStringLiteral("Дата"), key, kMuted, rightValue - right);
        put(rightValue, 0, c_.header.date, value, kInk, end - rightValue);
        put(left, 1, c_.nameCaption, key, kMuted, leftValue - left);
        put(leftValue, 1, c_.header.name, value, kInk, end - leftValue);
        put(left, 2,
            c_.group && !c_.anonymous ? QStringLiteral("Состав группы")
                                      : QStringLiteral("Сведения"),
            key, kMuted, leftValue - left);
        const QStringList details = detailRows();
        for (int i = 0; i < details.size(); ++i)
            put(leftValue, 2 + i, details[i], detail, kInk, end - leftValue);
        put(left, 6, QStringLiteral("N анкет"), key, kMuted, leftValue - left);
        put(leftValue, 6, QString::number(c_.count), value, kInk, right - leftValue - 30);
        put(right, 6, QStringLiteral("Дата отчёта"), key, kMuted, rightValue - right);
        put(rightValue, 6, c_.today, value, kInk, end - rightValue);
    }

    // The results table, painted cell by cell as the window's grid paints it, in the report's
    // colours.
    double paintTable(double top)
    {
        const QSize size = resultsTableSize();
        const double left = (kReportWidth - size.width() * kTableScale) / 2;
        p_.save();
        p_.translate(left, top);
        p_.scale(kTableScale, kTableScale);
        startReportPainting(p_);
        paintResultsTable(p_, resultsCells(c_.store), {Qt::white, kHeaderFill, kRule});
        p_.restore();
        return top + size.height() * kTableScale;
    }

    // View D over the wheel with its fourteen value labels, as the diagram panel shows it.
    void paintDiagram(double top, double height)
    {
        const double scale = height / kPanelSize.height();
        const double width = kPanelSize.width() * scale;
        const double left = (kReportWidth - width) / 2;
        const QSize overlay(kOverlayWidth, kOverlayHeight);

        p_.save();
        p_.translate(left, top);
        p_.scale(scale, scale);
        p_.setClipRect(QRect(QPoint(0, 0), kPanelSize));
        p_.fillRect(QRect(QPoint(0, 0), kPanelSize), Qt::white);
        p_.save();
        p_.translate(kOverlayAt);
        drawCultureWheel(p_, overlay);
        paintDiagramViews(p_, overlay, c_.store, DiagramKind::All,
                          c_.reference ? &c_.reference->store : nullptr);
        p_.restore();
        const auto looks = diagramLabelLooks(c_.store, overlay, Qt::black);
        for (int i = 1; i <= kDiagramLabelCount; ++i) {
            const DiagramLabelLook &look = looks[std::size_t(i)];
            const QFont font = reportFont(kSansSerif, kPanelLabelPx, look.bold);
            p_.setFont(font);
            p_.setPen(look.color);
            p_.drawText(QPointF(look.topLeft.X, look.topLeft.Y + ascentOf(font)), look.caption);
        }
        p_.restore();
        p_.setPen(QPen(kRule, 3));
        p_.setBrush(Qt::NoBrush);
        p_.drawRect(QRectF(left, top, width, height));

        paintDiagramLegend(top + height + 22, scale);
    }

    // scale: the diagram's, so that the reference's sample is dashed as its polygons are.
    void paintDiagramLegend(double top, double scale)
    {
        const struct
        {
            QColor color;
            QString text;
        } entries[] = {{kViewAColor, QStringLiteral("Шкалы (A)")},
                       {kViewBColor, QStringLiteral("Факторы (III) (B)")},
                       {kViewCColor, QStringLiteral("Факторы (II) (C)")}};
        const QFont font = sansFont(kSmallPx);
        const QFontMetricsF metrics(font);
        constexpr double sample = 70, gap = 20, spacing = 70;
        double total = 0;
        for (const auto &e : entries)
            total += sample + gap + metrics.horizontalAdvance(e.text) + spacing;
        double x = (kReportWidth - (total - spacing)) / 2;
        p_.setFont(font);
        for (const auto &e : entries) {
            const double middle = top + metrics.ascent() / 2 + 4;
            p_.fillRect(QRectF(x, middle - 3, sample, 6), e.color);
            x += sample + gap;
            p_.setPen(kInk);
            p_.drawText(QPointF(x, top + metrics.ascent()), e.text);
            x += metrics.horizontalAdvance(e.text) + spacing;
        }
        if (!c_.reference)
            return;
        // The reference's line below, its dashed sample standing for the dashed polygons.
        const double second = top + metrics.height() + 12;
        const double room = kReportWidth - sample - gap;
        const QString text =
            fittedReferenceCaption({}, referenceCaption(*c_.reference), metrics, room);
        const double width = sample + gap + metrics.horizontalAdvance(text);
        x = std::max(0.0, (kReportWidth - width) / 2);
        const double middle = second + metrics.ascent() / 2 + 4;
        p_.save();
        p_.translate(x, middle);
        p_.scale(scale, scale);
        const int sampleWidth = int(sample / scale);
        paintReferenceSample(p_, QRect(0, -kPolygonPenWidth, sampleWidth, 2 * kPolygonPenWidth),
                             kInk);
        p_.restore();
        p_.setPen(kInk);
        p_.drawText(QPointF(x + sample + gap, second + metrics.ascent()), text);
    }

    // ---- page 2
    static constexpr double chartsTop() { return sectionHeight() + 10; }
    static constexpr double chartsBottom()
    {
        const int rows = int(kChartViewKinds.size()) / kChartColumns;
        return chartsTop() + rows * kChartHeight + (rows - 1) * kChartGap;
    }

    // The six views, as a chart of the report's own paints them: its first frame is laid out
    // as a chart's first, the others after the view before.
    void paintChartPage()
    {
        paintSection(0, QStringLiteral("Графики A–F"));
        const double scale = kChartWidth / kChartSize.width();
        const QFont letterFont = reportFont(kSansSerif, kPanelLabelPx, true);
        ChartPicture chart(false);
        ProfileView view;
        view.header = c_.header;
        view.store = c_.store;
        view.reference = c_.reference;
        for (int i = 0; i < int(kChartViewKinds.size()); ++i) {
            const ChartViewEntry &entry = kChartViewKinds[std::size_t(i)];
            const QPointF at((i % kChartColumns) * (kChartWidth + kChartGap),
                             chartsTop() + (i / kChartColumns) * (kChartHeight + kChartGap));
            p_.save();
            p_.translate(at);
            p_.scale(scale, scale);
            startReportPainting(p_);
            p_.setClipRect(QRect(QPoint(0, 0), kChartSize));
            view.chart = entry.kind;
            chart.paint(p_, view, false);
            // The view letter where the window shows it, right-aligned at (408, 6).
            p_.setFont(letterFont);
            p_.setPen(Qt::black);
            const QString text(QChar(entry.letter));
            p_.drawText(QPointF(408 - QFontMetricsF(letterFont).horizontalAdvance(text),
                                6 + ascentOf(letterFont)),
                        text);
            p_.restore();
        }
    }

    // ---- the comparison with a reference
    static constexpr double comparisonTableTop() { return sectionHeight() + 10; }
    static constexpr double comparisonBottom()
    {
        const int rows = 1 + kCompareGroups + kSummaryCount + kScaleScoreCount;
        return comparisonTableTop() + rows * kCompareRow + 12 + kCompareNoteHeight;
    }

    // What the statistics say of the comparison: two groups are tested, a respondent is placed
    // within a reference group, and any other pair gets nothing.
    ComparisonStatistics comparisonStatisticsOf(const ReferenceProfile &reference) const
    {
        if (!c_.group)
            return comparisonStatistics(c_.store, nullptr, reference, c_.disclosure);
        if (c_.spread)
            return comparisonStatistics(c_.store, &c_.spread->moments, reference, c_.disclosure);
        return {};
    }

    // This profile, the reference and their difference for the summary values and the scales;
    // notable differences in bold. Two groups: each value's p, the differences that hold framed;
    // a respondent against a group: the respondent's percentile in it.
    void paintComparisonPage()
    {
        const ReferenceProfile &reference = *c_.reference;
        const ComparisonStatistics statistics = comparisonStatisticsOf(reference);
        using Kind = ComparisonStatistics::Kind;
        const bool tested = statistics.kind == Kind::Tests || statistics.kind == Kind::Percentile;
        const int columns = kCompareNumberColumns + (tested ? 1 : 0);
        const QFont titleFont = sansFont(kSectionPx, true);
        paintSection(0, fittedReferenceCaption(QStringLiteral("Сравнение: "),
                                               referenceCaption(reference),
                                               QFontMetricsF(titleFont), kReportWidth));

        const double numberWidth = (kReportWidth - kCompareNameWidth) / columns;
        const QFont body = sansFont(kSmallPx + 2);
        const QFont bold = sansFont(kSmallPx + 2, true);
        auto baselineIn = [](double y, const QFont &font) {
            return y + (kCompareRow - QFontMetricsF(font).height()) / 2 + ascentOf(font);
        };
        auto name = [&](double y, const QString &text, const QFont &font, const QColor &ink) {
            p_.setFont(font);
            p_.setPen(ink);
            p_.drawText(QPointF(20, baselineIn(y, font)),
                        fitted(text, font, kCompareNameWidth - 30));
        };
        auto number = [&](double y, int column, const QString &text, const QFont &font) {
            p_.setFont(font);
            p_.setPen(kInk);
            const double right = kCompareNameWidth + (column + 1) * numberWidth - 20;
            p_.drawText(
                QPointF(right - QFontMetricsF(font).horizontalAdvance(text), baselineIn(y, font)),
                text);
        };

        double y = comparisonTableTop();
        p_.fillRect(QRectF(0, y, kReportWidth, kCompareRow), kHeaderFill);
        name(y, QStringLiteral("Показатель"), bold, kInk);
        QStringList titles{QStringLiteral("Профиль, %"), QStringLiteral("База, %"),
                           QStringLiteral("Разность")};
        if (statistics.kind == Kind::Tests)
            titles << QStringLiteral("p");
        else if (statistics.kind == Kind::Percentile)
            titles << QStringLiteral("Процентиль");
        for (int c = 0; c < titles.size(); ++c)
            number(y, c, titles[c], bold);
        y += kCompareRow;

        const std::vector<ComparisonRow> rows = comparisonRows(c_.store, reference.store);
        const struct
        {
            std::size_t from;
            QString title;
        } groups[kCompareGroups] = {{0, QStringLiteral("Итоговые показатели")},
                                    {kSummaryCount, QStringLiteral("Шкалы")},
                                    {kSummaryCount + kScaleCount, QStringLiteral("Факторы (III)")}};
        std::size_t group = 0;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (group < kCompareGroups && groups[group].from == i) {
                p_.fillRect(QRectF(0, y, kReportWidth, kCompareRow), kPanelFill);
                name(y, groups[group].title, bold, kAccent);
                y += kCompareRow;
                ++group;
            }
            const ComparisonRow &row = rows[i];
            if ((i - groups[group - 1].from) % 2 == 1)
                p_.fillRect(QRectF(0, y, kReportWidth, kCompareRow), kStripe);
            name(y, row.name, body, kInk);
            number(y, 0, formatOneDecimal(row.value).trimmed(), body);
            number(y, 1, formatOneDecimal(row.reference).trimmed(), body);
            // The difference of the values as printed beside it, so that the row adds up.
            const double shown = shownDifference(row.value, row.reference);
            number(y, 2, differenceText(shown), isNotableDifference(shown) ? bold : body);
            if (statistics.kind == Kind::Tests) {
                const bool holds = statistics.tests.significant[i];
                number(y, 3, pValueText(statistics.tests.p[i]), holds ? bold : body);
                if (holds) {
                    // The difference and its p framed, as the heat map frames its cells.
                    p_.setPen(QPen(kInk, 3));
                    p_.setBrush(Qt::NoBrush);
                    p_.drawRect(QRectF(kCompareNameWidth + 2 * numberWidth + 4, y + 4,
                                       2 * numberWidth - 8, kCompareRow - 8));
                }
            } else if (statistics.kind == Kind::Percentile) {
                const auto &percentile = statistics.percentile[i];
                number(y, 3, percentile ? formatWhole(*percentile).trimmed() : QStringLiteral("—"),
                       body);
            }
            p_.fillRect(QRectF(0, y, kReportWidth, 1.5), kRule);
            y += kCompareRow;
        }
        p_.fillRect(QRectF(0, y, kReportWidth, 3), kRule);

        const QFont note = sansFont(kSmallPx);
        p_.setFont(note);
        p_.setPen(kMuted);
        QString text = QStringLiteral("Разность — профиль минус база сравнения, в процентных "
                                      "пунктах; разность от %1 пунктов выделена жирным.")
                           .arg(kNotableDifference);
        if (statistics.kind == Kind::Tests && reference.tests)
            text += QStringLiteral(" В рамке — отличия от остальной папки (без подгруппы) не "
                                   "меньше %1 пунктов, не объяснимые случайностью: критерий "
                                   "Уэлча, поправка Бенджамини — Хохберга на ячейки тепловой "
                                   "карты, 0,05; p — до поправки.")
                        .arg(pointsText(c_.disclosure.minDiff));
        else if (statistics.kind == Kind::Tests)
            text += QStringLiteral(" В рамке — разности не меньше %1 пунктов, не объяснимые "
                                   "случайностью: критерий Уэлча, поправка Бенджамини — Хохберга "
                                   "на 36 показателей страницы, 0,05; p — до поправки.")
                        .arg(pointsText(c_.disclosure.minDiff));
        else if (statistics.kind == Kind::Withheld)
            text += QStringLiteral(" Проверка различий не показывается: в группе меньше %1 анкет, "
                                   "и по ней можно было бы восстановить ответы участников.")
                        .arg(statistics.minSpread);
        else if (statistics.kind == Kind::Percentile)
            text += QStringLiteral(" Процентиль — доля участников группы сравнения, у которых "
                                   "значение ниже, чем у профиля (равные считаются наполовину)") +
                    (reference.memberValues.empty()
                         ? QStringLiteral("; состав группы скрыт, и доля оценена по её среднему "
                                          "и стандартному отклонению.")
                         : QStringLiteral("."));
        p_.drawText(QRectF(0, y + 12, kReportWidth, kCompareNoteHeight),
                    Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    }

    // ---- the group's spread
    static QFont warningFont() { return sansFont(kBodyPx, true); }
    double warningLineHeight() const { return QFontMetricsF(warningFont()).lineSpacing(); }
    double spreadHeight() const
    {
        return sectionHeight() + kSpreadRow * (kSummaryCount + 1) + 12 + kSpreadNoteHeight +
               double(warningLines_.size()) * warningLineHeight() + kSectionGap;
    }

    // n, mean, sd, minimum and maximum (not an anonymous subgroup's: with a few members they
    // give a member's own values away), the 95 % confidence interval of the mean and, for the
    // factors (II), their blocks' agreement rwg(j).
    void paintSpread(double top)
    {
        paintSection(top, QStringLiteral("Разброс итоговых показателей по группе, %"));
        top += sectionHeight();
        const GroupSpread &spread = *c_.spread;
        const Agreement agreement = agreementOf(spread.moments);
        const int numbers = c_.anonymous ? 3 : 5;
        // The columns' right ends, in units of a number column; the interval takes two.
        std::vector<double> rights;
        for (int c = 1; c <= numbers; ++c)
            rights.push_back(c);
        rights.push_back(numbers + 2);
        rights.push_back(numbers + 3);
        const double unit = (kReportWidth - kSpreadNameWidth) / rights.back();
        const QFont head = sansFont(kSmallPx + 2, true);
        const QFont body = sansFont(kSmallPx + 2);
        QStringList titles = spreadTitles().mid(0, numbers + 1);
        titles << QStringLiteral("ДИ 95 %") << spreadStatisticsTitles().back();
        auto cells = [&](double y, const QStringList &texts, const QFont &font) {
            p_.setFont(font);
            p_.setPen(kInk);
            const double baseline =
                y + (kSpreadRow - QFontMetricsF(font).height()) / 2 + ascentOf(font);
            p_.drawText(QPointF(20, baseline), fitted(texts[0], font, kSpreadNameWidth - 30));
            for (int c = 1; c < texts.size(); ++c) {
                const double right = kSpreadNameWidth + rights[std::size_t(c - 1)] * unit - 20;
                p_.drawText(
                    QPointF(right - QFontMetricsF(font).horizontalAdvance(texts[c]), baseline),
                    texts[c]);
            }
        };
        p_.fillRect(QRectF(0, top, kReportWidth, kSpreadRow), kHeaderFill);
        cells(top, titles, head);
        for (int i = 1; i <= kSummaryCount; ++i) {
            const double y = top + i * kSpreadRow;
            if (i % 2 == 0)
                p_.fillRect(QRectF(0, y, kReportWidth, kSpreadRow), kStripe);
            const Spread &s = spread.summary[std::size_t(i)];
            QStringList texts{ProfileStore::SummaryNames(i), QString::number(s.n),
                              formatOneDecimal(s.mean).trimmed(), formatOneDecimal(s.sd).trimmed()};
            if (!c_.anonymous)
                texts << formatOneDecimal(s.min).trimmed() << formatOneDecimal(s.max).trimmed();
            texts << intervalText(clippedToPercent(meanInterval95(s.n, s.mean, s.sd)));
            texts << (hasAgreement(i - 1) ? shareText(valueAgreement(agreement, i - 1))
                                          : QString());
            cells(y, texts, body);
            p_.fillRect(QRectF(0, y, kReportWidth, 1.5), kRule);
        }
        double y = top + (kSummaryCount + 1) * kSpreadRow;
        p_.fillRect(QRectF(0, y, kReportWidth, 3), kRule);
        const QFont note = sansFont(kSmallPx);
        p_.setFont(note);
        p_.setPen(kMuted);
        p_.drawText(QRectF(0, y + 12, kReportWidth, kSpreadNoteHeight),
                    Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                    QStringLiteral("ДИ 95 % — доверительный интервал среднего, в пределах 0–100; "
                                   "rwg(j) — согласие "
                                   "участников в блоке фактора (II), ниже %1 среднее плохо "
                                   "описывает группу.")
                        .arg(shareText(kAgreementThreshold)));
        y += 12 + kSpreadNoteHeight;
        p_.setFont(warningFont());
        p_.setPen(kWarningInk);
        for (const QString &line : warningLines_) {
            p_.drawText(QPointF(0, y + ascentOf(warningFont())), line);
            y += warningLineHeight();
        }
    }

    QPainter &p_;
    const ReportContent &c_;
    QFont analysisFont_;
    std::vector<FlowItem> items_;
    std::vector<FlowPlace> places_;
    QStringList lines_;
    QStringList warningLines_; // the low agreement warning under the spread
    int pages_ = 2;
    int flowPages_ = 2;                         // the pages up to the end of the text
    std::unique_ptr<BreakdownPages> breakdown_; // the heat map's pages after the text
    std::unique_ptr<TrendPages> trend_;         // the trend's pages last
    int trendFirstPage_ = 0;
};

static_assert(ReportPainter::comparisonEndsAboveTheCharts(),
              "the text after the comparison page flows as after the charts");

} // namespace

QStringList reportAnalysisParagraphs(const QString &analysis)
{
    const QStringList lines = QString(analysis).remove(QLatin1Char('\r')).split(QLatin1Char('\n'));
    QStringList paragraphs;
    paragraphs.reserve(std::min<qsizetype>(lines.size(), 200));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        paragraphs << lines[i];
        if (lines[i] != groupDetailsHead())
            continue;
        // The members run to the first empty line.
        qsizetype end = i + 1;
        while (end < lines.size() && !lines[end].isEmpty())
            ++end;
        const qsizetype members = end - i - 1;
        if (members <= kReportMembersListed)
            continue;
        paragraphs << lines.mid(i + 1, kReportMembersListed);
        paragraphs << QStringLiteral("… и ещё %1").arg(members - kReportMembersListed);
        i = end - 1;
    }
    return paragraphs;
}

QPageLayout reportPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                       QPageLayout::Millimeter);
}

std::vector<FlowPlace> flowPieces(const std::vector<FlowItem> &items, double firstTop,
                                  double firstRoom, double pageRoom)
{
    std::vector<FlowPlace> places;
    places.reserve(items.size());
    int page = 0;
    double top = firstTop;
    double bottom = firstTop + firstRoom;
    for (std::size_t i = 0; i < items.size(); ++i) {
        double needed = items[i].height;
        for (std::size_t k = i; k + 1 < items.size() && items[k].keepWithNext; ++k)
            needed += items[k + 1].height;
        const bool pageIsEmpty = page == 0 ? top == firstTop : top == 0;
        if (top + needed > bottom && !(pageIsEmpty && page > 0)) {
            ++page;
            top = 0;
            bottom = pageRoom;
        }
        places.push_back({page, top});
        top += items[i].height;
    }
    return places;
}

int paintReport(QPagedPaintDevice &device, const ReportContent &content)
{
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    ReportPainter report(painter, content);
    for (int page = 0; page < report.pages(); ++page) {
        if (!startReportPage(device, painter, page))
            return 0;
        report.paintPage(page);
    }
    painter.end();
    return report.pages();
}

QByteArray reportPdf(const ReportContent &content)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        PdfDocument document(&buffer);
        setUpReportWriter(document);
        document.setTitle(
            shownBeginning(pageTitle(content) + QStringLiteral(": ") + content.header.code +
                           QStringLiteral(". ") + content.header.name +
                           (content.title.isEmpty() || content.title == content.header.name
                                ? QString()
                                : QStringLiteral(" (") + content.title + QLatin1Char(')'))));
        if (paintReport(document, content) == 0)
            return {};
    }
    return buffer.data();
}
