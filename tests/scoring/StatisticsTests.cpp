// The distributions and the figures' edges in-process, against values R printed
// (qt, pt, p.adjust); the figures of whole folders are checked against R by
// check_statistics.py.
#include "Statistics.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void expectNear(double ours, double r, const char *what)
{
    EXPECT_NEAR(ours, r, 1e-9 * std::fabs(r)) << what;
}

TEST(StudentT, QuantilesAndProbabilitiesAsR)
{
    const struct
    {
        double p, df, t;
    } quantiles[] = {{0.975, 1, 12.70620473617469415}, {0.975, 2.5, 3.57465484200369188},
                     {0.975, 30, 2.04227245630123777}, {0.975, 1e5, 1.95998770753460883},
                     {0.6, 7, 0.26316686135202277},    {0.999999, 3, 103.29946777942895153},
                     {0.025, 30, -2.04227245630123777}};
    for (const auto &q : quantiles)
        expectNear(studentTQuantile(q.p, q.df), q.t, "qt");
    const struct
    {
        double t, df, p;
    } probabilities[] = {{-2, 1, 1.4758361765043321e-01},
                         {1.5, 2.5, 8.7608177345685190e-01},
                         {-8, 40.3, 3.7482833256876591e-10},
                         {0.1, 1e5, 5.3982773704663689e-01},
                         {-30, 12, 5.8865909535094731e-13}};
    for (const auto &c : probabilities)
        expectNear(studentTCdf(c.t, c.df), c.p, "pt");
}

TEST(BenjaminiHochberg, UndefinedEntriesStayAndAreNotCounted)
{
    const auto adjusted = adjustBH({0.01, std::nullopt, 0.04, 0.03, std::nullopt, 0.2});
    const std::optional<double> r[] = {
        0.04, std::nullopt, 0.05333333333333333, 0.05333333333333333, std::nullopt, 0.2};
    ASSERT_EQ(adjusted.size(), std::size(r));
    for (std::size_t i = 0; i < adjusted.size(); ++i) {
        ASSERT_EQ(adjusted[i].has_value(), r[i].has_value()) << i;
        if (r[i])
            expectNear(*adjusted[i], *r[i], "p.adjust");
    }
}

TEST(Moments, RestOfAWholeAsIfGatheredAlone)
{
    Moments whole, part, rest;
    for (const double x : {12.5, 50.0, 50.0, 87.5, 100.0, 0.0, 62.5})
        whole.add(x);
    for (const double x : {12.5, 50.0, 50.0})
        part.add(x);
    for (const double x : {87.5, 100.0, 0.0, 62.5})
        rest.add(x);
    const Moments derived = remainderMoments(whole, part);
    EXPECT_EQ(derived.n, rest.n);
    expectNear(derived.mean, rest.mean, "mean");
    expectNear(derived.m2, rest.m2, "m2");
    const Moments merged = mergedMoments(part, rest);
    expectNear(merged.m2, whole.m2, "merged m2");
    // A rest whose members are all alike has no spread, not a rounding's worth.
    Moments same;
    for (int i = 0; i < 4; ++i)
        same.add(37.5);
    EXPECT_EQ(remainderMoments(mergedMoments(part, same), part).m2, 0);
}

// Figures at the edge of their definitions: what rounding leaves must not pass for spread, a
// difference or a number.
TEST(Moments, EdgesGiveNoneWhereExactArithmeticDoes)
{
    // Not exact in binary: without the guard the rest keeps 1e-14 of "spread".
    const double a = 100.0 / 12, b = 100.0 / 24;
    Moments whole, part;
    for (const double x : {a, a, a, b, b, b, b})
        whole.add(x);
    for (const double x : {a, a, a})
        part.add(x);
    EXPECT_EQ(remainderMoments(whole, part).m2, 0);

    // A standard error of rounding size beside the means: constant data, as t.test says.
    Moments x, y;
    const double next = std::nextafter(a, 100.0);
    for (const double v : {a, a, next})
        x.add(v);
    for (const double v : {a, next, a, a})
        y.add(v);
    ASSERT_GT(x.m2 + y.m2, 0);
    EXPECT_FALSE(welchP(x, y));

    // A value above the group's mean stands above half of it.
    Moments group;
    for (const double v : {40.0, 50.0, 60.0, 70.0})
        group.add(v);
    EXPECT_GT(*percentileWithin(65.0, group), 50);
    EXPECT_LT(*percentileWithin(45.0, group), 50);

    // Outside the distributions' domains: NaN at once.
    EXPECT_TRUE(std::isnan(studentTQuantile(1, 5)));
    EXPECT_TRUE(std::isnan(studentTQuantile(0.975, -2)));
    EXPECT_TRUE(std::isnan(studentTCdf(1, 0)));
    EXPECT_TRUE(std::isnan(regularizedBeta(1.5, 1, 1)));
}

TEST(Icc, UndefinedWhereTheRowsDoNotDiffer)
{
    const auto rows = [](std::initializer_list<std::initializer_list<double>> values) {
        std::vector<Moments> out;
        for (const auto &row : values) {
            out.emplace_back();
            for (const double v : row)
                out.back().add(v);
        }
        return out;
    };
    const double a = 100.0 / 24;
    const Icc same = iccOf(rows({{a, a, a, a, a, a}, {a, a, a, a}}));
    EXPECT_FALSE(same.icc1);
    EXPECT_FALSE(same.icc2);
    const Icc equalMeans = iccOf(rows({{a, 3 * a}, {3 * a, a}}));
    ASSERT_TRUE(equalMeans.icc1);
    EXPECT_DOUBLE_EQ(*equalMeans.icc1, -1); // -1 / (k - 1), k = 2
    EXPECT_FALSE(equalMeans.icc2);
}

} // namespace
