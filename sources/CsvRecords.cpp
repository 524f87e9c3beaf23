#include "TableRecords.h"

#include "AnswerFile.h"
#include "CommandError.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QFile>
#include <QFileInfo>
#endif

namespace {

constexpr char kQuote = '"';
constexpr char kCR = '\r';
constexpr char kLF = '\n';

// The delimiter is chosen from the records that start the file: enough to see the header and a
// few answers, few enough that a large file costs nothing extra.
constexpr int kSampleRecords = 20;
constexpr qsizetype kSampleBytes = 64 * 1024;

// Excel's own limit: a line of millions of delimiters would otherwise cost a view per cell.
constexpr qsizetype kMaxCells = 16384;
// Room for the unescaped cells of a typical record, so the first records allocate nothing.
constexpr qsizetype kScratchBytes = 4096;

bool endsWithNoCase(QByteArrayView path, QByteArrayView suffix)
{
    if (path.size() < suffix.size())
        return false;
    const QByteArrayView tail = path.last(suffix.size());
    for (qsizetype i = 0; i < suffix.size(); ++i) {
        char c = tail[i];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        if (c != suffix[i])
            return false;
    }
    return true;
}

enum class Encoding { Utf8, Utf16, Cp1251 };

// The first of the bytes a, b or c in [p, end), or end. A plain loop: most cells are an answer
// of one digit, and word-at-a-time tests made a table of such cells slower to read.
const char *firstOf(const char *p, const char *end, char a, char b, char c)
{
    while (p < end && *p != a && *p != b && *p != c)
        ++p;
    return p;
}

constexpr char32_t kReplacement = 0xFFFD;

// Writes c as UTF-8 at out and returns the end: at most four bytes.
char *putUtf8(char *out, char32_t c)
{
    if (c < 0x80) {
        *out++ = char(c);
    } else if (c < 0x800) {
        *out++ = char(0xC0 | (c >> 6));
        *out++ = char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = char(0xE0 | (c >> 12));
        *out++ = char(0x80 | ((c >> 6) & 0x3F));
        *out++ = char(0x80 | (c & 0x3F));
    } else {
        *out++ = char(0xF0 | (c >> 18));
        *out++ = char(0x80 | ((c >> 12) & 0x3F));
        *out++ = char(0x80 | ((c >> 6) & 0x3F));
        *out++ = char(0x80 | (c & 0x3F));
    }
    return out;
}

// UTF-16 after its mark, straight to UTF-8 without a QString in between, so only the file and
// its converted copy are ever held. A lone surrogate or an odd last byte becomes U+FFFD.
template <bool BigEndian> QByteArray utf16ToUtf8(QByteArrayView units)
{
    const auto *p = reinterpret_cast<const unsigned char *>(units.data());
    const qsizetype count = units.size() / 2;
    const auto unit = [&](qsizetype i) -> char32_t {
        return BigEndian ? char32_t(p[2 * i] << 8 | p[2 * i + 1])
                         : char32_t(p[2 * i + 1] << 8 | p[2 * i]);
    };
    // Three bytes a unit at most (a pair of units makes four); the pages past the end stay
    // untouched.
    QByteArray text(count * 3 + 3, Qt::Uninitialized);
    char *out = text.data();
    for (qsizetype i = 0; i < count; ++i) {
        const char32_t c = unit(i);
        if (c < 0x80) {
            *out++ = char(c);
            continue;
        }
        if (c < 0x800) { // Cyrillic
            *out++ = char(0xC0 | (c >> 6));
            *out++ = char(0x80 | (c & 0x3F));
            continue;
        }
        const bool high = c >= 0xD800 && c < 0xDC00;
        if (high && i + 1 < count && unit(i + 1) >= 0xDC00 && unit(i + 1) < 0xE000) {
            out = putUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
            ++i;
        } else {
            out = putUtf8(out, c >= 0xD800 && c < 0xE000 ? kReplacement : c);
        }
    }
    if (units.size() % 2 != 0)
        out = putUtf8(out, kReplacement);
    text.resize(out - text.constData());
    return text;
}

QByteArray cp1251ToUtf8(QByteArrayView bytes)
{
    // Each byte's UTF-8 once, from the program's one code page 1251 decoder.
    struct Encoded
    {
        char bytes[4];
        int size;
    };
    static const std::array<Encoded, 256> table = [] {
        std::array<Encoded, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            const QString decoded = decode1251(QByteArrayView(&byte, 1));
            Encoded &e = t[std::size_t(b)];
            e.size =
                int(putUtf8(e.bytes, decoded.size() == 1 ? decoded[0].unicode() : kReplacement) -
                    e.bytes);
        }
        return t;
    }();
    qsizetype size = 0;
    for (const char c : bytes)
        size += table[static_cast<unsigned char>(c)].size;
    // Every character is stored as four bytes and the pointer moves by its size: a fixed copy
    // is one store, a sized one a call.
    QByteArray text(size + 3, Qt::Uninitialized);
    char *out = text.data();
    for (const char c : bytes) {
        const Encoded &e = table[static_cast<unsigned char>(c)];
        std::memcpy(out, e.bytes, 4);
        out += e.size;
    }
    text.resize(size);
    return text;
}

