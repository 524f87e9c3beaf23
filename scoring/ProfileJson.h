#pragma once

#include "Profile.h"

#include <QByteArray>
#include <QStringList>

// The profile export as one JSON object in UTF-8: header texts, details, count, the answers (a
// group's members' means), the scores in the percent state, all unrounded, and the analysis
// text. Multi-line texts join their lines with "\n".
QByteArray profileJson(const LoadedProfile &profile, const QStringList &analysis);
