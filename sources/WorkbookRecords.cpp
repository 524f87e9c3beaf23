#include "TableRecords.h"

#include "CommandError.h"

#include <QDate>
#include <QHash>
#include <QXmlStreamReader>

#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

// An .xlsx workbook is a zip archive of XML parts. The sheet is inflated and parsed a chunk at a
// time, so a sheet of any length costs one chunk and one record; only the shared strings, which
// any cell may name, are held whole.

namespace {

constexpr zip_uint64_t kChunkBytes = 64 * 1024;
// Deflate reaches about 1030:1 on a run of one byte and real sheets stay far below 100:1; the
// first megabyte is let through so that a tiny part with a few thousand empty cells passes.
constexpr qint64 kMaxRatio = 1000;
constexpr qint64 kRatioFreeBytes = 1024 * 1024;
constexpr int kMaxColumns = 16384; // XFD, the last column a sheet has
constexpr int kMaxRows = 1048576;
constexpr qint64 kSecondsPerDay = 86400;
constexpr double kMaxSerial = 2958466; // 10000-01-01, past the last date Excel shows
constexpr qsizetype kMaxNumberChars = 64;
// The XML reader holds a whole text or tag before it returns it, so one that runs on for
// gigabytes would be held whole; a cell holds at most 32,767 characters, a few hundred kilobytes
// as XML.
constexpr qint64 kMaxTokenBytes = 16 * 1024 * 1024;
// Far beyond any form's answers, but a row of 16,384 cells of a megabyte each is refused.
constexpr qsizetype kMaxCellChars = 1024 * 1024;
constexpr std::size_t kMaxRecordBytes = 64 * 1024 * 1024;

const QString kWorkbookPart = QStringLiteral("xl/workbook.xml");
const QString kWorkbookRels = QStringLiteral("xl/_rels/workbook.xml.rels");

CommandError notWorkbook(const QString &file, const QString &why)
{
    return CommandError(
        QStringLiteral("Файл %1 не является книгой Excel (.xlsx): %2").arg(file, why));
}

CommandError damaged(const QString &file, const QString &why)
{
    return CommandError(
        QStringLiteral("Книга Excel %1 повреждена или обрезана: %2").arg(file, why));
}

CommandError refused(const QString &file, const QString &why)
{
    return CommandError(QStringLiteral("Книга Excel %1 не прочитана: %2").arg(file, why));
}

struct ArchiveCloser
{
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

struct EntryCloser
{
    void operator()(zip_file_t *entry) const { zip_fclose(entry); }
};

// The archive and what every part's reader needs to name it and to judge its ratio.
struct Book
{
    Archive archive;
    QString file;
    qint64 fileBytes = 0;
};

// UTF-16 from the XML reader to the UTF-8 the records hold; a lone surrogate becomes U+FFFD.
void appendUtf8(std::string &out, QStringView text)
{
    const std::size_t start = out.size();
    out.resize(start + std::size_t(text.size()) * 3);
    char *p = out.data() + start;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = text[i].unicode();
        if (c < 0x80) {
            *p++ = char(c);
            continue;
        }
        if (QChar::isSurrogate(c)) {
            if (QChar::isHighSurrogate(c) && i + 1 < n && text[i + 1].isLowSurrogate())
                c = QChar::surrogateToUcs4(char16_t(c), text[++i].unicode());
            else
                c = 0xFFFD;
        }
        if (c < 0x800) {
            *p++ = char(0xC0 | (c >> 6));
        } else if (c < 0x10000) {
            *p++ = char(0xE0 | (c >> 12));
            *p++ = char(0x80 | ((c >> 6) & 0x3F));
        } else {
            *p++ = char(0xF0 | (c >> 18));
            *p++ = char(0x80 | ((c >> 12) & 0x3F));
            *p++ = char(0x80 | ((c >> 6) & 0x3F));
        }
        *p++ = char(0x80 | (c & 0x3F));
    }
    out.resize(std::size_t(p - out.data()));
}

// The ASCII of a number's text without surrounding blanks, or false for anything else.
bool asciiNumber(QStringView text, char (&buffer)[kMaxNumberChars], std::size_t &length)
{
    text = text.trimmed();
    if (text.isEmpty() || text.size() > kMaxNumberChars)
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() >= 0x80)
            return false;
        buffer[i] = char(text[i].unicode());
    }
    length = std::size_t(text.size());
    return true;
}

