#pragma once

#include "Comparison.h"
#include "Profile.h"

#include <QByteArray>
#include <QStringList>

// The profile export as one JSON object in UTF-8: header texts, details, count, the answers (a
// group's members' means), the scores in the percent state, all unrounded, and the analysis
// text. Multi-line texts join their lines with "\n". With a reference, also "reference" (its
// code, name, count, summary and scales) and "difference" (summary and scales, this profile
// minus the reference); the profile's store must then be in the percent state. A group adds
// "spread" ({"summary": [12], "scales": [24]}, each {"n", "mean", "sd", "min", "max", "ci95"})
// and "agreement" (rwg(j) of the 24 "scales" and 4 "blocks"); undefined figures are null, and an
// anonymous subgroup's minimum and maximum too. A group compared with a group adds "p" (Welch's
// test of each value) and "significant" (after Benjamini-Hochberg over the 36), a respondent
// compared with a group "percentile" (where the respondent stands within it), each as
// {"summary": [12], "scales": [24]}. A comparison whose group is below disclosure's spread
// minimum has neither: "withheld" says the minimum instead. An anonymous subgroup's figures are
// published as the views show them (one decimal, agreement two), its spread null below the
// spread minimum.
QByteArray profileJson(const LoadedProfile &profile, const QStringList &analysis,
                       const ReferenceProfile *reference = nullptr,
                       const Disclosure &disclosure = {});
// The same written as it is made, into json (whose sink takes it in pieces), so that a large
// group's member list and analysis are never held as one document.
class JsonWriter;
void writeProfileJson(JsonWriter &json, const LoadedProfile &profile, const QStringList &analysis,
                      const ReferenceProfile *reference = nullptr,
                      const Disclosure &disclosure = {});
