#include "ResultsGrid.h"

#include <QFontInfo>
#include <gtest/gtest.h>
#include <ostream>

namespace {

const QLocale kC = QLocale::c();

// A store whose every shown value is distinct: scales i show i, factor (III) cells 20 + j,
// summaries 50 + i.
ProfileStore distinctStore()
{
    ProfileStore store;
    for (int i = 1; i <= kScaleCount; ++i)
        store.ScaleScores[i] = i + 0.4;
    for (int j = 1; j <= kFactorIIICount; ++j)
        store.ScaleScores[kScaleCount + j] = 20 + j - 0.3;
    for (int i = 1; i <= kSummaryCount; ++i)
        store.SummaryScores[i] = 50 + i + 0.2;
    return store;
}

// The whole table for distinctStore(), row by row.
const char *const kExpectedTable[kResultsRows][kResultsCols] = {
    {"Факторы (I)", "%", "Ф. (II)", "%", "Ф. (III)", "%", "Шкалы", "%"},
    {"Развитие", " 61", "Инновация", " 51", "Мотивация", " 21", "Поощрение", "  1"},
    {"", "", "", "", "", "", "Вовлечение", "  2"},
    {"", "", "", "", "Климат", " 22", "Согласие", "  3"},
    {"", "", "", "", "", "", "Коммуникация", "  4"},
    {"", "", "Адаптация", " 52", "Мотивация", " 23", "Поощрение", "  5"},
    {"", "", "", "", "", "", "Вовлечение", "  6"},
    {"", "", "", "", "Климат", " 24", "Согласие", "  7"},
    {"", "", "", "", "", "", "Коммуникация", "  8"},
    {"Взаимодействие", " 62", "Конкуренция", " 53", "Мотивация", " 25", "Поощрение", "  9"},
    {"", "", "", "", "", "", "Вовлечение", " 10"},
    {"", "", "", "", "Климат", " 26", "Согласие", " 11"},
    {"", "", "", "", "", "", "Коммуникация", " 12"},
    {"", "", "Интеграция", " 54", "Мотивация", " 27", "Поощрение", " 13"},
    {"", "", "", "", "", "", "Вовлечение", " 14"},
    {"", "", "", "", "Климат", " 28", "Согласие", " 15"},
    {"", "", "", "", "", "", "Коммуникация", " 16"},
};

class ResultsTableTest : public ::testing::Test
{
protected:
    void SetUp() override { setupResultsGrid(grid); }

    void expectWholeTable()
    {
        for (int row = 0; row < kResultsRows; ++row)
            for (int col = 0; col < kResultsCols; ++col)
                EXPECT_EQ(grid.cell(col, row), QString::fromUtf8(kExpectedTable[row][col]))
                    << "col " << col << " row " << row;
    }