template <typename Number> bool parseNumber(QStringView text, Number &value)
{
    char buffer[kMaxNumberChars];
    std::size_t length = 0;
    if (!asciiNumber(text, buffer, length))
        return false;
    const auto [end, error] = std::from_chars(buffer, buffer + length, value);
    return error == std::errc() && end == buffer + length;
}

void appendDigits(std::string &out, qint64 value, int width)
{
    char digits[20];
    int n = 0;
    do {
        digits[n++] = char('0' + value % 10);
        value /= 10;
    } while (value > 0 && n < 20);
    for (int i = n; i < width; ++i)
        out += '0';
    while (n > 0)
        out += digits[--n];
}

// A serial date as "yyyy-mm-dd hh:mm:ss", rounded to the second. The 1900 system counts
// 1900-02-29, a day that never was, as serial 60, so the days after it are one off; a negative
// serial is a date only in the 1904 system. False for a number that is no date.
bool appendDate(std::string &out, QStringView text, bool date1904)
{
    double serial = 0;
    if (!parseNumber(text, serial) || !std::isfinite(serial) || serial >= kMaxSerial ||
        serial <= (date1904 ? -kMaxSerial : -1e-9))
        return false;
    const qint64 seconds = std::llround(serial * double(kSecondsPerDay));
    qint64 days = seconds / kSecondsPerDay;
    qint64 second = seconds % kSecondsPerDay;
    if (second < 0) {
        second += kSecondsPerDay;
        --days;
    }
    int year = 1900, month = 2, day = 29;
    if (date1904 || days != 60) {
        const QDate date = date1904    ? QDate(1904, 1, 1).addDays(days)
                           : days < 60 ? QDate(1899, 12, 31).addDays(days)
                                       : QDate(1899, 12, 30).addDays(days);
        if (!date.isValid() || date.year() < 1)
            return false;
        date.getDate(&year, &month, &day);
    }
    appendDigits(out, year, 4);
    out += '-';
    appendDigits(out, month, 2);
    out += '-';
    appendDigits(out, day, 2);
    out += ' ';
    appendDigits(out, second / 3600, 2);
    out += ':';
    appendDigits(out, second / 60 % 60, 2);
    out += ':';
    appendDigits(out, second % 60, 2);
    return true;
}

// Whether a number format shows a date or a time: a date or time letter outside quoted text,
// escaped characters and bracketed colours or conditions; "[h]" and the like are elapsed times.
bool isDateFormat(QStringView code)
{
    const auto isDateLetter = [](QChar c) { return QStringView(u"dmyhsDMYHS").contains(c); };
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == u'"') {
            const qsizetype close = code.indexOf(u'"', i + 1);
            i = close < 0 ? code.size() : close;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'[') {
            const qsizetype close = code.indexOf(u']', i + 1);
            const QStringView inside = code.mid(i + 1, close < 0 ? -1 : close - i - 1);
            if (!inside.isEmpty() && std::all_of(inside.begin(), inside.end(), [](QChar l) {
                    return QStringView(u"hmsHMS").contains(l);
                }))
                return true;
            i = close < 0 ? code.size() : close;
        } else if (isDateLetter(c)) {
            return true;
        }
    }
    return false;
}

bool isBuiltinDateFormat(int id)
{
    return (id >= 14 && id <= 22) || (id >= 45 && id <= 47);
}

