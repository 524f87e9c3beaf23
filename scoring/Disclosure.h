#pragma once

#include <QLocale>
#include <QString>

// What may be published about part of a folder, so that nobody can rebuild a member from it by
// reading or by arithmetic: a subgroup's count and means from minSize members; its spread (sd,
// interval, agreement, minimum and maximum) and every test of it (p values, marks, a
// respondent's percentile within it) from minSpread, since n, mean and an exact sd on the
// answers' grid leave a few members one possible set of values. A difference is marked only when
// it holds after Benjamini-Hochberg and is at least minDiff points as shown: with thousands of
// members any difference is "significant".

inline constexpr int kDefaultMinimumSize = 3;
inline constexpr int kDefaultMinimumSpread = 8;
inline constexpr double kDefaultMinimumDifference = 5;

struct Disclosure
{
    int minSize = kDefaultMinimumSize;
    int minSpread = kDefaultMinimumSpread;
    double minDiff = kDefaultMinimumDifference;
    bool operator==(const Disclosure &) const = default;
};

// Whether a group of count members may have its spread and its tests shown.
inline bool spreadMayShow(int count, const Disclosure &disclosure)
{
    return count >= disclosure.minSpread;
}

// Whether a difference that holds after Benjamini-Hochberg is marked: shownDifference (one
// decimal, as the reader sees it) at least minDiff points either way.
bool differenceMarked(bool significant, double shownDifference, const Disclosure &disclosure);

// The message for minimums that do not go together (a spread minimum below the size minimum);
// empty when they do.
QString disclosureProblem(const Disclosure &disclosure);

// ---- the precision figures about a subgroup are published at

// A percentage or a mean as the views show it: one decimal, halves away from zero.
double publishedPercent(double value);
// A p value to two significant digits.
double publishedP(double p);
// An ICC or rwg(j) to two decimals.
double publishedShare(double value);

// A number of points as the notes give it: "5", "2,5" (the locale's decimal mark).
QString pointsText(double points, const QLocale &locale = QLocale::system());
