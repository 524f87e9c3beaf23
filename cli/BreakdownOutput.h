#pragma once

#include "Breakdown.h"
#include "ProfileTable.h"

#include <QByteArray>

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
