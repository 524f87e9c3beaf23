#include "AnswerFile.h"

#include "CommandError.h"
#include "Scoring.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <array>
#include <limits>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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
constexpr qsizetype kChunkBytes = 16 * 1024;

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

// The first CR or LF from p on, or end. A header line is dozens of bytes, so sixteen are looked
// at a time where the processor can.
const char *lineEnd(const char *p, const char *end)
{
#ifdef __SSE2__
    const __m128i cr = _mm_set1_epi8(kCR);
    const __m128i lf = _mm_set1_epi8(kLF);
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const int found =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)));
        if (found != 0)
            return p + __builtin_ctz(unsigned(found));
    }
#endif
    // Both line ends sort below every printable byte: one test passes most bytes.
    while (p < end && (static_cast<unsigned char>(*p) > kCR || (*p != kCR && *p != kLF)))
        ++p;
    return p;
}

CommandError headerLineTooLong(const QString &path, int n)
{
    return CommandError(
        QStringLiteral("Cannot read file %1: line %2 is longer than %3 KiB, the limit for a "
                       "header text")
            .arg(path)
            .arg(n)
            .arg(AnswerFileText::kMaxHeaderLineBytes / 1024));
}

} // namespace

void IntegerScanner::feed(QByteArrayView bytes)
{
    constexpr std::uint64_t kHexLimit = std::numeric_limits<std::uint32_t>::max();
    constexpr std::uint64_t kPositiveLimit = std::numeric_limits<std::int32_t>::max();
    // An answer line is a digit or two: up to nine digits from the start read as the loop below
    // would read them ("0" alone stays Zero, for an "x" that may follow), without its states.
    constexpr qsizetype kSafeDigits = 9;
    if (state_ == State::Blanks && !bytes.isEmpty() && bytes.size() <= kSafeDigits) {
        std::uint64_t value = 0;
        bool digits = true;
        for (const char c : bytes) {
            digits = digits && c >= '0' && c <= '9';
            value = value * 10 + std::uint64_t(c - '0');
        }
        if (digits) {
            magnitude_ = value;
            state_ = bytes.size() == 1 && value == 0 ? State::Zero : State::Decimal;
            return;
        }
    }
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

namespace {

// What a UTF-8 lead byte asks of the bytes after it: how many continuation bytes, and the range
// of the first one (narrower after E0, ED, F0 and F4: no overlong forms, no surrogates, nothing
// above U+10FFFF). None for a byte that cannot start a sequence.
struct Utf8Lead
{
    int continuation = -1;
    unsigned char low = 0x80, high = 0xBF;
    char32_t bits = 0; // the lead's own bits of the code point
};

Utf8Lead utf8Lead(unsigned char c)
{
    if (c >= 0xC2 && c <= 0xDF)
        return {1, 0x80, 0xBF, char32_t(c & 0x1F)};
    using Byte = unsigned char;
    if (c >= 0xE0 && c <= 0xEF)
        return {2, Byte(c == 0xE0 ? 0xA0 : 0x80), Byte(c == 0xED ? 0x9F : 0xBF),
                char32_t(c & 0x0F)};
    if (c >= 0xF0 && c <= 0xF4)
        return {3, Byte(c == 0xF0 ? 0x90 : 0x80), Byte(c == 0xF4 ? 0x8F : 0xBF),
                char32_t(c & 0x07)};
    return {};
}

// One character of UTF-8 at p (before end): its bytes and code point, or for bytes that are no
// character the maximal subpart of a sequence (at least one byte) and U+FFFD, as Unicode
// recommends: a truncated sequence is one replacement, a stray byte one each.
struct Utf8Char
{
    qsizetype bytes;
    char32_t point;
};

Utf8Char utf8Char(const unsigned char *p, const unsigned char *end)
{
    if (*p < 0x80)
        return {1, *p};
    Utf8Lead lead = utf8Lead(*p);
    char32_t point = lead.bits;
    for (qsizetype i = 1; i <= lead.continuation; ++i) {
        if (p + i == end || p[i] < lead.low || p[i] > lead.high)
            return {i, QChar::ReplacementCharacter};
        point = point << 6 | (p[i] & 0x3Fu);
        lead.low = 0x80;
        lead.high = 0xBF;
    }
    return lead.continuation < 0 ? Utf8Char{1, QChar::ReplacementCharacter}
                                 : Utf8Char{lead.continuation + 1, point};
}

const unsigned char *unsignedBytes(QByteArrayView bytes)
{
    return reinterpret_cast<const unsigned char *>(bytes.data());
}

} // namespace

void Utf8Check::check(QByteArrayView bytes)
{
    for (const char ch : bytes) {
        if (failed_)
            return;
        const auto c = static_cast<unsigned char>(ch);
        if (pending_ > 0) {
            if (c < low_ || c > high_) {
                failed_ = true;
                return;
            }
            low_ = 0x80;
            high_ = 0xBF;
            --pending_;
            continue;
        }
        if (c < 0x80)
            continue;
        multiByte_ = true;
        const Utf8Lead lead = utf8Lead(c);
        if (lead.continuation < 0) {
            failed_ = true;
            return;
        }
        pending_ = lead.continuation;
        low_ = lead.low;
        high_ = lead.high;
    }
}

// Cuts a byte stream into lines: CR LF, a lone LF and a lone CR each end a line. Fed in chunks,
// it stops wanting more once line 53 is complete. The kept bytes of a chunk go into the text in
// one piece, line breaks between them included, unless a line is cut: a file costs one copy.
class AnswerFileText::Reader
{
public:
    // folder and name name the file in a message; they are turned into text only for one.
    Reader(AnswerFileText &text, QByteArrayView folder, QByteArrayView name)
        : text_(text), folder_(folder), name_(name)
    {
    }

    bool done() const { return text_.count_ == kLinesRead; }

    void feed(const char *data, qsizetype size)
    {
        const char *p = data;
        const char *end = data + size;
        if (atStart_) {
            // The byte order mark may arrive split over reads only in a file of 1 or 2 bytes,
            // which has no answers anyway.
            atStart_ = false;
            if (size >= 3 && QByteArrayView(data, 3) == "\xEF\xBB\xBF") {
                bom_ = true;
                p += 3;
            }
        }
        keptFrom_ = keptTo_ = p;
        while (p < end && !done()) {
            if (afterCR_) {
                afterCR_ = false;
                if (*p == kLF) {
                    ++p;
                    continue;
                }
            }
            const char *stop = lineEnd(p, end);
            if (stop != p)
                take(p, stop);
            if (stop == end)
                break;
            afterCR_ = *stop == kCR;
            endLine();
            p = stop + 1;
        }
        flush();
    }

    void finish()
    {
        // Text after the last line break is a line of its own; nothing after it is not.
        if (!done() && lineHasBytes_)
            endLine();
        text_.utf8_ = bom_ || (utf8_.valid() && utf8_.sawMultiByte());
    }

private:
    // The bytes from p to stop, all of one line.
    void take(const char *p, const char *stop)
    {
        const QByteArrayView bytes(p, stop - p);
        lineHasBytes_ = true;
        const int n = text_.count_ + 1;
        Line &line = text_.lines_[n];
        // Only the line being read grows, so each line's bytes follow one another in the text.
        if (line.size == 0)
            line.from = qsizetype(text_.bytes_.size()) + (p - keptFrom_);
        const qsizetype limit = n <= kLastHeaderLine ? kMaxHeaderLineBytes : kQuotedBytes;
        if (bytes.size() <= limit - line.size) {
            line.size += bytes.size();
            keptTo_ = stop;
        } else {
            cut(line, n, p, stop, limit);
        }
        if (n >= kFirstAnswerLine && n <= kLastAnswerLine)
            line.number.feed(bytes);
        utf8_.feed(bytes);
    }

    // A line over its limit: a header line is refused, another keeps its start.
    Q_DECL_COLD_FUNCTION void cut(Line &line, int n, const char *p, const char *stop,
                                  qsizetype limit)
    {
        if (n <= kLastHeaderLine)
            throw headerLineTooLong(displayPath(messagePath()), n);
        line.cut = true;
        const qsizetype kept = std::max<qsizetype>(limit - line.size, 0);
        line.size += kept;
        keptTo_ = p + kept;
        flush();
        keptFrom_ = keptTo_ = stop;
    }

    // The kept bytes not yet in the text go in.
    void flush()
    {
        if (keptTo_ != keptFrom_)
            text_.bytes_.append(keptFrom_, std::size_t(keptTo_ - keptFrom_));
        keptFrom_ = keptTo_;
    }

    void endLine()
    {
        // A sequence cut off by the line break is no UTF-8.
        utf8_.feed("\n");
        ++text_.count_;
        lineHasBytes_ = false;
    }

    NativePath messagePath() const
    {
        return folder_.isEmpty() ? name_.toByteArray()
                                 : joinPath(folder_.toByteArray(), name_.toByteArray());
    }

    AnswerFileText &text_;
    QByteArrayView folder_;
    QByteArrayView name_;
    // The bytes of the chunk being read that are kept and not yet in the text.
    const char *keptFrom_ = nullptr;
    const char *keptTo_ = nullptr;
    bool lineHasBytes_ = false;
    bool afterCR_ = false;
    bool atStart_ = true;
    bool bom_ = false;
    Utf8Check utf8_;
};

AnswerFileText AnswerFileText::fromBytes(QByteArrayView bytes)
{
    AnswerFileText text;
    Reader reader(text, {}, {});
    reader.feed(bytes.data(), bytes.size());
    reader.finish();
    return text;
}

AnswerFileText AnswerFileText::load(const QString &path)
{
    return load(toNativePath(path));
}

namespace {

// An answer file open for reading, closed on every way out. Only a regular file opens: a pipe
// or a device named *.txt would block or never end, so it is opened without blocking and then
// checked.
#ifdef Q_OS_UNIX
class InputFile
{
public:
    explicit InputFile(const NativePath &path)
        : fd_(path.isEmpty() ? -1 : ::open(path.constData(), kFlags))
    {
        check(false);
    }
    // The entry name of the open folder folderFd; regular: known to be a regular file.
    InputFile(int folderFd, const NativePath &name, bool regular)
        : fd_(::openat(folderFd, name.constData(), kFlags))
    {
        check(regular);
    }
    // Why the file could not be opened, for a terminal: the system's reason.
    int error() const { return error_; }
    ~InputFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    InputFile(const InputFile &) = delete;
    InputFile &operator=(const InputFile &) = delete;

    bool isOpen() const { return fd_ >= 0; }
    // Bytes read, 0 at the end, -1 on an error.
    qint64 read(char *data, qint64 size)
    {
        for (;;) {
            const ssize_t n = ::read(fd_, data, size_t(size));
            if (n >= 0 || errno != EINTR)
                return n;
        }
    }

private:
    static constexpr int kFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC;

    void check(bool regular)
    {
        if (fd_ < 0) {
            error_ = errno;
            return;
        }
        if (regular)
            return;
        struct stat st;
        if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
            error_ = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
            ::close(fd_);
            fd_ = -1;
        }
    }

    int fd_;
    int error_ = 0;
};
#else
class InputFile
{
public:
    explicit InputFile(const NativePath &path) : file_(QFile::decodeName(path))
    {
        if (QFileInfo(file_.fileName()).isFile())
            file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    InputFile(int, const NativePath &name, bool) : InputFile(name) {}
    bool isOpen() const { return file_.isOpen(); }
    int error() const { return EACCES; }
    qint64 read(char *data, qint64 size) { return file_.read(data, size); }

private:
    QFile file_;
};
#endif

} // namespace

namespace {

// What the file holds for the reader, read in chunks until line 53 is complete.
template <typename Reader>
void readInto(InputFile &file, Reader &reader, const NativePath &folder, const NativePath &name)
{
    const auto path = [&] { return displayPath(folder.isEmpty() ? name : joinPath(folder, name)); };
    if (!file.isOpen())
        throw cannotOpenFile(path()).because(file.error() == EINVAL
                                                 ? QStringLiteral("it is not a regular file")
                                                 : systemReason(file.error()));
    // On the stack: a heap block of this size, taken and freed for every file of a group, made
    // the allocator tidy its free lists each time. A real answer file, under a kilobyte, comes
    // in one read.
    char chunk[kChunkBytes];
    while (!reader.done()) {
        const qint64 n = file.read(chunk, kChunkBytes);
        if (n < 0)
            throw cannotOpenFile(path()).because(systemReason(errno));
        if (n == 0)
            break;
        reader.feed(chunk, n);
    }
    reader.finish();
}

} // namespace

AnswerFileText AnswerFileText::load(const NativePath &path)
{
    // Only a command line can name no file at all; "Cannot open file " would not say why.
    if (path.isEmpty())
        throw CommandError(QStringLiteral("Cannot open file: the path is empty"));
    InputFile file(path);
    AnswerFileText text;
    Reader reader(text, {}, path);
    readInto(file, reader, {}, path);
    return text;
}

AnswerFileText AnswerFileText::loadAt(int folderFd, const NativePath &folder,
                                      const NativePath &name, bool regular)
{
    InputFile file(folderFd, name, regular);
    AnswerFileText text;
    Reader reader(text, folder, name);
    readInto(file, reader, folder, name);
    return text;
}

qsizetype AnswerFileText::headerBytes() const
{
    qsizetype bytes = 0;
    for (int n = 1; n <= kLastHeaderLine; ++n)
        bytes += lines_[std::size_t(n)].size;
    return bytes;
}

QByteArrayView AnswerFileText::lineBytes(int n) const
{
    if (n < 1 || n > count_)
        return {};
    const Line &line = lines_[std::size_t(n)];
    return QByteArrayView(bytes_.data() + line.from, line.size);
}

QString AnswerFileText::line(int n) const
{
    return decodeText(lineBytes(n), utf8_);
}

QByteArrayView AnswerFileText::totalField(int n) const
{
    const QByteArrayView line = lineBytes(n);
    if (!utf8_)
        return line.first(std::min(line.size(), kTotalFieldWidth));
    // Characters as the decoder counts them: a byte that belongs to no sequence is one.
    const unsigned char *begin = unsignedBytes(line);
    const unsigned char *end = begin + line.size();
    const unsigned char *p = begin;
    for (int chars = 0; chars < kTotalFieldWidth && p < end; ++chars)
        p += utf8Char(p, end).bytes;
    return line.first(p - begin);
}

int AnswerFileText::total(int n) const
{
    QByteArrayView field = totalField(n);
    while (!field.isEmpty() && static_cast<unsigned char>(field.front()) < 33)
        field = field.sliced(1);
    IntegerScanner scanner;
    scanner.feed(field);
    if (!scanner.valid())
        throw notAnInteger(decodeText(field, utf8_)).atLine(n);
    return scanner.value();
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
    throw notAnInteger(quoted(n)).atLine(n);
}

QString decodeUtf8(QByteArrayView bytes)
{
    // No character takes more UTF-16 units than it has bytes.
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    const unsigned char *p = unsignedBytes(bytes);
    const unsigned char *end = p + bytes.size();
    while (p < end) {
        const Utf8Char c = utf8Char(p, end);
        p += c.bytes;
        if (QChar::requiresSurrogates(c.point)) {
            *out++ = QChar::highSurrogate(c.point);
            *out++ = QChar::lowSurrogate(c.point);
        } else {
            *out++ = char16_t(c.point);
        }
    }
    text.truncate(out - reinterpret_cast<char16_t *>(text.data()));
    return text;
}

QString decodeText(QByteArrayView bytes, bool utf8)
{
    return utf8 ? decodeUtf8(bytes) : decode1251(bytes);
}

void appendDecoded(QString &text, QByteArrayView bytes, bool utf8)
{
    if (utf8)
        text += decodeUtf8(bytes);
    else
        append1251(text, bytes);
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
    for (int k = 1; k <= kSummaryCount; ++k)
        store.SummaryScores[k] += text.total(kFirstTotalLine - 1 + k);
    addScaleSums(store);
}
