#include "ResultsTable.h"

#include "Comparison.h"
#include "Fonts.h"
#include "NumberFormat.h"
#include "ShapedText.h"

#include <QFont>
#include <QPainter>

namespace {

const char *const kHeaders[kResultsCols] = {"Факторы (I)", "%", "Ф. (II)", "%",
                                            "Ф. (III)",    "%", "Шкалы",   "%"};

// Rows of each level of the tree: a factor (I) spans eight rows, a factor (II) four, a factor
// (III) cell two and a scale one; a name and its value sit in the first row of the span.
constexpr int kFactorISpan = 8;
constexpr int kFactorIISpan = 4;
constexpr int kFactorIIISpan = 2;

// Summary indexes of the names the tree uses.
constexpr int kFirstFactorI = 11;  // "Развитие", then "Взаимодействие"
constexpr int kFirstFactorII = 1;  // "Инновация" .. "Интеграция"
constexpr int kMotivation = 9;     // odd factor (III) cells
constexpr int kClimate = 10;       // even factor (III) cells
constexpr int kFirstBaseScale = 5; // "Поощрение" .. "Коммуникация"
constexpr int kBaseScaleCount = 4;

bool isValueColumn(int col)
{
    return col % 2 == 1;
}

} // namespace

QString comparisonHint(double value, double reference, const QString &referenceName,
                       const QLocale &locale)
{
    // A hint is one glance: a name longer than that keeps its ends.
    constexpr qsizetype kHintNameLength = 100;
    const QString compared = referenceName.isEmpty()
                                 ? QStringLiteral("Сравнение")
                                 : QStringLiteral("Сравнение с «%1»")
                                       .arg(shownReferenceCaption(referenceName, kHintNameLength));
    // The name comes after the first line, so that a name that looks like a tag never makes
    // the tool tip read the hint as rich text.
    return QStringLiteral("Профиль: %1%\n%2: %3%, разница %4 п.п.")
        .arg(formatOneDecimal(value, locale).trimmed(), compared,
             formatOneDecimal(reference, locale).trimmed(),
             differenceText(shownDifference(value, reference), locale));
}

QString shareText(const std::optional<double> &share, const QLocale &locale)
{
    return share ? formatFixed(*share, 2, 0, locale.decimalPoint()) : QStringLiteral("—");
}

QString intervalText(const std::optional<std::array<double, 2>> &interval, const QLocale &locale)
{
    if (!interval)
        return QStringLiteral("—");
    return formatOneDecimal((*interval)[0], locale).trimmed() + QStringLiteral("–") +
           formatOneDecimal((*interval)[1], locale).trimmed();
}

bool hasAgreement(int index)
{
    return index >= 0 && index < kValueCount && (index < kFactorIIBlocks || index >= kSummaryCount);
}

std::optional<double> valueAgreement(const Agreement &agreement, int index)
{
    if (!hasAgreement(index))
        return std::nullopt;
    return index < kFactorIIBlocks ? agreement.blocks[std::size_t(index)]
                                   : agreement.scales[std::size_t(index - kSummaryCount)];
}

QString lowAgreementWarning(const Agreement &agreement, const QLocale &locale)
{
    QStringList low;
    for (int b = 0; b < kFactorIIBlocks; ++b)
        if (const auto r = agreement.blocks[std::size_t(b)]; r && *r < kAgreementThreshold)
            low << ProfileStore::SummaryNames(b + 1) + QLatin1Char(' ') + shareText(r, locale);
    if (low.isEmpty())
        return {};
    return QStringLiteral("Внимание: участники группы мало согласны между собой (rwg(j) ниже %1: "
                          "%2), и среднее группы плохо описывает их.")
        .arg(shareText(kAgreementThreshold, locale), low.join(QStringLiteral(", ")));
}

