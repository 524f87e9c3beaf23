#pragma once

#include <QString>

// Texts from answer files may be far longer than anyone reads on screen: a header line may hold
// 256 KiB. Laying out a text costs time with its length (and with the square of it in a memo
// that wraps a line without blanks), so a view shows at most kShownTextLength characters of one
// line and marks the rest with "…". Whoever keeps the text keeps it whole.
inline constexpr qsizetype kShownTextLength = 1000;

// The ellipsis that stands for the characters not shown.
inline constexpr QChar kEllipsis(0x2026);

// text itself when it is at most most characters long, else its first most characters and
// "…". A surrogate pair is never split.
QString shownBeginning(const QString &text, qsizetype most = kShownTextLength);
// The same from the other end: "…" and the last most characters.
QString shownEnd(const QString &text, qsizetype most = kShownTextLength);
