#include "JsonWriter.h"

#include <QLocale>

#include <cmath>

namespace {

// A piece this large goes to the sink.
constexpr qsizetype kPieceBytes = 64 * 1024;

char hexDigit(unsigned value)
{
    return char(value < 10 ? '0' + value : 'a' + value - 10);
}

void appendEscaped(QByteArray &out, QStringView text)
{
    const char16_t *p = text.utf16();
    const char16_t *const end = p + text.size();
    while (p != end) {
        const char16_t u = *p++;
        if (u < 0x80) {
            if (u >= 0x20 && u != u'"' && u != u'\\') {
                out += char(u);
                continue;
            }
            out += '\\';
            switch (u) {
            case u'"': out += '"'; break;
            case u'\\': out += '\\'; break;
            case u'\b': out += 'b'; break;
            case u'\f': out += 'f'; break;
            case u'\n': out += 'n'; break;
            case u'\r': out += 'r'; break;
            case u'\t': out += 't'; break;
            default:
                out += "u00";
                out += hexDigit(u >> 4);
                out += hexDigit(u & 0xF);
            }
        } else if (u < 0x800) {
            out += char(0xC0 | (u >> 6));
            out += char(0x80 | (u & 0x3F));
        } else if (QChar::isHighSurrogate(u) && p != end && QChar::isLowSurrogate(*p)) {
            const char32_t c = QChar::surrogateToUcs4(u, *p++);
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else if (QChar::isSurrogate(u)) {
            // A half of a pair alone has no UTF-8: its escape, as Qt writes it.
            out += "\\u";
            for (const int shift : {12, 8, 4, 0})
                out += hexDigit((u >> shift) & 0xF);
        } else {
            out += char(0xE0 | (u >> 12));
            out += char(0x80 | ((u >> 6) & 0x3F));
            out += char(0x80 | (u & 0x3F));
        }
    }
}

} // namespace

void appendJsonString(QByteArray &out, QStringView text)
{
    out += '"';
    appendEscaped(out, text);
    out += '"';
}

JsonWriter::JsonWriter(Sink sink) : sink_(std::move(sink)) {}

void JsonWriter::separate()
{
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!hasElements_.empty()) {
        if (hasElements_.back())
            out_ += ',';
        hasElements_.back() = true;
    }
}

void JsonWriter::flushFull()
{
    if (sink_ && out_.size() >= kPieceBytes) {
        sink_(out_);
        out_.clear();
    }
}

void JsonWriter::beginObject()
{
    separate();
    out_ += '{';
    hasElements_.push_back(false);
}

void JsonWriter::endObject()
{
    out_ += '}';
    hasElements_.pop_back();
    flushFull();
}

void JsonWriter::beginArray()
{
    separate();
    out_ += '[';
    hasElements_.push_back(false);
}

void JsonWriter::endArray()
{
    out_ += ']';
    hasElements_.pop_back();
    flushFull();
}

void JsonWriter::key(const char *name)
{
    separate();
    out_ += '"';
    out_ += name;
    out_ += "\":";
    afterKey_ = true;
}

void JsonWriter::value(double number)
{
    separate();
    // As QJsonDocument: the shortest text that reads back, "null" for what JSON cannot hold.
    out_ += std::isfinite(number) ? QByteArray::number(number, 'g', QLocale::FloatingPointShortest)
                                  : QByteArray("null");
}

void JsonWriter::value(int number)
{
    separate();
    out_ += QByteArray::number(number);
}

void JsonWriter::value(bool truth)
{
    separate();
    out_ += truth ? "true" : "false";
}

void JsonWriter::value(QStringView text)
{
    separate();
    appendJsonString(out_, text);
    flushFull();
}

void JsonWriter::null()
{
    separate();
    out_ += "null";
}

void JsonWriter::beginText()
{
    separate();
    out_ += '"';
}

void JsonWriter::textPiece(QStringView text)
{
    appendEscaped(out_, text);
    flushFull();
}

void JsonWriter::endText()
{
    out_ += '"';
}

void JsonWriter::lines(const QStringList &lines, QLatin1Char separator)
{
    beginText();
    const QChar between(separator);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            textPiece(QStringView(&between, 1));
        textPiece(lines[i]);
    }
    endText();
}

void JsonWriter::endLine()
{
    out_ += '\n';
}

QByteArray JsonWriter::finish()
{
    if (!sink_)
        return std::move(out_);
    if (!out_.isEmpty())
        sink_(out_);
    out_.clear();
    return {};
}
