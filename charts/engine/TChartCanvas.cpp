#include "TChartCanvas.h"

#include <cstdlib>

namespace {

Qt::BrushStyle qtBrushStyle(TBrushStyle style)
{
    switch (style) {
    case TBrushStyle::bsSolid:
        return Qt::SolidPattern;
    case TBrushStyle::bsClear:
        return Qt::NoBrush;
    case TBrushStyle::bsHorizontal:
        return Qt::HorPattern;
    case TBrushStyle::bsVertical:
        return Qt::VerPattern;
    case TBrushStyle::bsFDiagonal:
        return Qt::FDiagPattern;
    case TBrushStyle::bsBDiagonal:
        return Qt::BDiagPattern;
    case TBrushStyle::bsCross:
        return Qt::CrossPattern;
    case TBrushStyle::bsDiagCross:
        return Qt::DiagCrossPattern;
    }
    return Qt::SolidPattern;
}

QRect toQRect(const TRect &r)
{
    return QRect(r.Left, r.Top, r.width(), r.height());
}

} // namespace

TChartCanvas::TChartCanvas(QPainter &painter, const QPalette &palette)
    : painter_(painter), palette_(palette)
{
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    SetFont(font_);
    ResetState();
}

void TChartCanvas::AssignPen(const TChartPen &pen)
{
    penColor_ = pen.Color() == AutoColor ? clBlack : pen.Color();
    penWidth_ = pen.Width();
    penStyle_ = pen.Visible() ? pen.Style() : TPenStyle::psClear;
    smallDots_ = pen.SmallDots() && pen.Width() == 1;
    applyPen();
}

void TChartCanvas::SetPen(TColor color, int width, TPenStyle style)
{
    penColor_ = color;
    penWidth_ = width;
    penStyle_ = style;
    smallDots_ = false;
    applyPen();
}

void TChartCanvas::SetPenColor(TColor color)
{
    penColor_ = color;
    applyPen();
}

void TChartCanvas::applyPen()
{
    if (penStyle_ == TPenStyle::psClear) {
        painter_.setPen(Qt::NoPen);
        return;
    }
    QPen pen(colorOf(penColor_));
    pen.setWidth(penWidth_ <= 1 ? 0 : penWidth_);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    if (smallDots_) {
        pen.setDashPattern({1, 1});
    } else {
        switch (penStyle_) {
        case TPenStyle::psDash:
            pen.setDashPattern({6, 2});
            break;
        case TPenStyle::psDot:
            pen.setDashPattern({3, 3});
            break;
        case TPenStyle::psDashDot:
            pen.setDashPattern({6, 3, 3, 3});
            break;
        case TPenStyle::psDashDotDot:
            pen.setDashPattern({6, 3, 3, 3, 3, 3});
            break;
        default:
            break;
        }
    }
    painter_.setPen(pen);
}

void TChartCanvas::SetBrush(TColor color, TBrushStyle style)
{
    brushColor_ = color;
    brushStyle_ = style;
    brushBitmap_ = QImage();
    applyBrush();
}

void TChartCanvas::SetBrushBitmap(const QImage &bitmap)
{
    brushBitmap_ = bitmap;
    applyBrush();
}

void TChartCanvas::applyBrush()
{
    if (!brushBitmap_.isNull())
        painter_.setBrush(QBrush(brushBitmap_));
    else
        painter_.setBrush(QBrush(colorOf(brushColor_), qtBrushStyle(brushStyle_)));
}

void TChartCanvas::SetFont(const TChartFont &font)
{
    font_ = font;
    const QFont qfont = font.toQFont();
    painter_.setFont(qfont);
    metrics_.emplace(qfont, painter_.device());
}

void TChartCanvas::SetFontColor(TColor color)
{
    font_.Color = color;
}

void TChartCanvas::SetFontPixelSize(int pixels)
{
    TChartFont f = font_;
    f.Height = -pixels;
    SetFont(f);
}

void TChartCanvas::SetBackMode(bool transparent)
{
    transparent_ = transparent;
    painter_.setBackgroundMode(transparent ? Qt::TransparentMode : Qt::OpaqueMode);
}

void TChartCanvas::SetBackColor(TColor color)
{
    backColor_ = color;
    painter_.setBackground(colorOf(color));
}

int TChartCanvas::TextWidth(const QString &text) const
{
    return metrics_->horizontalAdvance(text);
}

int TChartCanvas::TextHeight(const QString &) const
{
    return metrics_->height();
}

void TChartCanvas::TextOut(int x, int y, const QString &text)
{
    int left = x;
    if (align_ == TextAlign::Center)
        left = x - TextWidth(text) / 2;
    else if (align_ == TextAlign::Right)
        left = x - TextWidth(text);
    const QPen pen = painter_.pen();
    const Qt::BGMode mode = painter_.backgroundMode();
    painter_.setPen(colorOf(font_.Color));
    if (!transparent_)
        painter_.fillRect(QRect(left, y, TextWidth(text), TextHeight(text)), colorOf(backColor_));
    painter_.setBackgroundMode(Qt::TransparentMode);
    painter_.drawText(left, y + metrics_->ascent(), text);
    painter_.setBackgroundMode(mode);
    painter_.setPen(pen);
}

void TChartCanvas::Rectangle(const TRect &rect)
{
    // A rectangle without area paints nothing; bars of no width or height draw a line.
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    if (brushStyle_ != TBrushStyle::bsClear || !brushBitmap_.isNull())
        painter_.fillRect(toQRect(rect), painter_.brush());
    if (penStyle_ == TPenStyle::psClear)
        return;
    const QBrush brush = painter_.brush();
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(QRect(rect.Left, rect.Top, rect.width() - 1, rect.height() - 1));
    painter_.setBrush(brush);
}

void TChartCanvas::FillRect(const TRect &rect, TColor color)
{
    if (rect.width() > 0 && rect.height() > 0)
        painter_.fillRect(toQRect(rect), colorOf(color));
}

void TChartCanvas::Line(int x0, int y0, int x1, int y1)
{
    MoveTo(x0, y0);
    LineTo(x1, y1);
}

void TChartCanvas::LineTo(int x, int y)
{
    const QPoint to(x, y);
    if (penStyle_ != TPenStyle::psClear && to != at_) {
        // A line covers its start pixel and leaves out its end pixel, whichever way it runs.
        // The painter always covers the lower end and leaves out the higher one, so a line
        // that runs towards lower coordinates along its longer side is drawn the other way
        // round, one pixel further along that side.
        const QPoint d = to - at_;
        const bool alongX = std::abs(d.x()) >= std::abs(d.y());
        const int run = alongX ? d.x() : d.y();
        if (run < 0) {
            const QPoint step = alongX ? QPoint(1, 0) : QPoint(0, 1);
            painter_.drawLine(to + step, at_ + step);
        } else {
            painter_.drawLine(at_, to);
        }
    }
    at_ = to;
}

void TChartCanvas::ClipRectangle(const TRect &rect)
{
    painter_.setClipRect(toQRect(rect));
}

void TChartCanvas::UnClipRectangle()
{
    painter_.setClipping(false);
}

void TChartCanvas::ResetState()
{
    SetPen(clBlack, 1, TPenStyle::psSolid);
    SetBrush(clWhite, TBrushStyle::bsSolid);
    TChartFont f = font_;
    f.Color = clBlack;
    f.Height = -13; // 10 points
    SetFont(f);
    SetBackMode(true);
    align_ = TextAlign::Left;
}
