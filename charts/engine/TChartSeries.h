#pragma once

#include "ChartElements.h"
#include "ChartLayout.h"
#include "MessageError.h"

#include <QString>
#include <QStringList>
#include <exception>
#include <memory>
#include <vector>

class TCustomAxisPanel;
class TCustomChartAxis;
class TChartCanvas;

// An error of a chart setting: carries the exact text the user is shown.
class EChartError : public MessageError
{
public:
    explicit EChartError(const QString &message) : MessageError(message) {}
};

enum class TChartListOrder { loNone, loAscending, loDescending };

// One list of a series' values (X or Y), ordered on insertion, with statistics cached until
// the next change so the axes can ask at every paint.
class TChartValueList
{
public:
    TChartValueList(const QString &name, TChartListOrder order) : name_(name), order_(order) {}

    const QString &Name() const { return name_; }
    void setName(const QString &value) { name_ = value; }
    double Multiplier() const { return multiplier_; }
    void setMultiplier(double value);
    TChartListOrder Order() const { return order_; }
    void setOrder(TChartListOrder value) { order_ = value; }

    int Count() const { return static_cast<int>(values_.size()); }
    double Value(int index) const { return values_[static_cast<std::size_t>(index)] * multiplier_; }
    double operator[](int index) const { return Value(index); }
    // Where a new value goes by the list's order; the index it was given.
    int InsertionIndex(double value) const;
    void Insert(int index, double value);
    int AddChartValue(double value);
    void SetValue(int index, double value);
    void Delete(int index);
    void Clear();

    double MinValue() const;
    double MaxValue() const;
    double Total() const;
    double TotalABS() const;
    // How often the statistics were computed: they are cached between changes.
    int StatisticsRuns() const { return statisticsRuns_; }

private:
    void recalc() const;

    QString name_;
    TChartListOrder order_;
    double multiplier_ = 1;
    std::vector<double> values_;

    mutable bool dirty_ = true;
    mutable double min_ = 0;
    mutable double max_ = 0;
    mutable double total_ = 0;
    mutable double totalAbs_ = 0;
    mutable int statisticsRuns_ = 0;
};

// The labels beside the points: stored, not drawn. Every series of the program hides them.
class TSeriesMarks : public TChartPersistent
{
public:
    explicit TSeriesMarks(TChartRepaintTarget *owner) : TChartPersistent(owner), frame_(owner) {}

    bool Visible() const { return visible_; }
    void setVisible(bool value) { storeSetting(repaintTarget(), visible_, value); }
    int ArrowLength() const { return arrowLength_; }
    void setArrowLength(int value) { storeSetting(repaintTarget(), arrowLength_, value); }
    TChartPen &Frame() { return frame_; }

private:
    bool visible_ = true;
    int arrowLength_ = 8;
    TChartPen frame_;
};

enum class THorizAxis { aTopAxis, aBottomAxis };
enum class TVertAxis { aLeftAxis, aRightAxis };

// Pixel room a series asks at the two ends of an axis.
struct TSeriesMargins
{
    int Low = 0;  // left or top
    int High = 0; // right or bottom
    friend bool operator==(const TSeriesMargins &, const TSeriesMargins &) = default;
};

// A set of points: X and Y values, a colour and a label per point, and how they are drawn.
class TChartSeries : public TChartRepaintTarget
{
public:
    explicit TChartSeries(const QString &name = {});
    virtual ~TChartSeries();
    TChartSeries(const TChartSeries &) = delete;
    TChartSeries &operator=(const TChartSeries &) = delete;

    // settings
    const QString &Name() const { return name_; }
    bool Active() const { return active_; }
    void setActive(bool value);
    const QString &Title() const { return title_; }
    void setTitle(const QString &value);
    bool ShowInLegend() const { return showInLegend_; }
    void setShowInLegend(bool value);
    TColor SeriesColor() const { return seriesColor_; }
    void setSeriesColor(TColor value);
    bool ColorEachPoint() const { return colorEachPoint_; }
    void setColorEachPoint(bool value);
    const QString &ValueFormat() const { return valueFormat_; }
    void setValueFormat(const QString &value);
    THorizAxis HorizAxis() const { return horizAxis_; }
    void setHorizAxis(THorizAxis value);
    TVertAxis VertAxis() const { return vertAxis_; }
    void setVertAxis(TVertAxis value);
    TChartValueList &XValues() { return xValues_; }
    const TChartValueList &XValues() const { return xValues_; }
    TChartValueList &YValues() { return yValues_; }
    const TChartValueList &YValues() const { return yValues_; }
    TSeriesMarks &Marks() { return marks_; }

