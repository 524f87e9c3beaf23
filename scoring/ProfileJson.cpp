#include "ProfileJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

template <typename Array> QJsonArray numbers(const Array &values)
{
    QJsonArray out;
    for (std::size_t i = 1; i < values.size(); ++i)
        out.append(double(values[i]));
    return out;
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
    }
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}
