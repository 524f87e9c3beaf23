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

} // namespace
