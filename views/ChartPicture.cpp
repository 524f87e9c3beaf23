#include "ChartPicture.h"

#include "Caption.h"
#include "Fonts.h"
#include "TChartCanvas.h"

#include <QPainter>

namespace {

// The letter of the view on show, right-aligned at its right end.
constexpr QPoint kLetterAt(408, 6);
constexpr int kLetterFontPx = 13;

} // namespace

ChartPicture::ChartPicture(bool placed, const QPalette &colors)
{
    chart_.setPlaced(placed);
    chart_.setSystemColors(colors);
    series_ = configureChartAll(chart_);
}

TCustomChart &ChartPicture::filledFor(const ProfileView &view)
{
    writeChartFoot(chart_, view.header.code, view.header.name, view.header.date,
                   view.referenceCaptionText());
    fillChart(chart_, series_, chartView(view.chart, view.store, view.referenceStore()));
    return chart_;
}

void ChartPicture::paint(QPainter &painter, const ProfileView &view, bool letter)
{
    filledFor(view).paintTo(painter, size());
    if (!letter)
        return;
    const QFont font = pixelFont(kSansSerif, kLetterFontPx, true);
    const QString text(QChar(chartViewEntry(view.chart).letter));
    const QRect box = captionBox(font, painter.device(), text, kLetterAt.x(), kLetterAt.y(), true);
    painter.save();
    painter.translate(box.topLeft());
    painter.setClipRect(QRect(QPoint(0, 0), box.size()));
    painter.setFont(font);
    painter.setPen(Qt::black);
    paintCaption(painter, box.size(), text, Qt::AlignRight | Qt::AlignTop);
    painter.restore();
}

QImage ChartPicture::picture(const ProfileView &view)
{
    QImage picture(size(), QImage::Format_RGB32);
    picture.setDevicePixelRatio(1);
    QPainter painter(&picture);
    paint(painter, view);
    return picture;
}

