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
    storeSetting(repaintTarget(), text_, lines);
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

TRect TChartTitle::alignedBox(TRect box, int width) const
{
    if (Alignment() == TAlignment::taLeftJustify) {
        box.Right = box.Left + width;
    } else if (Alignment() == TAlignment::taRightJustify) {
        box.Left = box.Right - width;
    } else {
        box.Left = (box.Left + box.Right) / 2 - width / 2;
        box.Right = box.Left + width;
    }
    return box;
}

TTitleLayout TChartTitle::Layout(const TRect &plot, int gap, const TChartTextMetrics &metrics) const
{
    TTitleLayout l;
    if (!Visible())
        return l;
    l.Shown = true;
    const int h = metrics.LineHeight(Font());
    const int wWidth = metrics.TextWidth(Font(), QStringLiteral("W"));
    // A title without a colour of its own is transparent unless its brush has one.
    const bool filled = Color() != AutoColor || brush_.Style() != TBrushStyle::bsSolid ||
                        brush_.Color() != AutoColor;
    const bool frameShown = frame_.Visible() && frame_.Color() != AutoColor;
    const int f = frameShown ? frame_.Width() : 0;
    const int lineCount = static_cast<int>(text_.size());
    l.Geometry = titleGeometry(plot, lineCount, h, f, frame_.Visible(), foot_, gap);
    const int left = plot.Left + f;
    const int right = plot.Right - f;
    const int firstTop = l.Geometry.FirstLineTop;

    std::vector<int> widths;
    for (const QString &line : text_)
        widths.push_back(metrics.TextWidth(Font(), line));
    if (lineCount > 0 && (frame_.Visible() || filled)) {
        l.Boxed = true;
        l.Box = {left - f, firstTop - f, right + f, firstTop + lineCount * h + f};
        // As wide as the widest line and a letter.
        if (AdjustFrame())
            l.Box = alignedBox(l.Box, *std::max_element(widths.begin(), widths.end()) + wWidth);
    }
    for (int k = 0; k < lineCount; ++k) {
        const int width = widths[static_cast<std::size_t>(k)];
        int x = (left + right) / 2 - width / 2;
        if (Alignment() == TAlignment::taLeftJustify)
            x = left + wWidth / 2;
        else if (Alignment() == TAlignment::taRightJustify)
            x = right - width - wWidth / 2;
        l.Lines.push_back({x, firstTop + k * h, text_[k]});
    }
    return l;
}

void TChartTitle::Paint(TChartCanvas &canvas, const TTitleLayout &layout) const
{
    if (!layout.Shown)
        return;
    canvas.SetFont(Font());
    if (Color() == AutoColor) {
        if (brush_.Style() != TBrushStyle::bsSolid) {
            canvas.SetBrush(brush_.Color() == AutoColor ? clWhite : brush_.Color(), brush_.Style());
            canvas.SetBackMode(true);
        } else if (brush_.Color() == AutoColor) {
            canvas.SetBrushClear();
        } else {
            canvas.SetBrush(brush_.Color(), TBrushStyle::bsSolid);
        }
    } else {
        canvas.SetBrush(Color(), brush_.Style());
        canvas.SetBackMode(false);
        canvas.SetBackColor(Color());
    }
    if (layout.Boxed) {
        canvas.AssignPen(frame_);
        canvas.Rectangle(layout.Box);
    }
    canvas.SetBackMode(true);
    for (const TTextLine &line : layout.Lines)
        canvas.TextOut(line.Left, line.Top, line.Text);
}

// ---- legend

TCustomChartLegend::TCustomChartLegend(TChartRepaintTarget *owner)
    : TChartFontObject(owner), brush_(owner), frame_(owner)
{
}

TLegendStyle TCustomChartLegend::ResolveStyle(const TCustomAxisPanel &chart) const
{
    if (LegendStyle() != TLegendStyle::lsAuto)
        return LegendStyle();
    return chart.CountActiveSeries() < 2 ? TLegendStyle::lsValues : TLegendStyle::lsSeries;
}

