#include "ChartParts.h"

#include "AxisMath.h"
#include "TChartCanvas.h"
#include "TChartSeries.h"
#include "TCustomAxisPanel.h"

#include <algorithm>

namespace {

// The default font of the chart's elements, in another colour.
TChartFont defaultFont(TColor color)
{
    TChartFont font;
    font.Color = color;
    return font;
}

} // namespace

// ---- title and foot

TChartTitle::TChartTitle(TChartRepaintTarget *owner, bool foot)
    : TChartFontObject(owner), foot_(foot), brush_(owner), frame_(owner)
{
    setFont(defaultFont(clBlue));
}

void TChartTitle::setText(const QStringList &lines)
{
    store(text_, lines);
}

void TChartTitle::Clear()
{
    text_.clear();
    Changed();
}

void TChartTitle::Add(const QString &line)
{
    text_.append(line);
    Changed();
}

void TChartTitle::Draw(TChartCanvas3D &canvas, TRect &plot, int gap)
{
    if (!Visible())
        return;
    canvas.SetFont(Font());
    const int h = canvas.TextHeight(QStringLiteral("W"));
    const int wWidth = canvas.TextWidth(QStringLiteral("W"));

    // The brush: a title without a colour of its own is transparent unless its brush has one.
    bool filled = true;
    if (Color() == AutoColor) {
        if (brush_.Style() != TBrushStyle::bsSolid) {
            canvas.SetBrush(brush_.Color() == AutoColor ? clWhite : brush_.Color(), brush_.Style());
            canvas.SetBackMode(true);
        } else if (brush_.Color() == AutoColor) {
            canvas.SetBrushClear();
            filled = false;
        } else {
            canvas.SetBrush(brush_.Color(), TBrushStyle::bsSolid);
        }
    } else {
        canvas.SetBrush(Color(), brush_.Style());
        canvas.SetBackMode(false);
        canvas.SetBackColor(Color());
    }

    const bool frameShown = frame_.Visible() && frame_.Color() != AutoColor;
    const int f = frameShown ? frame_.Width() : 0;
    const int lineCount = static_cast<int>(text_.size());
    const TTitleGeometry g = titleGeometry(plot, lineCount, h, f, frame_.Visible(), foot_, gap);
    int left = plot.Left + f;
    int right = plot.Right - f;

    if (lineCount > 0 && (frame_.Visible() || filled)) {
        TRect box{left - f, g.FirstLineTop - f, right + f, g.FirstLineTop + lineCount * h + f};
        if (AdjustFrame()) {
            int widest = 0;
            for (const QString &line : text_)
                widest = std::max(widest, canvas.TextWidth(line));
            const int width = widest + wWidth;
            if (Alignment() == TAlignment::taLeftJustify)
                box.Right = box.Left + width;
            else if (Alignment() == TAlignment::taRightJustify)
                box.Left = box.Right - width;
            else {
                const int middle = (box.Left + box.Right) / 2;
                box.Left = middle - width / 2;
                box.Right = box.Left + width;
            }
        }
        canvas.AssignPen(frame_);
        canvas.Rectangle(box);
    }

    canvas.SetBackMode(true);
    for (int k = 0; k < lineCount; ++k) {
        const QString &line = text_[k];
        const int width = canvas.TextWidth(line);
        int x = (left + right) / 2 - width / 2;
        if (Alignment() == TAlignment::taLeftJustify)
            x = left + wWidth / 2;
        else if (Alignment() == TAlignment::taRightJustify)
            x = right - width - wWidth / 2;
        canvas.TextOut(x, g.FirstLineTop + k * h, line);
    }
    if (foot_)
        plot.Bottom = g.NewEdge;
    else
        plot.Top = g.NewEdge;
}

// ---- legend

TCustomChartLegend::TCustomChartLegend(TChartRepaintTarget *owner)
    : TChartFontObject(owner), brush_(owner), frame_(owner), dividingLines_(owner)
{
}

TLegendStyle TCustomChartLegend::ResolveStyle(const TCustomAxisPanel &chart) const
{
    if (LegendStyle() != TLegendStyle::lsAuto)
        return LegendStyle();
    return chart.CountActiveSeries() < 2 ? TLegendStyle::lsValues : TLegendStyle::lsSeries;
}

TChartSeries *TCustomChartLegend::itemSeries(const TCustomAxisPanel &chart, int item) const
{
    int index = 0;
    for (const auto &s : chart.SeriesList()) {
        if (!s->Active() || !s->ShowInLegend())
            continue;
        if (index == item + FirstValue())
            return s.get();
        ++index;
    }
    return nullptr;
}

