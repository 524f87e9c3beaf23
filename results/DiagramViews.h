#pragma once

#include "DiagramGeometry.h"
#include "Pictures.h"
#include "ProfileStore.h"

#include <QColor>
#include <QLineF>
#include <QLocale>
#include <QSize>
#include <QString>
#include <QVector>
#include <array>
#include <vector>

class QPainter;

// The diagram views: the profile as closed polygons over the culture wheel. A shows the
// sixteen scales, B the eight factor (III) cells, C the four factors (II); a drawing's kind is
// one of them alone or all three, A first and C on top.

enum class DiagramView { A, B, C };

// The kinds of the Images menu, in its order, numbered from 1 as the menu counts them.
enum class DiagramKind { Scales = 1, FactorsIII = 2, FactorsII = 3, All = 4 };

// Everything that names a kind: its letter (panel corner, saved picture names), the title over
// the panel, its Images menu item and that item's glyph.
struct DiagramKindEntry
{
    DiagramKind kind;
    char16_t letter;
    const char16_t *title;
    const char16_t *menuCaption;
    MenuGlyph icon;
};

inline constexpr std::array<DiagramKindEntry, 4> kDiagramKinds{{
    {DiagramKind::Scales, u'A', u"График шкал", u"A. Диаграмма шкал", MenuGlyph::ImageA},
    {DiagramKind::FactorsIII, u'B', u"График факторов (III)", u"B. Диаграмма факторов (III)",
     MenuGlyph::ImageB},
    {DiagramKind::FactorsII, u'C', u"График факторов (II)", u"C. Диаграмма факторов (II)",
     MenuGlyph::ImageC},
    {DiagramKind::All, u'D', u"Общий график", u"D. Все диаграммы", MenuGlyph::ImageD},
}};

const DiagramKindEntry &diagramKindEntry(DiagramKind kind);

inline const QColor kViewAColor{255, 0, 255};
inline const QColor kViewBColor{0, 0, 255};
inline const QColor kViewCColor{0, 128, 0};
inline constexpr int kPolygonPenWidth = 2;
// Vertex markers are black squares of kMarkerSize pixels centred on the vertex.
inline constexpr int kMarkerSize = 5;

// Sector count of a view's ring.
int viewSectors(DiagramView view);
QColor viewColor(DiagramView view);
// The percentage of vertex i (clockwise from straight up) of a view.
double viewValue(DiagramView view, const ProfileStore &store, int i);

struct DiagramPolygon
{
    QColor color;
    std::vector<DiagramPoint> points;
    // A reference profile's polygon: a dashed outline and hollow markers.
    bool reference = false;
    bool operator==(const DiagramPolygon &) const = default;
};

// The views a kind draws, in drawing order; none for a value outside the kinds.
std::vector<DiagramView> viewsOfKind(DiagramKind kind);

// The polygons of a kind on an overlay of the given size, in drawing order: with a reference,
// its polygons come first, so that they lie under the profile's own.
std::vector<DiagramPolygon> diagramPolygons(const ProfileStore &store, DiagramKind kind,
                                            QSize overlay, const ProfileStore *reference = nullptr);

// A reference polygon's dashes: kDashOn pixels drawn, kDashOff left out, the pattern running on
// round the corners as a dashed pen's would, so that sides shorter than a dash are dashed too.
// Drawn as separate short lines they cost a fraction of a dashed pen's stroke: the rasterizer's
// work follows the bounds of what it fills.
inline constexpr double kDashOn = 6 * kPolygonPenWidth;
inline constexpr double kDashOff = 3 * kPolygonPenWidth;
QVector<QLineF> referenceDashes(const std::vector<DiagramPoint> &points);

// Draws polygons and their markers; the painter's background is left as it is. Points are
// pixel indexes, so a line runs through pixel centres.
void paintDiagramPolygons(QPainter &painter, const std::vector<DiagramPolygon> &polygons);

// The views of a kind onto any device of the given size: the window's overlay, an off-screen
// image, a page.
void paintDiagramViews(QPainter &painter, QSize size, const ProfileStore &store, DiagramKind kind,
                       const ProfileStore *reference = nullptr);

// The sample of a reference polygon's pen that stands before the reference's name: a short
// dashed line across the middle of rect, in the given colour.
void paintReferenceSample(QPainter &painter, const QRect &rect, const QColor &color);
inline constexpr int kReferenceSampleWidth = 24;
// The sample with the air between it and the name.
inline constexpr int kReferenceLeadingWidth = kReferenceSampleWidth + 4;

// ---- value labels around the wheel

inline constexpr int kDiagramLabelCount = 14;
inline constexpr double kFactorIIILabelRadius = 249.75;
inline constexpr double kFactorIILabelRadius = 292.5;
// The labels' centre is moved from the polygon centre so that a short caption placed by its
// top-left corner sits over the ring point.
inline constexpr DiagramPoint kLabelCentreShift{-10, -6};
inline constexpr DiagramPoint kDevelopmentLabelAt{381, 8};
inline constexpr DiagramPoint kInteractionLabelAt{437, 544};

struct DiagramLabelLook
{
    double value = 0;
    QString caption;
    bool bold = false;
    QColor color;
    DiagramPoint topLeft; // in the panel's coordinates
    bool operator==(const DiagramLabelLook &) const = default;
};

// What the fourteen value labels show and where, indexed 1..14 (slot 0 unused): factor (III)
// cells on a ring of eight, factors (II) on a ring of four, the two factors (I) at fixed
// places. A value above 60 is bold green, below 40 bold red, else regular in defaultColor;
// the test is on the unrounded value.
std::array<DiagramLabelLook, kDiagramLabelCount + 1>
diagramLabelLooks(const ProfileStore &store, QSize overlay, const QColor &defaultColor,
                  const QLocale &locale = QLocale::system());