QString pValueText(const std::optional<double> &p, const QLocale &locale)
{
    if (!p)
        return QStringLiteral("—");
    if (*p < 0.001)
        return QStringLiteral("p < ") + formatFixed(0.001, 3, 0, locale.decimalPoint());
    return QStringLiteral("p = ") + formatFixed(*p, 3, 0, locale.decimalPoint());
}

QStringList statisticsHintLines(int index, const ResultsStatistics &statistics,
                                const QLocale &locale)
{
    QStringList lines;
    if (index < 0 || index >= kValueCount)
        return lines;
    if (statistics.group && statistics.group->spreadWithheld()) {
        lines << QStringLiteral("Разброс не показывается: в подгруппе меньше %1 анкет")
                     .arg(statistics.minSpread);
    } else if (statistics.group) {
        lines << QStringLiteral("ДИ 95 %: ") +
                     intervalText(clippedToPercent(statistics.group->value(index).ci95()), locale);
        if (hasAgreement(index)) {
            const auto r = valueAgreement(statistics.agreement, index);
            QString line = QStringLiteral("Согласие rwg(j): ") + shareText(r, locale);
            if (r && *r < kAgreementThreshold)
                line += QStringLiteral(" — среднее плохо описывает группу");
            lines << line;
        }
    }
    const ComparisonStatistics &c = statistics.comparison;
    const std::size_t i = std::size_t(index);
    if (c.kind == ComparisonStatistics::Kind::Tests) {
        if (!c.tests.p[i])
            lines << QStringLiteral("Значимость разницы не определена");
        else
            lines << (c.tests.significant[i] ? QStringLiteral("Разница значима")
                                             : QStringLiteral("Разница не значима")) +
                         QStringLiteral(" (критерий Уэлча, ") + pValueText(c.tests.p[i], locale) +
                         QLatin1Char(')');
    } else if (c.kind == ComparisonStatistics::Kind::Withheld) {
        lines << QStringLiteral("Проверка различий не показывается: в группе меньше %1 анкет")
                     .arg(c.minSpread);
    } else if (c.kind == ComparisonStatistics::Kind::Percentile) {
        lines << (c.percentile[i] ? QStringLiteral("Процентиль в группе сравнения: ") +
                                        formatWhole(*c.percentile[i], locale).trimmed()
                                  : QStringLiteral("Процентиль в группе сравнения не определён"));
    }
    return lines;
}

QString groupValueHint(double value, int index, const ResultsStatistics &statistics,
                       const QLocale &locale)
{
    return (QStringList{QStringLiteral("Среднее группы: %1%")
                            .arg(formatOneDecimal(value, locale).trimmed())} +
            statisticsHintLines(index, statistics, locale))
        .join(QLatin1Char('\n'));
}

std::vector<ResultsCell> resultsCells(const ProfileStore &store, const QLocale &locale,
                                      const ProfileStore *reference)
{
    std::vector<ResultsCell> cells;
    for (int col = 0; col < kResultsCols; ++col)
        cells.push_back({col, 0, QString::fromUtf8(kHeaders[col])});

    // Each value by where the stores keep it, so that the reference's is read alike.
    const auto put = [&](int col, int row, int nameIndex, auto score) {
        const double value = score(store);
        cells.push_back({col, row, ProfileStore::SummaryNames(nameIndex)});
        ResultsCell cell{col + 1, row, formatWhole(value, locale)};
        cell.index = score.index;
        cell.value = value;
        if (reference) {
            cell.compared = true;
            cell.reference = score(*reference);
        }
        cells.push_back(std::move(cell));
    };
    // A value where the store keeps it, and its index as ValueMoments::value.
    struct Score
    {
        bool summary;
        int i;
        int index;
        double operator()(const ProfileStore &s) const
        {
            return summary ? s.SummaryScores[std::size_t(i)] : s.ScaleScores[std::size_t(i)];
        }
    };
    const auto summary = [](int i) { return Score{true, i, i - 1}; };
    const auto scale = [](int i) { return Score{false, i, kSummaryCount + i - 1}; };
    for (int i = 0; i < 2; ++i)
        put(0, 1 + i * kFactorISpan, kFirstFactorI + i, summary(kFirstFactorI + i));
    for (int i = 0; i < 4; ++i)
        put(2, 1 + i * kFactorIISpan, kFirstFactorII + i, summary(kFirstFactorII + i));
    for (int j = 1; j <= kFactorIIICount; ++j)
        put(4, 1 + (j - 1) * kFactorIIISpan, j % 2 == 1 ? kMotivation : kClimate,
            scale(kScaleCount + j));
    for (int row = 1; row <= kScaleCount; ++row)
        put(6, row, kFirstBaseScale + (row - 1) % kBaseScaleCount, scale(row));
    return cells;
}