QStringList TCustomChartLegend::ItemTexts(const TCustomAxisPanel &chart) const
{
    QStringList texts;
    if (ResolveStyle(chart) == TLegendStyle::lsSeries) {
        int index = 0;
        for (int i = 0; i < chart.SeriesList().Count(); ++i) {
            const TChartSeries *s = chart.SeriesList()[i];
            if (!s->Active() || !s->ShowInLegend())
                continue;
            if (index++ < FirstValue())
                continue;
            QString text = s->Title();
            if (text.isEmpty())
                text = s->Name();
            if (text.isEmpty())
                text = QStringLiteral("Series ") + QString::number(i + 1);
            texts.append(text);
        }
        return texts;
    }
    const TChartSeries *first = chart.FirstActiveSeries();
    if (!first || !first->ShowInLegend())
        return texts;
    for (int i = FirstValue(); i < first->Count(); ++i) {
        const QString value = formatAxisValue(first->YValues().Value(i), first->ValueFormat());
        const QString &label = first->Label(i);
        texts.append(label.isEmpty() ? value : value + QLatin1Char(' ') + label);
    }
    return texts;
}

void TCustomChartLegend::Draw(TChartCanvas3D &canvas, TCustomAxisPanel &chart, TRect &plot,
                              int panelWidth)
{
    // Only the top legend is built; the others leave the plot rectangle as it is.
    if (Alignment() != TLegendAlignment::laTop)
        return;
    resolved_ = ResolveStyle(chart);
    const QStringList texts = ItemTexts(chart);
    canvas.SetFont(Font());
    TLegendInput in;
    in.Plot = plot;
    in.PanelWidth = panelWidth;
    in.ItemCount = static_cast<int>(texts.size());
    in.LineHeight = canvas.TextHeight(QStringLiteral("W"));
    for (const QString &t : texts)
        in.TextWidth = std::max(in.TextWidth, canvas.TextWidth(t));
    in.FrameVisible = frame_.Visible();
    in.FrameWidth = frame_.Width();
    in.ColorWidthPercent = ColorWidth();
    in.TopPosPercent = TopPos();
    in.MaxNumRows = MaxNumRows();
    in.ShadowSize = ShadowSize();
    in.ResizeChart = ResizeChart();
    in.VertMargin = VertMargin();
    geometry_ = topLegendGeometry(in);
    if (!geometry_.Drawn)
        return;

    // box and shadow
    canvas.AssignPen(frame_);
    const TRect &g = geometry_.Box;
    TRect box = g;
    int reach = ShadowSize() - 1;
    if (frame_.Visible()) {
        const int pw = frame_.Width();
        box = {g.Left - pw, g.Top - pw, g.Right + pw, g.Bottom + pw};
        reach = ShadowSize() + pw + (pw - 1) / 2;
    }
    if (ShadowSize() > 0)
        canvas.FillRect(
            {g.Left + ShadowSize(), g.Top + ShadowSize(), g.Right + reach, g.Bottom + reach},
            ShadowColor());
    if (brush_.Style() == TBrushStyle::bsSolid) {
        canvas.SetBrush(Color());
    } else {
        canvas.SetBrush(brush_.Color() == AutoColor ? clBlack : brush_.Color(), brush_.Style());
        canvas.SetBackMode(false);
        canvas.SetBackColor(Color());
    }
    canvas.Rectangle(box);

    // items
    canvas.SetBackMode(true);
    const int shown = std::min(in.ItemCount, geometry_.Columns * geometry_.Rows);
    TChartSeries *first = chart.FirstActiveSeries();
    for (int k = 0; k < shown; ++k) {
        const int item = Inverted() ? in.ItemCount - 1 - k : k;
        const TLegendItemPlace place = legendItemPlace(geometry_, k, in.TextWidth, in.LineHeight);
        canvas.SetPen(Color() == clBlack ? clWhite : clBlack);
        canvas.TextOut(place.TextLeft, place.TextTop, texts[item]);
        if (resolved_ == TLegendStyle::lsSeries) {
            if (TChartSeries *s = itemSeries(chart, item))
                s->DrawLegendSymbol(canvas, -1, place.ColorBox);
        } else if (first) {
            first->DrawLegendSymbol(canvas, FirstValue() + item, place.ColorBox);
        } else {
            canvas.SetBrush(clWhite);
            canvas.Rectangle(place.ColorBox);
        }
    }
    plot.Top = geometry_.PlotTop;
}

// ---- walls

TCustomChartWall::TCustomChartWall(TChartRepaintTarget *owner, TColor color, TBrushStyle brushStyle)
    : TChartPersistent(owner), brush_(owner, brushStyle), pen_(owner)
{
    Color_ = color;
}

void TCustomChartWall::PrepareCanvas(TChartCanvas3D &canvas) const
{
    canvas.AssignPen(pen_);
    if (!brush_.Bitmap().isNull()) {
        canvas.SetBrushBitmap(brush_.Bitmap());
        return;
    }
    if (Color() == AutoColor && brush_.Style() == TBrushStyle::bsSolid) {
        canvas.SetBrushClear();
        return;
    }
    const TColor color = Color() == AutoColor ? clWhite : Color();
    if (brush_.Style() == TBrushStyle::bsSolid) {
        canvas.SetBrush(color, TBrushStyle::bsSolid);
        return;
    }
    // A pattern in the wall's own colour would not show: it takes black or white instead.
    TColor fill = color;
    if (Color() == brush_.Color())
        fill = color == clBlack ? clWhite : clBlack;
    canvas.SetBrush(fill, brush_.Style());
    canvas.SetBackMode(false);
    canvas.SetBackColor(brush_.Color() == AutoColor ? color : brush_.Color());
}
