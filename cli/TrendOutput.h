#pragma once

#include "ProfileCsv.h"
#include "Trend.h"

#include <QByteArray>

// The trend as one JSON object: "folder", "minSize", "minSpread", "minDiff", "withheld" ({"name",
// "count"} each), "waves" ({"name", "count", "summary": [12], "scales": [24]} each) and "changes"
// ({"from", "to", "difference", "p", "significant"} each, the last three {"summary", "scales"}; a p
// that is undefined is null).
QByteArray trendJson(const Trend &trend);
// The waves as CSV: a header, then name, count, summary1..12 and scale1..24 per shown wave.
// Lines end in CR LF.
QByteArray trendCsv(const Trend &trend, const CsvStyle &style);
