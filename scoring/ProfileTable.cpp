#include "ProfileTable.h"

#include "Scoring.h"

#include <charconv>
#include <cmath>

namespace {

// Whole raw sums in this range have their percentage texts cached.
constexpr int kCachedLow = -256;
constexpr int kCachedHigh = 1024;

// Shortest text that reads back as the same double.
QByteArray numberText(double value, char decimalPoint)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    for (char *p = buffer; p != result.ptr; ++p)
        if (*p == '.')
            *p = decimalPoint;
    return QByteArray(buffer, result.ptr - buffer);
}

} // namespace

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

std::array<Spread, kSummaryCount + 1> summarySpread(const LoadedProfile &loaded)
{
    std::array<SpreadAccumulator, kSummaryCount + 1> columns{};
    for (const MemberProfile &member : loaded.members)
        for (int i = 1; i <= kSummaryCount; ++i)
            columns[std::size_t(i)].add(toPercent(
                member.store.SummaryScores[std::size_t(i)],
                ProfileStore::ScoreRanges[std::size_t(ProfileStore::summaryRangeRow(i))]));
    std::array<Spread, kSummaryCount + 1> spread{};
    for (int i = 1; i <= kSummaryCount; ++i)
        spread[std::size_t(i)] = columns[std::size_t(i)].result();
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

CsvTableWriter::CsvTableWriter(const CsvStyle &style) : style_(style)
{
    const char sep = style_.separator;
    if (style_.byteOrderMark)
        out_ += "\xEF\xBB\xBF";
    out_ += QByteArray("file") + sep + "code" + sep + "name" + sep + "date";
    for (int i = 1; i <= kAnswerCount; ++i)
        out_ += sep + QByteArray("answer") + QByteArray::number(i);
    for (int i = 1; i <= kSummaryCount; ++i)
        out_ += sep + QByteArray("summary") + QByteArray::number(i);
    for (int i = 1; i <= kScaleScoreCount; ++i)
        out_ += sep + QByteArray("scale") + QByteArray::number(i);
    out_ += "\r\n";
}

void CsvTableWriter::appendNumber(double value)
{
    out_ += style_.separator;
    out_ += numberText(value, style_.decimalPoint);
}

double CsvTableWriter::appendPercent(double raw, int rangeRow)
{
    const double percent = toPercent(raw, ProfileStore::ScoreRanges[std::size_t(rangeRow)]);
    out_ += style_.separator;
    if (raw != std::floor(raw) || raw < kCachedLow || raw >= kCachedHigh) {
        out_ += numberText(percent, style_.decimalPoint);
        return percent;
    }
    std::vector<QByteArray> &texts = percentTexts_[std::size_t(rangeRow)];
    if (texts.empty())
        texts.resize(kCachedHigh - kCachedLow);
    QByteArray &text = texts[std::size_t(int(raw) - kCachedLow)];
    if (text.isEmpty())
        text = numberText(percent, style_.decimalPoint);
    out_ += text;
    return percent;
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
    std::size_t c = 0;
    for (int i = 1; i <= kAnswerCount; ++i) {
        const int answer = raw.Answers[std::size_t(i)];
        char text[4] = {sep};
        const auto end = std::to_chars(text + 1, text + sizeof text, answer).ptr;
        out_.append(text, end - text);
        columns_[c++].add(answer);
    }
    for (int i = 1; i <= kSummaryCount; ++i)
        columns_[c++].add(
            appendPercent(raw.SummaryScores[std::size_t(i)], ProfileStore::summaryRangeRow(i)));
    for (int i = 1; i <= kScaleScoreCount; ++i)
        columns_[c++].add(
            appendPercent(raw.ScaleScores[std::size_t(i)], ProfileStore::scaleRangeRow(i)));
    out_ += "\r\n";
}

QByteArray CsvTableWriter::finish(bool group)
{
    if (group) {
        const std::pair<const char *, double Spread::*> statistics[] = {{"mean", &Spread::mean},
                                                                        {"sd", &Spread::sd},
                                                                        {"min", &Spread::min},
                                                                        {"max", &Spread::max}};
        for (const auto &[name, field] : statistics) {
            out_ += QByteArray(name) + style_.separator + style_.separator + style_.separator;
            for (const SpreadAccumulator &column : columns_)
                appendNumber(column.result().*field);
            out_ += "\r\n";
        }
    }
    return std::move(out_);
}

QByteArray profileCsv(const LoadedProfile &loaded, const CsvStyle &style)
{
    CsvTableWriter writer(style);
    for (const MemberProfile &member : loaded.members)
        writer.addMember(member);
    return writer.finish(loaded.group);
}
