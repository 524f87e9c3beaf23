#include "ProfileJson.h"

#include <QLocale>

namespace {

void appendString(QByteArray &out, const QString &text)
{
    out += '"';
    const QByteArray utf8 = text.toUtf8();
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char esc[8];
                std::snprintf(esc, sizeof esc, "\\u%04x", c);
                out += esc;
            } else {
                out += ch;
            }
        }
    }
    out += '"';
}

// Shortest text that reads back as the same double.
QByteArray number(double value)
{
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

template <typename Array> void appendNumbers(QByteArray &out, const Array &values)
{
    out += '[';
    for (std::size_t i = 1; i < values.size(); ++i) {
        if (i > 1)
            out += ", ";
        out += number(double(values[i]));
    }
    out += ']';
}

} // namespace

QByteArray profileJson(const LoadedProfile &profile, const QStringList &analysis)
{
    const QLatin1Char lf('\n');
    QByteArray out;
    out += "{\"code\": ";
    appendString(out, profile.header.code);
    out += ", \"name\": ";
    appendString(out, profile.header.name);
    out += ", \"date\": ";
    appendString(out, profile.header.date);
    out += ", \"details\": ";
    appendString(out, profile.header.details.join(lf));
    out += ", \"count\": " + QByteArray::number(profile.count);
    out += ", \"answers\": ";
    appendNumbers(out, profile.store.Answers);
    out += ", \"summary\": ";
    appendNumbers(out, profile.store.SummaryScores);
    out += ", \"scales\": ";
    appendNumbers(out, profile.store.ScaleScores);
    out += ", \"analysis\": ";
    appendString(out, analysis.join(lf));
    out += "}\n";
    return out;
}
