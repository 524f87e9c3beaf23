#include "ProfileJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <type_traits>

namespace {

double unrounded(double value)
{
    return value;
}

// How figures are published: a group's own unrounded, an anonymous subgroup's as shown.
struct Precision
{
    double (*percent)(double) = &unrounded;
    double (*share)(double) = &unrounded;
};

template <typename Array> QJsonArray numbers(const Array &values, const Precision &precision = {})
{
    QJsonArray out;
    for (std::size_t i = 1; i < values.size(); ++i)
        out.append(precision.percent(double(values[i])));
    return out;
}

// An undefined figure is null.
QJsonValue orNull(const std::optional<double> &value, double (*published)(double) = &unrounded)
{
    return value ? QJsonValue(published(*value)) : QJsonValue(QJsonValue::Null);
}

template <std::size_t N>
QJsonArray figures(const std::array<std::optional<double>, N> &values, const Precision &precision)
{
    QJsonArray out;
    for (const auto &v : values)
        out.append(orNull(v, precision.share));
    return out;
}

// An anonymous subgroup's minimum and maximum would give a member's own value away.
QJsonObject spreadObject(const Moments &m, bool anonymous, const Precision &precision)
{
    const auto ci = m.ci95();
    return {{QStringLiteral("n"), m.n},
            {QStringLiteral("mean"), precision.percent(m.mean)},
            {QStringLiteral("sd"), orNull(m.sd(), precision.percent)},
            {QStringLiteral("min"), anonymous ? QJsonValue() : QJsonValue(m.min)},
            {QStringLiteral("max"), anonymous ? QJsonValue() : QJsonValue(m.max)},
            {QStringLiteral("ci95"),
             ci ? QJsonValue(QJsonArray{precision.percent((*ci)[0]), precision.percent((*ci)[1])})
                : QJsonValue(QJsonValue::Null)}};
}

template <std::size_t N>
QJsonArray spreadObjects(const std::array<Moments, N> &columns, bool anonymous,
                         const Precision &precision)
{
    QJsonArray out;
    for (const Moments &m : columns)
        out.append(spreadObject(m, anonymous, precision));
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
                       const ReferenceProfile *reference, const Disclosure &disclosure)
{
    const QLatin1Char lf('\n');
    const Precision precision =
        profile.anonymous ? Precision{&publishedPercent, &publishedShare} : Precision{};
    QJsonObject object{
        {QStringLiteral("code"), profile.header.code},
        {QStringLiteral("name"), profile.header.name},
        {QStringLiteral("date"), profile.header.date},
        {QStringLiteral("details"), profile.header.details.join(lf)},
        {QStringLiteral("count"), profile.count},
        {QStringLiteral("answers"), numbers(profile.meanAnswers, precision)},
        {QStringLiteral("summary"), numbers(profile.store.SummaryScores, precision)},
        {QStringLiteral("scales"), numbers(profile.store.ScaleScores, precision)},
        {QStringLiteral("analysis"), analysis.join(lf)},
    };
    if (profile.group) {
        object.insert(QStringLiteral("spread"),
                      QJsonObject{
                          {QStringLiteral("summary"),
                           spreadObjects(profile.moments.summary, profile.anonymous, precision)},
                          {QStringLiteral("scales"),
                           spreadObjects(profile.moments.scales, profile.anonymous, precision)},
                      });
        const Agreement agreement = agreementOf(profile.moments);
        object.insert(QStringLiteral("agreement"),
                      QJsonObject{
                          {QStringLiteral("scales"), figures(agreement.scales, precision)},
                          {QStringLiteral("blocks"), figures(agreement.blocks, precision)},
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
                          {QStringLiteral("summary"), numbers(difference.summary, precision)},
                          {QStringLiteral("scales"), numbers(difference.scales, precision)},
                      });
        const ComparisonStatistics statistics = comparisonStatistics(
            profile.store, profile.group ? &profile.moments : nullptr, *reference, disclosure);
        if (statistics.kind == ComparisonStatistics::Kind::Tests) {
            object.insert(QStringLiteral("p"), valueObject(statistics.tests.p));
            object.insert(QStringLiteral("significant"), valueObject(statistics.tests.significant));
        } else if (statistics.kind == ComparisonStatistics::Kind::Percentile) {
            object.insert(QStringLiteral("percentile"), valueObject(statistics.percentile));
        } else if (statistics.kind == ComparisonStatistics::Kind::Withheld) {
            object.insert(QStringLiteral("withheld"),
                          QJsonObject{{QStringLiteral("minSpread"), statistics.minSpread}});
        }
    }
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}
