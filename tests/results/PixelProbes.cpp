#include "PixelProbes.h"

#include "TStringGrid.h"

#include <QApplication>
#include <QPixmap>
#include <algorithm>
#include <cstdlib>

namespace {
constexpr int kInkDistance = 60; // summed channel distance from the background that counts as ink
constexpr int kHueLead = 40;     // how far one channel must lead the others to count as a hue
} // namespace

void settle()
{
    QApplication::processEvents();
}

QImage grabCells(TStringGrid &grid)
{
    settle();
    return grid.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

InkCensus census(const QImage &image, const QRect &rect, const QColor &background)
{
    InkCensus result;
    const int backLum = qGray(background.rgb());
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const int distance = std::abs(c.red() - background.red()) +
                                 std::abs(c.green() - background.green()) +
                                 std::abs(c.blue() - background.blue());
            if (distance < kInkDistance)
                continue;
            result.right = std::max(result.right, x);
            if (result.top < 0)
                result.top = y;
            result.amount += double(std::max(0, backLum - qGray(c.rgb()))) / std::max(1, backLum);
            if (c.green() > c.red() + kHueLead && c.green() > c.blue() + kHueLead)
                ++result.green;
            else if (c.red() > c.green() + kHueLead && c.red() > c.blue() + kHueLead)
                ++result.red;
            else
                ++result.dark;
        }
    }
    return result;
}

int pixelsNotOf(const QImage &image, const QRect &rect, const QColor &colour)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (image.pixel(x, y) != colour.rgb())
                ++count;
    return count;
}

int pixelsDiffering(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return a.width() * a.height() + b.width() * b.height();
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                ++count;
    return count;
}