// One part of the archive as XML tokens, inflated a chunk at a time and refused once it
// inflates past its limit or past a ratio no table compresses to.
class PartReader
{
public:
    // place names the part in messages ("лист «Ответы»"); row, when given, is the row being read.
    PartReader(const Book &book, zip_int64_t index, QString place, qint64 limit,
               const int *row = nullptr)
        : book_(book), place_(std::move(place)), limit_(limit), row_(row)
    {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(book.archive.get(), zip_uint64_t(index), 0, &stat) != 0)
            throw damaged(book.file, QStringLiteral("%1: данные не читаются").arg(place_))
                .because(QString::fromUtf8(zip_strerror(book.archive.get())));
        // A size the archive states is trusted only to refuse early; what is inflated is counted.
        if ((stat.valid & ZIP_STAT_SIZE) && stat.size > zip_uint64_t(limit_))
            throw tooLarge();
        compressed_ = book.fileBytes;
        if (stat.valid & ZIP_STAT_COMP_SIZE)
            compressed_ = std::min(compressed_, qint64(std::min<zip_uint64_t>(
                                                    stat.comp_size, zip_uint64_t(book.fileBytes))));
        entry_.reset(zip_fopen_index(book.archive.get(), zip_uint64_t(index), 0));
        if (!entry_) {
            const int code = zip_error_code_zip(zip_get_error(book.archive.get()));
            const QString reason = QString::fromUtf8(zip_strerror(book.archive.get()));
            if (code == ZIP_ER_COMPNOTSUPP || code == ZIP_ER_ENCRNOTSUPP || code == ZIP_ER_NOPASSWD)
                throw notWorkbook(book.file,
                                  QStringLiteral("%1: данные сжаты или зашифрованы способом, "
                                                 "которого Excel не применяет")
                                      .arg(place_))
                    .because(reason);
            throw damaged(book.file, QStringLiteral("%1: данные не читаются").arg(place_))
                .because(reason);
        }
    }

    QXmlStreamReader xml;

    // The next token; more of the part is inflated when the reader runs out.
    QXmlStreamReader::TokenType next()
    {
        for (;;) {
            const QXmlStreamReader::TokenType token = xml.readNext();
            if (token != QXmlStreamReader::Invalid) {
                pending_ = 0;
                return token;
            }
            if (xml.error() != QXmlStreamReader::PrematureEndOfDocumentError)
                throw damaged(book_.file, QStringLiteral("%1: разметка XML нарушена").arg(where()))
                    .because(xml.errorString());
            if (!feed())
                throw damaged(book_.file, QStringLiteral("%1: данные обрываются").arg(where()));
            if (pending_ > kMaxTokenBytes)
                throw refused(book_.file, QStringLiteral("%1: текст или тег длиннее %2 МБ")
                                              .arg(where())
                                              .arg(kMaxTokenBytes / (1024 * 1024)));
        }
    }

    // The rest of the part after its document ended, read for its checksum and counted, but
    // not parsed.
    void finish()
    {
        while (feed(false)) {
        }
    }

    QString where() const
    {
        return row_ && *row_ > 0 ? QStringLiteral("%1, строка %2").arg(place_).arg(*row_) : place_;
    }

private:
    bool feed(bool parse = true)
    {
        QByteArray chunk(qsizetype(kChunkBytes), Qt::Uninitialized);
        const zip_int64_t n = zip_fread(entry_.get(), chunk.data(), kChunkBytes);
        if (n < 0) {
            zip_error_t *error = zip_file_get_error(entry_.get());
            throw damaged(
                book_.file,
                zip_error_code_zip(error) == ZIP_ER_CRC
                    ? QStringLiteral("%1: данные не сходятся с контрольной суммой").arg(place_)
                    : QStringLiteral("%1: данные не распаковываются").arg(where()))
                .because(QString::fromUtf8(zip_error_strerror(error)));
        }
        if (n == 0)
            return false;
        inflated_ += n;
        pending_ += n;
        if (inflated_ > limit_)
            throw tooLarge();
        if (inflated_ > kRatioFreeBytes + kMaxRatio * compressed_)
            throw refused(book_.file,
                          QStringLiteral("%1: данные сжаты больше чем в %2 раз — так сжимают "
                                         "zip-бомбы, а не таблицы")
                              .arg(place_)
                              .arg(kMaxRatio));
        if (parse) {
            chunk.truncate(qsizetype(n));
            xml.addData(chunk);
        }
        return true;
    }

    CommandError tooLarge() const
    {
        return refused(book_.file, QStringLiteral("%1: данные распаковываются больше чем в %2 МБ")
                                       .arg(place_)
                                       .arg(limit_ / (1024 * 1024)));
    }

    const Book &book_;
    QString place_;
    qint64 limit_;
    const int *row_;
    qint64 compressed_ = 1;
    qint64 inflated_ = 0;
    qint64 pending_ = 0; // fed since the last token
    std::unique_ptr<zip_file_t, EntryCloser> entry_;
};

