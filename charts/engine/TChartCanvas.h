#pragma once

#include "ChartElements.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <optional>

// The drawing surface of a chart frame, over any QPainter: the widget's off-screen image, a
// QImage in a test or a batch picture, a PDF page. Rectangles follow the chart's rule: the
// outline covers left..right-1 and top..bottom-1, and so does the fill.
class TChartCanvas
{
public:
    enum class TextAlign { Left, Center, Right };

    TChartCanvas(QPainter &painter, const QPalette &palette);
    virtual ~TChartCanvas() = default;
    TChartCanvas(const TChartCanvas &) = delete;
    TChartCanvas &operator=(const TChartCanvas &) = delete;

    // pen
    void AssignPen(const TChartPen &pen);
    void SetPen(TColor color, int width = 1, TPenStyle style = TPenStyle::psSolid);
    void SetPenColor(TColor color);
    TColor PenColor() const { return penColor_; }
    int PenWidth() const { return penWidth_; }
    TPenStyle PenStyle() const { return penStyle_; }

    // brush
    void SetBrush(TColor color, TBrushStyle style = TBrushStyle::bsSolid);
    void SetBrushBitmap(const QImage &bitmap);
    void SetBrushClear() { SetBrush(brushColor_, TBrushStyle::bsClear); }
    TBrushStyle BrushStyle() const { return brushStyle_; }
    TColor BrushColor() const { return brushColor_; }

    // text
    void SetFont(const TChartFont &font);
    void SetFontColor(TColor color);
    void SetFontPixelSize(int pixels);
    void SetBackMode(bool transparent);
    void SetBackColor(TColor color);
    void SetTextAlign(TextAlign align) { align_ = align; }
    int TextWidth(const QString &text) const;
    int TextHeight(const QString &text) const;
    // Writes text with its top at y; x is the left end, the centre or the right end by the
    // alignment.
    void TextOut(int x, int y, const QString &text);

    // shapes
    void Rectangle(const TRect &rect);
    void FillRect(const TRect &rect, TColor color);
    // Lines leave out their last pixel, so joined lines do not paint their joints twice.
    void Line(int x0, int y0, int x1, int y1);
    void MoveTo(int x, int y) { at_ = QPoint(x, y); }
    void LineTo(int x, int y);
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
    TextAlign align_ = TextAlign::Left;
    QPoint at_;
};

// The surface as the chart's elements use it, with room for depth: every element passes a
// depth, and the surface projects it.
class TCanvas3D : public TChartCanvas
{
public:
    using TChartCanvas::TChartCanvas;

    virtual QPoint Calculate3DPosition(int x, int y, int z) const = 0;
    virtual void RectangleWithZ(const TRect &rect, int z) = 0;
    virtual void LineWithZ(int x0, int y0, int x1, int y1, int z) = 0;
    virtual void TextOut3D(int x, int y, int z, const QString &text) = 0;
};

// The chart's surface. The frame is drawn flat: the projection is the identity, the depth of
// every element is ignored.
class TChartCanvas3D : public TCanvas3D
{
public:
    using TCanvas3D::TCanvas3D;

    QPoint Calculate3DPosition(int x, int y, int) const override { return {x, y}; }
    void RectangleWithZ(const TRect &rect, int) override { Rectangle(rect); }
    void LineWithZ(int x0, int y0, int x1, int y1, int) override { Line(x0, y0, x1, y1); }
    void TextOut3D(int x, int y, int, const QString &text) override { TextOut(x, y, text); }
};
