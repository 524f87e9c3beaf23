// The line series on a rendered picture: its points where the axes map their values, as the
// bars' are, the line joining them, and a marker and the value at each.

#include "AxisMath.h"
#include "TChartCanvas.h"
#include "TCustomChart.h"
#include "TLineSeries.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

TEST(LineSeries, DrawsItsLineMarkersAndValuesWhereTheAxesMapItsPoints)
{
    TCustomChart chart;
    auto *line = chart.AddSeries(std::make_unique<TLineSeries>(QStringLiteral("line")));
    line->setShowValues(true);
    line->setValueFormat(QStringLiteral("0."));
    const std::vector<double> values{40, 75.5, 20, 100};
    for (double v : values)
        line->AddValue(v);
    const QSize size(416, 294);
    const TChartLayout frame = chart.Layout(size);
    const QImage image = chart.render(size);
    // Pixels darker than the grid's grey: text or outlines.
    const auto darkPixels = [&image](const TRect &r) {
        int count = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                count += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
        return count;
    };
    const TAxisScale &bottom = frame.Axes[kBottomAxis].Scale, &left = frame.Axes[kLeftAxis].Scale;
    const QColor red(Qt::red), black(Qt::black);
    const std::vector<TPlacedPoint> &points = frame.Series[0].Points;
    ASSERT_EQ(points.size(), values.size());
    for (const TPlacedPoint &p : points) {
        const int x = p.Bounds.Left, y = p.Bounds.Top;
        const double value = values[std::size_t(p.Index)];
        EXPECT_EQ(x, bottom.CalcPosValue(p.Index));
        EXPECT_EQ(y, left.CalcPosValue(value));
        // The marker over the line: outlined in black, the point's colour inside.
        const TRect marker = line->MarkerRect(p);
        EXPECT_EQ(image.pixelColor(x, y), red) << p.Index;
        EXPECT_EQ(image.pixelColor(marker.Left, y), black) << p.Index;
        // The value over the point, inside the plot.
        const TTextLine label = line->ValueLabel(p, TChartTextMetrics(&image));
        EXPECT_EQ(label.Text, formatAxisValue(value, QStringLiteral("0.")));
        const TRect box{label.Left, label.Top, 2 * x - label.Left, y - line->ValueGap()};
        EXPECT_TRUE(box.Top >= frame.Plot.Top && box.Left >= frame.Plot.Left &&
                    box.Right <= frame.Plot.Right)
            << p.Index;
        EXPECT_GT(darkPixels(box), 0) << p.Index;
        // The line from the point before, in this point's colour, halfway between them.
        if (p.Index > 0) {
            const TRect &before = points[std::size_t(p.Index - 1)].Bounds;
            const int mx = (x + before.Left) / 2, my = (y + before.Top) / 2;
            int onLine = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    onLine += image.pixelColor(mx + dx, my + dy) == red ? 1 : 0;
            EXPECT_GT(onLine, 0) << p.Index;
        }
    }
}

} // namespace
