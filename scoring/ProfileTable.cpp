#include "ProfileTable.h"

#include "Scoring.h"

#include "NumberFormat.h"

#include <charconv>
#include <cmath>

void SpreadAccumulator::add(double value)
{
    if (s_.n == 0) {
        s_.min = s_.max = value;
    } else {
        s_.min = std::min(s_.min, value);
        s_.max = std::max(s_.max, value);
    }
    ++s_.n;
    const double delta = value - s_.mean;
    s_.mean += delta / s_.n;
    squares_ += delta * (value - s_.mean);
}

Spread SpreadAccumulator::result() const
{
    Spread s = s_;
    s.sd = s.n > 1 ? std::sqrt(squares_ / (s.n - 1)) : 0.0;
    return s;
}

Spread spreadOf(const std::vector<double> &values)
{
    SpreadAccumulator spread;
    for (const double v : values)
        spread.add(v);
    return spread.result();
}

QByteArray tableNumberHeading(int column)
{
    if (column < kAnswerCount)
        return "answer" + QByteArray::number(column + 1);
    if (column < kAnswerCount + kSummaryCount)
        return "summary" + QByteArray::number(column - kAnswerCount + 1);
    return "scale" + QByteArray::number(column - kAnswerCount - kSummaryCount + 1);
}

int tableRangeRow(int column)
{
    const int summary = column - kAnswerCount + 1;
    return summary <= kSummaryCount ? ProfileStore::summaryRangeRow(summary)
                                    : ProfileStore::scaleRangeRow(summary - kSummaryCount);
}

double tableRawScore(const ProfileStore &raw, int column)
{
    const int summary = column - kAnswerCount + 1;
    return summary <= kSummaryCount ? raw.SummaryScores[std::size_t(summary)]
                                    : raw.ScaleScores[std::size_t(summary - kSummaryCount)];
}

const TableRows::Numbers &TableRows::add(const ProfileStore &raw)
{
    for (int c = 0; c < kAnswerCount; ++c)
        numbers_[std::size_t(c)] = raw.Answers[std::size_t(c + 1)];
    for (int c = kTableFirstPercent; c < kTableNumberColumns; ++c)
        numbers_[std::size_t(c)] = toPercent(
            tableRawScore(raw, c), ProfileStore::ScoreRanges[std::size_t(tableRangeRow(c))]);
    for (std::size_t c = 0; c < numbers_.size(); ++c)
        columns_[c].add(numbers_[c]);
    return numbers_;
}

std::array<Spread, kSummaryCount + 1> TableRows::summarySpread() const
{
    std::array<Spread, kSummaryCount + 1> spread{};
    for (int i = 1; i <= kSummaryCount; ++i)
        spread[std::size_t(i)] = this->spread(kTableFirstPercent + i - 1);
    return spread;
}

GroupSpread summarySpread(const LoadedProfile &loaded)
{
    GroupSpread spread;
    spread.moments = loaded.moments;
    if (loaded.anonymous) {
        for (int i = 1; i <= kSummaryCount; ++i)
            spread.summary[std::size_t(i)] =
                loaded.spread.at(std::size_t(kTableFirstPercent + i - 1));
        return spread;
    }
    TableRows rows;
    for (const MemberProfile &member : loaded.members)
        rows.add(member.store);
    spread.summary = rows.summarySpread();
    return spread;
}

QStringList spreadTitles()
{
    return {QStringLiteral("Показатель"), QStringLiteral("n"),       QStringLiteral("Среднее"),
            QStringLiteral("Ст. откл."),  QStringLiteral("Минимум"), QStringLiteral("Максимум")};
}

QStringList spreadStatisticsTitles()
{
    return {QStringLiteral("ДИ 95 %: от"), QStringLiteral("ДИ 95 %: до"), QStringLiteral("rwg(j)")};
}

std::span<const TableStatistic> anonymousStatistics(const LoadedProfile &loaded)
{
    const std::span<const TableStatistic> all(kAnonymousStatistics);
    return loaded.moments.spreadWithheld() ? all.first(1) : all;
}
