#pragma once

#include "ProfileStore.h"

// The scoring arithmetic over the store.

// Adds each block's pair sums to the sixteen scales (answers k and k + 4 of the block feed scale
// k) and sets every factor (III) cell to the sum of its two scales. Runs once per file read, so
// the scales accumulate over a group and the cells always match the accumulated scales.
void addScaleSums(ProfileStore &store);

// Turns group sums into means: every scale score, then every summary score, divided by count.
void divideScores(ProfileStore &store, int count);

// (raw - low) * 100 / (high - low); neither rounded nor clamped.
double toPercent(double raw, ScoreRange range);

// Converts all 36 scores from raw sums to percentages of their range, summaries first.
// Must run exactly once per load: a second run would convert percentages again.
void convertToPercent(ProfileStore &store);
