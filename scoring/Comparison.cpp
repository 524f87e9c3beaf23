#include "Comparison.h"

#include "GroupLoader.h"
#include "NumberFormat.h"
#include "Scoring.h"
#include "ShownText.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <cstdlib>

std::array<double, kValueCount> percentValues(const ProfileStore &raw)
{
    ProfileStore percent;
    percent.SummaryScores = raw.SummaryScores;
    percent.ScaleScores = raw.ScaleScores;
    convertToPercent(percent);
    return valuesOf(percent);
}

ReferenceProfile referenceOf(const LoadedProfile &loaded, const QString &folderName)
{
    ReferenceProfile reference;
    reference.store = loaded.store;
    convertToPercent(reference.store);
    reference.header = loaded.header;
    reference.count = loaded.count;
    reference.group = loaded.group;
    reference.folderName = folderName;
    reference.moments = loaded.moments;
    reference.memberValues.reserve(loaded.members.size());
    for (const MemberProfile &member : loaded.members)
        reference.memberValues.push_back(percentValues(member.store));
    return reference;
}

QString referenceCaption(const ReferenceProfile &reference)
{
    if (reference.group)
        return QStringLiteral("%1, файлов: %2").arg(reference.folderName).arg(reference.count);
    return reference.header.code + QLatin1Char(' ') + reference.header.name;
}

qsizetype referenceCaptionCountLength(const QString &caption)
{
    static const QRegularExpression count(QStringLiteral(", файлов: \\d+$"));
    const QRegularExpressionMatch match = count.match(caption);
    return match.hasMatch() ? match.capturedLength() : 0;
}

QString shownReferenceCaption(const QString &caption, qsizetype most)
{
    const qsizetype count = referenceCaptionCountLength(caption);
    const QString name = caption.left(caption.size() - count);
    const qsizetype room = std::max<qsizetype>(most - count, 2);
    if (name.size() <= room)
        return caption;
    // Each piece brings its own "…": the one is dropped where they meet.
    return shownBeginning(name, room / 2) + shownEnd(name, room - room / 2).mid(1) +
           caption.right(count);
}

ProfileDifference profileDifference(const ProfileStore &profile, const ProfileStore &reference)
{
    ProfileDifference difference;
    for (int i = 1; i <= kSummaryCount; ++i)
        difference.summary[i] = profile.SummaryScores[i] - reference.SummaryScores[i];
    for (int i = 1; i <= kScaleScoreCount; ++i)
        difference.scales[i] = profile.ScaleScores[i] - reference.ScaleScores[i];
    return difference;
}

namespace {

// A value as formatOneDecimal shows it: rounded on its decimal expansion, halves away from zero.
double shownOneDecimal(double value)
{
    return formatFixed(value, 1, 0, QStringLiteral(".")).toDouble();
}

} // namespace

double shownDifference(double value, double reference)
{
    if (!std::isfinite(value) || !std::isfinite(reference))
        return value - reference;
    return shownOneDecimal(value) - shownOneDecimal(reference);
}

bool isNotableDifference(double difference)
{
    // The shown digits decide, not the binary value behind them.
    const QString shown = formatFixed(std::fabs(difference), 1, 0, QStringLiteral("."));
    return shown.toDouble() >= kNotableDifference;
}

QString differenceText(double difference, const QLocale &locale)
{
    const QString decimalPoint = locale.decimalPoint();
    const QString magnitude = formatFixed(std::fabs(difference), 1, 0, decimalPoint);
    if (std::isnan(difference) || magnitude == formatFixed(0, 1, 0, decimalPoint))
        return magnitude;
    return (difference < 0 ? QLatin1Char('-') : QLatin1Char('+')) + magnitude;
}

