#include "ProfileCsv.h"

#include "NumberFormat.h"
#include "Scoring.h"

#include <charconv>
#include <cmath>

namespace {

// Whole raw sums in this range have their percentage texts cached.
constexpr int kCachedLow = -256;
constexpr int kCachedHigh = 1024;

} // namespace

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

CsvTableWriter::CsvTableWriter(const CsvStyle &style) : style_(style)
{
    const char sep = style_.separator;
    if (style_.byteOrderMark)
        out_ += "\xEF\xBB\xBF";
    out_ += QByteArray("file") + sep + "code" + sep + "name" + sep + "date";
    for (int c = 0; c < kTableNumberColumns; ++c)
        out_ += sep + tableNumberHeading(c);
    out_ += "\r\n";
}

void CsvTableWriter::appendNumber(double value)
{
    out_ += style_.separator;
    out_ += shortestNumberText(value, style_.decimalPoint);
}

void CsvTableWriter::appendPercent(double percent, double raw, int rangeRow)
{
    out_ += style_.separator;
    if (raw != std::floor(raw) || raw < kCachedLow || raw >= kCachedHigh) {
        out_ += shortestNumberText(percent, style_.decimalPoint);
        return;
    }
    std::vector<QByteArray> &texts = percentTexts_[std::size_t(rangeRow)];
    if (texts.empty())
        texts.resize(kCachedHigh - kCachedLow);
    QByteArray &text = texts[std::size_t(int(raw) - kCachedLow)];
    if (text.isEmpty())
        text = shortestNumberText(percent, style_.decimalPoint);
    out_ += text;
}

void CsvTableWriter::addMember(const MemberProfile &member)
{
    const char sep = style_.separator;
    out_ += csvField(member.file, style_);
    for (const QString *text : {&member.header.code, &member.header.name, &member.header.date}) {
        out_ += sep;
        out_ += csvField(*text, style_);
    }
    const ProfileStore &raw = member.store;
    const TableRows::Numbers &numbers = rows_.add(raw);
    for (int i = 1; i <= kAnswerCount; ++i) {
        char text[4] = {sep};
        const auto end =
            std::to_chars(text + 1, text + sizeof text, int(raw.Answers[std::size_t(i)])).ptr;
        out_.append(text, end - text);
    }
    for (int c = kTableFirstPercent; c < kTableNumberColumns; ++c)
        appendPercent(numbers[std::size_t(c)], tableRawScore(raw, c), tableRangeRow(c));
    out_ += "\r\n";
}

QByteArray CsvTableWriter::finish(bool group)
{
    if (group) {
        for (const TableStatistic &statistic : kTableStatistics) {
            out_ +=
                QByteArray(statistic.name) + style_.separator + style_.separator + style_.separator;
            for (int c = 0; c < kTableNumberColumns; ++c)
                appendNumber(rows_.spread(c).*statistic.field);
            out_ += "\r\n";
        }
    }
    return std::move(out_);
}

namespace {

QByteArray anonymousCsv(const LoadedProfile &loaded, const CsvStyle &style)
{
    QByteArray out = CsvTableWriter(style).finish(false);
    // The label stands in the file column; code, name and date stay empty.
    const QByteArray skip(3, style.separator);
    out += 'n' + skip;
    for (const Spread &s : loaded.spread)
        out += style.separator + QByteArray::number(s.n);
    out += "\r\n";
    // As the views show them, and without the sd below the spread minimum.
    for (const TableStatistic &statistic : anonymousStatistics(loaded)) {
        out += statistic.name + skip;
        for (const Spread &s : loaded.spread)
            out += style.separator +
                   shortestNumberText(publishedPercent(s.*statistic.field), style.decimalPoint);
        out += "\r\n";
    }
    return out;
}

} // namespace

QByteArray profileCsv(const LoadedProfile &loaded, const CsvStyle &style)
{
    if (loaded.anonymous)
        return anonymousCsv(loaded, style);
    CsvTableWriter writer(style);
    for (const MemberProfile &member : loaded.members)
        writer.addMember(member);
    return writer.finish(loaded.group);
}

QByteArray comparisonCsvRows(const ProfileStore &profile, const ReferenceProfile &reference,
                             const CsvStyle &style)
{
    const char sep = style.separator;
    const ProfileDifference difference = profileDifference(profile, reference.store);
    QByteArray out;
    auto percentages = [&](const auto &summary, const auto &scales) {
        out += QByteArray(kAnswerCount, sep);
        for (int i = 1; i <= kSummaryCount; ++i)
            out += sep + shortestNumberText(summary[std::size_t(i)], style.decimalPoint);
        for (int i = 1; i <= kScaleScoreCount; ++i)
            out += sep + shortestNumberText(scales[std::size_t(i)], style.decimalPoint);
        out += "\r\n";
    };
    out += "reference";
    for (const QString *text :
         {&reference.header.code, &reference.header.name, &reference.header.date}) {
        out += sep;
        out += csvField(*text, style);
    }
    percentages(reference.store.SummaryScores, reference.store.ScaleScores);
    out += QByteArray("difference") + sep + sep + sep;
    percentages(difference.summary, difference.scales);
    return out;
}