    // points
    int Count() const { return xValues_.Count(); }
    void Clear();
    // Appends a point at X = the current count; returns its index.
    int AddValue(double value, const QString &label = {}, TColor color = AutoColor);
    int AddXY(double x, double y, const QString &label = {}, TColor color = AutoColor);
    const QString &Label(int index) const { return labels_[static_cast<std::size_t>(index)]; }
    TColor StoredColor(int index) const { return colors_[static_cast<std::size_t>(index)]; }
    TColor PointColor(int index) const;
    // A second value a point is measured against (a target, an earlier result), shown by the
    // series over its point; NaN for none, as every point starts.
    double Target(int index) const { return targets_[static_cast<std::size_t>(index)]; }
    void SetTarget(int index, double value);
    QString MarkText(int index) const;

    // the chart this series belongs to
    TCustomAxisPanel *ParentChart() const { return chart_; }
    void setParentChart(TCustomAxisPanel *chart) { chart_ = chart; }
    TCustomChartAxis *GetHorizAxis() const;
    TCustomChartAxis *GetVertAxis() const;
    // The axes' places in the chart's list (kBottomAxis ... kRightAxis).
    int HorizAxisIndex() const;
    int VertAxisIndex() const;
    bool AssociatedToAxis(const TCustomChartAxis *axis) const;

    // answers to the chart and the axes
    virtual double MinXValue() const { return xValues_.MinValue(); }
    virtual double MaxXValue() const { return xValues_.MaxValue(); }
    virtual double MinYValue() const { return yValues_.MinValue(); }
    virtual double MaxYValue() const { return yValues_.MaxValue(); }
    // Pixel room at the ends of the X axis, whose scale so far is horiz, and of the Y axis.
    virtual TSeriesMargins CalcHorizMargins(const TAxisScale &) const { return {}; }
    virtual TSeriesMargins CalcVertMargins() const { return {}; }
    // The axis pixels of point index's X and Y values.
    int CalcXPos(int index, const TAxisScale &horiz) const;
    int CalcYPos(int index, const TAxisScale &vert) const;
    virtual bool DrawValuesForward() const;
    TVisibleRange CalcVisibleRange(const TAxisScale &horiz, const TRect &plot) const;

    // the frame
    // The visible points, placed on the final scales of the series' axes.
    virtual TSeriesLayout Layout(const TAxisScale &horiz, const TAxisScale &vert,
                                 const TRect &plot) const;
    // Paints layout.Points[point].
    virtual void DrawValue(TChartCanvas &canvas, const TSeriesLayout &layout,
                           std::size_t point) const = 0;
    virtual void DrawLegendSymbol(TChartCanvas &canvas, int valueIndex, const TRect &rect) const;

    void RequestRepaint() override;

protected:
    // A line keeps the one point beyond the right edge so that it reaches the edge.
    virtual bool KeepsPointBeyondEdge() const { return false; }
    void RepaintIfActive();

private:
    QString name_;
    TCustomAxisPanel *chart_ = nullptr;
    bool active_ = true;
    QString title_;
    bool showInLegend_ = true;
    TColor seriesColor_ = AutoColor;
    bool colorEachPoint_ = false;
    QString valueFormat_ = QStringLiteral("#,##0.###");
    THorizAxis horizAxis_ = THorizAxis::aBottomAxis;
    TVertAxis vertAxis_ = TVertAxis::aLeftAxis;
    TChartValueList xValues_{QStringLiteral("X"), TChartListOrder::loAscending};
    TChartValueList yValues_{QStringLiteral("Y"), TChartListOrder::loNone};
    std::vector<TColor> colors_;
    std::vector<QString> labels_;
    std::vector<double> targets_;
    TSeriesMarks marks_{this};
};

// The chart's series in drawing, legend and grouping order; the chart owns them.
class TChartSeriesList
{
public:
    explicit TChartSeriesList(TCustomAxisPanel *chart) : chart_(chart) {}

    int Count() const { return static_cast<int>(items_.size()); }
    TChartSeries *operator[](int index) const
    {
        return items_[static_cast<std::size_t>(index)].get();
    }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    // A series without a colour gets the first palette colour no other series uses.
    TChartSeries *Add(std::unique_ptr<TChartSeries> series);
    void Remove(TChartSeries *series);
    int IndexOf(const TChartSeries *series) const;

private:
    TCustomAxisPanel *chart_;
    std::vector<std::unique_ptr<TChartSeries>> items_;
};
