#pragma once

#include <QString>
#include <utility>
#include <vector>

// The arithmetic of an axis, apart from any drawing: value formats, label steps, the value to
// pixel mapping and where labels and ticks go.

// A value written by an axis or mark format: "0." and "#0." give whole numbers (halves away
// from zero, no decimal separator); "#,##0.###" groups thousands and keeps up to three
// decimals. The separators are the user's.
QString formatAxisValue(double value, const QString &format);

// The step after x in 0.1, 0.2, 0.5, 1, 2, 5, 10, 20, 50, ...
double nextAxisStep(double x);

// The label step: start from the increment (or 1, or 1E-12 for a range below 1) and grow until
// the labels of size labelSize, with separationPercent between them, fit in lengthPixels.
double axisLabelStep(double rangeSize, double increment, int lengthPixels, int labelSize,
                     int separationPercent);

// An axis' range and its span in pixels, and the mapping between the two.
struct TAxisScale
{
    double RangeMin = 0;
    double RangeMax = 0;
    int StartPixel = 0;
    int EndPixel = 0;
    bool Horizontal = true;
    bool Inverted = false;

    double RangeSize() const { return RangeMax - RangeMin; }
    int LengthPixels() const { return EndPixel - StartPixel; }
    int CenterPixel() const { return (StartPixel + EndPixel) / 2; }
    // Larger values lie right on a horizontal axis and higher up on a vertical one.
    int CalcPosValue(double value) const;
    double CalcPosPoint(int pixel) const;
    friend bool operator==(const TAxisScale &, const TAxisScale &) = default;
};

// The scale widened so that the old range ends land low and high pixels inside the span.
TAxisScale widenByMargins(const TAxisScale &scale, int low, int high);

// Values that carry a value label, from the top down; empty when there would be 10000 or more.
std::vector<double> valueLabelValues(double rangeMin, double rangeMax, double step,
                                     bool roundFirstLabel);

// Which mark labels are drawn, given each candidate's pixel and size along the axis in the
// order considered: the first always, a later one only when it keeps its distance from the
// last drawn one.
std::vector<bool> markLabelsShown(const std::vector<std::pair<int, int>> &pixelAndSize,
                                  int separationPercent);

// Minor tick positions between and beyond the recorded tick positions, strictly inside the
// axis span.
std::vector<int> minorTickPositions(const std::vector<int> &ticks, int count, int startPixel,
                                    int endPixel, bool logarithmic);
