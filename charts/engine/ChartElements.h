#pragma once

#include "ChartTypes.h"

#include <QFont>
#include <QImage>
#include <QString>

// What every element of a chart tells when one of its settings changes: the chart marks its
// picture stale and asks for a paint.
class TChartRepaintTarget
{
public:
    virtual void RequestRepaint() = 0;

protected:
    ~TChartRepaintTarget() = default;
    // Whom a setting of this object asks for a repaint: itself.
    TChartRepaintTarget *repaintTarget() { return this; }
};

// What every setter of the chart does: stores the setting and, when it changed, asks the target
// (if there is one yet) for a repaint.
template <class T> void storeSetting(TChartRepaintTarget *target, T &field, const T &value)
{
    if (field == value)
        return;
    field = value;
    if (target)
        target->RequestRepaint();
}

// Base of the chart's elements: each setter stores and requests a repaint of the owner.
class TChartPersistent
{
public:
    explicit TChartPersistent(TChartRepaintTarget *owner) : owner_(owner) {}
    virtual ~TChartPersistent() = default;
    TChartPersistent(const TChartPersistent &) = delete;
    TChartPersistent &operator=(const TChartPersistent &) = delete;

protected:
    void Changed() const
    {
        if (owner_)
            owner_->RequestRepaint();
    }
    // Whom a setting of this element asks for a repaint: its owner.
    TChartRepaintTarget *repaintTarget() const { return owner_; }

private:
    TChartRepaintTarget *owner_;
};

// A stored setting with a getter, a setter that stores and requests a repaint, and a default.
#define TCHART_PROPERTY(Type, Name, Default)                                                       \
public:                                                                                            \
    Type Name() const                                                                              \
    {                                                                                              \
        return Name##_;                                                                            \
    }                                                                                              \
    void set##Name(const Type &value)                                                              \
    {                                                                                              \
        storeSetting(repaintTarget(), Name##_, value);                                             \
    }                                                                                              \
                                                                                                   \
private:                                                                                           \
    Type Name##_ = Default;

class TChartPen : public TChartPersistent
{
public:
    explicit TChartPen(TChartRepaintTarget *owner, TColor color = clBlack, int width = 1,
                       TPenStyle style = TPenStyle::psSolid, bool visible = true);

    TColor Color() const { return color_; }
    void setColor(TColor value) { storeSetting(repaintTarget(), color_, value); }
    int Width() const { return width_; }
    void setWidth(int value) { storeSetting(repaintTarget(), width_, value); }
    TPenStyle Style() const { return style_; }
    void setStyle(TPenStyle value) { storeSetting(repaintTarget(), style_, value); }
    bool Visible() const { return visible_; }
    void setVisible(bool value) { storeSetting(repaintTarget(), visible_, value); }
    // A one-pixel pen that draws every other pixel.
    bool SmallDots() const { return smallDots_; }
    void setSmallDots(bool value) { storeSetting(repaintTarget(), smallDots_, value); }

private:
    TColor color_;
    int width_;
    TPenStyle style_;
    bool visible_;
    bool smallDots_ = false;
};

// A pen that starts invisible.
class TChartHiddenPen : public TChartPen
{
public:
    explicit TChartHiddenPen(TChartRepaintTarget *owner)
        : TChartPen(owner, clBlack, 1, TPenStyle::psSolid, false)
    {
    }
};

class TChartBrush : public TChartPersistent
{
public:
    explicit TChartBrush(TChartRepaintTarget *owner, TBrushStyle style = TBrushStyle::bsSolid)
        : TChartPersistent(owner), style_(style)
    {
    }

    TColor Color() const { return color_; }
    // A colour makes a clear brush solid: that is how a stored colour makes a wall opaque.
    void setColor(TColor value);
    TBrushStyle Style() const { return style_; }
    void setStyle(TBrushStyle value) { storeSetting(repaintTarget(), style_, value); }
    const QImage &Bitmap() const { return bitmap_; }
    void setBitmap(const QImage &value);

private:
    TColor color_ = AutoColor;
    TBrushStyle style_;
    QImage bitmap_;
};

// A font as the chart's elements keep it: family, height in pixels (negative: character
// height), colour and style.
struct TChartFont
{
    QString Name = QStringLiteral("Arial");
    int Height = -11; // 8 points at 96 pixels per inch
    TColor Color = clBlack;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;

    QFont toQFont() const;
    friend bool operator==(const TChartFont &, const TChartFont &) = default;
};

// Base of the elements that write text: owns a font.
class TChartFontObject : public TChartPersistent
{
public:
    using TChartPersistent::TChartPersistent;

    const TChartFont &Font() const { return font_; }
    void setFont(const TChartFont &value) { storeSetting(repaintTarget(), font_, value); }
    void setFontColor(TColor value)
    {
        TChartFont f = font_;
        f.Color = value;
        setFont(f);
    }

private:
    TChartFont font_;
};

enum class TGradientDirection { gdTopBottom, gdBottomTop, gdLeftRight, gdRightLeft };

class TChartGradient : public TChartPersistent
{
public:
    using TChartPersistent::TChartPersistent;

    bool Visible() const { return visible_; }
    void setVisible(bool value) { storeSetting(repaintTarget(), visible_, value); }
    TGradientDirection Direction() const { return direction_; }
    void setDirection(TGradientDirection value)
    {
        storeSetting(repaintTarget(), direction_, value);
    }
    TColor StartColor() const { return start_; }
    void setStartColor(TColor value) { storeSetting(repaintTarget(), start_, value); }
    TColor EndColor() const { return end_; }
    void setEndColor(TColor value) { storeSetting(repaintTarget(), end_, value); }

private:
    bool visible_ = false;
    TGradientDirection direction_ = TGradientDirection::gdTopBottom;
    TColor start_ = clWhite;
    TColor end_ = clYellow;
};