CommandError notATable(const QString &shownFile, const QString &why)
{
    return CommandError(QStringLiteral("Файл %1 не похож на таблицу CSV: %2").arg(shownFile, why));
}

class CsvRecords final : public TableRecords
{
public:
    CsvRecords(QByteArray bytes, const QString &shownFile) : shownFile_(shownFile)
    {
        decode(std::move(bytes));
        begin_ = text_.constData() + start_;
        end_ = text_.constData() + text_.size();
        // Line ends after the last record make no records: editors leave blank lines there.
        while (end_ > begin_ && (end_[-1] == kLF || end_[-1] == kCR))
            --end_;
        scratch_.reserve(kScratchBytes);
        delimiter_ = findDelimiter();
        rewind();
    }

    bool next(TableRecord &record) override
    {
        switch (read(record, end_)) {
        case Step::Record:
            return true;
        case Step::End:
            return false;
        case Step::TooWide:
            throw CommandError(
                QStringLiteral("Файл %1, строка %2: больше %3 столбцов, это не таблица ответов")
                    .arg(shownFile_)
                    .arg(record.row)
                    .arg(kMaxCells));
        case Step::Unclosed:
            break;
        }
        throw CommandError(
            QStringLiteral("Файл %1, строка %2: кавычка, открывшая ячейку, не закрыта до конца "
                           "файла")
                .arg(shownFile_)
                .arg(record.row));
    }

    void rewind() override
    {
        pos_ = begin_;
        row_ = 0;
    }

    QString description() const override
    {
        const QString encoding = encoding_ == Encoding::Utf8    ? QStringLiteral("UTF-8")
                                 : encoding_ == Encoding::Utf16 ? QStringLiteral("UTF-16")
                                                                : QStringLiteral("Windows-1251");
        const QString delimiter =
            delimiter_ == '\t' ? QStringLiteral("табуляция") : QString(QLatin1Char(delimiter_));
        return QStringLiteral("%1, разделитель «%2»").arg(encoding, delimiter);
    }

private:
    enum class Step { Record, End, Unclosed, TooWide };

    // A cell unescaped into scratch_, put into the record once scratch_ has stopped growing.
    struct ScratchCell
    {
        std::size_t index;
        qsizetype from;
        qsizetype size;
    };

