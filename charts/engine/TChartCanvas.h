#pragma once

#include "ChartElements.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <deque>
#include <optional>
#include <utility>

// Text sizes as a paint device measures them, so a frame is laid out before it is painted and
// with the same numbers. Without a device, text is measured as on an image.
class TChartTextMetrics
{
public:
    explicit TChartTextMetrics(const QPaintDevice *device = nullptr);

    int TextWidth(const TChartFont &font, const QString &text) const;
    // The height of a line: the font's height of "W".
    int LineHeight(const TChartFont &font) const;

private:
    struct Measured
    {
        TChartFont font;
        QFont qfont;
        QFontMetrics metrics;
    };
    const Measured &of(const TChartFont &font) const;

    const QPaintDevice *device_;
    // A frame uses a handful of fonts: each made and measured once, kept where it was put.
    mutable std::deque<Measured> cache_;
};

// The drawing surface of a chart frame, over any QPainter: the widget's off-screen image, a
// QImage in a test or a batch picture, a PDF page. The frame is drawn flat. Rectangles follow
// the chart's rule: the outline covers left..right-1 and top..bottom-1, and so does the fill.
class TChartCanvas
{
public:
    TChartCanvas(QPainter &painter, const QPalette &palette);
    TChartCanvas(const TChartCanvas &) = delete;
    TChartCanvas &operator=(const TChartCanvas &) = delete;

    // pen
    void AssignPen(const TChartPen &pen);
    void SetPen(TColor color, int width = 1, TPenStyle style = TPenStyle::psSolid);
    void SetPenColor(TColor color);

    // brush
    void SetBrush(TColor color, TBrushStyle style = TBrushStyle::bsSolid);
    void SetBrushBitmap(const QImage &bitmap);
    void SetBrushClear() { SetBrush(brushColor_, TBrushStyle::bsClear); }

    // text
    void SetFont(const TChartFont &font);
    void SetBackMode(bool transparent);
    void SetBackColor(TColor color);
    // Writes text with the top-left corner of its box at (x, y).
    void TextOut(int x, int y, const QString &text);

    // shapes
    void Rectangle(const TRect &rect);
    void FillRect(const TRect &rect, TColor color);
    // Lines leave out their last pixel, so joined lines do not paint their joints twice.
    void Line(int x0, int y0, int x1, int y1);
    void ClipRectangle(const TRect &rect);
    void UnClipRectangle();

    // Back to the state a frame starts and ends with.
    void ResetState();

    QPainter &painter() { return painter_; }
    QColor colorOf(TColor color) const { return toQColor(color, palette_); }

private:
    void applyPen();
    void applyBrush();

    QPainter &painter_;
    QPalette palette_;
    TColor penColor_ = clBlack;
    int penWidth_ = 1;
    TPenStyle penStyle_ = TPenStyle::psSolid;
    bool smallDots_ = false;
    TColor brushColor_ = clWhite;
    TBrushStyle brushStyle_ = TBrushStyle::bsSolid;
    QImage brushBitmap_;
    TChartFont font_;
    std::optional<QFontMetrics> metrics_;
    bool transparent_ = true;
    TColor backColor_ = clWhite;
};