QString scaleCaption(int i)
{
    // Summary indexes of the names: the factors (II) 1..4, the base scales 5..8, the factor
    // (III) cells "Мотивация" (odd) and "Климат" (even) 9 and 10. Four scales, or two cells,
    // stand under each factor (II).
    constexpr int kBaseScalesFrom = 5, kMotivation = 9, kClimate = 10;
    constexpr int kScalesPerFactorII = 4, kCellsPerFactorII = 2;
    if (i < 1 || i > kScaleScoreCount)
        return {};
    const QString separator = QStringLiteral(" / ");
    if (i <= kScaleCount)
        return ProfileStore::SummaryNames(1 + (i - 1) / kScalesPerFactorII) + separator +
               ProfileStore::SummaryNames(kBaseScalesFrom + (i - 1) % kScalesPerFactorII);
    const int cell = i - kScaleCount;
    return ProfileStore::SummaryNames(1 + (cell - 1) / kCellsPerFactorII) + separator +
           ProfileStore::SummaryNames(cell % 2 == 1 ? kMotivation : kClimate);
}

std::vector<ComparisonRow> comparisonRows(const ProfileStore &profile,
                                          const ProfileStore &reference)
{
    std::vector<ComparisonRow> rows;
    rows.reserve(kSummaryCount + kScaleScoreCount);
    const ProfileDifference difference = profileDifference(profile, reference);
    for (int i = 1; i <= kSummaryCount; ++i)
        rows.push_back({ProfileStore::SummaryNames(i), profile.SummaryScores[std::size_t(i)],
                        reference.SummaryScores[std::size_t(i)],
                        difference.summary[std::size_t(i)]});
    for (int i = 1; i <= kScaleScoreCount; ++i)
        rows.push_back({scaleCaption(i), profile.ScaleScores[std::size_t(i)],
                        reference.ScaleScores[std::size_t(i)], difference.scales[std::size_t(i)]});
    return rows;
}

std::array<double, kValueCount> valuesOf(const ProfileStore &percent)
{
    std::array<double, kValueCount> values{};
    for (int i = 0; i < kSummaryCount; ++i)
        values[std::size_t(i)] = percent.SummaryScores[std::size_t(i + 1)];
    for (int i = 0; i < kScaleScoreCount; ++i)
        values[std::size_t(kSummaryCount + i)] = percent.ScaleScores[std::size_t(i + 1)];
    return values;
}

ComparisonStatistics comparisonStatistics(const ProfileStore &profile,
                                          const ValueMoments *groupMoments,
                                          const ReferenceProfile &reference,
                                          const Disclosure &disclosure)
{
    ComparisonStatistics statistics;
    if (!reference.group)
        return statistics;
    const auto mayShow = [&disclosure](const ValueMoments &moments) {
        return spreadMayShow(moments.value(0).n, disclosure) && !moments.spreadWithheld();
    };
    const bool groupHidden = groupMoments && !reference.tests && !mayShow(*groupMoments);
    if (!mayShow(reference.moments) || groupHidden) {
        statistics.kind = ComparisonStatistics::Kind::Withheld;
        statistics.minSpread = disclosure.minSpread;
        return statistics;
    }
    const std::array<double, kValueCount> values = valuesOf(profile);
    if (groupMoments) {
        statistics.kind = ComparisonStatistics::Kind::Tests;
        if (reference.tests) {
            statistics.tests = *reference.tests;
            return statistics;
        }
        statistics.tests = comparisonTests(*groupMoments, reference.moments);
        const std::array<double, kValueCount> theirs = valuesOf(reference.store);
        for (std::size_t i = 0; i < values.size(); ++i)
            statistics.tests.significant[i] = differenceMarked(
                statistics.tests.significant[i], shownDifference(values[i], theirs[i]), disclosure);
        return statistics;
    }
    statistics.kind = ComparisonStatistics::Kind::Percentile;
    std::vector<double> column(reference.memberValues.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (column.empty()) {
            statistics.percentile[i] = percentileWithin(values[i], reference.moments.value(int(i)));
            continue;
        }
        for (std::size_t m = 0; m < column.size(); ++m)
            column[m] = reference.memberValues[m][i];
        statistics.percentile[i] = percentileWithin(values[i], column);
    }
    return statistics;
}