    TStringGrid grid;
};

TEST_F(ResultsTableTest, SetupShapesTheGrid)
{
    EXPECT_EQ(grid.colCount(), 8);
    EXPECT_EQ(grid.rowCount(), 17);
    EXPECT_EQ(grid.fixedRows(), 1);
    EXPECT_EQ(grid.defaultRowHeight(), 17);
    EXPECT_EQ(grid.font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(grid.font().pixelSize(), 13);
    EXPECT_FALSE(grid.font().bold());
    EXPECT_EQ(QFontInfo(grid.font()).family(), QStringLiteral("Liberation Sans"));
    // Nothing is written before the first fill.
    EXPECT_EQ(grid.cell(0, 0), QString());
}

TEST_F(ResultsTableTest, FillLaysTheProfileOutAsATree)
{
    fillResultsTable(grid, distinctStore(), kC);
    expectWholeTable();
    for (int col = 0; col < kResultsCols; ++col)
        EXPECT_EQ(grid.colWidth(col), kResultsColWidths[std::size_t(col)]);
    EXPECT_EQ(grid.colWidth(0), 134);
    EXPECT_EQ(grid.colWidth(6), 117);
}

TEST_F(ResultsTableTest, EveryFillRewritesWidthsHeadersNamesAndValues)
{
    fillResultsTable(grid, distinctStore(), kC);
    grid.setColWidth(3, 72);
    grid.setCell(1, 0, QStringLiteral("x"));
    grid.setCell(6, 16, QStringLiteral("x"));
    grid.setCell(7, 16, QStringLiteral("x"));

    ProfileStore other = distinctStore();
    other.ScaleScores[5] = 99.0;
    other.SummaryScores[12] = -3.0;
    fillResultsTable(grid, other, kC);
    EXPECT_EQ(grid.colWidth(3), 35);
    EXPECT_EQ(grid.cell(1, 0), QStringLiteral("%"));
    EXPECT_EQ(grid.cell(6, 16), QStringLiteral("Коммуникация"));
    EXPECT_EQ(grid.cell(7, 16), QStringLiteral(" 16"));
    EXPECT_EQ(grid.cell(7, 5), QStringLiteral(" 99"));
    EXPECT_EQ(grid.cell(1, 9), QStringLiteral(" -3"));

    // Cells outside the layout are never written, so whatever they hold stays.
    grid.setCell(1, 2, QStringLiteral("keep"));
    fillResultsTable(grid, distinctStore(), kC);
    EXPECT_EQ(grid.cell(1, 2), QStringLiteral("keep"));
}

TEST_F(ResultsTableTest, TheDecimalSeparatorNeverShows)
{
    fillResultsTable(grid, distinctStore(), QLocale(QLocale::German, QLocale::Germany));
    expectWholeTable();
}

// Percentages are whole numbers three characters wide, halves rounded away from zero.
struct Shown
{
    double value;
    const char *text;
};

void PrintTo(const Shown &s, std::ostream *os)
{
    *os << s.value << " -> '" << s.text << "'";
}

class PercentText : public ::testing::TestWithParam<Shown>
{
};

TEST_P(PercentText, InEveryValueColumn)
{
    TStringGrid grid;
    setupResultsGrid(grid);
    ProfileStore store;
    store.SummaryScores[11] = GetParam().value;
    store.SummaryScores[4] = GetParam().value;
    store.ScaleScores[24] = GetParam().value;
    store.ScaleScores[9] = GetParam().value;
    fillResultsTable(grid, store, kC);
    const QString expected = QString::fromLatin1(GetParam().text);
    EXPECT_EQ(grid.cell(1, 1), expected);
    EXPECT_EQ(grid.cell(3, 13), expected);
    EXPECT_EQ(grid.cell(5, 15), expected);
    EXPECT_EQ(grid.cell(7, 9), expected);
}

INSTANTIATE_TEST_SUITE_P(Rounding, PercentText,
                         ::testing::Values(Shown{60.4, " 60"}, Shown{60.5, " 61"},
                                           Shown{39.5, " 40"}, Shown{39.4, " 39"},
                                           Shown{2.5, "  3"}, Shown{5, "  5"}, Shown{100, "100"},
                                           Shown{108.33, "108"}, Shown{0, "  0"},
                                           Shown{-0.4, " -0"}, Shown{-8.33, " -8"},
                                           Shown{-12.5, "-13"}, Shown{99.5, "100"}));

} // namespace

TEST_F(ResultsTableTest, ComparisonHintsGiveTheReferenceAndTheDifferenceOfTheirOwnCell)
{
    const QLocale ru(QLocale::Russian, QLocale::Russia);
    ProfileStore reference = distinctStore();
    for (double &v : reference.ScaleScores)
        v = 100 - v;
    for (double &v : reference.SummaryScores)
        v = 100 - v;
    ProfileStore profile = distinctStore(); // shown 61,2 and 38,8: +22,4, not the +22,5 between
    profile.SummaryScores[11] = 61.24;
    reference.SummaryScores[11] = 38.76;
    fillResultsTable(grid, profile, ru, &reference, "Отдел");
    const struct
    {
        int col, row;
        const char *hint;
    } cases[] = {
        {1, 1, "Профиль: 61,2%\nСравнение с «Отдел»: 38,8%, разница +22,4 п.п."}, // Развитие
        {3, 5, "Профиль: 52,2%\nСравнение с «Отдел»: 47,8%, разница +4,4 п.п."}, // Адаптация
        {5, 3, "Профиль: 21,7%\nСравнение с «Отдел»: 78,3%, разница -56,6 п.п."}, // Климат
        {7, 16, "Профиль: 16,4%\nСравнение с «Отдел»: 83,6%, разница -67,2 п.п."}, // Коммуникация
    };
    for (const auto &c : cases)
        EXPECT_EQ(grid.cellHint(c.col, c.row), QString::fromUtf8(c.hint)) << c.col << "," << c.row;
    int hints = 0;
    for (int row = 0; row < kResultsRows; ++row)
        for (int col = 0; col < kResultsCols; ++col) {
            const bool value = col % 2 == 1 && row > 0 && !grid.cell(col, row).isEmpty();
            EXPECT_EQ(!grid.cellHint(col, row).isEmpty(), value) << col << "," << row;
            hints += value;
        }
    EXPECT_EQ(hints, 2 + 4 + 8 + 16);

    fillResultsTable(grid, distinctStore(), ru);
    for (int row = 0; row < kResultsRows; ++row)
        for (int col = 0; col < kResultsCols; ++col)
            EXPECT_TRUE(grid.cellHint(col, row).isEmpty()) << col << "," << row;
}
