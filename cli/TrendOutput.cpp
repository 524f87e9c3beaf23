#include "TrendOutput.h"

#include "BreakdownOutput.h"
#include "NumberFormat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

template <std::size_t N> QJsonArray jsonNumbers(const std::array<double, N> &values)
{
    QJsonArray out;
    for (std::size_t i = 1; i < N; ++i)
        out.append(values[i]);
    return out;
}

} // namespace

QByteArray trendJson(const Trend &trend)
{
    QJsonArray withheld, waves, changes;
    for (const TrendWithheld &w : trend.withheld)
        withheld.append(
            QJsonObject{{QStringLiteral("name"), w.name}, {QStringLiteral("count"), w.count}});
    for (const TrendWave &wave : trend.waves)
        waves.append(QJsonObject{{QStringLiteral("name"), wave.name},
                                 {QStringLiteral("count"), wave.count},
                                 {QStringLiteral("summary"), jsonNumbers(wave.summary)},
                                 {QStringLiteral("scales"), jsonNumbers(wave.scales)}});
    for (const TrendChange &change : trend.changes)
        changes.append(QJsonObject{
            {QStringLiteral("from"), trend.waves[std::size_t(change.from)].name},
            {QStringLiteral("to"), trend.waves[std::size_t(change.to)].name},
            {QStringLiteral("difference"),
             summaryAndScales(change.difference, [](double d) { return QJsonValue(d); })},
            {QStringLiteral("p"), summaryAndScales(change.p,
                                                   [](const std::optional<double> &p) {
                                                       return p ? QJsonValue(*p) : QJsonValue();
                                                   })},
            {QStringLiteral("significant"),
             summaryAndScales(change.significant, [](bool s) { return QJsonValue(s); })},
        });
    const QJsonObject object{
        {QStringLiteral("folder"), trend.folder},
        {QStringLiteral("minSize"), trend.disclosure.minSize},
        {QStringLiteral("minSpread"), trend.disclosure.minSpread},
        {QStringLiteral("minDiff"), trend.disclosure.minDiff},
        {QStringLiteral("withheld"), withheld},   {QStringLiteral("waves"), waves},
        {QStringLiteral("changes"), changes},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

QByteArray trendCsv(const Trend &trend, const CsvStyle &style)
{
    const char sep = style.separator;
    QByteArray out;
    if (style.byteOrderMark)
        out += "\xEF\xBB\xBF";
    out += QByteArray("name") + sep + "count";
    for (int c = kTableFirstPercent; c < kTableNumberColumns; ++c)
        out += sep + tableNumberHeading(c);
    out += "\r\n";
    for (const TrendWave &wave : trend.waves) {
        out += csvField(wave.name, style);
        out += sep + QByteArray::number(wave.count);
        for (int c = 0; c < kTrendColumns; ++c)
            out += sep + shortestNumberText(wave.value(c), style.decimalPoint);
        out += "\r\n";
    }
    return out;
}
