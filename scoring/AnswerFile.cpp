#include "AnswerFile.h"

#include "CommandError.h"
#include "Scoring.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <limits>

namespace {

constexpr int kFirstAnswerLine = 9;
constexpr int kFirstTotalLine = 42;
constexpr qsizetype kTotalFieldWidth = 3;
constexpr char kCR = '\r';
constexpr char kLF = '\n';

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

// Cuts a byte stream into lines: CR LF, a lone LF and a lone CR each end a line. Fed in chunks,
// it stops wanting more once the last line it reads is complete.
class AnswerFileText::Splitter
{
public:
    explicit Splitter(AnswerFileText &text) : text_(text) { text_.start_[1] = 0; }

    bool done() const { return text_.count_ == kLinesRead; }

    void feed(const char *data, qsizetype size)
    {
        const char *p = data;
        const char *end = data + size;
        while (p < end && !done()) {
            if (afterCR_) {
                afterCR_ = false;
                if (*p == kLF) {
                    ++p;
                    continue;
                }
            }
            const char *stop = p;
            while (stop < end && *stop != kCR && *stop != kLF)
                ++stop;
            keep(p, stop - p);
            if (stop == end)
                break;
            afterCR_ = *stop == kCR;
            endLine();
            p = stop + 1;
        }
    }

    void finish()
    {
        // Text after the last line break is a line of its own; nothing after it is not.
        if (!done() && lineHasBytes_)
            endLine();
    }

private:
    void keep(const char *p, qsizetype n)
    {
        if (n == 0)
            return;
        lineHasBytes_ = true;
        const qsizetype room = kMaxKeptLineBytes - kept_;
        const qsizetype take = n < room ? n : room;
        if (take > 0) {
            text_.bytes_.append(p, take);
            kept_ += take;
        }
    }

    void endLine()
    {
        ++text_.count_;
        text_.start_[text_.count_ + 1] = text_.bytes_.size();
        kept_ = 0;
        lineHasBytes_ = false;
    }

    AnswerFileText &text_;
    qsizetype kept_ = 0;
    bool lineHasBytes_ = false;
    bool afterCR_ = false;
};

AnswerFileText AnswerFileText::fromBytes(QByteArrayView bytes)
{
    AnswerFileText text;
    Splitter splitter(text);
    splitter.feed(bytes.data(), bytes.size());
    splitter.finish();
    return text;
}

AnswerFileText AnswerFileText::load(const QString &path)
{
    // Only regular files: a pipe or a device named *.txt would block or never end.
    const QFileInfo info(path);
    if (!info.isFile())
        throw cannotOpenFile(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw cannotOpenFile(path);

    AnswerFileText text;
    Splitter splitter(text);
    char chunk[16 * 1024];
    qint64 scanned = 0;
    while (!splitter.done() && scanned < kMaxScanBytes) {
        const qint64 n = file.read(chunk, sizeof chunk);
        if (n < 0)
            throw cannotOpenFile(path);
        if (n == 0)
            break;
        scanned += n;
        splitter.feed(chunk, n);
    }
    splitter.finish();
    return text;
}

QByteArrayView AnswerFileText::lineBytes(int n) const
{
    if (n < 1 || n > count_)
        return {};
    return QByteArrayView(bytes_).sliced(start_[n], start_[n + 1] - start_[n]);
}

QString AnswerFileText::line(int n) const
{
    return decode1251(lineBytes(n));
}

QString decode1251(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return {};
    thread_local QStringDecoder decoder("windows-1251", QStringConverter::Flag::Stateless);
    // A Qt without this converter would empty every Cyrillic text without a word.
    if (!decoder.isValid())
        qFatal("This Qt build cannot decode code page 1251 (windows-1251)");
    return decoder.decode(bytes);
}

int StrToInt(QByteArrayView text)
{
    const char *p = text.data();
    const char *end = p + text.size();
    auto fail = [&]() -> CommandError { return notAnInteger(decode1251(text)); };

    while (p < end && *p == ' ')
        ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    bool hex = false;
    if (p < end && *p == '$') {
        hex = true;
        ++p;
    } else if (end - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        hex = true;
        p += 2;
    }
    if (p == end)
        throw fail();

    std::uint64_t magnitude = 0;
    if (hex) {
        for (; p < end; ++p) {
            const int d = hexDigit(*p);
            if (d < 0)
                throw fail();
            magnitude = magnitude * 16 + d;
            if (magnitude > std::numeric_limits<std::uint32_t>::max())
                throw fail();
        }
        // Hexadecimal digits give the bit pattern of the 32-bit value.
        const auto bits = static_cast<std::uint32_t>(magnitude);
        const auto value = static_cast<std::int32_t>(bits);
        return negative ? static_cast<int>(0u - bits) : value;
    }
    const std::uint64_t limit = negative
                                    ? std::uint64_t(std::numeric_limits<std::int32_t>::max()) + 1
                                    : std::uint64_t(std::numeric_limits<std::int32_t>::max());
    for (; p < end; ++p) {
        if (*p < '0' || *p > '9')
            throw fail();
        magnitude = magnitude * 10 + std::uint64_t(*p - '0');
        if (magnitude > limit)
            throw fail();
    }
    return negative ? static_cast<int>(-static_cast<std::int64_t>(magnitude))
                    : static_cast<int>(magnitude);
}

void ReadAnswers(const AnswerFileText &text, ProfileStore &store)
{
    for (int j = 1; j <= kAnswerCount; ++j) {
        const int value = StrToInt(text.lineBytes(kFirstAnswerLine - 1 + j));
        // Only the low 8 bits are kept: 300 is stored as 44, -1 as 255.
        store.Answers[j] = static_cast<std::uint8_t>(static_cast<unsigned>(value) & 0xFFu);
    }
    for (int k = 1; k <= kSummaryCount; ++k) {
        const QByteArrayView line = text.lineBytes(kFirstTotalLine - 1 + k);
        QByteArrayView field =
            line.first(line.size() < kTotalFieldWidth ? line.size() : kTotalFieldWidth);
        while (!field.isEmpty() && static_cast<unsigned char>(field.front()) < 33)
            field = field.sliced(1);
        store.SummaryScores[k] += StrToInt(field);
    }
    addScaleSums(store);
}
