#include "ProfileTable.h"

#include "Scoring.h"

#include <charconv>
#include <cmath>

namespace {

constexpr int kNumberColumns = kAnswerCount + kSummaryCount + kScaleScoreCount;

// The number columns of one member, in table order.
std::array<double, kNumberColumns> numbersOf(const ProfileStore &store)
{
    std::array<double, kNumberColumns> row{};
    std::size_t c = 0;
    for (int i = 1; i <= kAnswerCount; ++i)
        row[c++] = store.Answers[std::size_t(i)];
    for (int i = 1; i <= kSummaryCount; ++i)
        row[c++] = store.SummaryScores[std::size_t(i)];
    for (int i = 1; i <= kScaleScoreCount; ++i)
        row[c++] = store.ScaleScores[std::size_t(i)];
    return row;
}

// Shortest text that reads back as the same double.
void appendNumber(QByteArray &out, double value, const CsvStyle &style)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    for (char *p = buffer; p != result.ptr; ++p)
        if (*p == '.')
            *p = style.decimalPoint;
    out.append(buffer, result.ptr - buffer);
}

} // namespace

Spread spreadOf(const std::vector<double> &values)
{
    Spread s;
    s.n = int(values.size());
    if (values.empty())
        return s;
    double sum = 0;
    s.min = s.max = values.front();
    for (const double v : values) {
        sum += v;
        s.min = std::min(s.min, v);
        s.max = std::max(s.max, v);
    }
    s.mean = sum / s.n;
    if (s.n > 1) {
        double squares = 0;
        for (const double v : values)
            squares += (v - s.mean) * (v - s.mean);
        s.sd = std::sqrt(squares / (s.n - 1));
    }
    return s;
}

std::vector<ProfileStore> memberPercents(const LoadedProfile &loaded)
{
    std::vector<ProfileStore> stores;
    stores.reserve(loaded.members.size());
    for (const MemberProfile &member : loaded.members) {
        stores.push_back(member.store);
        convertToPercent(stores.back());
    }
    return stores;
}

std::array<Spread, kSummaryCount + 1> summarySpread(const LoadedProfile &loaded)
{
    const std::vector<ProfileStore> stores = memberPercents(loaded);
    std::array<Spread, kSummaryCount + 1> spread{};
    std::vector<double> column(stores.size());
    for (int i = 1; i <= kSummaryCount; ++i) {
        for (std::size_t m = 0; m < stores.size(); ++m)
            column[m] = stores[m].SummaryScores[std::size_t(i)];
        spread[std::size_t(i)] = spreadOf(column);
    }
    return spread;
}

CsvStyle scriptCsv()
{
    return {};
}

CsvStyle spreadsheetCsv(const QLocale &locale)
{
    CsvStyle style;
    style.byteOrderMark = true;
    style.guardFormulas = true;
    // Where numbers take a decimal comma, spreadsheets split lines at ";".
    if (locale.decimalPoint() == QLatin1String(",")) {
        style.separator = ';';
        style.decimalPoint = ',';
    }
    return style;
}

QByteArray csvField(const QString &text, const CsvStyle &style)
{
    QByteArray bytes = text.toUtf8();
    if (style.guardFormulas && !bytes.isEmpty() &&
        QByteArrayView("=+-@\t\r").contains(bytes.front()))
        bytes.prepend('\'');
    const bool quote = bytes.contains(style.separator) || bytes.contains('"') ||
                       bytes.contains('\n') || bytes.contains('\r');
    if (!quote)
        return bytes;
    bytes.replace("\"", "\"\"");
    return '"' + bytes + '"';
}

QByteArray profileCsv(const LoadedProfile &loaded, const CsvStyle &style)
{
    const char sep = style.separator;
    QByteArray out;
    if (style.byteOrderMark)
        out += "\xEF\xBB\xBF";
    out += QByteArray("file") + sep + "code" + sep + "name" + sep + "date";
    for (int i = 1; i <= kAnswerCount; ++i)
        out += sep + QByteArray("answer") + QByteArray::number(i);
    for (int i = 1; i <= kSummaryCount; ++i)
        out += sep + QByteArray("summary") + QByteArray::number(i);
    for (int i = 1; i <= kScaleScoreCount; ++i)
        out += sep + QByteArray("scale") + QByteArray::number(i);
    out += "\r\n";

    const std::vector<ProfileStore> stores = memberPercents(loaded);
    std::vector<std::array<double, kNumberColumns>> rows;
    rows.reserve(stores.size());
    out.reserve(out.size() + qsizetype(stores.size()) * 700);
    for (std::size_t m = 0; m < stores.size(); ++m) {
        const MemberProfile &member = loaded.members[m];
        out += csvField(member.file, style) + sep + csvField(member.header.code, style) + sep +
               csvField(member.header.name, style) + sep + csvField(member.header.date, style);
        rows.push_back(numbersOf(stores[m]));
        for (const double v : rows.back()) {
            out += sep;
            appendNumber(out, v, style);
        }
        out += "\r\n";
    }
    if (!loaded.group)
        return out;

    std::array<Spread, kNumberColumns> spread{};
    std::vector<double> column(rows.size());
    for (std::size_t c = 0; c < std::size_t(kNumberColumns); ++c) {
        for (std::size_t r = 0; r < rows.size(); ++r)
            column[r] = rows[r][c];
        spread[c] = spreadOf(column);
    }
    const std::pair<const char *, double Spread::*> statistics[] = {
        {"mean", &Spread::mean}, {"sd", &Spread::sd}, {"min", &Spread::min}, {"max", &Spread::max}};
    for (const auto &[name, field] : statistics) {
        out += QByteArray(name) + sep + sep + sep;
        for (const Spread &s : spread) {
            out += sep;
            appendNumber(out, s.*field, style);
        }
        out += "\r\n";
    }
    return out;
}
