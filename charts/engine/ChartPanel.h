#pragma once

#include "ChartElements.h"

#include <QImage>
#include <QPalette>
#include <QSize>

class TChartCanvas;

enum class TPanelBevel { bvNone, bvLowered, bvRaised };

// The panel a chart paints on: margins and bevels. Every setter stores and requests a repaint;
// a frame paints the whole panel into any painter. It is no widget: the window shows it through
// a chart control (TChart), the report and the batch paint it directly, on any thread.
class TCustomChartPanel : public TChartRepaintTarget
{
    Q_DISABLE_COPY(TCustomChartPanel)

public:
    TCustomChartPanel();
    virtual ~TCustomChartPanel();

    // settings
    int MarginLeft() const { return marginLeft_; }
    void setMarginLeft(int value) { storeSetting(this, marginLeft_, value); }
    int MarginTop() const { return marginTop_; }
    void setMarginTop(int value) { storeSetting(this, marginTop_, value); }
    int MarginRight() const { return marginRight_; }
    void setMarginRight(int value) { storeSetting(this, marginRight_, value); }
    int MarginBottom() const { return marginBottom_; }
    void setMarginBottom(int value) { storeSetting(this, marginBottom_, value); }
    TColor Color() const { return color_; }
    void setColor(TColor value) { storeSetting(this, color_, value); }
    TPanelBevel BevelOuter() const { return bevelOuter_; }
    void setBevelOuter(TPanelBevel value) { storeSetting(this, bevelOuter_, value); }
    TPanelBevel BevelInner() const { return bevelInner_; }
    void setBevelInner(TPanelBevel value) { storeSetting(this, bevelInner_, value); }
    int BevelWidth() const { return bevelWidth_; }
    void setBevelWidth(int value) { storeSetting(this, bevelWidth_, value); }
    int BorderWidth() const { return borderWidth_; }
    void setBorderWidth(int value) { storeSetting(this, borderWidth_, value); }
    // The chart is always drawn flat; on, a visible depth axis would count as shown.
    bool View3D() const { return view3D_; }
    void setView3D(bool value) { storeSetting(this, view3D_, value); }

    // The colours the system colours (clBtnFace and the like) stand for: the application's
    // when the chart is made; a chart control gives its own.
    const QPalette &SystemColors() const { return systemColors_; }
    void setSystemColors(const QPalette &colors);

    // repainting
    void RequestRepaint() override;
    int FramesDrawn() const { return framesDrawn_; }
    bool Destroying() const { return destroying_; }

    // Draws one whole frame into any painter, with the panel rectangle from (0, 0) at size:
    // the control's picture, a QImage in a test or a batch picture, a PDF page.
    void paintTo(QPainter &painter, QSize size);
    // The frame at that size as a picture.
    QImage render(QSize size);

protected:
    // Repaint requests count only once the whole chart is built.
    void EndConstruction() { constructing_ = false; }
    void BeginDestruction() { destroying_ = true; }
    // A request that counts: what shows the chart paints it again.
    virtual void RepaintRequested() {}

    // the frame: laid out, then painted
    virtual void DrawFrame(TChartCanvas &canvas, QSize size) = 0;
    TRect PlotRectFromMargins(const TRect &panel) const;
    virtual void PaintBackground(TChartCanvas &canvas, const TRect &panel) const;
    void PaintBevels(TChartCanvas &canvas, const TRect &panel) const;

private:
    int marginLeft_ = 3;
    int marginTop_ = 4;
    int marginRight_ = 3;
    int marginBottom_ = 4;
    TColor color_ = clBtnFace;
    TPanelBevel bevelOuter_ = TPanelBevel::bvRaised;
    TPanelBevel bevelInner_ = TPanelBevel::bvNone;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    bool view3D_ = true;
    QPalette systemColors_;

    bool constructing_ = true;
    bool destroying_ = false;
    int framesDrawn_ = 0;
};

// Adds the background gradient and a back picture.
class TCustomChartPanelExtended : public TCustomChartPanel
{
    Q_DISABLE_COPY(TCustomChartPanelExtended)

public:
    TCustomChartPanelExtended() = default;

    TChartGradient &Gradient() { return gradient_; }
    const QImage &BackImage() const { return backImage_; }
    void setBackImage(const QImage &value);
    bool BackImageInside() const { return backImageInside_; }
    void setBackImageInside(bool value) { storeSetting(this, backImageInside_, value); }

protected:
    void PaintBackground(TChartCanvas &canvas, const TRect &panel) const override;

private:
    TChartGradient gradient_{this};
    QImage backImage_;
    bool backImageInside_ = false;
};