QString partPlace(const QString &part)
{
    return QStringLiteral("часть %1").arg(part);
}

zip_int64_t locate(const Book &book, const QString &part)
{
    return zip_name_locate(book.archive.get(), part.toUtf8().constData(), ZIP_FL_NOCASE);
}

// A relationship's target as a part name: relative to the folder xl/, or from the root.
QString resolveTarget(QStringView target)
{
    QString path = target.toString().replace(u'\\', u'/');
    if (path.startsWith(u'/'))
        path.remove(0, 1);
    else
        path.prepend(QStringLiteral("xl/"));
    QStringList parts;
    for (const QString &step : path.split(u'/', Qt::SkipEmptyParts)) {
        if (step == u"..") {
            if (!parts.isEmpty())
                parts.removeLast();
        } else if (step != u".") {
            parts << step;
        }
    }
    return parts.join(u'/');
}

struct Relationship
{
    QString type; // the last word of the type: "worksheet", "sharedStrings"
    QString part;
};

QHash<QString, Relationship> readRelationships(const Book &book, zip_int64_t index)
{
    QHash<QString, Relationship> found;
    PartReader reader(book, index, partPlace(kWorkbookRels), kMaxWorkbookPartBytes);
    for (auto token = reader.next(); token != QXmlStreamReader::EndDocument;
         token = reader.next()) {
        if (token != QXmlStreamReader::StartElement || reader.xml.name() != u"Relationship")
            continue;
        const QXmlStreamAttributes attributes = reader.xml.attributes();
        if (attributes.value(QLatin1StringView("TargetMode")) == u"External")
            continue;
        const QStringView type = attributes.value(QLatin1StringView("Type"));
        found.insert(attributes.value(QLatin1StringView("Id")).toString(),
                     {type.mid(type.lastIndexOf(u'/') + 1).toString(),
                      resolveTarget(attributes.value(QLatin1StringView("Target")))});
    }
    reader.finish();
    return found;
}

struct Sheet
{
    QString name;
    QString part; // empty when the sheet is no worksheet
};

struct WorkbookPart
{
    std::vector<Sheet> sheets;
    bool date1904 = false;
    QString sharedStrings = QStringLiteral("xl/sharedStrings.xml");
    QString styles = QStringLiteral("xl/styles.xml");
};

WorkbookPart readWorkbook(const Book &book)
{
    const zip_int64_t index = locate(book, kWorkbookPart);
    if (index < 0)
        throw notWorkbook(book.file, QStringLiteral("в архиве нет части %1").arg(kWorkbookPart));
    const zip_int64_t relsIndex = locate(book, kWorkbookRels);
    if (relsIndex < 0)
        throw notWorkbook(book.file, QStringLiteral("в архиве нет части %1").arg(kWorkbookRels));
    const QHash<QString, Relationship> rels = readRelationships(book, relsIndex);

    WorkbookPart workbook;
    for (const Relationship &rel : rels) {
        if (rel.type == u"sharedStrings")
            workbook.sharedStrings = rel.part;
        else if (rel.type == u"styles")
            workbook.styles = rel.part;
    }
    PartReader reader(book, index, partPlace(kWorkbookPart), kMaxWorkbookPartBytes);
    for (auto token = reader.next(); token != QXmlStreamReader::EndDocument;
         token = reader.next()) {
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = reader.xml.name();
        const QXmlStreamAttributes attributes = reader.xml.attributes();
        if (name == u"workbookPr") {
            const QStringView value = attributes.value(QLatin1StringView("date1904"));
            workbook.date1904 = value == u"1" || value.compare(u"true", Qt::CaseInsensitive) == 0;
        } else if (name == u"sheet") {
            Sheet sheet{attributes.value(QLatin1StringView("name")).toString(), {}};
            // The relationship's id is r:id, whatever prefix the file binds to its namespace.
            for (const QXmlStreamAttribute &attribute : attributes) {
                if (attribute.name() != u"id" || attribute.namespaceUri().isEmpty())
                    continue;
                const auto rel = rels.constFind(attribute.value().toString());
                if (rel != rels.cend() && rel->type == u"worksheet")
                    sheet.part = rel->part;
            }
            workbook.sheets.push_back(std::move(sheet));
        }
    }
    reader.finish();
    return workbook;
}

