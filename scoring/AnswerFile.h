#pragma once

#include "Cp1251.h"
#include "NativePath.h"
#include "ProfileStore.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>
#include <cstdint>
#include <string>

// Reads one integer from a text fed in pieces, with the rules of an answer line: optional
// leading blanks, an optional sign, then decimal digits or hexadecimal digits after "$" or
// "0x", and nothing else. The range is that of a 32-bit signed integer (hexadecimal up to
// 8 digits, taken as its bit pattern). Leading blanks and zeros cost nothing, so a line of any
// width reads the same.
class IntegerScanner
{
public:
    void feed(QByteArrayView bytes);
    bool valid() const;
    int value() const; // only when valid

private:
    enum class State { Blanks, Signed, Zero, HexStart, Hex, Decimal, Failed };
    State state_ = State::Blanks;
    bool negative_ = false;
    std::uint64_t magnitude_ = 0;
};

// Checks bytes fed in pieces for strict UTF-8 (no overlong forms, no surrogates, nothing above
// U+10FFFF) and notes whether any multi-byte sequence occurred.
class Utf8Check
{
public:
    void feed(QByteArrayView bytes)
    {
        // Code page 1251 fails at its first letter: the rest of the file costs nothing.
        if (!failed_)
            check(bytes);
    }
    // Valid so far and not stopped inside a sequence.
    bool valid() const { return !failed_ && pending_ == 0; }
    bool sawMultiByte() const { return multiByte_; }

private:
    void check(QByteArrayView bytes);
    int pending_ = 0;                        // continuation bytes still due
    unsigned char low_ = 0x80, high_ = 0xBF; // range of the next continuation byte
    bool failed_ = false;
    bool multiByte_ = false;
};

// The lines of one answer file that the program reads, decoded only where a text is shown.
// Files are code page 1251, as the questionnaire program writes them; a file that starts with
// a UTF-8 byte order mark, or whose lines read are valid UTF-8 with at least one multi-byte
// sequence, is UTF-8 (the mark is dropped).
// Only lines 1 to 53 are read: whatever follows, however long, is never touched. The header
// lines 1-7 are kept whole; of the other lines only their number is read as they stream past,
// with the start of the line kept for a message, so memory is bounded by the header texts.
class AnswerFileText
{
public:
    static constexpr int kLinesRead = 53;
    static constexpr int kLastHeaderLine = 7;
    static constexpr int kFirstAnswerLine = 9;
    static constexpr int kLastAnswerLine = 40;
    // A header text longer than this is refused rather than read into memory; real ones are
    // a few dozen bytes. The window lays such texts out in the memo, which costs time that
    // grows faster than their length, so the limit stays well below a megabyte.
    static constexpr qsizetype kMaxHeaderLineBytes = 256 * 1024;
    // How much of any other line is kept to quote in a message.
    static constexpr qsizetype kQuotedBytes = 256;

    // Reads the file. Throws "Cannot open file %s" when it is missing, unreadable or not a
    // regular file ("Cannot open file: the path is empty" for no path), and a message naming
    // the limit for a header line over it.
    static AnswerFileText load(const QString &path);
    static AnswerFileText load(const NativePath &path);
    // load of the entry name of a folder held open (folderFd, as openat takes it); folder names
    // it in a message. regular: the folder's listing already knows the entry for a regular
    // file, which then is not checked again.
    static AnswerFileText loadAt(int folderFd, const NativePath &folder, const NativePath &name,
                                 bool regular);
    // The same reading over bytes already in memory.
    static AnswerFileText fromBytes(QByteArrayView bytes);

    int lineCount() const { return count_; }
    // Bytes of the header lines 1-7 as kept.
    qsizetype headerBytes() const;
    // Line n (from 1) as kept: whole for the header lines, its start for the others; empty
    // when the file has fewer lines.
    QByteArrayView lineBytes(int n) const;
    // lineBytes decoded from the file's encoding.
    QString line(int n) const;
    bool isUtf8() const { return utf8_; }
    // Total line n (42..53) is read from its first three characters.
    QByteArrayView totalField(int n) const;
    // The number of answer line n (9..40). Throws "'%s' is not a valid integer value" quoting
    // the line (its start and "…" when it is long).
    int answer(int n) const;
    // The total of line n (42..53): its first three characters, leading characters below 33
    // dropped. Throws "'%s' is not a valid integer value" quoting them.
    int total(int n) const;
    static constexpr int kFirstTotalLine = 42;
    static constexpr int kLastTotalLine = 53;
    // The line as a message quotes it.
    QString quoted(int n) const;

private:
    class Reader;
    // Where a line's kept bytes stand in bytes_: a file's lines share one buffer, since one
    // allocation for each of 53 lines cost a group load a quarter of its time.
    struct Line
    {
        qsizetype from = 0;
        qsizetype size = 0;
        bool cut = false;
        IntegerScanner number;
    };
    std::string bytes_; // appending a line's few bytes costs a fraction of a QByteArray append
    std::array<Line, kLinesRead + 1> lines_{};
    int count_ = 0;
    bool utf8_ = false;
};

// Decodes UTF-8 as it stands: a U+FEFF is a character like any other, and bytes that are no
// UTF-8 become one U+FFFD per maximal subpart of a sequence.
QString decodeUtf8(QByteArrayView bytes);
// Decodes bytes as UTF-8, or as code page 1251 when utf8 is false.
QString decodeText(QByteArrayView bytes, bool utf8);
// Appends decodeText(bytes, utf8) to text, without a string of its own.
void appendDecoded(QString &text, QByteArrayView bytes, bool utf8);

// Reads a whole text as one integer with the rules of IntegerScanner. Throws
// "'%s' is not a valid integer value" with the text.
int StrToInt(QByteArrayView text);

// Adds one file to the store: overwrites Answers from lines 9-40, adds the totals of lines 42-53
// to SummaryScores, adds the pair sums to the sixteen scales and recomputes the factor (III)
// cells. Throws at the first line, in file order, that holds no integer.
void ReadAnswers(const AnswerFileText &text, ProfileStore &store);
