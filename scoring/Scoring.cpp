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

std::array<int, kSummaryCount> answerTotals(const std::array<int, kAnswerCount> &answers)
{
    std::array<int, kSummaryCount> totals{};
    for (int b = 0; b < kBlockCount; ++b)
        for (int i = 0; i < kAnswersPerBlock; ++i) {
            const int a = answers[std::size_t(kAnswersPerBlock * b + i)];
            totals[std::size_t(b)] += a;
            totals[std::size_t(kBlockCount + i % kScalesPerBlock)] += a;
        }
    totals[8] = totals[4] + totals[5];
    totals[9] = totals[6] + totals[7];
    totals[10] = totals[0] + totals[1];
    totals[11] = totals[2] + totals[3];
    return totals;
}

void addAnswers(const std::array<int, kAnswerCount> &answers, ProfileStore &store)
{
    for (int j = 1; j <= kAnswerCount; ++j)
        store.Answers[std::size_t(j)] =
            static_cast<std::uint8_t>(static_cast<unsigned>(answers[std::size_t(j - 1)]) & 0xFFu);
    const std::array<int, kSummaryCount> totals = answerTotals(answers);
    for (int k = 1; k <= kSummaryCount; ++k)
        store.SummaryScores[std::size_t(k)] += totals[std::size_t(k - 1)];
    addScaleSums(store);
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
