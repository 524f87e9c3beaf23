#pragma once

#include "ProfileStore.h"

#include <array>

// The scoring arithmetic over the store.

// Adds each block's pair sums to the sixteen scales (answers k and k + 4 of the block feed scale
// k) and sets every factor (III) cell to the sum of its two scales. Runs once per file read, so
// the scales accumulate over a group and the cells always match the accumulated scales.
void addScaleSums(ProfileStore &store);

// The twelve totals an answer file carries, computed from its 32 answers (answers[0] is answer
// 1): the four block sums, the four base scales across the blocks (answers k and k + 4 of every
// block), Мотивация and Климат as the sums of their two base scales, Развитие as blocks 1 + 2 and
// Взаимодействие as blocks 3 + 4. totals[0] is total 1.
std::array<int, kSummaryCount> answerTotals(const std::array<int, kAnswerCount> &answers);

// Adds one respondent given by answers alone to the store, exactly as ReadAnswers adds the
// answer file that carries these answers and their answerTotals: answers overwritten (low 8
// bits), totals and pair sums added, cells recomputed.
void addAnswers(const std::array<int, kAnswerCount> &answers, ProfileStore &store);

// Turns group sums into means: every scale score, then every summary score, divided by count.
void divideScores(ProfileStore &store, int count);

// (raw - low) * 100 / (high - low); neither rounded nor clamped.
double toPercent(double raw, ScoreRange range);

// Converts all 36 scores from raw sums to percentages of their range, summaries first.
// Must run exactly once per load: a second run would convert percentages again.
void convertToPercent(ProfileStore &store);