QFont resultsFont()
{
    return pixelFont(kSansSerif, kResultsFontPixelSize);
}

void paintResultsCell(QPainter &painter, const QString &text, int col, int row, const QRect &rect,
                      const QColor &back)
{
    painter.fillRect(rect, back);

    QFont font = painter.font();
    font.setBold(!isValueColumn(col) || row == 0);
    QColor ink = Qt::black;

    // The threshold reads the shown whole number, so 60.4 (shown 60) stays plain.
    if (row >= 1 && isValueColumn(col) && !text.trimmed().isEmpty()) {
        bool ok = false;
        const double shown = text.trimmed().toDouble(&ok);
        if (ok && shown > kHighMark) {
            font.setBold(true);
            ink = kHighColor;
        } else if (ok && shown < kLowMark) {
            font.setBold(true);
            ink = kLowColor;
        }
    }
    painter.setFont(font);
    painter.setPen(ink);

    // The cell's right edge is exclusive in this reckoning: x + width, not QRect::right().
    const QFontMetricsF metrics(painter.font(), painter.device());
    const qreal rightEnd = rect.x() + rect.width() - kTextRightInset;
    const qreal baseline = rect.top() + kTextTopInset + metrics.ascent();
    painter.setBackgroundMode(Qt::TransparentMode);
    drawShapedText(painter, QPointF(rightEnd - shapedAdvance(painter, text), baseline), text);
}

QSize resultsTableSize()
{
    constexpr int line = kResultsLineWidth;
    int width = line;
    for (int w : kResultsColWidths)
        width += w + line;
    return {width, line + kResultsRows * (kGridRowHeight + line)};
}

void paintResultsTable(QPainter &painter, const std::vector<ResultsCell> &cells,
                       const ResultsTableColors &colors)
{
    std::array<std::array<QString, kResultsCols>, kResultsRows> texts;
    for (const ResultsCell &cell : cells)
        if (cell.row >= 0 && cell.row < kResultsRows && cell.col >= 0 && cell.col < kResultsCols)
            texts[std::size_t(cell.row)][std::size_t(cell.col)] = cell.text;
    const QSize size = resultsTableSize();
    constexpr int line = kResultsLineWidth;
    const QFont font = resultsFont();
    int y = line;
    for (int row = 0; row < kResultsRows; ++row) {
        int x = line;
        for (int col = 0; col < kResultsCols; ++col) {
            const int width = kResultsColWidths[std::size_t(col)];
            painter.setFont(font);
            paintResultsCell(painter, texts[std::size_t(row)][std::size_t(col)], col, row,
                             QRect(x, y, width, kGridRowHeight),
                             row == 0 ? colors.header : colors.cell);
            x += width + line;
        }
        y += kGridRowHeight + line;
    }
    // Lines between all cells, the outer frame included.
    int x = 0;
    for (int col = 0; col <= kResultsCols; ++col) {
        painter.fillRect(QRect(x, 0, line, size.height()), colors.line);
        x += col < kResultsCols ? kResultsColWidths[std::size_t(col)] + line : 0;
    }
    y = 0;
    for (int row = 0; row <= kResultsRows; ++row) {
        painter.fillRect(QRect(0, y, size.width(), line), colors.line);
        y += kGridRowHeight + line;
    }
}
