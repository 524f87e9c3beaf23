#include "AnswerFile.h"

#include "CommandError.h"
#include "Scoring.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <limits>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr int kFirstTotalLine = 42;
constexpr qsizetype kTotalFieldWidth = 3;
constexpr char kCR = '\r';
constexpr char kLF = '\n';
constexpr qsizetype kChunkBytes = 64 * 1024;

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

CommandError headerLineTooLong(const QString &path, int n)
{
    return CommandError(
        QStringLiteral("Cannot read file %1: line %2 is longer than %3 MiB, the limit for a "
                       "header text")
            .arg(path)
            .arg(n)
            .arg(AnswerFileText::kMaxHeaderLineBytes / (1024 * 1024)));
}

} // namespace

void IntegerScanner::feed(QByteArrayView bytes)
{
    constexpr std::uint64_t kHexLimit = std::numeric_limits<std::uint32_t>::max();
    constexpr std::uint64_t kPositiveLimit = std::numeric_limits<std::int32_t>::max();
    for (const char c : bytes) {
        switch (state_) {
        case State::Blanks:
            if (c == ' ')
                continue;
            if (c == '+' || c == '-') {
                negative_ = c == '-';
                state_ = State::Signed;
                continue;
            }
            [[fallthrough]];
        case State::Signed:
            if (c == '$')
                state_ = State::HexStart;
            else if (c == '0')
                state_ = State::Zero;
            else if (c > '0' && c <= '9') {
                magnitude_ = std::uint64_t(c - '0');
                state_ = State::Decimal;
            } else
                state_ = State::Failed;
            continue;
        case State::Zero:
            if (c == 'x' || c == 'X') {
                state_ = State::HexStart;
                continue;
            }
            state_ = State::Decimal;
            [[fallthrough]];
        case State::Decimal: {
            if (c < '0' || c > '9') {
                state_ = State::Failed;
                continue;
            }
            const std::uint64_t limit = negative_ ? kPositiveLimit + 1 : kPositiveLimit;
            magnitude_ = magnitude_ * 10 + std::uint64_t(c - '0');
            if (magnitude_ > limit)
                state_ = State::Failed;
            continue;
        }
        case State::HexStart:
        case State::Hex: {
            const int d = hexDigit(c);
            if (d < 0) {
                state_ = State::Failed;
                continue;
            }
            magnitude_ = magnitude_ * 16 + std::uint64_t(d);
            state_ = magnitude_ > kHexLimit ? State::Failed : State::Hex;
            continue;
        }
        case State::Failed:
            return;
        }
    }
}

bool IntegerScanner::valid() const
{
    return state_ == State::Zero || state_ == State::Decimal || state_ == State::Hex;
}

int IntegerScanner::value() const
{
    if (state_ == State::Hex) {
        // Hexadecimal digits give the bit pattern of the 32-bit value.
        const auto bits = static_cast<std::uint32_t>(magnitude_);
        return negative_ ? static_cast<int>(0u - bits) : static_cast<int>(bits);
    }
    return negative_ ? static_cast<int>(-static_cast<std::int64_t>(magnitude_))
                     : static_cast<int>(magnitude_);
}

// Cuts a byte stream into lines: CR LF, a lone LF and a lone CR each end a line. Fed in chunks,
// it stops wanting more once line 53 is complete.
class AnswerFileText::Reader
{
public:
    Reader(AnswerFileText &text, QString path) : text_(text), path_(std::move(path)) {}

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
            take(QByteArrayView(p, stop - p));
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
    void take(QByteArrayView bytes)
    {
        if (bytes.isEmpty())
            return;
        lineHasBytes_ = true;
        const int n = text_.count_ + 1;
        Line &line = text_.lines_[n];
        const qsizetype limit = n <= kLastHeaderLine ? kMaxHeaderLineBytes : kQuotedBytes;
        const qsizetype room = limit - line.kept.size();
        if (bytes.size() > room) {
            if (n <= kLastHeaderLine)
                throw headerLineTooLong(path_, n);
            line.cut = true;
        }
        line.kept.append(bytes.first(std::min(bytes.size(), std::max<qsizetype>(room, 0))));
        if (n >= kFirstAnswerLine && n <= kLastAnswerLine)
            line.number.feed(bytes);
    }

    void endLine()
    {
        ++text_.count_;
        lineHasBytes_ = false;
    }

    AnswerFileText &text_;
    QString path_;
    bool lineHasBytes_ = false;
    bool afterCR_ = false;
};

AnswerFileText AnswerFileText::fromBytes(QByteArrayView bytes)
{
    AnswerFileText text;
    Reader reader(text, QString());
    reader.feed(bytes.data(), bytes.size());
    reader.finish();
    return text;
}

AnswerFileText AnswerFileText::load(const QString &path)
{
    return load(toNativePath(path));
}

#ifdef Q_OS_UNIX
namespace {

// Closes the descriptor on every way out.
struct FileDescriptor
{
    int fd = -1;
    ~FileDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

AnswerFileText AnswerFileText::load(const NativePath &path)
{
    const QString shown = displayPath(path);
    // Opened without blocking and then checked: only a regular file is read, since a pipe or a
    // device named *.txt would block or never end.
    FileDescriptor file{
        path.isEmpty() ? -1 : ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    struct stat st;
    if (file.fd < 0 || ::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode))
        throw cannotOpenFile(shown);

    AnswerFileText text;
    Reader reader(text, shown);
    QByteArray chunk(kChunkBytes, Qt::Uninitialized);
    while (!reader.done()) {
        const ssize_t n = ::read(file.fd, chunk.data(), size_t(chunk.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw cannotOpenFile(shown);
        if (n == 0)
            break;
        reader.feed(chunk.constData(), n);
    }
    reader.finish();
    return text;
}
#else
AnswerFileText AnswerFileText::load(const NativePath &path)
{
    const QString shown = QFile::decodeName(path);
    QFile file(shown);
    if (!QFileInfo(shown).isFile() || !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw cannotOpenFile(shown);
    AnswerFileText text;
    Reader reader(text, shown);
    QByteArray chunk(kChunkBytes, Qt::Uninitialized);
    while (!reader.done()) {
        const qint64 n = file.read(chunk.data(), chunk.size());
        if (n < 0)
            throw cannotOpenFile(shown);
        if (n == 0)
            break;
        reader.feed(chunk.constData(), n);
    }
    reader.finish();
    return text;
}
#endif

QByteArrayView AnswerFileText::lineBytes(int n) const
{
    if (n < 1 || n > count_)
        return {};
    return lines_[n].kept;
}

QString AnswerFileText::line(int n) const
{
    return decode1251(lineBytes(n));
}

QString AnswerFileText::quoted(int n) const
{
    const QString text = line(n);
    return n >= 1 && n <= count_ && lines_[n].cut ? text + QChar(0x2026) : text;
}

int AnswerFileText::answer(int n) const
{
    if (n >= 1 && n <= count_ && lines_[n].number.valid())
        return lines_[n].number.value();
    throw notAnInteger(quoted(n));
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
    IntegerScanner scanner;
    scanner.feed(text);
    if (!scanner.valid())
        throw notAnInteger(decode1251(text));
    return scanner.value();
}

void ReadAnswers(const AnswerFileText &text, ProfileStore &store)
{
    for (int j = 1; j <= kAnswerCount; ++j) {
        const int value = text.answer(AnswerFileText::kFirstAnswerLine - 1 + j);
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
