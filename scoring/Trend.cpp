#include "Trend.h"

#include "CommandError.h"
#include "GroupLoader.h"
#include "NumberFormat.h"
#include "Scoring.h"

#include <algorithm>

double TrendWave::value(int column) const
{
    return column < kSummaryCount ? summary[std::size_t(column + 1)]
                                  : scales[std::size_t(column - kSummaryCount + 1)];
}

std::vector<TrendChange> trendChanges(const std::vector<TrendWave> &waves,
                                      const Disclosure &disclosure)
{
    std::vector<TrendChange> changes;
    std::vector<std::optional<double>> all;
    for (std::size_t w = 1; w < waves.size(); ++w) {
        const TrendWave &before = waves[w - 1], &after = waves[w];
        TrendChange change;
        change.from = int(w - 1);
        change.to = int(w);
        const bool tested = spreadMayShow(before.count, disclosure) &&
                            spreadMayShow(after.count, disclosure);
        for (int c = 0; c < kTrendColumns; ++c) {
            change.difference[std::size_t(c)] = after.value(c) - before.value(c);
            if (!tested)
                continue;
            change.p[std::size_t(c)] = welchP(after.moments.value(c), before.moments.value(c));
            all.push_back(change.p[std::size_t(c)]);
        }
        changes.push_back(change);
    }
    // One family: every change the trend shows is a test among all of them.
    const std::vector<std::optional<double>> adjusted = adjustBH(all);
    std::size_t k = 0;
    for (TrendChange &change : changes) {
        if (!spreadMayShow(waves[std::size_t(change.from)].count, disclosure) ||
            !spreadMayShow(waves[std::size_t(change.to)].count, disclosure))
            continue;
        for (int c = 0; c < kTrendColumns; ++c, ++k)
            change.significant[std::size_t(c)] = differenceMarked(
                adjusted[k] && *adjusted[k] < kSignificanceLevel,
                shownDifference(waves[std::size_t(change.to)].value(c),
                                waves[std::size_t(change.from)].value(c)),
                disclosure);
    }
    return changes;
}
