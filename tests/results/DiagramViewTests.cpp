#include "CultureWheel.h"
#include "DiagramViews.h"

#include <QImage>
#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>

namespace {

ProfileStore uniformStore(double percent)
{
    ProfileStore store;
    store.ScaleScores.fill(percent);
    store.SummaryScores.fill(percent);
    return store;
}

// The overlay as the window draws it: transparent, then the views of a kind.
QImage overlayOf(const ProfileStore &store, DiagramKind kind)
{
    QImage image(kOverlayWidth, kOverlayHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintDiagramViews(painter, image.size(), store, kind);
    return image;
}

bool inked(const QImage &image, int x, int y)
{
    return qAlpha(image.pixel(x, y)) > 0;
}

bool black(const QImage &image, int x, int y)
{
    return image.pixel(x, y) == qRgb(0, 0, 0);
}

QRect inkBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (inked(image, x, y))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// The wheel's centre pixel, in continuous coordinates.
constexpr double kCx = 300.5;
constexpr double kCy = 282.5;

TEST(DiagramViews, AllZeroCollapsesOntoTheCentre)
{
    const QImage image = overlayOf(uniformStore(0), DiagramKind::All);
    EXPECT_TRUE(black(image, 300, 282));
    EXPECT_EQ(inkBounds(image), QRect(298, 280, 5, 5));
}

TEST(DiagramViews, AllHundredPutsViewCFirstMarkerOnTheDiagonal)
{
    const QImage image = overlayOf(uniformStore(100), DiagramKind::FactorsII);
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            EXPECT_TRUE(black(image, 432 + dx, 150 + dy)) << dx << ", " << dy;
    // The green side leaves the marker towards the next vertex, straight down.
    EXPECT_EQ(image.pixelColor(432, 200).green(), 128);
    EXPECT_FALSE(inked(image, 436, 146));
}

TEST(DiagramViews, AllFiftyViewAStaysInsideTheBand)
{
    const QImage overlay = overlayOf(uniformStore(50), DiagramKind::Scales);
    QImage wheel(kOverlayWidth, kOverlayHeight, QImage::Format_RGB32);
    {
        QPainter painter(&wheel);
        drawCultureWheel(painter, wheel.size());
    }
    int ink = 0;
    int onBand = 0;
    for (int y = 0; y < overlay.height(); ++y) {
        for (int x = 0; x < overlay.width(); ++x) {
            if (!inked(overlay, x, y))
                continue;
            ++ink;
            const double d = std::hypot(x + 0.5 - kCx, y + 0.5 - kCy);
            ASSERT_GT(d, SectorRadius(40) + 2) << x << ", " << y;
            ASSERT_LT(d, SectorRadius(60) - 2) << x << ", " << y;
            onBand += wheel.pixelColor(x, y) == kWheelBandColor;
        }
    }
    EXPECT_GT(ink, 16 * 25);
    // Spokes and the band's own anti-aliasing aside, what lies below is the band.
    EXPECT_GT(onBand, ink * 8 / 10);
}

TEST(DiagramViews, KindsDrawTheirViewsInOrder)
{
    const ProfileStore store = uniformStore(50);
    const QSize size(kOverlayWidth, kOverlayHeight);
    const auto all = diagramPolygons(store, DiagramKind::All, size);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].color, kViewAColor);
    EXPECT_EQ(all[1].color, kViewBColor);
    EXPECT_EQ(all[2].color, kViewCColor);
    EXPECT_EQ(all[0].points.size() + all[1].points.size() + all[2].points.size(), 28u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(diagramPolygons(store, kDiagramKinds[i].kind, size), std::vector{all[i]});
    for (const int outside : {0, 5, -1})
        EXPECT_TRUE(inkBounds(overlayOf(store, DiagramKind(outside))).isNull()) << outside;
}

// Each view reads its vertices in sector order: a single raised score moves exactly one vertex.
TEST(DiagramViews, VertexOrderFollowsTheWheel)
{
    struct Probe
    {
        DiagramView view;
        bool summary;
        int index;
        int vertex;
    };
    const Probe probes[] = {{DiagramView::A, false, 4, 0},  {DiagramView::A, false, 1, 3},
                            {DiagramView::A, false, 16, 4}, {DiagramView::A, false, 5, 15},
                            {DiagramView::B, false, 18, 0}, {DiagramView::B, false, 17, 1},
                            {DiagramView::B, false, 24, 2}, {DiagramView::B, false, 19, 7},
                            {DiagramView::C, true, 1, 0},   {DiagramView::C, true, 4, 1},
                            {DiagramView::C, true, 3, 2},   {DiagramView::C, true, 2, 3}};
    for (const Probe &p : probes) {
        ProfileStore store = uniformStore(50);
        double &score = p.summary ? store.SummaryScores[std::size_t(p.index)]
                                  : store.ScaleScores[std::size_t(p.index)];
        score = 90;
        for (int i = 0; i < viewSectors(p.view); ++i)
            EXPECT_EQ(viewValue(p.view, store, i), i == p.vertex ? 90 : 50)
                << "score " << p.index << " vertex " << i;
    }
}

// ---- value labels

struct LabelCase
{
    double value;
    QString caption;
    bool bold;
    QColor color;
};

class DiagramLabelTest : public ::testing::TestWithParam<LabelCase>
{
};

TEST_P(DiagramLabelTest, StyleByTheUnroundedValue)
{
    const LabelCase &c = GetParam();
    const auto looks = diagramLabelLooks(uniformStore(c.value), {kOverlayWidth, kOverlayHeight},
                                         Qt::black, QLocale::c());
    for (int i = 1; i <= kDiagramLabelCount; ++i) {
        EXPECT_EQ(looks[std::size_t(i)].caption, c.caption) << i;
        EXPECT_EQ(looks[std::size_t(i)].bold, c.bold) << i;
        EXPECT_EQ(looks[std::size_t(i)].color, c.color) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Values, DiagramLabelTest,
                         ::testing::Values(LabelCase{60.2, " 60", true, QColor(0, 128, 0)},
                                           LabelCase{39.7, " 40", true, QColor(255, 0, 0)},
                                           LabelCase{50, " 50", false, Qt::black},
                                           LabelCase{60, " 60", false, Qt::black},
                                           LabelCase{40, " 40", false, Qt::black},
                                           LabelCase{0, "  0", true, QColor(255, 0, 0)},
                                           LabelCase{100, "100", true, QColor(0, 128, 0)}));

TEST(DiagramLabels, PlacesAndSources)
{
    ProfileStore store = uniformStore(50);
    store.ScaleScores[18] = 71;   // view B vertex 0: label 1
    store.SummaryScores[4] = 72;  // view C vertex 1: label 10
    store.SummaryScores[11] = 73; // Развитие: label 13
    store.SummaryScores[12] = 74; // Взаимодействие: label 14
    const auto looks = diagramLabelLooks(store, {kOverlayWidth, kOverlayHeight}, Qt::black);
    EXPECT_EQ(looks[1].value, 71);
    EXPECT_EQ(looks[10].value, 72);
    EXPECT_EQ(looks[13].value, 73);
    EXPECT_EQ(looks[14].value, 74);
    const DiagramPoint expected[] = {{},         {386, 45}, {521, 180}, {521, 372}, {386, 507},
                                     {194, 507}, {59, 372}, {59, 180},  {194, 45},  {497, 69},
                                     {497, 483}, {83, 483}, {83, 69},   {381, 8},   {437, 544}};
    for (int i = 1; i <= kDiagramLabelCount; ++i)
        EXPECT_EQ(looks[std::size_t(i)].topLeft, expected[i]) << i;
}

} // namespace

namespace {

// A store whose three views lie on rings of their own: A at a, B at b, C at c.
ProfileStore ringStore(double a, double b, double c)
{
    ProfileStore store;
    for (int k = 1; k <= kScaleCount; ++k)
        store.ScaleScores[k] = a;
    for (int k = kScaleCount + 1; k <= kScaleScoreCount; ++k)
        store.ScaleScores[k] = b;
    store.SummaryScores.fill(c);
    return store;
}

} // namespace

TEST(DiagramComparison, ReferenceVerticesAreHollowMarkersWhereTheGeometryPutsThem)
{
    const ProfileStore store = ringStore(40, 28, 16);
    const ProfileStore reference = ringStore(90, 70, 50);
    const QSize size(kOverlayWidth, kOverlayHeight);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        paintDiagramViews(painter, size, store, DiagramKind::All, &reference);
    }
    // The reference's polygons are those the profile itself would have, drawn first.
    const auto polygons = diagramPolygons(store, DiagramKind::All, size, &reference);
    const auto own = diagramPolygons(reference, DiagramKind::All, size);
    ASSERT_EQ(polygons.size(), 6u);
    int hollow = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(polygons[i].reference);
        EXPECT_FALSE(polygons[i + 3].reference);
        EXPECT_EQ(polygons[i].points, own[i].points);
        EXPECT_EQ(polygons[i].color, own[i].color);
        for (const DiagramPoint &p : polygons[i].points) {
            bool outline = true;
            for (int d = -2; d <= 2; ++d)
                outline = outline && black(image, p.X + d, p.Y - 2) &&
                          black(image, p.X + d, p.Y + 2) && black(image, p.X - 2, p.Y + d) &&
                          black(image, p.X + 2, p.Y + d);
            EXPECT_TRUE(outline) << p.X << ", " << p.Y;
            EXPECT_FALSE(black(image, p.X + 1, p.Y + 1)) << p.X << ", " << p.Y;
            hollow += outline && !black(image, p.X + 1, p.Y + 1);
        }
        // The profile's own markers stay filled.
        for (const DiagramPoint &p : polygons[i + 3].points)
            EXPECT_TRUE(black(image, p.X + 1, p.Y + 1)) << p.X << ", " << p.Y;
    }
    EXPECT_EQ(hollow, 28);

    // Dashed: between two of view C's reference vertices the line comes and goes in its colour.
    const DiagramPoint from = polygons[2].points[0];
    const DiagramPoint to = polygons[2].points[1];
    int on = 0;
    int off = 0;
    for (int step = 10; step <= 90; ++step) {
        const int x = from.X + (to.X - from.X) * step / 100;
        const int y = from.Y + (to.Y - from.Y) * step / 100;
        const bool inkedNear = inked(image, x, y) || inked(image, x + 1, y) ||
                               inked(image, x, y + 1) || inked(image, x + 1, y + 1);
        (inkedNear ? on : off) += 1;
    }
    EXPECT_GT(on, 20);
    EXPECT_GT(off, 5);
}

// Sides shorter than a dash are dashed too: the pattern runs on round the corners, where one
// started again at every corner would draw this square solid.
TEST(DiagramComparison, DashesRunOnRoundShortSides)
{
    double drawn = 0;
    for (const QLineF &dash : referenceDashes({{0, 0}, {10, 0}, {10, 10}, {0, 10}}))
        drawn += dash.length();
    EXPECT_NEAR(drawn, 40 * kDashOn / (kDashOn + kDashOff), kDashOff);
}
