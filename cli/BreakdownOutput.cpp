#include "BreakdownOutput.h"

#include "NumberFormat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

QByteArray breakdownCsv(const BreakdownTable &table, const CsvStyle &style)
{
    const char sep = style.separator;
    QByteArray out;
    if (style.byteOrderMark)
        out += "\xEF\xBB\xBF";
    const auto figure = [&](const std::optional<double> &value, double (*published)(double)) {
        return value ? shortestNumberText(published(*value), style.decimalPoint) : QByteArray();
    };
    const auto unrounded = [](double value) { return value; };
    out += QByteArray("name") + sep + "count";
    for (const char *prefix : {"", "p_", "significant_"})
        for (int c = kTableFirstPercent; c < kTableNumberColumns; ++c)
            out += sep + (prefix + tableNumberHeading(c));
    out += "\r\n";
    for (const BreakdownRow &row : table.rows) {
        const bool whole = row.kind == SubgroupKind::Whole;
        const bool tested = !whole && row.spreadShown;
        out += csvField(row.name, style);
        out += sep + QByteArray::number(row.count);
        for (int c = 0; c < kBreakdownColumns; ++c)
            out += sep + figure(row.value(c), whole ? +unrounded : &publishedPercent);
        for (int c = 0; c < kBreakdownColumns; ++c)
            out += sep + (tested ? figure(row.p[std::size_t(c)], &publishedP) : QByteArray());
        for (int c = 0; c < kBreakdownColumns; ++c)
            out += sep + (tested ? QByteArray(row.significant[std::size_t(c)] ? "1" : "0")
                                 : QByteArray());
        out += "\r\n";
    }
    // The ICCs belong to the columns: rows of their own, with no count.
    for (const auto &[name, icc] :
         {std::pair{"icc1", &table.icc1}, std::pair{"icc2", &table.icc2}}) {
        out += QByteArray(name) + sep;
        for (const auto &value : *icc)
            out += sep + figure(value, &publishedShare);
        out += QByteArray(2 * kBreakdownColumns, sep) + "\r\n";
    }
    return out;
}

QByteArray breakdownJson(const BreakdownTable &table)
{
    QJsonArray rows;
    for (const BreakdownRow &row : table.rows) {
        const bool whole = row.kind == SubgroupKind::Whole;
        const auto percent = [whole](double value) {
            return whole ? value : publishedPercent(value);
        };
        QJsonArray summary, scales;
        for (int i = 1; i <= kSummaryCount; ++i)
            summary.append(percent(row.summary[std::size_t(i)]));
        for (int i = 1; i <= kScaleScoreCount; ++i)
            scales.append(percent(row.scales[std::size_t(i)]));
        QJsonObject object{{QStringLiteral("name"), row.name},
                           {QStringLiteral("count"), row.count},
                           {QStringLiteral("spreadShown"), row.spreadShown},
                           {QStringLiteral("summary"), summary},
                           {QStringLiteral("scales"), scales}};
        if (!whole) {
            object.insert(QStringLiteral("p"), summaryAndScales(row.p, [](const auto &p) {
                              return p ? QJsonValue(publishedP(*p)) : QJsonValue();
                          }));
            const bool tested = row.spreadShown;
            object.insert(QStringLiteral("significant"),
                          summaryAndScales(row.significant, [tested](bool s) {
                              return tested ? QJsonValue(s) : QJsonValue();
                          }));
        }
        rows.append(object);
    }
    const auto figure = [](const std::optional<double> &v) {
        return v ? QJsonValue(publishedShare(*v)) : QJsonValue();
    };
    const QJsonObject object{
        {QStringLiteral("folder"), table.folder},
        {QStringLiteral("line"), table.line},
        {QStringLiteral("minSize"), table.disclosure.minSize},
        {QStringLiteral("minSpread"), table.disclosure.minSpread},
        {QStringLiteral("minDiff"), table.disclosure.minDiff},
        {QStringLiteral("pooled"), table.pooledFiles},
        {QStringLiteral("joined"), table.joinedToOthers},
        {QStringLiteral("withheld"), table.withheldFiles},
        {QStringLiteral("subgroups"), rows},
        {QStringLiteral("icc1"), summaryAndScales(table.icc1, figure)},
        {QStringLiteral("icc2"), summaryAndScales(table.icc2, figure)},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}