    void decode(QByteArray bytes)
    {
        const QByteArrayView view(bytes);
        if (view.startsWith("\xFF\xFE") || view.startsWith("\xFE\xFF")) {
            encoding_ = Encoding::Utf16;
            text_ = view[0] == '\xFE' ? utf16ToUtf8<true>(view.sliced(2))
                                      : utf16ToUtf8<false>(view.sliced(2));
            bytes = {};
            // A NUL character is no text either, and a UTF-32 mark reads as UTF-16 with NULs.
            if (std::memchr(text_.constData(), 0, std::size_t(text_.size())))
                throw notATable(shownFile_, QStringLiteral("в нём есть нулевые символы"));
            return;
        }
        // Without a mark, NUL bytes are UTF-16 with no mark, or no text at all; either way a
        // guess would show the user garbage.
        if (std::memchr(bytes.constData(), 0, std::size_t(bytes.size())))
            throw notATable(shownFile_,
                            QStringLiteral("в нём есть нулевые байты (это не текст или текст в "
                                           "UTF-16 без метки порядка байтов); сохраните таблицу "
                                           "как CSV в UTF-8"));
        const qsizetype bom = view.startsWith("\xEF\xBB\xBF") ? 3 : 0;
        if (view.sliced(bom).isValidUtf8()) {
            encoding_ = Encoding::Utf8;
            start_ = bom;
            text_ = std::move(bytes);
            return;
        }
        encoding_ = Encoding::Cp1251;
        text_ = cp1251ToUtf8(view);
    }

    // The candidate that splits the first record into cells the most of the next records
    // repeat, then into the most cells; a table of one column reads with ",".
    char findDelimiter()
    {
        const char *sampleEnd = end_ - begin_ > kSampleBytes ? begin_ + kSampleBytes : end_;
        char best = ',';
        int bestAgree = -1;
        qsizetype bestCells = 1;
        TableRecord record;
        for (const char candidate : {',', ';', '\t'}) {
            delimiter_ = candidate;
            rewind();
            std::vector<qsizetype> counts;
            while (int(counts.size()) < kSampleRecords && read(record, sampleEnd) == Step::Record)
                counts.push_back(qsizetype(record.cells.size()));
            // The record the sample's end cut through may be short.
            if (sampleEnd != end_ && counts.size() > 1 && pos_ == sampleEnd)
                counts.pop_back();
            if (counts.empty() || counts[0] <= 1)
                continue;
            const int agree = int(std::count(counts.begin() + 1, counts.end(), counts[0]));
            if (agree > bestAgree || (agree == bestAgree && counts[0] > bestCells)) {
                best = candidate;
                bestAgree = agree;
                bestCells = counts[0];
            }
        }
        return best;
    }

    // The record at pos_, the text taken to stop at end.
    Step read(TableRecord &record, const char *end)
    {
        const char delimiter = delimiter_;
        if (pos_ >= end)
            return Step::End;
        record.row = ++row_;
        record.cells.clear();
        scratch_.resize(0); // keeps its capacity, unlike clear()
        scratchCells_.clear();
        const char *p = pos_;
        for (;;) {
            if (record.cells.size() == std::size_t(kMaxCells))
                return Step::TooWide;
            if (p < end && *p == kQuote) {
                // Most quoted cells hold neither a doubled quote nor a line break and are
                // shown in place; the others are unescaped into scratch_.
                const char *from = p + 1;
                const char *q = firstOf(from, end, kQuote, kCR, kCR);
                if (q < end && *q == kQuote &&
                    (q + 1 == end || q[1] == delimiter || q[1] == kLF || q[1] == kCR)) {
                    record.cells.emplace_back(from, q - from);
                    p = q + 1;
                } else {
                    p = unescape(record, from, end);
                    if (!p)
                        return Step::Unclosed;
                }
            } else {
                // A quote inside an unquoted cell is a character of the cell, as Excel has it.
                const char *from = p;
                p = firstOf(p, end, delimiter, kLF, kCR);
                record.cells.emplace_back(from, p - from);
            }
            if (p < end && *p == delimiter) {
                ++p;
                continue;
            }
            // The line end: CR LF, LF or CR.
            if (p < end)
                p += (*p == kCR && p + 1 < end && p[1] == kLF) ? 2 : 1;
            break;
        }
        pos_ = p;
        for (const ScratchCell &cell : scratchCells_)
            record.cells[cell.index] = QByteArrayView(scratch_.constData() + cell.from, cell.size);
        return Step::Record;
    }

