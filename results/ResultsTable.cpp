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

void setupResultsGrid(TStringGrid &grid)
{
    grid.setColCount(kResultsCols);
    grid.setRowCount(kResultsRows);
    grid.setFixedRows(1);
    grid.setDefaultRowHeight(kGridRowHeight);
    grid.setFont(pixelFont(kSansSerif, kResultsFontPixelSize));
    grid.setOnDrawCell(sgResFDrawCell);
}

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

void fillResultsTable(TStringGrid &grid, const ProfileStore &store, const QLocale &locale,
                      const ProfileStore *reference, const QString &referenceName)
{
    for (int col = 0; col < kResultsCols; ++col)
        grid.setColWidth(col, kResultsColWidths[std::size_t(col)]);
    for (int col = 0; col < kResultsCols; ++col)
        grid.setCell(col, 0, QString::fromUtf8(kHeaders[col]));

    // Each value by where the stores keep it, so that the reference's is read alike.
    struct ComparedCell
    {
        int col, row;
        double value, reference;
    };
    std::vector<ComparedCell> compared;
    const auto put = [&](int col, int row, int nameIndex, auto score) {
        const double value = score(store);
        grid.setCell(col, row, ProfileStore::SummaryNames(nameIndex));
        grid.setCell(col + 1, row, formatWhole(value, locale));
        if (reference)
            compared.push_back({col + 1, row, value, score(*reference)});
    };
    const auto summary = [](int i) {
        return [i](const ProfileStore &s) { return s.SummaryScores[std::size_t(i)]; };
    };
    const auto scale = [](int i) {
        return [i](const ProfileStore &s) { return s.ScaleScores[std::size_t(i)]; };
    };
    for (int i = 0; i < 2; ++i)
        put(0, 1 + i * kFactorISpan, kFirstFactorI + i, summary(kFirstFactorI + i));
    for (int i = 0; i < 4; ++i)
        put(2, 1 + i * kFactorIISpan, kFirstFactorII + i, summary(kFirstFactorII + i));
    for (int j = 1; j <= kFactorIIICount; ++j)
        put(4, 1 + (j - 1) * kFactorIIISpan, j % 2 == 1 ? kMotivation : kClimate,
            scale(kScaleCount + j));
    for (int row = 1; row <= kScaleCount; ++row)
        put(6, row, kFirstBaseScale + (row - 1) % kBaseScaleCount, scale(row));

    if (!reference) {
        grid.setHintSource({});
        return;
    }
    grid.setHintSource([compared = std::move(compared), locale, referenceName](int col, int row) {
        for (const ComparedCell &c : compared)
            if (c.col == col && c.row == row)
                return comparisonHint(c.value, c.reference, referenceName, locale);
        return QString();
    });
}

void sgResFDrawCell(TStringGrid &grid, QPainter &painter, int col, int row, const QRect &rect,
                    GridDrawState state)
{
    QColor back = grid.color();
    if (state & gdSelected)
        back = Qt::white;
    else if (state & gdFixed)
        back = grid.fixedColor();
    painter.fillRect(rect, back);

    const QString text = grid.cell(col, row);
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
