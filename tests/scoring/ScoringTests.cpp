// The scoring arithmetic: which answers feed which scale, accumulation over files, the percent
// conversion and the relations between the scores it must keep.

#include "AnswerFile.h"
#include "AnswerFiles.h"
#include "ProfileStore.h"
#include "Scoring.h"

#include <gtest/gtest.h>

using testfiles::Questionnaire;

namespace {

ProfileStore read(const Questionnaire &q, ProfileStore store = {})
{
    ReadAnswers(AnswerFileText::fromBytes(q.bytes()), store);
    return store;
}

// Answer j is j, so every scale and cell sum names the answers it came from.
Questionnaire numbered()
{
    Questionnaire q;
    for (int j = 1; j <= kAnswerCount; ++j)
        q.answers[j - 1] = j;
    return q;
}

// A spread of answers 1 to 7 with no pattern a layout mistake could hide behind.
Questionnaire scattered(int seed)
{
    Questionnaire q;
    for (int j = 0; j < kAnswerCount; ++j)
        q.answers[j] = 1 + (j * 5 + seed * 3 + j * j) % 7;
    for (int k = 0; k < kSummaryCount; ++k)
        q.totals[k] = (k < 8 ? 8 : 16) + (k * 11 + seed * 7) % (k < 8 ? 49 : 97);
    return q;
}

} // namespace

TEST(ScaleLayout, PairsWithinEachBlock)
{
    const ProfileStore store = read(numbered());
    // Scale 4b + k is answer 8b + k plus answer 8b + k + 4.
    const double scales[kScaleCount] = {1 + 5,   2 + 6,   3 + 7,   4 + 8,   9 + 13,  10 + 14,
                                        11 + 15, 12 + 16, 17 + 21, 18 + 22, 19 + 23, 20 + 24,
                                        25 + 29, 26 + 30, 27 + 31, 28 + 32};
    for (int i = 1; i <= kScaleCount; ++i)
        EXPECT_EQ(store.ScaleScores[i], scales[i - 1]) << "scale " << i;
    // Cells: Мотивация is Поощрение + Вовлечение, Климат is Согласие + Коммуникация.
    const double cells[kFactorIIICount] = {6 + 8,   10 + 12, 22 + 24, 26 + 28,
                                           38 + 40, 42 + 44, 54 + 56, 58 + 60};
    for (int j = 1; j <= kFactorIIICount; ++j)
        EXPECT_EQ(store.ScaleScores[kScaleCount + j], cells[j - 1]) << "cell " << j;
    for (int j = 1; j <= kAnswerCount; ++j)
        EXPECT_EQ(store.Answers[j], j);
}

TEST(ScaleLayout, TotalsReadAsTheyStand)
{
    // Totals are taken from their lines, not derived from the answers.
    Questionnaire q = numbered();
    for (int k = 0; k < kSummaryCount; ++k)
        q.totals[k] = 100 + k;
    const ProfileStore store = read(q);
    for (int k = 1; k <= kSummaryCount; ++k)
        EXPECT_EQ(store.SummaryScores[k], 99 + k);
}

TEST(Accumulation, ScalesAndTotalsAddAnswersReplace)
{
    Questionnaire first = Questionnaire::uniform(2);
    Questionnaire second = numbered();
    second.totals.fill(10);
    const ProfileStore store = read(second, read(first));
    const ProfileStore alone = read(second);

    EXPECT_EQ(store.Answers, alone.Answers);
    for (int i = 1; i <= kScaleCount; ++i)
        EXPECT_EQ(store.ScaleScores[i], alone.ScaleScores[i] + 4) << "scale " << i;
    for (int j = 1; j <= kFactorIIICount; ++j)
        EXPECT_EQ(store.ScaleScores[kScaleCount + j],
                  store.ScaleScores[2 * j - 1] + store.ScaleScores[2 * j])
            << "cells follow the accumulated scales, not the last file's";
    EXPECT_EQ(store.SummaryScores[1], 16 + 10);
    EXPECT_EQ(store.SummaryScores[12], 32 + 10);
}

TEST(Accumulation, GroupMeanFromSumsAndOneDivision)
{
    // Two members whose first scale sums are 4 and 9.
    Questionnaire a = Questionnaire::uniform(2);
    Questionnaire b = Questionnaire::uniform(2);
    b.answers[0] = 4;
    b.answers[4] = 5;
    b.totals[0] = 40;
    ProfileStore store = read(b, read(a));
    divideScores(store, 2);
    EXPECT_EQ(store.ScaleScores[1], 6.5);
    EXPECT_EQ(store.ScaleScores[17], 6.5 + 4);
    EXPECT_EQ(store.SummaryScores[1], 28);
    convertToPercent(store);
    EXPECT_DOUBLE_EQ(store.ScaleScores[1], 37.5);
    EXPECT_DOUBLE_EQ(store.SummaryScores[1], 41.666666666666664);
}

// One raw value, its range row and its percentage.
struct PercentCase
{
    double raw;
    int row;
    double percent;
};

void PrintTo(const PercentCase &c, std::ostream *os)
{
    *os << c.raw << " in row " << c.row;
}

class Percent : public testing::TestWithParam<PercentCase>
{
};

TEST_P(Percent, OfItsRange)
{
    const PercentCase &c = GetParam();
    EXPECT_DOUBLE_EQ(toPercent(c.raw, ProfileStore::ScoreRanges[c.row]), c.percent);
}

