#include "DiagramViews.h"

#include "NumberFormat.h"
#include "ResultsTable.h"

#include <QPainter>
#include <QPainterPath>
#include <QVector>
#include <algorithm>

namespace {

constexpr int kDevelopment = 11;
constexpr int kInteraction = 12;

// Factors (II) clockwise from the top right: Инновация, Интеграция, Конкуренция, Адаптация.
constexpr std::array<int, 4> kFactorIIOrder{1, 4, 3, 2};

// Continuous position of the centre of pixel p.
QPointF pixelCentre(const DiagramPoint &p)
{
    return {p.X + 0.5, p.Y + 0.5};
}

} // namespace

int viewSectors(DiagramView view)
{
    switch (view) {
    case DiagramView::A:
        return 16;
    case DiagramView::B:
        return 8;
    case DiagramView::C:
        return 4;
    }
    return 0;
}

QColor viewColor(DiagramView view)
{
    switch (view) {
    case DiagramView::A:
        return kViewAColor;
    case DiagramView::B:
        return kViewBColor;
    case DiagramView::C:
        return kViewCColor;
    }
    return {};
}

double viewValue(DiagramView view, const ProfileStore &store, int i)
{
    switch (view) {
    case DiagramView::A:
        // Each quadrant runs Общение .. Поощрение clockwise; the scales are numbered the
        // other way round, starting with the top-right quadrant's Поощрение.
        return store.ScaleScores[std::size_t(i <= 3 ? 4 - i : 20 - i)];
    case DiagramView::B:
        return store.ScaleScores[std::size_t(i <= 1 ? 18 - i : 26 - i)];
    case DiagramView::C:
        return store.SummaryScores[std::size_t(kFactorIIOrder[std::size_t(i)])];
    }
    return 0;
}

const DiagramKindEntry &diagramKindEntry(DiagramKind kind)
{
    for (const DiagramKindEntry &entry : kDiagramKinds)
        if (entry.kind == kind)
            return entry;
    return kDiagramKinds.back();
}

std::vector<DiagramView> viewsOfKind(DiagramKind kind)
{
    switch (kind) {
    case DiagramKind::Scales:
        return {DiagramView::A};
    case DiagramKind::FactorsIII:
        return {DiagramView::B};
    case DiagramKind::FactorsII:
        return {DiagramView::C};
    case DiagramKind::All:
        return {DiagramView::A, DiagramView::B, DiagramView::C};
    }
    return {};
}

std::vector<DiagramPolygon> diagramPolygons(const ProfileStore &store, DiagramKind kind,
                                            QSize overlay, const ProfileStore *reference)
{
    const DiagramPoint centre = DiagramCentre(overlay.width(), overlay.height());
    DiagramPointArray DiagramPoints{};
    std::vector<DiagramPolygon> polygons;
    const auto addPolygons = [&](const ProfileStore &profile, bool isReference) {
        for (const DiagramView view : viewsOfKind(kind)) {
            const int n = viewSectors(view);
            const double s = SectorAngle(n);
            for (int i = 0; i < n; ++i)
                PlaceOnCircle(DiagramPoints, centre, s, i,
                              SectorRadius(viewValue(view, profile, i)));
            polygons.push_back(
                {viewColor(view), {DiagramPoints.begin(), DiagramPoints.begin() + n}, isReference});
        }
    };
    if (reference)
        addPolygons(*reference, true);
    addPolygons(store, false);
    return polygons;
}

QVector<QLineF> referenceDashes(const std::vector<DiagramPoint> &points)
{
    QVector<QLineF> dashes;
    double phase = 0; // along the pattern, 0 .. kDashOn + kDashOff
    for (std::size_t i = 0; i < points.size(); ++i) {
        const QLineF side(pixelCentre(points[i]), pixelCentre(points[(i + 1) % points.size()]));
        const double length = side.length();
        double at = 0;
        while (at < length) {
            const bool on = phase < kDashOn;
            const double step = std::min(length - at, (on ? kDashOn : kDashOn + kDashOff) - phase);
            if (on)
                dashes << QLineF(side.pointAt(at / length), side.pointAt((at + step) / length));
            at += step;
            phase += step;
            if (phase >= kDashOn + kDashOff)
                phase = 0;
        }
    }
    return dashes;
}

