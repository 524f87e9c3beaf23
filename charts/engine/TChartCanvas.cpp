#include "TChartCanvas.h"

#include "ShapedText.h"

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

// The device a picture of a chart is painted on, for measuring without one.
const QPaintDevice *imageDevice()
{
    static const QImage image(1, 1, QImage::Format_RGB32);
    return &image;
}

} // namespace

// ---- text measuring

TChartTextMetrics::TChartTextMetrics(const QPaintDevice *device)
    : device_(device ? device : imageDevice())
{
}

const TChartTextMetrics::Measured &TChartTextMetrics::of(const TChartFont &font) const
{
    for (const Measured &measured : cache_)
        if (measured.font == font)
            return measured;
    const QFont qfont = font.toQFont();
    cache_.push_back({font, qfont, QFontMetrics(qfont, device_)});
    return cache_.back();
}

int TChartTextMetrics::TextWidth(const TChartFont &font, const QString &text) const
{
    // Every frame measures the same labels again.
    return shapedWidth(of(font).qfont, device_, text);
}

int TChartTextMetrics::LineHeight(const TChartFont &font) const
{
    return of(font).metrics.height();
}

// ---- surface

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

void TChartCanvas::TextOut(int left, int y, const QString &text)
{
    const QPen pen = painter_.pen();
    const Qt::BGMode mode = painter_.backgroundMode();
    painter_.setPen(colorOf(font_.Color));
    if (!transparent_)
        painter_.fillRect(QRect(left, y, metrics_->horizontalAdvance(text), metrics_->height()),
                          colorOf(backColor_));
    painter_.setBackgroundMode(Qt::TransparentMode);
    drawShapedText(painter_, QPointF(left, y + metrics_->ascent()), text);
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
    const QPoint from(x0, y0);
    const QPoint to(x1, y1);
    if (penStyle_ == TPenStyle::psClear || from == to)
        return;
    // A line covers its start pixel and leaves out its end pixel, whichever way it runs. The
    // painter always covers the lower end and leaves out the higher one, so a line that runs
    // towards lower coordinates along its longer side is drawn the other way round, one pixel
    // further along that side.
    const QPoint d = to - from;
    const bool alongX = std::abs(d.x()) >= std::abs(d.y());
    const int run = alongX ? d.x() : d.y();
    if (run < 0) {
        const QPoint step = alongX ? QPoint(1, 0) : QPoint(0, 1);
        painter_.drawLine(to + step, from + step);
    } else {
        painter_.drawLine(from, to);
    }
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
}
