#pragma once

#include <QFont>
#include <QString>

// Maps the window fonts the layout names to the fonts installed here: Liberation Sans and
// Liberation Serif have the metrics of "Arial" and "Times New Roman"; "MS Sans Serif" has no
// twin on Linux and takes Liberation Sans too. Call once before any widget is made.
void installFontSubstitutions();

// A font by character height in pixels, so the layout does not depend on the screen's DPI.
QFont pixelFont(const QString &family, int pixelHeight, bool bold = false);

// The window's own font families.
inline const QString kSansSerif = QStringLiteral("MS Sans Serif");
inline const QString kTimes = QStringLiteral("Times New Roman");