int TCustomChartLegend::itemSeries(const TCustomAxisPanel &chart, int item) const
{
    int index = 0;
    const TChartSeriesList &list = chart.SeriesList();
    for (int i = 0; i < list.Count(); ++i) {
        if (!list[i]->Active() || !list[i]->ShowInLegend())
            continue;
        if (index == item + FirstValue())
            return i;
        ++index;
    }
    return -1;
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

TLegendInput TCustomChartLegend::geometryInput(const TRect &plot, int panelWidth,
                                               const QStringList &texts,
                                               const TChartTextMetrics &metrics) const
{
    TLegendInput in;
    in.Plot = plot;
    in.PanelWidth = panelWidth;
    in.ItemCount = static_cast<int>(texts.size());
    in.LineHeight = metrics.LineHeight(Font());
    for (const QString &t : texts)
        in.TextWidth = std::max(in.TextWidth, metrics.TextWidth(Font(), t));
    in.FrameVisible = frame_.Visible();
    in.FrameWidth = frame_.Width();
    in.ColorWidthPercent = ColorWidth();
    in.TopPosPercent = TopPos();
    in.MaxNumRows = MaxNumRows();
    in.ShadowSize = ShadowSize();
    in.ResizeChart = ResizeChart();
    in.VertMargin = VertMargin();
    return in;
}

std::vector<TLegendItem> TCustomChartLegend::placeItems(const TCustomAxisPanel &chart,
                                                        const TLegendLayout &legend,
                                                        const QStringList &texts,
                                                        const TLegendInput &in) const
{
    std::vector<TLegendItem> items;
    const int shown = std::min(in.ItemCount, legend.Geometry.Columns * legend.Geometry.Rows);
    const TChartSeries *first = chart.FirstActiveSeries();
    const int firstIndex = first ? chart.SeriesList().IndexOf(first) : -1;
    for (int k = 0; k < shown; ++k) {
        const int item = Inverted() ? in.ItemCount - 1 - k : k;
        const TLegendItemPlace place =
            legendItemPlace(legend.Geometry, k, in.TextWidth, in.LineHeight);
        TLegendItem entry;
        entry.Text = {place.TextLeft, place.TextTop, texts[item]};
        entry.ColorBox = place.ColorBox;
        // A series entry shows the series' symbol, a value entry its point's in the first
        // active series.
        if (legend.Style == TLegendStyle::lsSeries) {
            entry.Series = itemSeries(chart, item);
        } else {
            entry.Series = firstIndex;
            entry.ValueIndex = FirstValue() + item;
        }
        items.push_back(entry);
    }
    return items;
}

TLegendLayout TCustomChartLegend::Layout(const TCustomAxisPanel &chart, const TRect &plot,
                                         int panelWidth, const TChartTextMetrics &metrics) const
{
    TLegendLayout l;
    l.Geometry.PlotTop = plot.Top;
    // Only the top legend is built; the others leave the plot rectangle as it is.
    if (Alignment() != TLegendAlignment::laTop)
        return l;
    l.Style = ResolveStyle(chart);
    const QStringList texts = ItemTexts(chart);
    const TLegendInput in = geometryInput(plot, panelWidth, texts, metrics);
    l.Geometry = topLegendGeometry(in);
    if (!l.Geometry.Drawn)
        return l;

    // The box grows by the frame pen; the shadow reaches past it, down and right.
    const TRect &g = l.Geometry.Box;
    l.Frame = g;
    int reach = ShadowSize() - 1;
    if (frame_.Visible()) {
        const int pw = frame_.Width();
        l.Frame = {g.Left - pw, g.Top - pw, g.Right + pw, g.Bottom + pw};
        reach = ShadowSize() + pw + (pw - 1) / 2;
    }
    if (ShadowSize() > 0)
        l.Shadow = {g.Left + ShadowSize(), g.Top + ShadowSize(), g.Right + reach, g.Bottom + reach};
    l.Items = placeItems(chart, l, texts, in);
    return l;
}

void TCustomChartLegend::Paint(TChartCanvas &canvas, const TLegendLayout &layout,
                               const TCustomAxisPanel &chart) const
{
    if (!layout.Geometry.Drawn)
        return;
    canvas.SetFont(Font());
    canvas.AssignPen(frame_);
    if (ShadowSize() > 0)
        canvas.FillRect(layout.Shadow, ShadowColor());
    if (brush_.Style() == TBrushStyle::bsSolid) {
        canvas.SetBrush(Color());
    } else {
        canvas.SetBrush(brush_.Color() == AutoColor ? clBlack : brush_.Color(), brush_.Style());
        canvas.SetBackMode(false);
        canvas.SetBackColor(Color());
    }
    canvas.Rectangle(layout.Frame);

    canvas.SetBackMode(true);
    const TChartSeriesList &list = chart.SeriesList();
    for (const TLegendItem &item : layout.Items) {
        canvas.SetPen(Color() == clBlack ? clWhite : clBlack);
        canvas.TextOut(item.Text.Left, item.Text.Top, item.Text.Text);
        if (item.Series >= 0 && item.Series < list.Count())
            list[item.Series]->DrawLegendSymbol(canvas, item.ValueIndex, item.ColorBox);
    }
}

// ---- walls

TCustomChartWall::TCustomChartWall(TChartRepaintTarget *owner, TBrushStyle brushStyle)
    : TChartPersistent(owner), brush_(owner, brushStyle), pen_(owner)
{
}

void TCustomChartWall::PrepareCanvas(TChartCanvas &canvas) const
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
