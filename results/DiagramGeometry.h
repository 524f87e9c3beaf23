#pragma once

#include <array>

// The polar geometry every diagram vertex and value label shares: a ring of equal sectors
// numbered clockwise from straight up, each point on the bisector of its sector. Coordinates
// are whole pixels, y growing downwards.

struct DiagramPoint
{
    int X = 0;
    int Y = 0;
    bool operator==(const DiagramPoint &) const = default;
};

inline constexpr int kMaxSectors = 16;
using DiagramPointArray = std::array<DiagramPoint, kMaxSectors>;

// The size of the overlay the diagram is drawn on.
inline constexpr int kOverlayWidth = 598;
inline constexpr int kOverlayHeight = 560;

// Whole number nearest to v, halves to the even neighbour. Values beyond the range of int
// saturate there, and NaN gives 0, so a coordinate never wraps.
int roundHalfEven(double v);

// Centre of the ring from the overlay's size; (300, 282) for the 598 x 560 overlay.
DiagramPoint DiagramCentre(int width, int height);

// Angle of one sector of a ring of sectorCount sectors (16, 8 or 4), radians.
double SectorAngle(int sectorCount);

// Distance from the centre, in pixels, of a percentage: 0 on the centre, 100 at 186.87.
// Percentages are never clamped in the store, but the formula has a pole at -1 and turns
// negative below it, and between -1 and 0 it climbs towards infinity; so every percentage at
// or below 0 (and NaN) sits on the centre, as 0 does, and a huge one is held at
// kMaxDiagramRadius, far outside any panel but well inside what a painter can draw.
double SectorRadius(double P);
inline constexpr double kMaxDiagramRadius = 10000.0;

// Writes into DiagramPoints[i] the point of sector i at distance r from centre, on the
// sector's bisector: X = N(cx + r sin(phi)), Y = N(cy - r cos(phi)), phi = (i + 1/2) s. An index
// whose sector starts beyond a full turn, or outside the array, leaves the array as it was.
void PlaceOnCircle(DiagramPointArray &DiagramPoints, DiagramPoint centre, double sectorAngle, int i,
                   double r);
