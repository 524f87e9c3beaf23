// The comparison as a reader sees it: a difference signed with one decimal and marked when it
// shows 10 points or more, and the scales named where the results table places them.

#include "Comparison.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <iomanip>

namespace {

struct Shown
{
    double difference;
    const char *text; // with the Russian decimal comma
    bool notable;
};

void PrintTo(const Shown &s, std::ostream *os)
{
    *os << std::setprecision(17) << s.difference << " -> \"" << s.text << '"';
}

class DifferenceText : public testing::TestWithParam<Shown>
{
};

// What is shown and what is bold go together: a difference that reads "10,0" is notable.
TEST_P(DifferenceText, SignOneDecimalAndMark)
{
    EXPECT_EQ(differenceText(GetParam().difference, QLocale(QLocale::Russian)),
              QString::fromUtf8(GetParam().text));
    EXPECT_EQ(isNotableDifference(GetParam().difference), GetParam().notable);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DifferenceText,
    testing::Values(Shown{12.5, "+12,5", true}, Shown{-33.854166666666664, "-33,9", true},
                    Shown{6.25, "+6,3", false}, Shown{0, "0,0", false},
                    // Rounds to zero either side: no sign, so no "-0,0" beside a "+0,0".
                    Shown{-0.04, "0,0", false}, Shown{0.049, "0,0", false},
                    Shown{9.94, "+9,9", false}, Shown{9.96, "+10,0", true},
                    Shown{-9.96, "-10,0", true}, Shown{10, "+10,0", true},
                    Shown{-10.04, "-10,0", true}, Shown{-100, "-100,0", true}));

// The difference of the values as shown, so that the columns add up, and bold by it.
TEST(ShownDifference, SubtractsTheShownValues)
{
    const struct
    {
        double value, reference;
        const char *text;
        bool notable;
    } table[] = {{56.26, 55.74, "+0,6", false}, {200.0 / 3, 64.34, "+2,4", false},
                 {9.96, 0, "+10,0", true},      {10.04, 0.05, "+9,9", false},
                 {55.74, 56.26, "-0,6", false}, {0.04, -0.04, "0,0", false}};
    for (const auto &row : table) {
        const double shown = shownDifference(row.value, row.reference);
        EXPECT_EQ(differenceText(shown, QLocale(QLocale::Russian)), QString::fromUtf8(row.text));
        EXPECT_EQ(isNotableDifference(shown), row.notable) << row.value;
    }
}

TEST(ScaleCaption, NamesTheFactorIIAboveTheScaleOrCell)
{
    const struct
    {
        int scale;
        const char *name;
    } table[] = {{1, "Инновация / Поощрение"},
                 {4, "Инновация / Коммуникация"},
                 {5, "Адаптация / Поощрение"},
                 {16, "Интеграция / Коммуникация"},
                 {17, "Инновация / Мотивация"},
                 {18, "Инновация / Климат"},
                 {19, "Адаптация / Мотивация"},
                 {24, "Интеграция / Климат"},
                 {0, ""},
                 {25, ""}};
    for (const auto &row : table)
        EXPECT_EQ(scaleCaption(row.scale), QString::fromUtf8(row.name)) << row.scale;
}

} // namespace
