#pragma once

#include "Breakdown.h"
#include "ProfileCsv.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <array>

// A figure per value as {"summary": [12], "scales": [24]}: the shape of every column array of
// the breakdown's and the trend's JSON.
template <typename Figure, std::size_t N, typename ToJson>
QJsonObject summaryAndScales(const std::array<Figure, N> &values, const ToJson &toJson)
{
    static_assert(N == kSummaryCount + kScaleScoreCount);
    QJsonArray summary, scales;
    for (std::size_t c = 0; c < N; ++c)
        (c < std::size_t(kSummaryCount) ? summary : scales).append(toJson(values[c]));
    return {{QStringLiteral("summary"), summary}, {QStringLiteral("scales"), scales}};
}

// The exports publish a subgroup's figures as the views show them: percentages with one
// decimal, p with two significant digits, ICCs with two decimals; the whole folder's row keeps
// its own unrounded.
// The table as CSV: name, count, summary1..12 and scale1..24 in percent, then
// p_summary1..p_scale24 (empty where undefined or withheld) and
// significant_summary1..significant_scale24 (1 or 0, empty where withheld); a row per shown
// subgroup, the whole folder first, its p and significant empty; then the rows icc1 and icc2,
// their count empty. Lines end in CR LF.
QByteArray breakdownCsv(const BreakdownTable &table, const CsvStyle &style);
// The table as one JSON object: the folder, the line, the minimums (minSize, minSpread,
// minDiff), the files pooled and withheld, the subgroup joined to the pooled ones ("" when
// none), "subgroups", an object per row with name, count, spreadShown, summary (12) and scales
// (24), every row but the whole folder's with p and significant of the same shape; and icc1 and
// icc2 ({"summary", "scales"}). Undefined and withheld figures are null.
QByteArray breakdownJson(const BreakdownTable &table);