void paintDiagramPolygons(QPainter &painter, const std::vector<DiagramPolygon> &polygons)
{
    painter.save();
    for (const DiagramPolygon &polygon : polygons) {
        if (polygon.points.empty())
            continue;
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setBrush(Qt::NoBrush);
        if (polygon.reference) {
            painter.setPen(QPen(polygon.color, kPolygonPenWidth, Qt::SolidLine, Qt::FlatCap));
            painter.drawLines(referenceDashes(polygon.points));
        } else {
            QPainterPath outline(pixelCentre(polygon.points.front()));
            for (std::size_t i = 1; i < polygon.points.size(); ++i)
                outline.lineTo(pixelCentre(polygon.points[i]));
            outline.closeSubpath();
            painter.setPen(
                QPen(polygon.color, kPolygonPenWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.drawPath(outline);
        }

        // Markers stay crisp: whole-pixel squares centred on their vertex; a reference's are
        // outlines only, so the profile's own markers stand out where both meet.
        painter.setRenderHint(QPainter::Antialiasing, false);
        constexpr int half = kMarkerSize / 2;
        painter.setPen(QPen(Qt::black, 0));
        for (const DiagramPoint &p : polygon.points) {
            const QRect marker(p.X - half, p.Y - half, kMarkerSize, kMarkerSize);
            if (polygon.reference)
                painter.drawRect(marker.adjusted(0, 0, -1, -1));
            else
                painter.fillRect(marker, Qt::black);
        }
    }
    painter.restore();
}

void paintDiagramViews(QPainter &painter, QSize size, const ProfileStore &store, DiagramKind kind,
                       const ProfileStore *reference)
{
    paintDiagramPolygons(painter, diagramPolygons(store, kind, size, reference));
}

void paintReferenceSample(QPainter &painter, const QRect &rect, const QColor &color)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(color, kPolygonPenWidth, Qt::CustomDashLine, Qt::FlatCap);
    pen.setDashPattern({kDashOn / kPolygonPenWidth, kDashOff / kPolygonPenWidth});
    painter.setPen(pen);
    const int y = rect.top() + rect.height() / 2;
    painter.drawLine(QPoint(rect.left(), y), QPoint(rect.right(), y));
    painter.restore();
}

std::array<DiagramLabelLook, kDiagramLabelCount + 1> diagramLabelLooks(const ProfileStore &store,
                                                                       QSize overlay,
                                                                       const QColor &defaultColor,
                                                                       const QLocale &locale)
{
    std::array<DiagramLabelLook, kDiagramLabelCount + 1> looks{};
    DiagramPoint centre = DiagramCentre(overlay.width(), overlay.height());
    centre.X += kLabelCentreShift.X;
    centre.Y += kLabelCentreShift.Y;

    DiagramPointArray DiagramPoints{};
    const double eighth = SectorAngle(8);
    for (int i = 0; i < 8; ++i) {
        PlaceOnCircle(DiagramPoints, centre, eighth, i, kFactorIIILabelRadius);
        looks[std::size_t(i + 1)].value = viewValue(DiagramView::B, store, i);
        looks[std::size_t(i + 1)].topLeft = DiagramPoints[std::size_t(i)];
    }
    const double quarter = SectorAngle(4);
    for (int i = 0; i < 4; ++i) {
        PlaceOnCircle(DiagramPoints, centre, quarter, i, kFactorIILabelRadius);
        looks[std::size_t(9 + i)].value = viewValue(DiagramView::C, store, i);
        looks[std::size_t(9 + i)].topLeft = DiagramPoints[std::size_t(i)];
    }
    looks[13].value = store.SummaryScores[kDevelopment];
    looks[13].topLeft = kDevelopmentLabelAt;
    looks[14].value = store.SummaryScores[kInteraction];
    looks[14].topLeft = kInteractionLabelAt;

    for (int i = 1; i <= kDiagramLabelCount; ++i) {
        DiagramLabelLook &look = looks[std::size_t(i)];
        look.caption = formatWhole(look.value, locale);
        look.bold = look.value > kHighMark || look.value < kLowMark;
        look.color = look.value > kHighMark  ? kHighColor
                     : look.value < kLowMark ? kLowColor
                                             : defaultColor;
    }
    return looks;
}
