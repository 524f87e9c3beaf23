#pragma once

#include "Breakdown.h"
#include "Disclosure.h"
#include "Trend.h"

#include <QString>
#include <QStringList>
#include <optional>

// What the breakdown's and the trend's windows and pages tell people about what was left out and
// what the marks mean.

// What the window and the page say about the rows the minimum size left out, one sentence a
// line.
QStringList breakdownNotes(const BreakdownTable &table);
// The warning that goes with every breakdown: the rows of two breakdowns of one folder by
// different lines can be subtracted.
QString breakdownRiskNote();

// The row under the subgroups that gives each column's ICC(1): "доля различий между
// подгруппами", its figures whole percentages of the ICC as published ("—" where undefined).
QString breakdownShareRowName();
QString breakdownShareText(const std::optional<double> &icc1);
// What the marks of the heat map say: the framed cells (both conditions) and the share row.
QString breakdownMarksNote(const Disclosure &disclosure);

// The note on the waves the minimum size left out and the tests the spread minimum did; empty
// when none was.
QString trendWithheldNote(const Trend &trend);