// Every string of the workbook's table of strings, end to end in UTF-8.
struct SharedStrings
{
    std::string text;
    std::vector<std::uint32_t> ends;

    QByteArrayView at(std::size_t i) const
    {
        const std::uint32_t begin = i == 0 ? 0 : ends[i - 1];
        return QByteArrayView(text.data() + begin, qsizetype(ends[i] - begin));
    }
};

// A string is its text, or the text of its runs; a phonetic reading (rPh) is left out.
SharedStrings readSharedStrings(const Book &book, const QString &part)
{
    SharedStrings strings;
    const zip_int64_t index = locate(book, part);
    if (index < 0)
        return strings;
    PartReader reader(book, index, partPlace(part), kMaxSharedStringsBytes);
    bool inString = false, inText = false;
    int phonetic = 0;
    for (auto token = reader.next(); token != QXmlStreamReader::EndDocument;
         token = reader.next()) {
        if (token == QXmlStreamReader::Characters) {
            if (inText)
                appendUtf8(strings.text, reader.xml.text());
            continue;
        }
        if (token != QXmlStreamReader::StartElement && token != QXmlStreamReader::EndElement)
            continue;
        const bool start = token == QXmlStreamReader::StartElement;
        const QStringView name = reader.xml.name();
        if (name == u"si") {
            if (inString && !start) {
                if (strings.text.size() > UINT32_MAX)
                    throw refused(book.file, QStringLiteral("строк книги больше 4 ГБ"));
                strings.ends.push_back(std::uint32_t(strings.text.size()));
            }
            inString = start;
        } else if (name == u"rPh") {
            phonetic += start ? 1 : -1;
        } else if (name == u"t") {
            inText = start && inString && phonetic == 0;
        }
    }
    reader.finish();
    return strings;
}

// For each cell style (cellXfs), whether its number format shows a date or time.
std::vector<bool> readDateStyles(const Book &book, const QString &part)
{
    std::vector<bool> dateStyles;
    const zip_int64_t index = locate(book, part);
    if (index < 0)
        return dateStyles;
    PartReader reader(book, index, partPlace(part), kMaxWorkbookPartBytes);
    QHash<int, bool> customDates;
    std::vector<int> formats;
    bool inCellXfs = false;
    for (auto token = reader.next(); token != QXmlStreamReader::EndDocument;
         token = reader.next()) {
        if (token == QXmlStreamReader::EndElement && reader.xml.name() == u"cellXfs")
            inCellXfs = false;
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = reader.xml.name();
        if (name == u"cellXfs") {
            inCellXfs = true;
        } else if (name == u"numFmt" || (name == u"xf" && inCellXfs)) {
            const QXmlStreamAttributes attributes = reader.xml.attributes();
            int id = 0;
            parseNumber(attributes.value(QLatin1StringView("numFmtId")), id);
            if (name == u"xf")
                formats.push_back(id);
            else
                customDates.insert(id,
                                   isDateFormat(attributes.value(QLatin1StringView("formatCode"))));
        }
    }
    reader.finish();
    // A workbook may define a format under a built-in number, and its code then decides.
    for (const int id : formats)
        dateStyles.push_back(customDates.value(id, isBuiltinDateFormat(id)));
    return dateStyles;
}

