#pragma once

#include "ProfileStore.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>

// The lines of one answer file that the program reads, kept as code page 1251 bytes and decoded
// only where a text is shown. Only lines 1 to 53 are read: whatever follows, however long, is
// never touched, so a huge file costs no more than a small one.
class AnswerFileText
{
public:
    static constexpr int kLinesRead = 53;
    // A line is kept up to this length; the rest of a longer line is skipped, not stored.
    static constexpr qsizetype kMaxKeptLineBytes = 64 * 1024;
    // Reading stops after this many bytes, as if the file ended there.
    static constexpr qint64 kMaxScanBytes = 64LL * 1024 * 1024;

    // Reads the file at path. Throws "Cannot open file %s" when it is missing, unreadable or not
    // a regular file.
    static AnswerFileText load(const QString &path);
    // The same line splitting over bytes already in memory.
    static AnswerFileText fromBytes(QByteArrayView bytes);

    int lineCount() const { return count_; }
    // Line n (from 1) as bytes, empty when the file has fewer lines.
    QByteArrayView lineBytes(int n) const;
    // Line n decoded from code page 1251.
    QString line(int n) const;

private:
    class Splitter;
    QByteArray bytes_;
    std::array<qsizetype, kLinesRead + 2> start_{};
    int count_ = 0;
};

// Decodes code page 1251 bytes.
QString decode1251(QByteArrayView bytes);

// Reads a whole text as one integer: optional leading blanks, an optional sign, then decimal
// digits or hexadecimal digits after "$" or "0x", and nothing else. The range is that of a
// 32-bit signed integer (hexadecimal up to 8 digits, taken as its bit pattern). Throws
// "'%s' is not a valid integer value" with the text.
int StrToInt(QByteArrayView text);

// Adds one file to the store: overwrites Answers from lines 9-40, adds the totals of lines 42-53
// to SummaryScores, adds the pair sums to the sixteen scales and recomputes the factor (III)
// cells. Throws at the first line, in file order, that holds no integer.
void ReadAnswers(const AnswerFileText &text, ProfileStore &store);
