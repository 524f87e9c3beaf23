#include "ProfileJson.h"

#include "JsonWriter.h"

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

// Entries 1.. of an array indexed from 1.
template <typename Array>
void numbers(JsonWriter &json, const Array &values, const Precision &precision = {})
{
    json.beginArray();
    for (std::size_t i = 1; i < values.size(); ++i)
        json.value(precision.percent(double(values[i])));
    json.endArray();
}

// An undefined figure is null.
void figure(JsonWriter &json, const std::optional<double> &value,
            double (*published)(double) = &unrounded)
{
    if (value)
        json.value(published(*value));
    else
        json.null();
}

template <std::size_t N>
void figures(JsonWriter &json, const std::array<std::optional<double>, N> &values,
             const Precision &precision)
{
    json.beginArray();
    for (const auto &v : values)
        figure(json, v, precision.share);
    json.endArray();
}

// An anonymous subgroup's minimum and maximum would give a member's own value away.
void spreadObject(JsonWriter &json, const Moments &m, bool anonymous, const Precision &precision)
{
    const auto ci = m.ci95();
    json.beginObject();
    json.key("ci95");
    if (ci) {
        json.beginArray();
        json.value(precision.percent((*ci)[0]));
        json.value(precision.percent((*ci)[1]));
        json.endArray();
    } else {
        json.null();
    }
    json.key("max");
    anonymous ? json.null() : json.value(m.max);
    json.key("mean");
    json.value(precision.percent(m.mean));
    json.key("min");
    anonymous ? json.null() : json.value(m.min);
    json.key("n");
    json.value(m.n);
    json.key("sd");
    figure(json, m.sd(), precision.percent);
    json.endObject();
}

template <std::size_t N>
void spreadObjects(JsonWriter &json, const std::array<Moments, N> &columns, bool anonymous,
                   const Precision &precision)
{
    json.beginArray();
    for (const Moments &m : columns)
        spreadObject(json, m, anonymous, precision);
    json.endArray();
}

// A figure per value (indexed as ValueMoments::value) as {"scales": [24], "summary": [12]}.
template <typename Figure>
void valueObject(JsonWriter &json, const std::array<Figure, kValueCount> &values)
{
    json.beginObject();
    for (const auto &[name, from, to] : {std::tuple{"scales", kSummaryCount, kValueCount},
                                         std::tuple{"summary", 0, kSummaryCount}}) {
        json.key(name);
        json.beginArray();
        for (int i = from; i < to; ++i) {
            if constexpr (std::is_same_v<Figure, bool>)
                json.value(bool(values[std::size_t(i)]));
            else
                figure(json, values[std::size_t(i)]);
        }
        json.endArray();
    }
    json.endObject();
}

} // namespace

void writeProfileJson(JsonWriter &json, const LoadedProfile &profile, const QStringList &analysis,
                      const ReferenceProfile *reference, const Disclosure &disclosure)
{
    const Precision precision = profile.anonymous ? Precision{&publishedPercent, &publishedShare}
                                                  : Precision{};
    std::optional<ComparisonStatistics> statistics;
    if (reference)
        statistics = comparisonStatistics(profile.store, profile.group ? &profile.moments : nullptr,
                                          *reference, disclosure);
    using Kind = ComparisonStatistics::Kind;
    const auto kind = [&statistics](Kind k) { return statistics && statistics->kind == k; };

    // The keys in sorted order, as QJsonDocument writes an object.
    json.beginObject();
    if (profile.group) {
        const Agreement agreement = agreementOf(profile.moments);
        json.key("agreement");
        json.beginObject();
        json.key("blocks");
        figures(json, agreement.blocks, precision);
        json.key("scales");
        figures(json, agreement.scales, precision);
        json.endObject();
    }
    json.key("analysis");
    json.lines(analysis);
    json.key("answers");
    numbers(json, profile.meanAnswers, precision);
    json.key("code");
    json.value(profile.header.code);
    json.key("count");
    json.value(profile.count);
    json.key("date");
    json.value(profile.header.date);
    json.key("details");
    json.lines(profile.header.details);
    if (reference) {
        const ProfileDifference difference = profileDifference(profile.store, reference->store);
        json.key("difference");
        json.beginObject();
        json.key("scales");
        numbers(json, difference.scales, precision);
        json.key("summary");
        numbers(json, difference.summary, precision);
        json.endObject();
    }
    json.key("name");
    json.value(profile.header.name);
    if (kind(Kind::Tests)) {
        json.key("p");
        valueObject(json, statistics->tests.p);
    }
    if (kind(Kind::Percentile)) {
        json.key("percentile");
        valueObject(json, statistics->percentile);
    }
    if (reference) {
        json.key("reference");
        json.beginObject();
        json.key("code");
        json.value(reference->header.code);
        json.key("count");
        json.value(reference->count);
        json.key("name");
        json.value(reference->header.name);
        json.key("scales");
        numbers(json, reference->store.ScaleScores);
        json.key("summary");
        numbers(json, reference->store.SummaryScores);
        json.endObject();
    }
    json.key("scales");
    numbers(json, profile.store.ScaleScores, precision);
    if (kind(Kind::Tests)) {
        json.key("significant");
        valueObject(json, statistics->tests.significant);
    }
    if (profile.group) {
        json.key("spread");
        json.beginObject();
        json.key("scales");
        spreadObjects(json, profile.moments.scales, profile.anonymous, precision);
        json.key("summary");
        spreadObjects(json, profile.moments.summary, profile.anonymous, precision);
        json.endObject();
    }
    json.key("summary");
    numbers(json, profile.store.SummaryScores, precision);
    if (kind(Kind::Withheld)) {
        json.key("withheld");
        json.beginObject();
        json.key("minSpread");
        json.value(statistics->minSpread);
        json.endObject();
    }
    json.endObject();
    json.endLine();
}

QByteArray profileJson(const LoadedProfile &profile, const QStringList &analysis,
                       const ReferenceProfile *reference, const Disclosure &disclosure)
{
    JsonWriter json;
    writeProfileJson(json, profile, analysis, reference, disclosure);
    return json.finish();
}