Book openBook(const NativePath &path)
{
    Book book;
    book.file = displayPath(path);
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw cannotOpenFile(book.file).because(systemReason(errno));
    struct stat st;
    const bool statted = ::fstat(fd, &st) == 0;
    if (!statted || !S_ISREG(st.st_mode)) {
        const int error = !statted ? errno : S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        throw cannotOpenFile(book.file).because(systemReason(error));
    }
    book.fileBytes = std::max<qint64>(st.st_size, 1);
    if (st.st_size == 0) {
        ::close(fd);
        throw notWorkbook(book.file, QStringLiteral("файл пуст"));
    }
    int code = 0;
    book.archive.reset(zip_fdopen(fd, ZIP_CHECKCONS, &code));
    if (book.archive)
        return book;
    unsigned char magic[4] = {};
    const bool read = ::pread(fd, magic, sizeof magic, 0) == sizeof magic;
    ::close(fd);
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString reason = QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
    if (code == ZIP_ER_NOZIP && read && magic[0] == 'P' && magic[1] == 'K')
        throw damaged(book.file, QStringLiteral("архив обрывается, в нём нет оглавления"))
            .because(reason);
    if (code == ZIP_ER_NOZIP && read && magic[0] == 0xD0 && magic[1] == 0xCF)
        throw notWorkbook(book.file, QStringLiteral("это книга старого формата (.xls) или книга с "
                                                    "паролем; сохраните её в Excel как .xlsx "
                                                    "без пароля"));
    if (code == ZIP_ER_NOZIP)
        throw notWorkbook(book.file, QStringLiteral("это не zip-архив"));
    if (code == ZIP_ER_INCONS)
        throw damaged(book.file, QStringLiteral("оглавление архива не сходится с его содержимым"))
            .because(reason);
    throw cannotOpenFile(book.file).because(reason);
}

enum class CellType { Number, SharedString, Text, Boolean, IsoDate };

class WorkbookRecords final : public TableRecords
{
public:
    WorkbookRecords(Book book, const WorkbookPart &workbook, const Sheet &sheet,
                    zip_int64_t sheetIndex)
        : book_(std::move(book)), sheetName_(sheet.name), sheetIndex_(sheetIndex),
          date1904_(workbook.date1904)
    {
        dateStyles_ = readDateStyles(book_, workbook.styles);
        strings_ = readSharedStrings(book_, workbook.sharedStrings);
        rewind();
    }

    bool next(TableRecord &record) override
    {
        if (done_)
            return false;
        scratch_.clear();
        cells_.clear();
        for (;;) {
            switch (part_->next()) {
            case QXmlStreamReader::StartElement:
                startElement();
                break;
            case QXmlStreamReader::Characters:
                if (capture_)
                    appendText();
                break;
            case QXmlStreamReader::EndElement:
                if (endElement()) {
                    record.row = row_;
                    record.cells.assign(cells_.size(), QByteArrayView());
                    for (std::size_t i = 0; i < cells_.size(); ++i) {
                        const Cell &cell = cells_[i];
                        record.cells[i] = QByteArrayView(
                            (cell.shared ? cell.shared : scratch_.data()) + cell.offset, cell.size);
                    }
                    return true;
                }
                break;
            case QXmlStreamReader::EndDocument:
                part_->finish();
                done_ = true;
                return false;
            default:
                break;
            }
        }
    }

    void rewind() override
    {
        part_.reset();
        part_ = std::make_unique<PartReader>(book_, sheetIndex_, description(),
                                             kMaxWorkbookPartBytes, &row_);
        done_ = inRow_ = inCell_ = capture_ = false;
        row_ = 0;
    }

    QString description() const override { return QStringLiteral("лист «%1»").arg(sheetName_); }

private:
    void startElement()
    {
        const QStringView name = part_->xml.name();
        if (inCell_) {
            if (name == u"v" || (name == u"t" && inInline_ && phonetic_ == 0))
                capture_ = hasValue_ = true;
            else if (name == u"is")
                inInline_ = hasValue_ = true;
            else if (name == u"rPh")
                ++phonetic_;
        } else if (name == u"c" && inRow_) {
            startCell();
        } else if (name == u"row" && !inRow_) {
            startRow();
        }
    }

    // True when a row ends.
    bool endElement()
    {
        const QStringView name = part_->xml.name();
        if (inCell_) {
            if (name == u"v" || name == u"t")
                capture_ = false;
            else if (name == u"is")
                inInline_ = false;
            else if (name == u"rPh")
                --phonetic_;
            else if (name == u"c")
                endCell();
            return false;
        }
        if (name == u"row" && inRow_) {
            inRow_ = false;
            return true;
        }
        return false;
    }