INSTANTIATE_TEST_SUITE_P(
    Values, Percent,
    testing::Values(PercentCase{9, 1, 700.0 / 12}, PercentCase{17, 2, 1300.0 / 24},
                    PercentCase{32, 3, 50}, PercentCase{70, 4, 56.25}, PercentCase{2, 1, 0},
                    PercentCase{14, 1, 100}, PercentCase{4, 2, 0}, PercentCase{28, 2, 100},
                    PercentCase{8, 3, 0}, PercentCase{56, 3, 100}, PercentCase{16, 4, 0},
                    PercentCase{112, 4, 100}, PercentCase{1, 1, -100.0 / 12},
                    PercentCase{15, 1, 1300.0 / 12}, PercentCase{6.5, 1, 37.5},
                    PercentCase{0, 3, -100.0 / 6}, PercentCase{300, 4, 284.0 * 100 / 96}));

TEST(PercentConversion, RangeRowsOfEveryScore)
{
    // Each range applies to exactly its own indexes: lowest inputs give 0 and highest 100
    // everywhere, and the mid-point of the answer scale gives 50.
    for (const auto &[answer, percent] : {std::pair{1, 0.0}, {7, 100.0}, {4, 50.0}}) {
        ProfileStore store = read(Questionnaire::uniform(answer));
        convertToPercent(store);
        for (int i = 1; i <= kSummaryCount; ++i)
            EXPECT_DOUBLE_EQ(store.SummaryScores[i], percent) << "summary " << i;
        for (int i = 1; i <= kScaleScoreCount; ++i)
            EXPECT_DOUBLE_EQ(store.ScaleScores[i], percent) << "scale " << i;
        EXPECT_EQ(store.Answers[1], answer) << "answers are never converted";
    }
}

TEST(PercentConversion, OutsideTheScaleIsNotClamped)
{
    Questionnaire q = Questionnaire::uniform(1);
    q.answers[0] = 0; // scale 1 is 0 + 1
    q.answers[1] = 8; // scale 2 is 8 + 7
    q.answers[5] = 7;
    q.totals[0] = 0;
    q.totals[11] = 200;
    ProfileStore store = read(q);
    convertToPercent(store);
    EXPECT_DOUBLE_EQ(store.ScaleScores[1], -100.0 / 12);
    EXPECT_DOUBLE_EQ(store.ScaleScores[2], 1300.0 / 12);
    EXPECT_DOUBLE_EQ(store.SummaryScores[1], -100.0 / 6);
    EXPECT_DOUBLE_EQ(store.SummaryScores[12], 18400.0 / 96);
}

TEST(PercentConversion, CellIsMeanOfItsScales)
{
    for (int seed = 0; seed < 5; ++seed) {
        ProfileStore store = read(scattered(seed));
        convertToPercent(store);
        for (int j = 1; j <= kFactorIIICount; ++j)
            EXPECT_NEAR(store.ScaleScores[kScaleCount + j],
                        (store.ScaleScores[2 * j - 1] + store.ScaleScores[2 * j]) / 2, 1e-9)
                << "seed " << seed << " cell " << j;
    }
}

TEST(PercentConversion, GroupPercentIsMeanOfMemberPercents)
{
    const int members = 3;
    ProfileStore sum;
    ProfileStore meanOfPercents;
    for (int seed = 0; seed < members; ++seed) {
        sum = read(scattered(seed), sum);
        ProfileStore one = read(scattered(seed));
        convertToPercent(one);
        for (int i = 1; i <= kScaleScoreCount; ++i)
            meanOfPercents.ScaleScores[i] += one.ScaleScores[i] / members;
        for (int i = 1; i <= kSummaryCount; ++i)
            meanOfPercents.SummaryScores[i] += one.SummaryScores[i] / members;
    }
    divideScores(sum, members);
    convertToPercent(sum);
    for (int i = 1; i <= kScaleScoreCount; ++i)
        EXPECT_NEAR(sum.ScaleScores[i], meanOfPercents.ScaleScores[i], 1e-9) << "scale " << i;
    for (int i = 1; i <= kSummaryCount; ++i)
        EXPECT_NEAR(sum.SummaryScores[i], meanOfPercents.SummaryScores[i], 1e-9) << "summary " << i;
}

TEST(ProfileStoreTables, NamesAndRanges)
{
    const QStringList names{"Инновация", "Адаптация",  "Конкуренция", "Интеграция",
                            "Поощрение", "Вовлечение", "Согласие",    "Коммуникация",
                            "Мотивация", "Климат",     "Развитие",    "Взаимодействие"};
    for (int i = 1; i <= kSummaryCount; ++i)
        EXPECT_EQ(ProfileStore::SummaryNames(i), names[i - 1]);
    EXPECT_EQ(ProfileStore::ScoreRanges[1], (ScoreRange{2, 14}));
    EXPECT_EQ(ProfileStore::ScoreRanges[2], (ScoreRange{4, 28}));
    EXPECT_EQ(ProfileStore::ScoreRanges[3], (ScoreRange{8, 56}));
    EXPECT_EQ(ProfileStore::ScoreRanges[4], (ScoreRange{16, 112}));
}

TEST(ProfileStoreTables, ClearScoresKeepsAnswers)
{
    ProfileStore store = read(numbered());
    store.clearScores();
    EXPECT_EQ(store.ScaleScores, ProfileStore{}.ScaleScores);
    EXPECT_EQ(store.SummaryScores, ProfileStore{}.SummaryScores);
    EXPECT_EQ(store.Answers[32], 32);
}
