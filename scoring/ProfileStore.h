#pragma once

#include <QString>
#include <array>
#include <cstdint>

// Sizes of the profile. Every array below is indexed from 1, as the questionnaire numbers its
// answers and scores; slot 0 is never used.
inline constexpr int kAnswerCount = 32;
inline constexpr int kScaleCount = 16;      // the sixteen scales, ScaleScores[1..16]
inline constexpr int kScaleScoreCount = 24; // scales plus the eight factor (III) cells
inline constexpr int kSummaryCount = 12;
inline constexpr int kFactorIIICount = 8;

struct ScoreRange
{
    std::uint8_t low;
    std::uint8_t high;
    bool operator==(const ScoreRange &) const = default;
};

// The profile on display: the answers of the last file read, the 24 scale scores and the
// 12 summary scores. Raw sums after reading, percentages after the percent conversion.
struct ProfileStore
{
    std::array<std::uint8_t, kAnswerCount + 1> Answers{};
    std::array<double, kSummaryCount + 1> SummaryScores{};
    std::array<double, kScaleScoreCount + 1> ScaleScores{};

    // Lowest and highest possible sums: row 1 scales, 2 factor (III) cells, 3 summaries 1-8,
    // 4 summaries 9-12. Row 0 is unused.
    static constexpr std::array<ScoreRange, 5> ScoreRanges{
        {{0, 0}, {2, 14}, {4, 28}, {8, 56}, {16, 112}}};

    // Short name of summary value i (1..12); also the row names of the results table.
    static QString SummaryNames(int i);

    // Range row of SummaryScores[i] and of ScaleScores[i].
    static int summaryRangeRow(int i) { return i <= 8 ? 3 : 4; }
    static int scaleRangeRow(int i) { return i <= kScaleCount ? 1 : 2; }

    // Sets all 36 scores to 0; answers are left as they are (the next read overwrites them).
    void clearScores();

    bool operator==(const ProfileStore &) const = default;
};
