#include "ProfileJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <type_traits>

namespace {

template <typename Array> QJsonArray numbers(const Array &values)
{
    QJsonArray out;
    for (std::size_t i = 1; i < values.size(); ++i)
        out.append(double(values[i]));
    return out;
}

// An undefined figure is null.
QJsonValue orNull(const std::optional<double> &value)
{
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

template <std::size_t N> QJsonArray figures(const std::array<std::optional<double>, N> &values)
{
    QJsonArray out;
    for (const auto &v : values)
        out.append(orNull(v));
    return out;
}

// An anonymous subgroup's minimum and maximum would give a member's own value away.
QJsonObject spreadObject(const Moments &m, bool anonymous)
{
    const auto ci = m.ci95();
    return {{QStringLiteral("n"), m.n},
            {QStringLiteral("mean"), m.mean},
            {QStringLiteral("sd"), orNull(m.sd())},
            {QStringLiteral("min"), anonymous ? QJsonValue() : QJsonValue(m.min)},
            {QStringLiteral("max"), anonymous ? QJsonValue() : QJsonValue(m.max)},
            {QStringLiteral("ci95"),
             ci ? QJsonValue(QJsonArray{(*ci)[0], (*ci)[1]}) : QJsonValue(QJsonValue::Null)}};
}

template <std::size_t N>
QJsonArray spreadObjects(const std::array<Moments, N> &columns, bool anonymous)
{
    QJsonArray out;
    for (const Moments &m : columns)
        out.append(spreadObject(m, anonymous));
    return out;
}

// A figure per value (indexed as ValueMoments::value) as {"summary": [12], "scales": [24]}.
template <typename Figure> QJsonObject valueObject(const std::array<Figure, kValueCount> &values)
{
    QJsonArray summary, scales;
    for (int i = 0; i < kValueCount; ++i) {
        const auto &v = values[std::size_t(i)];
        QJsonValue figure;
        if constexpr (std::is_same_v<Figure, bool>)
            figure = v;
        else
            figure = orNull(v);
        (i < kSummaryCount ? summary : scales).append(figure);
    }
    return {{QStringLiteral("summary"), summary}, {QStringLiteral("scales"), scales}};
}

} // namespace

QByteArray profileJson(const LoadedProfile &profile, const QStringList &analysis,
                       const ReferenceProfile *reference)
{
    const QLatin1Char lf('\n');
    QJsonObject object{
        {QStringLiteral("code"), profile.header.code},
        {QStringLiteral("name"), profile.header.name},
        {QStringLiteral("date"), profile.header.date},
        {QStringLiteral("details"), profile.header.details.join(lf)},
        {QStringLiteral("count"), profile.count},
        {QStringLiteral("answers"), numbers(profile.meanAnswers)},
        {QStringLiteral("summary"), numbers(profile.store.SummaryScores)},
        {QStringLiteral("scales"), numbers(profile.store.ScaleScores)},
        {QStringLiteral("analysis"), analysis.join(lf)},
    };
    if (profile.group) {
        object.insert(QStringLiteral("spread"),
                      QJsonObject{
                          {QStringLiteral("summary"),
                           spreadObjects(profile.moments.summary, profile.anonymous)},
                          {QStringLiteral("scales"),
                           spreadObjects(profile.moments.scales, profile.anonymous)},
                      });
        const Agreement agreement = agreementOf(profile.moments);
        object.insert(QStringLiteral("agreement"),
                      QJsonObject{
                          {QStringLiteral("scales"), figures(agreement.scales)},
                          {QStringLiteral("blocks"), figures(agreement.blocks)},
                      });
    }
    if (reference) {
        object.insert(QStringLiteral("reference"),
                      QJsonObject{
                          {QStringLiteral("code"), reference->header.code},
                          {QStringLiteral("name"), reference->header.name},
                          {QStringLiteral("count"), reference->count},
                          {QStringLiteral("summary"), numbers(reference->store.SummaryScores)},
                          {QStringLiteral("scales"), numbers(reference->store.ScaleScores)},
                      });
        const ProfileDifference difference = profileDifference(profile.store, reference->store);
        object.insert(QStringLiteral("difference"),
                      QJsonObject{
                          {QStringLiteral("summary"), numbers(difference.summary)},
                          {QStringLiteral("scales"), numbers(difference.scales)},
                      });
        const ComparisonStatistics statistics = comparisonStatistics(
            profile.store, profile.group ? &profile.moments : nullptr, *reference);
        if (statistics.kind == ComparisonStatistics::Kind::Tests) {
            object.insert(QStringLiteral("p"), valueObject(statistics.tests.p));
            object.insert(QStringLiteral("significant"), valueObject(statistics.tests.significant));
        } else if (statistics.kind == ComparisonStatistics::Kind::Percentile) {
            object.insert(QStringLiteral("percentile"), valueObject(statistics.percentile));
        }
    }
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}
