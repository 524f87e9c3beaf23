#include "CultureWheel.h"

#include "DiagramGeometry.h"

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDegree = 180.0 / kPi;

const QString kFamily = QStringLiteral("Liberation Sans");

// Palette: greys for the grid, yellows for the band and the ring, one colour per scale word.
const QColor kCircleColor(150, 150, 150);
const QColor kSpokeColor(190, 190, 190);
const QColor kRingDividerColor(205, 175, 95);
const QColor kRingEdgeColor(96, 78, 36);
const QColor kArrowColor(204, 0, 0);
const QColor kCornerWordColor(0, 0, 0);
const QColor kAxisWordColor(22, 38, 120);
const QColor kScaleNumberColor(128, 128, 128);
const QColor kBlue(28, 78, 200);
const QColor kGreen(0, 135, 62);
const QColor kMagenta(176, 28, 168);
const QColor kOrange(230, 118, 0);

// The ring's words, clockwise in each quadrant from the quadrant's first axis.
struct ScaleWord
{
    const char *text;
    QColor color;
};
const ScaleWord kScaleWords[4] = {
    {"Общение", kBlue}, {"Согласие", kGreen}, {"Вовлечение", kMagenta}, {"Поощрение", kOrange}};

// Corner words clockwise from the top right, on the diagonals.
const char *const kCornerWords[4] = {"Инновация", "Интеграция", "Конкуренция", "Адаптация"};

constexpr double kRingTextRadius = (186.87 + kRingOuterRadius) / 2;
constexpr double kPairWordRadius = 221.0;
constexpr double kArrowFrom = kRingOuterRadius + 4;
constexpr double kArrowTo = 272.0;
constexpr double kCornerWordRadius = 330.0;
constexpr double kAxisTop = 25.0;     // tip of the upper arrowhead
constexpr double kAxisBottom = 535.0; // tip of the lower arrowhead
constexpr double kAxisLeft = 6.0;
constexpr double kAxisRight = 592.0;

QFont wheelFont(double pixels, bool bold = false, bool italic = false)
{
    QFont font(kFamily);
    font.setPixelSize(int(pixels));
    font.setBold(bold);
    font.setItalic(italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// Point at distance r from c on the clockwise angle phi from straight up.
QPointF polar(QPointF c, double r, double phi)
{
    return {c.x() + r * std::sin(phi), c.y() - r * std::cos(phi)};
}

QColor mix(const QColor &a, const QColor &b, double t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// Writes text along a circle, centred on the angle phi, its letters standing on the circle
// and its middle at radius r. In the upper half it reads clockwise with its letters' tops
// outwards, in the lower half anticlockwise with their tops towards the centre, so it reads
// left to right everywhere. Letters are coloured from first to last.
void drawArcText(QPainter &p, QPointF c, double r, double phi, const QString &text,
                 const QColor &first, const QColor &last)
{
    const QFontMetricsF metrics(p.font());
    const bool upper = std::cos(phi) > -1e-9;
    const double halfCap = metrics.capHeight() / 2;
    const double baseline = upper ? r - halfCap : r + halfCap;
    const double width = metrics.horizontalAdvance(text);
    double x = 0;
    for (int k = 0; k < text.size(); ++k) {
        const QString glyph = text.mid(k, 1);
        const double advance = metrics.horizontalAdvance(glyph);
        const double offset = (x + advance / 2 - width / 2) / baseline;
        const double angle = upper ? phi + offset : phi - offset;
        p.save();
        p.translate(polar(c, baseline, angle));
        p.rotate((upper ? angle : angle - kPi) * kDegree);
        const double t = text.size() > 1 ? double(k) / (text.size() - 1) : 0;
        p.setPen(mix(first, last, t));
        p.drawText(QPointF(-advance / 2, 0), glyph);
        p.restore();
        x += advance;
    }
}

void drawArrowHead(QPainter &p, QPointF tip, QPointF towards, double length, double halfWidth,
                   const QColor &color)
{
    const QPointF d = tip - towards;
    const double n = std::hypot(d.x(), d.y());
    const QPointF u(d.x() / n, d.y() / n);
    const QPointF v(-u.y(), u.x());
    const QPointF base = tip - u * length;
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(
        QPolygonF{tip, base + v * halfWidth, base + u * (length * 0.25), base - v * halfWidth});
}

void drawAnnulus(QPainter &p, QPointF c, double inner, double outer, const QColor &fill)
{
    QPainterPath path;
    path.addEllipse(c, outer, outer);
    path.addEllipse(c, inner, inner);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(path);
}

void drawGrid(QPainter &p, QPointF c)
{
    drawAnnulus(p, c, SectorRadius(40), SectorRadius(60), kWheelBandColor);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kSpokeColor, 1));
    const double s = SectorAngle(16);
    for (int k = 0; k < 16; ++k) {
        if (k % 4 == 0)
            continue; // the axes are drawn over these
        p.drawLine(polar(c, kHubRadius, k * s), polar(c, SectorRadius(100), k * s));
    }
    p.setPen(QPen(kCircleColor, 1));
    for (const int percent : {20, 40, 60, 80}) {
        const double r = SectorRadius(percent);
        p.drawEllipse(c, r, r);
    }
    p.setBrush(Qt::white);
    p.drawEllipse(c, kHubRadius, kHubRadius);

    // A few numbers let a reader gauge a vertex without counting circles.
    p.setFont(wheelFont(9));
    p.setPen(kScaleNumberColor);
    const QFontMetricsF metrics(p.font());
    for (const int percent : {20, 40, 60, 80}) {
        const QString text = QString::number(percent);
        const double x = c.x() + SectorRadius(percent) - metrics.horizontalAdvance(text) - 2;
        p.drawText(QPointF(x, c.y() + metrics.ascent() + 2), text);
    }
}

void drawRing(QPainter &p, QPointF c)
{
    const double inner = SectorRadius(100);
    drawAnnulus(p, c, inner, kRingOuterRadius, kWheelRingColor);
    const double s = SectorAngle(16);
    p.setPen(QPen(kRingDividerColor, 1));
    for (int k = 0; k < 16; ++k)
        p.drawLine(polar(c, inner, k * s), polar(c, kRingOuterRadius, k * s));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kCircleColor, 1));
    p.drawEllipse(c, inner, inner);
    p.setPen(QPen(kRingEdgeColor, 2));
    p.drawEllipse(c, kRingOuterRadius, kRingOuterRadius);

    p.setFont(wheelFont(10));
    for (int k = 0; k < 16; ++k) {
        const ScaleWord &word = kScaleWords[k % 4];
        drawArcText(p, c, kRingTextRadius, (k + 0.5) * s, QString::fromUtf8(word.text), word.color,
                    word.color);
    }

    // One word over each pair of sectors: Климат over Общение and Согласие, Мотивация over
    // Вовлечение and Поощрение, each shading from the colour of its first scale to its second.
    p.setFont(wheelFont(13, true));
    const double pair = SectorAngle(8);
    for (int k = 0; k < 8; ++k) {
        const bool climate = k % 2 == 0;
        drawArcText(p, c, kPairWordRadius, (k + 0.5) * pair,
                    climate ? QStringLiteral("Климат") : QStringLiteral("Мотивация"),
                    climate ? kBlue : kMagenta, climate ? kGreen : kOrange);
    }
}

