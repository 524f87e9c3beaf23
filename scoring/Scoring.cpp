#include "Scoring.h"

namespace {
constexpr int kBlockCount = 4;
constexpr int kScalesPerBlock = 4;
constexpr int kAnswersPerBlock = 8;
} // namespace

void addScaleSums(ProfileStore &store)
{
    for (int b = 0; b < kBlockCount; ++b) {
        for (int k = 1; k <= kScalesPerBlock; ++k) {
            const int first = kAnswersPerBlock * b + k;
            store.ScaleScores[kScalesPerBlock * b + k] +=
                store.Answers[first] + store.Answers[first + kScalesPerBlock];
        }
    }
    for (int j = 1; j <= kFactorIIICount; ++j)
        store.ScaleScores[kScaleCount + j] =
            store.ScaleScores[2 * j - 1] + store.ScaleScores[2 * j];
}

void divideScores(ProfileStore &store, int count)
{
    for (int i = 1; i <= kScaleScoreCount; ++i)
        store.ScaleScores[i] /= count;
    for (int i = 1; i <= kSummaryCount; ++i)
        store.SummaryScores[i] /= count;
}

double toPercent(double raw, ScoreRange range)
{
    return (raw - range.low) * 100.0 / (range.high - range.low);
}

void convertToPercent(ProfileStore &store)
{
    for (int i = 1; i <= kSummaryCount; ++i)
        store.SummaryScores[i] = toPercent(
            store.SummaryScores[i], ProfileStore::ScoreRanges[ProfileStore::summaryRangeRow(i)]);
    for (int i = 1; i <= kScaleScoreCount; ++i)
        store.ScaleScores[i] = toPercent(store.ScaleScores[i],
                                         ProfileStore::ScoreRanges[ProfileStore::scaleRangeRow(i)]);
}
