#include "ChartElements.h"

#include <QPalette>
#include <array>
#include <cmath>

namespace {

constexpr std::array<TColor, kPaletteSize> kPalette = {
    clRed,  clGreen,  clYellow, clBlue,  clWhite,  clGray,   clFuchsia, clTeal,
    clNavy, clMaroon, clLime,   clOlive, clPurple, clSilver, clAqua,    clBlack};

} // namespace

TColor paletteColor(int index)
{
    return kPalette[static_cast<std::size_t>(((index % kPaletteSize) + kPaletteSize) %
                                             kPaletteSize)];
}

QColor toQColor(TColor color)
{
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

QColor toQColor(TColor color, const QPalette &palette)
{
    switch (color) {
    case clBtnFace:
        return palette.color(QPalette::Button);
    case clBtnHighlight:
        return palette.color(QPalette::Light);
    case clBtnShadow:
        return palette.color(QPalette::Dark);
    default:
        return toQColor(color);
    }
}

int roundToEvenPixel(double value)
{
    // The default floating-point rounding mode is to nearest, ties to even.
    return static_cast<int>(std::nearbyint(value));
}

int mulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const long long product = static_cast<long long>(a) * b;
    const long long half = (c > 0 ? c : -c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const long long magnitude = (product < 0 ? -product : product);
    const long long divisor = c < 0 ? -c : c;
    const long long q = (magnitude + half) / divisor;
    return static_cast<int>(negative ? -q : q);
}

TChartPen::TChartPen(TChartRepaintTarget *owner, TColor color, int width, TPenStyle style,
                     bool visible)
    : TChartPersistent(owner), color_(color), width_(width), style_(style), visible_(visible)
{
}

void TChartBrush::setColor(TColor value)
{
    const bool wasClear = style_ == TBrushStyle::bsClear;
    if (!wasClear && value == color_)
        return;
    color_ = value;
    style_ = wasClear ? TBrushStyle::bsSolid : style_;
    Changed();
}

void TChartBrush::setBitmap(const QImage &value)
{
    bitmap_ = value;
    Changed();
}

QFont TChartFont::toQFont() const
{
    QFont font(Name);
    // Heights are pixels (negative: the character height without internal leading), so the
    // chart looks the same at any screen resolution.
    font.setPixelSize(Height < 0 ? -Height : (Height > 0 ? Height : 11));
    font.setBold(Bold);
    font.setItalic(Italic);
    font.setUnderline(Underline);
    font.setStrikeOut(StrikeOut);
    return font;
}