    void startRow()
    {
        const QStringView r = part_->xml.attributes().value(QLatin1StringView("r"));
        int number = row_ + 1;
        if (!r.isNull() && (!parseNumber(r, number) || number < 1 || number > kMaxRows)) {
            row_ = 0;
            throw damaged(book_.file, QStringLiteral("%1: у строки неверный номер «%2»")
                                          .arg(part_->where(), r.left(20).toString()));
        }
        row_ = number;
        inRow_ = true;
        column_ = -1;
        scratch_.clear();
        cells_.clear();
    }

    void startCell()
    {
        type_ = CellType::Number;
        dateStyle_ = false;
        int column = column_ + 1;
        for (const QXmlStreamAttribute &attribute : part_->xml.attributes()) {
            if (!attribute.namespaceUri().isEmpty())
                continue;
            const QStringView name = attribute.name();
            const QStringView value = attribute.value();
            if (name == u"r") {
                int letters = 0, parsed = 0;
                for (; letters < value.size() && value[letters].isLetter(); ++letters) {
                    parsed = parsed * 26 + (value[letters].toUpper().unicode() - u'A' + 1);
                    if (parsed > kMaxColumns || value[letters].unicode() >= 0x80)
                        throw damaged(book_.file,
                                      QStringLiteral("%1: ячейка «%2» лежит за пределами листа")
                                          .arg(part_->where(), value.left(20).toString()));
                }
                if (letters > 0)
                    column = parsed - 1;
            } else if (name == u"t") {
                type_ = value == u"s"                      ? CellType::SharedString
                        : value == u"b"                    ? CellType::Boolean
                        : value == u"d"                    ? CellType::IsoDate
                        : value == u"n" || value.isEmpty() ? CellType::Number
                                                           : CellType::Text;
            } else if (name == u"s") {
                std::size_t style = 0;
                dateStyle_ =
                    parseNumber(value, style) && style < dateStyles_.size() && dateStyles_[style];
            }
        }
        if (column >= kMaxColumns)
            throw damaged(book_.file,
                          QStringLiteral("%1: ячейка лежит за пределами листа, дальше столбца XFD")
                              .arg(part_->where()));
        column_ = column;
        inCell_ = true;
        inInline_ = capture_ = hasValue_ = false;
        phonetic_ = 0;
        text_.clear();
    }

    void appendText()
    {
        const QStringView text = part_->xml.text();
        if (text_.size() + text.size() > kMaxCellChars)
            throw refused(book_.file, QStringLiteral("%1: в ячейке больше %2 знаков")
                                          .arg(part_->where())
                                          .arg(kMaxCellChars));
        text_.append(text);
    }

    void setCell(QByteArrayView shared) { setCell({shared.data(), 0, shared.size()}); }

    // A cell's text: in the table of strings, or at an offset in the record's scratch buffer,
    // which may still move while the row is read.
    struct Cell
    {
        const char *shared = nullptr;
        qsizetype offset = 0;
        qsizetype size = 0;
    };

    void setCell(const Cell &cell)
    {
        const std::size_t at = std::size_t(column_);
        if (cells_.size() <= at)
            cells_.resize(at + 1);
        cells_[at] = cell;
    }

    void endCell()
    {
        inCell_ = false;
        if (!hasValue_)
            return;
        const std::size_t start = scratch_.size();
        switch (type_) {
        case CellType::SharedString: {
            std::size_t index = 0;
            if (!parseNumber(QStringView(text_), index) || index >= strings_.ends.size())
                throw damaged(book_.file,
                              QStringLiteral("%1: ячейка ссылается на строку №%2, а в книге их %3")
                                  .arg(part_->where(), text_.left(20))
                                  .arg(strings_.ends.size()));
            // A string is pointed to where the table holds it: a short sheet may name a long
            // string in every cell.
            setCell(strings_.at(index));
            return;
        }
        case CellType::Boolean:
            if (text_.trimmed() == u"1")
                scratch_ += "TRUE";
            else if (text_.trimmed() == u"0")
                scratch_ += "FALSE";
            else
                appendUtf8(scratch_, text_);
            break;
        case CellType::IsoDate:
            appendIsoDate();
            break;
        case CellType::Number:
            if (!dateStyle_ || !appendDate(scratch_, text_, date1904_))
                appendUtf8(scratch_, text_);
            break;
        case CellType::Text:
            appendUtf8(scratch_, text_);
            break;
        }
        if (scratch_.size() > kMaxRecordBytes)
            throw refused(book_.file, QStringLiteral("%1: в строке больше %2 МБ текста")
                                          .arg(part_->where())
                                          .arg(kMaxRecordBytes / (1024 * 1024)));
        setCell({nullptr, qsizetype(start), qsizetype(scratch_.size() - start)});
    }