    // Copies the quoted cell whose text starts at from into scratch_: "" as one quote, a line
    // break of any kind as LF, and whatever stands between the closing quote and the next
    // delimiter as it is (Excel's reading). Returns where the cell ends, or null when its
    // quote is never closed.
    const char *unescape(TableRecord &record, const char *from, const char *end)
    {
        const qsizetype start = scratch_.size();
        const char *p = from;
        for (;;) {
            const char *q = firstOf(p, end, kQuote, kCR, kCR);
            if (q == end)
                return nullptr;
            scratch_.append(p, q - p);
            if (*q == kCR) {
                scratch_ += kLF;
                p = q + 1;
                if (p < end && *p == kLF)
                    ++p;
            } else if (q + 1 < end && q[1] == kQuote) {
                scratch_ += kQuote;
                p = q + 2;
            } else {
                p = q + 1;
                break;
            }
        }
        const char *rest = p;
        p = firstOf(p, end, delimiter_, kLF, kCR);
        scratch_.append(rest, p - rest);
        scratchCells_.push_back({record.cells.size(), start, scratch_.size() - start});
        record.cells.emplace_back();
        return p;
    }

    QString shownFile_;
    QByteArray text_; // UTF-8
    Encoding encoding_ = Encoding::Utf8;
    qsizetype start_ = 0; // after a UTF-8 mark
    const char *begin_ = nullptr;
    const char *end_ = nullptr;
    char delimiter_ = ',';
    const char *pos_ = nullptr;
    int row_ = 0;
    QByteArray scratch_;
    std::vector<ScratchCell> scratchCells_;
};

#ifdef Q_OS_UNIX
// The whole file by its bytes. Only a regular file is read: a pipe or a device named *.csv
// would block or never end.
QByteArray readWholeFile(const NativePath &path)
{
    const auto fail = [&](int error, const QString &reason = {}) {
        return cannotOpenFile(displayPath(path))
            .because(reason.isEmpty() ? systemReason(error) : reason);
    };
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw fail(errno);
    struct Closer
    {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st;
    if (::fstat(fd, &st) != 0)
        throw fail(errno);
    if (S_ISDIR(st.st_mode))
        throw fail(EISDIR);
    if (!S_ISREG(st.st_mode))
        throw fail(0, QStringLiteral("it is not a regular file"));
    QByteArray bytes;
    // The size may change while the file is read: read to its end whatever fstat said.
    bytes.resize(qsizetype(st.st_size) + 1);
    qsizetype size = 0;
    for (;;) {
        if (size == bytes.size())
            bytes.resize(size * 2);
        const ssize_t n = ::read(fd, bytes.data() + size, std::size_t(bytes.size() - size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw fail(errno);
        if (n == 0)
            break;
        size += n;
    }
    bytes.resize(size);
    return bytes;
}
#else
QByteArray readWholeFile(const NativePath &path)
{
    QFile file(QFile::decodeName(path));
    if (QFileInfo(file.fileName()).isDir())
        throw cannotOpenFile(displayPath(path)).because(systemReason(EISDIR));
    if (!file.open(QIODevice::ReadOnly))
        throw cannotOpenFile(displayPath(path)).because(file.errorString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw cannotOpenFile(displayPath(path)).because(file.errorString());
    return bytes;
}
#endif

} // namespace

bool isTablePath(QByteArrayView path)
{
    return endsWithNoCase(path, ".csv") || endsWithNoCase(path, ".tsv") || isWorkbookPath(path);
}

bool isWorkbookPath(QByteArrayView path)
{
    return endsWithNoCase(path, ".xlsx");
}

std::unique_ptr<TableRecords> csvRecords(QByteArray bytes, const QString &shownFile)
{
    return std::make_unique<CsvRecords>(std::move(bytes), shownFile);
}

std::unique_ptr<TableRecords> tableRecords(const NativePath &path, const QString &sheet)
{
    if (isWorkbookPath(path))
        return workbookRecords(path, sheet);
    return csvRecords(readWholeFile(path), displayPath(path));
}
