#include "DiagramGeometry.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

// ---- placement: one row per point the diagram and its labels depend on

struct PlaceCase
{
    DiagramPoint centre;
    int sectors;
    int i;
    double r;
    DiagramPoint expected;
};

std::ostream &operator<<(std::ostream &os, const PlaceCase &c)
{
    return os << "centre (" << c.centre.X << ", " << c.centre.Y << ") n " << c.sectors << " i "
              << c.i << " r " << c.r;
}

class PlaceOnCircleTest : public ::testing::TestWithParam<PlaceCase>
{
};

TEST_P(PlaceOnCircleTest, LandsOnTheBisector)
{
    const PlaceCase &c = GetParam();
    DiagramPointArray points{};
    PlaceOnCircle(points, c.centre, SectorAngle(c.sectors), c.i, c.r);
    EXPECT_EQ(points[std::size_t(c.i)], c.expected);
}

constexpr DiagramPoint kCentre{300, 282};
constexpr DiagramPoint kLabels{290, 276};

INSTANTIATE_TEST_SUITE_P(
    Rings, PlaceOnCircleTest,
    ::testing::Values(
        // a factor (II) of 100 per cent
        PlaceCase{kCentre, 4, 0, SectorRadius(100), {432, 150}},
        // 50 per cent on the first and last scale sectors: mirror images
        PlaceCase{kCentre, 16, 0, SectorRadius(50), {318, 189}},
        PlaceCase{kCentre, 16, 15, SectorRadius(50), {282, 189}},
        // a zero percentage sits on the centre in every sector
        PlaceCase{kCentre, 16, 5, 0, kCentre}, PlaceCase{kCentre, 8, 6, 0, kCentre},
        PlaceCase{kCentre, 4, 3, SectorRadius(0), kCentre},
        // the ring of the eight factor (III) labels
        PlaceCase{kLabels, 8, 0, 249.75, {386, 45}}, PlaceCase{kLabels, 8, 1, 249.75, {521, 180}},
        PlaceCase{kLabels, 8, 2, 249.75, {521, 372}}, PlaceCase{kLabels, 8, 3, 249.75, {386, 507}},
        PlaceCase{kLabels, 8, 4, 249.75, {194, 507}}, PlaceCase{kLabels, 8, 5, 249.75, {59, 372}},
        PlaceCase{kLabels, 8, 6, 249.75, {59, 180}}, PlaceCase{kLabels, 8, 7, 249.75, {194, 45}},
        // the ring of the four factor (II) labels
        PlaceCase{kLabels, 4, 0, 292.5, {497, 69}}, PlaceCase{kLabels, 4, 1, 292.5, {497, 483}},
        PlaceCase{kLabels, 4, 2, 292.5, {83, 483}}, PlaceCase{kLabels, 4, 3, 292.5, {83, 69}}));

// ---- centre from the overlay size, halves to even

struct CentreCase
{
    int width;
    int height;
    DiagramPoint expected;
};

class DiagramCentreTest : public ::testing::TestWithParam<CentreCase>
{
};

TEST_P(DiagramCentreTest, FromOverlaySize)
{
    EXPECT_EQ(DiagramCentre(GetParam().width, GetParam().height), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Overlays, DiagramCentreTest,
                         ::testing::Values(CentreCase{598, 560, {300, 282}},
                                           CentreCase{597, 560, {299, 282}},
                                           CentreCase{599, 560, {301, 282}},
                                           CentreCase{598, 561, {300, 282}},
                                           CentreCase{598, 563, {300, 284}}));

// ---- radius of a percentage, including the values the formula cannot take

struct RadiusCase
{
    double percent;
    double expected;
};

class SectorRadiusTest : public ::testing::TestWithParam<RadiusCase>
{
};

TEST_P(SectorRadiusTest, StaysFiniteAndNeverNegative)
{
    const double r = SectorRadius(GetParam().percent);
    EXPECT_TRUE(std::isfinite(r));
    EXPECT_NEAR(r, GetParam().expected, 0.005) << "P = " << GetParam().percent;
}

constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Percentages, SectorRadiusTest,
    ::testing::Values(RadiusCase{0, 0}, RadiusCase{1e-9, 3.85}, RadiusCase{20, 38.95},
                      RadiusCase{40, 75.90}, RadiusCase{50, 94.39}, RadiusCase{60, 112.88},
                      RadiusCase{80, 149.87}, RadiusCase{100, 186.87},
                      // at or below zero, the pole at -1 and beyond: the centre
                      RadiusCase{-1e-9, 0}, RadiusCase{-0.99, 0}, RadiusCase{-1, 0},
                      RadiusCase{-1.0001, 0}, RadiusCase{-250, 0}, RadiusCase{-kInf, 0},
                      RadiusCase{std::numeric_limits<double>::quiet_NaN(), 0},
                      // huge values stop far outside the panel
                      RadiusCase{1e6, kMaxDiagramRadius}, RadiusCase{kInf, kMaxDiagramRadius}));

// ---- the per-quadrant computation against the plain sin/cos form

TEST(PlaceOnCircle, QuadrantFormGivesThePlainPointAndMirrors)
{
    for (const DiagramPoint centre : {DiagramPoint{300, 282}, DiagramPoint{290, 276},
                                      DiagramPoint{299, 281}, DiagramPoint{-7, 13}}) {
        for (const int n : {4, 8, 16}) {
            const double s = SectorAngle(n);
            for (double r = 0; r < 420; r += 0.37) {
                DiagramPointArray points{};
                for (int i = 0; i < n; ++i)
                    PlaceOnCircle(points, centre, s, i, r);
                for (int i = 0; i < n; ++i) {
                    const double phi = i * s + s / 2;
                    const DiagramPoint plain{int(std::nearbyint(centre.X + r * std::sin(phi))),
                                             int(std::nearbyint(centre.Y - r * std::cos(phi)))};
                    ASSERT_EQ(points[std::size_t(i)], plain)
                        << "n " << n << " i " << i << " r " << r;
                    const DiagramPoint &mirror = points[std::size_t(n - 1 - i)];
                    ASSERT_EQ(mirror.X - centre.X, centre.X - plain.X) << "n " << n << " r " << r;
                    ASSERT_EQ(mirror.Y, plain.Y);
                }
            }
        }
    }
}

TEST(PlaceOnCircle, WritesOnlyItsOwnEntry)
{
    DiagramPointArray points{};
    points.fill({-5, -5});
    for (int i = 0; i < 4; ++i)
        PlaceOnCircle(points, {300, 282}, SectorAngle(4), i, 100);
    for (std::size_t i = 4; i < points.size(); ++i)
        EXPECT_EQ(points[i], (DiagramPoint{-5, -5})) << i;
    // An index past a full turn or past the array writes nothing.
    const DiagramPointArray before = points;
    PlaceOnCircle(points, {300, 282}, SectorAngle(4), 9, 100);
    PlaceOnCircle(points, {300, 282}, SectorAngle(16), 16, 100);
    PlaceOnCircle(points, {300, 282}, SectorAngle(16), -1, 100);
    EXPECT_EQ(points, before);
}

TEST(RoundHalfEven, TiesGoToEvenAndExtremesSaturate)
{
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(296.5), 296);
    EXPECT_EQ(roundHalfEven(1e300), std::numeric_limits<int>::max());
    EXPECT_EQ(roundHalfEven(-kInf), std::numeric_limits<int>::min());
    EXPECT_EQ(roundHalfEven(std::numeric_limits<double>::quiet_NaN()), 0);
}

} // namespace
