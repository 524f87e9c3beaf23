#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <vector>

// JSON written as it is made: escaped while it is written and handed on in pieces, so that a
// group of many thousand members is never held as a document. The bytes are those of
// QJsonDocument's compact form of the same values, given with their keys in sorted order (Qt
// sorts an object's keys): numbers in their shortest form, text in UTF-8 with the same escapes.
class JsonWriter
{
public:
    // Where full pieces go; without one everything is kept for take().
    using Sink = std::function<void(const QByteArray &)>;
    explicit JsonWriter(Sink sink = {});

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    // The next member's key; keys of an object are given in sorted order.
    void key(const char *name);

    void value(double number);
    void value(int number);
    void value(bool truth);
    void value(QStringView text);
    void null();
    // A text value written piece by piece (lines joined by "\n" without joining them first).
    void beginText();
    void textPiece(QStringView text);
    void endText();
    void lines(const QStringList &lines, QLatin1Char separator = QLatin1Char('\n'));
    // The line end after a document.
    void endLine();

    // Hands what is left to the sink; without a sink, returns everything written.
    QByteArray finish();

private:
    void separate();
    void flushFull();

    QByteArray out_;
    Sink sink_;
    std::vector<bool> hasElements_; // one per open container
    bool afterKey_ = false;
};

// "text" as QJsonDocument writes a string: quotes, escapes, UTF-8.
void appendJsonString(QByteArray &out, QStringView text);