void drawAxes(QPainter &p, QPointF c)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kWheelAxisColor, 1.5, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(kAxisLeft, c.y()), QPointF(kAxisRight, c.y()));
    constexpr double head = 12;
    p.setPen(QPen(kWheelAxisColor, 2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(c.x(), kAxisTop + head - 2), QPointF(c.x(), kAxisBottom - head + 2));
    drawArrowHead(p, QPointF(c.x(), kAxisTop), c, head, 5, kWheelAxisColor);
    drawArrowHead(p, QPointF(c.x(), kAxisBottom), c, head, 5, kWheelAxisColor);
}

void drawCorners(QPainter &p, QPointF c)
{
    const double quarter = SectorAngle(4);
    p.setFont(wheelFont(15, true));
    for (int k = 0; k < 4; ++k) {
        const double phi = (k + 0.5) * quarter;
        p.setPen(QPen(kArrowColor, 2.5, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(polar(c, kArrowFrom, phi), polar(c, kArrowTo - 8, phi));
        drawArrowHead(p, polar(c, kArrowTo, phi), c, 12, 5, kArrowColor);
        drawArcText(p, c, kCornerWordRadius, phi, QString::fromUtf8(kCornerWords[k]),
                    kCornerWordColor, kCornerWordColor);
    }
}

void drawAxisWords(QPainter &p, QPointF c)
{
    p.setFont(wheelFont(20, true, true));
    p.setPen(kAxisWordColor);
    const QFontMetricsF metrics(p.font());
    const QString top = QStringLiteral("Развитие");
    const QString bottom = QStringLiteral("Взаимодействие");
    p.drawText(QPointF(c.x() - metrics.horizontalAdvance(top) / 2, 1 + metrics.ascent()), top);
    p.drawText(QPointF(c.x() - metrics.horizontalAdvance(bottom) / 2,
                       kOverlayHeight - 2 - metrics.descent()),
               bottom);
}

} // namespace

void drawCultureWheel(QPainter &painter, QSize size)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    painter.scale(size.width() / double(kOverlayWidth), size.height() / double(kOverlayHeight));

    // The polygons join pixel centres; the wheel's centre is the centre pixel's middle.
    const DiagramPoint centre = DiagramCentre(kOverlayWidth, kOverlayHeight);
    const QPointF c(centre.X + 0.5, centre.Y + 0.5);
    drawGrid(painter, c);
    drawRing(painter, c);
    drawAxes(painter, c);
    drawCorners(painter, c);
    drawAxisWords(painter, c);
    painter.restore();
}

QByteArray wheelPictureBytes()
{
    // The picture is compiled into this static library; registering it here keeps the linker
    // from dropping it.
    Q_INIT_RESOURCE(CultureWheel);
    QFile file(QStringLiteral(":/results/CultureWheel.jpg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