    // A cell of type d holds an ISO 8601 date and time, written as the serial dates are, the
    // fraction of a second and the time zone left out; any other text stays as it is.
    void appendIsoDate()
    {
        const QStringView text = QStringView(text_).trimmed();
        const auto digits = [&](qsizetype from, qsizetype count) {
            return text.size() >= from + count &&
                   std::all_of(text.begin() + from, text.begin() + from + count,
                               [](QChar c) { return c >= u'0' && c <= u'9'; });
        };
        if (!digits(0, 4) || text.mid(4, 1) != u"-" || !digits(5, 2) || text.mid(7, 1) != u"-" ||
            !digits(8, 2)) {
            appendUtf8(scratch_, text);
            return;
        }
        appendUtf8(scratch_, text.first(10));
        if (digits(11, 2) && text.mid(13, 1) == u":" && digits(14, 2)) {
            scratch_ += ' ';
            appendUtf8(scratch_, text.mid(11, 5));
            if (text.mid(16, 1) == u":" && digits(17, 2))
                appendUtf8(scratch_, text.mid(16, 3));
            else
                scratch_ += ":00";
        } else {
            scratch_ += " 00:00:00";
        }
    }

    Book book_;
    QString sheetName_;
    zip_int64_t sheetIndex_;
    bool date1904_;
    std::vector<bool> dateStyles_;
    SharedStrings strings_;
    std::unique_ptr<PartReader> part_;

    bool done_ = false;
    int row_ = 0;
    bool inRow_ = false;
    int column_ = -1;
    bool inCell_ = false;
    bool inInline_ = false;
    bool capture_ = false;
    bool hasValue_ = false;
    bool dateStyle_ = false;
    int phonetic_ = 0;
    CellType type_ = CellType::Number;
    QString text_;
    std::string scratch_;
    std::vector<Cell> cells_;
};

} // namespace

std::unique_ptr<TableRecords> workbookRecords(const NativePath &path, const QString &sheet)
{
    Book book = openBook(path);
    const WorkbookPart workbook = readWorkbook(book);
    const auto chosen =
        std::find_if(workbook.sheets.begin(), workbook.sheets.end(), [&](const Sheet &candidate) {
            return sheet.isEmpty() ? !candidate.part.isEmpty()
                                   : candidate.name.compare(sheet, Qt::CaseInsensitive) == 0;
        });
    if (chosen == workbook.sheets.end() && sheet.isEmpty())
        throw CommandError(
            QStringLiteral("В книге Excel %1 нет ни одного листа с таблицей").arg(book.file));
    if (chosen == workbook.sheets.end()) {
        QStringList names;
        for (const Sheet &candidate : workbook.sheets)
            names << QStringLiteral("«%1»").arg(candidate.name);
        throw CommandError(QStringLiteral("В книге Excel %1 нет листа «%2»; в ней есть листы %3")
                               .arg(book.file, sheet, names.join(QStringLiteral(", "))));
    }
    if (chosen->part.isEmpty())
        throw CommandError(
            QStringLiteral("Лист «%1» книги Excel %2 — не таблица, а диаграмма или макрос")
                .arg(chosen->name, book.file));
    const zip_int64_t index = locate(book, chosen->part);
    if (index < 0)
        throw damaged(
            book.file,
            QStringLiteral("в архиве нет части %1 листа «%2»").arg(chosen->part, chosen->name));
    return std::make_unique<WorkbookRecords>(std::move(book), workbook, *chosen, index);
}
