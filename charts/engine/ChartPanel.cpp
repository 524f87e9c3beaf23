#include "ChartPanel.h"

#include "ChartLayout.h"
#include "TChartCanvas.h"

#include <QLinearGradient>

TCustomChartPanel::TCustomChartPanel() = default;

TCustomChartPanel::~TCustomChartPanel() = default;

void TCustomChartPanel::setSystemColors(const QPalette &colors)
{
    systemColors_ = colors;
    RequestRepaint();
}

void TCustomChartPanel::RequestRepaint()
{
    if (constructing_ || destroying_)
        return;
    RepaintRequested();
}

void TCustomChartPanel::paintTo(QPainter &painter, QSize size)
{
    TChartCanvas canvas(painter, systemColors_);
    DrawFrame(canvas, size);
    ++framesDrawn_;
}

QImage TCustomChartPanel::render(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    paintTo(painter, size);
    return image;
}

TRect TCustomChartPanel::PlotRectFromMargins(const TRect &panel) const
{
    return plotRectFromMargins(panel, marginLeft_, marginTop_, marginRight_, marginBottom_,
                               borderWidth_);
}

void TCustomChartPanel::PaintBackground(TChartCanvas &canvas, const TRect &panel) const
{
    canvas.SetPen(clBlack, 1, TPenStyle::psClear);
    canvas.FillRect(panel, color_);
}

void TCustomChartPanel::PaintBevels(TChartCanvas &canvas, const TRect &panel) const
{
    TRect r = panel;
    // One-pixel rings from the outside in, each taking its line off the rectangle.
    const auto rings = [&](int count, TColor topLeft, TColor bottomRight) {
        for (int i = 0; i < count; ++i) {
            canvas.FillRect({r.Left, r.Top, r.Right, r.Top + 1}, topLeft);
            canvas.FillRect({r.Left, r.Top, r.Left + 1, r.Bottom}, topLeft);
            canvas.FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom}, bottomRight);
            canvas.FillRect({r.Right - 1, r.Top, r.Right, r.Bottom}, bottomRight);
            r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
        }
    };
    const auto bevel = [&](TPanelBevel kind) {
        if (kind == TPanelBevel::bvNone)
            return;
        const bool raised = kind == TPanelBevel::bvRaised;
        rings(bevelWidth_, raised ? clBtnHighlight : clBtnShadow,
              raised ? clBtnShadow : clBtnHighlight);
    };
    bevel(bevelOuter_);
    rings(borderWidth_, color_, color_);
    bevel(bevelInner_);
}

// ---- extended panel

void TCustomChartPanelExtended::setBackImage(const QImage &value)
{
    backImage_ = value;
    RequestRepaint();
}

void TCustomChartPanelExtended::PaintBackground(TChartCanvas &canvas, const TRect &panel) const
{
    const TRect &r = panel;
    if (gradient_.Visible()) {
        QPointF from(r.Left, r.Top);
        QPointF to(r.Left, r.Bottom);
        switch (gradient_.Direction()) {
        case TGradientDirection::gdTopBottom:
            break;
        case TGradientDirection::gdBottomTop:
            std::swap(from, to);
            break;
        case TGradientDirection::gdLeftRight:
            to = QPointF(r.Right, r.Top);
            break;
        case TGradientDirection::gdRightLeft:
            from = QPointF(r.Right, r.Top);
            to = QPointF(r.Left, r.Top);
            break;
        }
        QLinearGradient g(from, to);
        g.setColorAt(0, toQColor(gradient_.StartColor()));
        g.setColorAt(1, toQColor(gradient_.EndColor()));
        canvas.painter().fillRect(QRect(r.Left, r.Top, r.width(), r.height()), g);
    } else {
        TCustomChartPanel::PaintBackground(canvas, panel);
    }
    if (!backImage_.isNull() && !backImageInside_)
        canvas.painter().drawImage(QRect(r.Left, r.Top, r.width(), r.height()), backImage_);
}
