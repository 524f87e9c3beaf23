#include "PdfFile.h"

#include <cmath>

namespace {

constexpr long long kPowers[] = {1, 10, 100, 1000, 10000, 100000, 1000000};

} // namespace

namespace pdf {

void number(QByteArray &out, double value, int decimals)
{
    // Beyond what a page can hold a number is nonsense from the caller: a zero keeps the stream
    // readable.
    if (!std::isfinite(value) || std::abs(value) > 1e12)
        value = 0;
    const long long scale = kPowers[decimals];
    long long scaled = std::llround(value * double(scale));
    char buffer[32];
    char *end = buffer + sizeof buffer;
    char *at = end;
    *--at = ' ';
    const bool negative = scaled < 0;
    if (negative)
        scaled = -scaled;
    long long whole = scaled / scale;
    long long fraction = scaled % scale;
    if (fraction != 0) {
        int digits = decimals;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --digits;
        }
        for (int i = 0; i < digits; ++i) {
            *--at = char('0' + fraction % 10);
            fraction /= 10;
        }
        *--at = '.';
    }
    do {
        *--at = char('0' + whole % 10);
        whole /= 10;
    } while (whole != 0);
    if (negative)
        *--at = '-';
    out.append(at, end - at);
}

QByteArray textString(const QString &text)
{
    QByteArray out("(\xfe\xff");
    for (const QChar c : text) {
        for (const char byte : {char(c.unicode() >> 8), char(c.unicode() & 0xff)}) {
            if (byte == '(' || byte == ')' || byte == '\\')
                out.append('\\');
            out.append(byte);
        }
    }
    out.append(')');
    return out;
}

QByteArray deflated(const QByteArray &data)
{
    // qCompress puts the data's length before a zlib stream.
    constexpr qsizetype kLengthPrefix = 4;
    // The fastest level: a report's streams come out about an eighth larger than at zlib's
    // default and cost a third of the time, which a batch of reports feels.
    constexpr int kLevel = 1;
    return qCompress(data, kLevel).mid(kLengthPrefix);
}

} // namespace pdf

PdfFile::PdfFile()
{
    out_.reserve(64 * 1024);
    // The second line's high bytes tell a transfer program the file is binary.
    out_.append("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n");
    offsets_.push_back(0);
}

int PdfFile::reserve()
{
    offsets_.push_back(-1);
    return int(offsets_.size() - 1);
}

int PdfFile::beginObject(int number)
{
    if (number == 0)
        number = reserve();
    offsets_[std::size_t(number)] = out_.size();
    out_.append(QByteArray::number(number));
    out_.append(" 0 obj\n");
    return number;
}

void PdfFile::endObject()
{
    out_.append("\nendobj\n");
}

int PdfFile::writeStream(int number, const QByteArray &entries, const QByteArray &data,
                         bool compress)
{
    const QByteArray body = compress ? pdf::deflated(data) : data;
    number = beginObject(number);
    out_.append("<<");
    out_.append(entries);
    out_.append(" /Length ");
    out_.append(QByteArray::number(body.size()));
    if (compress)
        out_.append(" /Filter /FlateDecode");
    out_.append(">>\nstream\n");
    out_.append(body);
    out_.append("\nendstream");
    endObject();
    return number;
}

void PdfFile::finish(int catalog, int info)
{
    const qsizetype xref = out_.size();
    out_.append("xref\n0 ");
    out_.append(QByteArray::number(qsizetype(offsets_.size())));
    out_.append("\n0000000000 65535 f \n");
    for (std::size_t i = 1; i < offsets_.size(); ++i) {
        out_.append(QByteArray::number(std::max<qsizetype>(offsets_[i], 0)).rightJustified(10, '0'));
        out_.append(" 00000 n \n");
    }
    out_.append("trailer\n<< /Size ");
    out_.append(QByteArray::number(qsizetype(offsets_.size())));
    out_.append(" /Root ");
    out_.append(QByteArray::number(catalog));
    out_.append(" 0 R /Info ");
    out_.append(QByteArray::number(info));
    out_.append(" 0 R >>\nstartxref\n");
    out_.append(QByteArray::number(xref));
    out_.append("\n%%EOF\n");
}
