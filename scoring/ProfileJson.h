#pragma once

#include "Comparison.h"
#include "Profile.h"

#include <QByteArray>
#include <QStringList>

// The profile export as one JSON object in UTF-8: header texts, details, count, the answers (a
// group's members' means), the scores in the percent state, all unrounded, and the analysis
// text. Multi-line texts join their lines with "\n". With a reference, also "reference" (its
// code, name, count, summary and scales) and "difference" (summary and scales, this profile
// minus the reference); the profile's store must then be in the percent state.
QByteArray profileJson(const LoadedProfile &profile, const QStringList &analysis,
                       const ReferenceProfile *reference = nullptr);
