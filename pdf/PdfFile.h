#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// The bytes of a PDF file as its objects are written: numbers reserved ahead, each object's
// offset noted for the cross-reference table, streams Flate-compressed.
class PdfFile
{
public:
    PdfFile();

    // An object number for an object written later.
    int reserve();
    // Starts object number (reserved, or a new one when 0) and returns its number; the caller
    // writes its body to out() and closes it with endObject().
    int beginObject(int number = 0);
    void endObject();
    // A whole stream object: dictionary entries besides /Length and /Filter, then the data.
    int writeStream(int number, const QByteArray &entries, const QByteArray &data,
                    bool compress = true);

    // The cross-reference table and trailer; the file is complete after it.
    void finish(int catalog, int info);

    QByteArray &out() { return out_; }

private:
    QByteArray out_;
    std::vector<qsizetype> offsets_; // by object number; 0 is the free head
};

// Helpers to write PDF syntax into a byte array.
namespace pdf {

// A number with at most `decimals` digits after the point and a blank after it, as every
// operand in a content stream is written; fast, and the same in every locale.
void number(QByteArray &out, double value, int decimals = 3);
// A text string: UTF-16BE with its byte order mark, escaped.
QByteArray textString(const QString &text);
// Data a zlib stream of, as /FlateDecode reads it.
QByteArray deflated(const QByteArray &data);

} // namespace pdf
