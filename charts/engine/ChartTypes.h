#pragma once

#include "Rounding.h"

#include <QColor>
#include <QtGlobal>
#include <cstdint>

// Colours as the chart stores them: 0x00BBGGRR, with two sentinels and the system colours in
// the 0x80000000 range resolved against the widget's palette when painted.
using TColor = quint32;

inline constexpr TColor AutoColor = 0x80000000; // no colour of its own: the owner's or default
inline constexpr TColor clNone = 0x1FFFFFFF;    // no colour at all: not drawn
inline constexpr TColor clBtnFace = 0x8000000F;
inline constexpr TColor clBtnHighlight = 0x80000014;
inline constexpr TColor clBtnShadow = 0x80000010;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;

inline constexpr TColor rgbColor(int red, int green, int blue)
{
    return TColor(red) | (TColor(green) << 8) | (TColor(blue) << 16);
}

// The colours that points of a colour-each-point series take in turn, and that new series
// without a colour are given.
inline constexpr int kPaletteSize = 16;
TColor paletteColor(int index);

// A plain colour as Qt paints it; system colours are looked up in the palette passed.
class QPalette;
QColor toQColor(TColor color);
QColor toQColor(TColor color, const QPalette &palette);

// a * b / c rounded to the nearest integer, halves away from zero.
int mulDiv(int a, int b, int c);

// A rectangle by its edges, as the chart lays out: right and bottom are the first pixel
// outside for fills, the edge itself for lines.
struct TRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int width() const { return Right - Left; }
    int height() const { return Bottom - Top; }
    friend bool operator==(const TRect &, const TRect &) = default;
};

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };
enum class TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};
