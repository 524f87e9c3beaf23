#include "XlsxTable.h"

#include "Breakdown.h"
#include "CommandError.h"
#include "Comparison.h"
#include "ProfileTable.h"
#include "Statistics.h"
#include "TemporaryFiles.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>

#include <xlsxwriter.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <locale.h>
#include <span>
#include <unistd.h>

namespace {

// The library prints its own "[ERROR] workbook_close(): …" to standard error; the user gets
// our message with the reason instead, so its lines are sent nowhere while it closes a book.
// Workbooks are written on one thread, and nothing else of ours writes there meanwhile.
class LibraryMessagesMuted
{
public:
    LibraryMessagesMuted()
    {
        std::fflush(stderr);
        const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (nowhere < 0)
            return;
        saved_ = ::fcntl(2, F_DUPFD_CLOEXEC, 3);
        if (saved_ >= 0 && ::dup2(nowhere, 2) < 0) {
            ::close(saved_);
            saved_ = -1;
        }
        ::close(nowhere);
    }
    ~LibraryMessagesMuted()
    {
        if (saved_ < 0)
            return;
        std::fflush(stderr);
        ::dup2(saved_, 2);
        ::close(saved_);
    }
    LibraryMessagesMuted(const LibraryMessagesMuted &) = delete;
    LibraryMessagesMuted &operator=(const LibraryMessagesMuted &) = delete;

private:
    int saved_ = -1;
};

// workbook_close with errno telling why it failed, or 0.
lxw_error closeQuietly(lxw_workbook *workbook)
{
    lxw_error closed = LXW_NO_ERROR;
    int reason = 0;
    {
        const LibraryMessagesMuted muted;
        errno = 0;
        closed = workbook_close(workbook);
        reason = errno;
    }
    errno = reason;
    return closed;
}

// The columns of sheet "Результаты": the texts, each details line a column of its own so that a
// department can be filtered, then the number columns of the table.
constexpr lxw_col_t kDetailLines = kSplitLineCount;
enum TextColumn : lxw_col_t {
    kFile,
    kCode,
    kName,
    kDate,
    kFirstDetail,
    kTextColumns = kFirstDetail + kDetailLines
};
constexpr lxw_col_t kFirstNumber = kTextColumns;
constexpr lxw_col_t kFirstPercent = kFirstNumber + kTableFirstPercent;
constexpr lxw_col_t kLastColumn = kFirstNumber + kTableNumberColumns - 1;
// Members after the header row, leaving room for the statistics rows.
constexpr lxw_row_t kMaxMembers = LXW_ROW_MAX - 1 - kTableStatistics.size();

// The thresholds of the results table's colours.
constexpr double kHighPercent = 60;
constexpr double kLowPercent = 40;
constexpr lxw_color_t kGreen = 0x008000;
constexpr lxw_color_t kRed = 0xFF0000;

// Column widths in characters: a text column fits its longest line up to this many, and every
// column leaves room for the autofilter's button beside its heading.
constexpr qsizetype kMaxTextWidth = 50;
constexpr double kWidthMargin = 3;
// The header row holds two lines, so a scale's caption wraps after its " / " and its column
// stays as narrow as its longest word (points, two lines of the default font).
constexpr double kHeadingRowHeight = 30;

const char *const kResultsSheet = "Результаты";
const char *const kSpreadSheet = "Разброс";

CommandError workbookError(const QString &reason)
{
    return CommandError(QStringLiteral("Cannot write the workbook: %1").arg(reason));
}

void check(lxw_error error)
{
    if (error != LXW_NO_ERROR)
        throw workbookError(QString::fromUtf8(lxw_strerror(error)));
}

// libxlsxwriter writes its numbers with snprintf, which follows the C library's numeric
// locale: under ru_RU "55.5" would come out as "55,5", which no spreadsheet reads as a number.
// Every call into the library runs under this thread's own C locale.
class CNumbers
{
public:
    CNumbers() : c_(newlocale(LC_ALL_MASK, "C", locale_t(nullptr)))
    {
        if (!c_)
            throw CommandError(QStringLiteral("Out of memory"));
        previous_ = uselocale(c_);
    }
    ~CNumbers()
    {
        uselocale(previous_);
        freelocale(c_);
    }
    CNumbers(const CNumbers &) = delete;
    CNumbers &operator=(const CNumbers &) = delete;

private:
    locale_t c_;
    locale_t previous_ = nullptr;
};

// Characters the workbook's XML cannot carry: controls other than tab and line feed (a carriage
// return would be read back as a line feed), and the two non-characters.
bool unwritable(char16_t u)
{
    return (u < 0x20 && u != u'\t' && u != u'\n') || u == 0xFFFE || u == 0xFFFF;
}

// Whether the text at i reads like the format's escape _xHHHH_.
bool escapeLike(const QString &text, qsizetype i)
{
    if (i + 7 > text.size() || text[i] != u'_' || text[i + 1] != u'x' || text[i + 6] != u'_')
        return false;
    for (qsizetype k = i + 2; k < i + 6; ++k) {
        const char16_t c = text[k].unicode();
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')))
            return false;
    }
    return true;
}

// A cell's text as the workbook holds it: the unwritable characters in the format's own escape
// _xHHHH_, and a text that already reads like such an escape kept as it stands by escaping its
// underscore, so that a spreadsheet shows exactly the text of the answer file.
QString cellText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (unwritable(u) || escapeLike(text, i))
            out +=
                QStringLiteral("_x%1_").arg(QString::number(u, 16).toUpper(), 4, QLatin1Char('0'));
        else
            out += text[i];
    }
    return out;
}

// A document property has no such escape: unwritable characters become U+FFFD.
QString propertyText(QString text)
{
    for (QChar &c : text)
        if (unwritable(c.unicode()))
            c = QChar::ReplacementCharacter;
    return text;
}

// A text column's heading as the window names the field, and its name in a message.
QString textHeading(lxw_col_t column)
{
    static const char *const fields[] = {"Файл", "Код", "Ф.И.О", "Дата"};
    if (column < kFirstDetail)
        return QString::fromUtf8(fields[column]);
    return QStringLiteral("Строка %1").arg(kFirstSplitLine + int(column - kFirstDetail));
}

QString textColumnInMessage(lxw_col_t column)
{
    static const char *const fields[] = {"file", "code", "name", "date"};
    if (column < kFirstDetail)
        return QString::fromLatin1(fields[column]);
    return QStringLiteral("line %1").arg(kFirstSplitLine + int(column - kFirstDetail));
}

// A number column's heading: "Ответ 1", then the names of the results table and the breakdown.
QString numberHeading(int column)
{
    if (column < kTableFirstPercent)
        return QStringLiteral("Ответ %1").arg(column + 1);
    return breakdownColumnTitle(column - kTableFirstPercent);
}

// The width a heading needs when it may wrap between its words.
qsizetype headingWidth(const QString &heading)
{
    qsizetype widest = 0;
    for (const QStringView word : QStringView(heading).split(QLatin1Char(' ')))
        widest = std::max(widest, word.size());
    return widest;
}

// The longest line of a text, as a column width.
qsizetype widthOf(const QString &text)
{
    qsizetype widest = 0;
    for (const QStringView line : QStringView(text).split(QLatin1Char('\n')))
        widest = std::max(widest, line.size());
    return widest;
}

} // namespace

struct XlsxTableWriter::Book
{
    explicit Book(const NativePath &folder) : file(folder), tmpdir(folder) {}

    UnnamedFile file;
    QByteArray tmpdir;
    lxw_workbook *workbook = nullptr;
    lxw_worksheet *results = nullptr;
    lxw_format *heading = nullptr;
    lxw_format *text = nullptr;
    lxw_format *whole = nullptr;
    lxw_format *percent = nullptr;
    lxw_format *mean = nullptr; // statistics of the answers
    lxw_format *green = nullptr;
    lxw_format *red = nullptr;
    lxw_row_t row = 0; // the last row written
    TableRows rows;
    std::array<qsizetype, kTextColumns> textWidths{};
    // An anonymous subgroup's spread of every number column, written instead of member rows,
    // as the views show it; without its sd below the spread minimum.
    std::vector<Spread> anonymous;
    bool anonymousSpread = true;

    ~Book()
    {
        // Closing is the only way the library frees what it holds; the file it writes is the
        // temporary one, removed with it, so its numbers need no locale.
        if (workbook)
            closeQuietly(workbook);
    }

    lxw_format *format(const char *number, bool bold = false)
    {
        lxw_format *f = workbook_add_format(workbook);
        if (!f)
            throw CommandError(QStringLiteral("Out of memory"));
        if (number)
            format_set_num_format(f, number);
        if (bold)
            format_set_bold(f);
        return f;
    }

    void writeText(lxw_worksheet *sheet, lxw_row_t r, lxw_col_t c, const QString &value,
                   lxw_format *f)
    {
        check(worksheet_write_string(sheet, r, c, cellText(value).toUtf8().constData(), f));
    }

    void writeNumber(lxw_worksheet *sheet, lxw_row_t r, lxw_col_t c, double value, lxw_format *f)
    {
        check(worksheet_write_number(sheet, r, c, value, f));
    }

    // Percentages above 60 bold green, below 40 bold red, evaluated by the spreadsheet so an
    // edited value takes its colour.
    void colourPercentages(lxw_row_t first, lxw_row_t last)
    {
        const auto rule = [&](uint8_t criteria, double value, lxw_format *colour) {
            lxw_conditional_format cell{};
            cell.type = LXW_CONDITIONAL_TYPE_CELL;
            cell.criteria = criteria;
            cell.value = value;
            cell.format = colour;
            check(worksheet_conditional_format_range(results, first, kFirstPercent, last,
                                                     kLastColumn, &cell));
        };
        rule(LXW_CONDITIONAL_CRITERIA_GREATER_THAN, kHighPercent, green);
        rule(LXW_CONDITIONAL_CRITERIA_LESS_THAN, kLowPercent, red);
    }

    void writeStatistics()
    {
        lxw_format *label = format(nullptr, true);
        for (const TableStatistic &statistic : kTableStatistics) {
            ++row;
            writeText(results, row, kFile, QString::fromLatin1(statistic.name), label);
            for (int c = 0; c < kTableNumberColumns; ++c)
                writeNumber(results, row, kFirstNumber + lxw_col_t(c),
                            rows.spread(c).*statistic.field,
                            c < kTableFirstPercent ? mean : percent);
        }
    }

    // The rows n, mean and sd of an anonymous subgroup, the mean coloured as a level.
    void writeAnonymousStatistics()
    {
        lxw_format *label = format(nullptr, true);
        writeText(results, ++row, kFile, QStringLiteral("n"), label);
        for (int c = 0; c < kTableNumberColumns; ++c)
            writeNumber(results, row, kFirstNumber + lxw_col_t(c), anonymous.at(std::size_t(c)).n,
                        whole);
        const std::span<const TableStatistic> statistics =
            std::span(kAnonymousStatistics).first(anonymousSpread ? 2 : 1);
        for (const TableStatistic &statistic : statistics) {
            writeText(results, ++row, kFile, QString::fromLatin1(statistic.name), label);
            for (int c = 0; c < kTableNumberColumns; ++c)
                writeNumber(results, row, kFirstNumber + lxw_col_t(c),
                            publishedPercent(anonymous[std::size_t(c)].*statistic.field),
                            c < kTableFirstPercent ? mean : percent);
        }
        colourPercentages(2, 2);
    }

    // The spread of a number column: the members' own, or an anonymous subgroup's as kept and
    // published.
    Spread columnSpread(int column) const
    {
        if (anonymous.empty())
            return rows.spread(column);
        Spread s = anonymous.at(std::size_t(column));
        s.mean = publishedPercent(s.mean);
        s.sd = publishedPercent(s.sd);
        return s;
    }

    // The agreement of the members, from the spread of each answer.
    Agreement agreement() const
    {
        std::array<std::optional<double>, kAnswerCount + 1> variance{};
        if (!anonymousSpread)
            return agreementOf(variance);
        for (int a = 1; a <= kAnswerCount; ++a) {
            const Spread s = anonymous.empty() ? rows.spread(a - 1) : anonymous.at(std::size_t(a - 1));
            if (s.n > 1)
                variance[std::size_t(a)] = s.sd * s.sd;
        }
        return agreementOf(variance);
    }

    // A row per summary value and scale: n, mean, sd, minimum and maximum (not an anonymous
    // subgroup's), the 95 % confidence interval of the mean and the agreement rwg(j) (the
    // factors (II) that of their blocks); a figure that is not defined stays empty.
    void writeSpreadSheet()
    {
        lxw_worksheet *sheet = workbook_add_worksheet(workbook, kSpreadSheet);
        if (!sheet)
            throw workbookError(QStringLiteral("cannot add a sheet"));
        QStringList titles = spreadTitles().mid(0, anonymous.empty() ? -1 : anonymousSpread ? 4 : 3);
        if (anonymousSpread)
            titles << spreadStatisticsTitles();
        qsizetype nameWidth = titles.front().size();
        for (int c = 0; c < titles.size(); ++c)
            writeText(sheet, 0, lxw_col_t(c), titles[c], heading);
        const Agreement agreed = agreement();
        lxw_format *share = format("0.00");
        for (int i = 0; i < kValueCount; ++i) {
            const lxw_row_t r = lxw_row_t(i + 1);
            const Spread s = columnSpread(kTableFirstPercent + i);
            const QString name = i < kSummaryCount ? ProfileStore::SummaryNames(i + 1)
                                                   : scaleCaption(i - kSummaryCount + 1);
            nameWidth = std::max(nameWidth, name.size());
            writeText(sheet, r, 0, name, text);
            writeNumber(sheet, r, 1, s.n, whole);
            std::vector<double> values{s.mean};
            if (anonymousSpread)
                values.push_back(s.sd);
            if (anonymous.empty())
                values.insert(values.end(), {s.min, s.max});
            lxw_col_t c = 2;
            for (const double v : values)
                writeNumber(sheet, r, c++, v, percent);
            if (!anonymousSpread)
                continue;
            const Spread exact =
                anonymous.empty() ? s : anonymous.at(std::size_t(kTableFirstPercent + i));
            // The bounds as computed, as the JSON keeps them: a table is for further work.
            if (const auto ci = meanInterval95(exact.n, exact.mean, exact.sd)) {
                writeNumber(sheet, r, c, (*ci)[0], percent);
                writeNumber(sheet, r, c + 1, (*ci)[1], percent);
            }
            c += 2;
            const std::optional<double> rwg =
                i < kSummaryCount
                    ? (i < kFactorIIBlocks ? agreed.blocks[std::size_t(i)] : std::nullopt)
                    : agreed.scales[std::size_t(i - kSummaryCount)];
            if (rwg)
                writeNumber(sheet, r, c, *rwg, share);
        }
        check(worksheet_set_column(sheet, 0, 0, double(nameWidth) + kWidthMargin, nullptr));
        for (int c = 1; c < titles.size(); ++c)
            check(worksheet_set_column(
                sheet, lxw_col_t(c), lxw_col_t(c),
                double(std::max<qsizetype>(titles[c].size(), 5)) + kWidthMargin, nullptr));
        worksheet_freeze_panes(sheet, 1, 0);
    }
};

XlsxTableWriter::XlsxTableWriter(const NativePath &temporaryFolder)
{
    // The library writes to a file name: the workbook is made in a file with no name beside its
    // target (nothing is left when the run is killed) and its bytes handed on, so the caller's
    // safe replacing write puts it in place.
    const NativePath folder =
        temporaryFolder.isEmpty() ? QFile::encodeName(QDir::tempPath()) : temporaryFolder;
    if (folder.isEmpty())
        throw workbookError(QStringLiteral("the temporary folder %1 does not exist")
                                .arg(QDir::toNativeSeparators(qEnvironmentVariable("TMPDIR"))));
    book_ = std::make_unique<Book>(folder);
    Book &b = *book_;
    if (!b.file.isOpen())
        throw workbookError(QStringLiteral("cannot create a temporary file in %1: %2")
                                .arg(QDir::toNativeSeparators(displayPath(folder)),
                                     systemReason(errno)));
    const CNumbers c;
    lxw_workbook_options options{};
    // Rows go to temporary files as they are finished, so memory stays flat with the group.
    options.constant_memory = LXW_TRUE;
    options.tmpdir = b.tmpdir.data();
    b.workbook = workbook_new_opt(b.file.path().constData(), &options);
    if (!b.workbook)
        throw CommandError(QStringLiteral("Out of memory"));
    b.results = workbook_add_worksheet(b.workbook, kResultsSheet);
    if (!b.results)
        throw workbookError(QStringLiteral("cannot add a sheet"));

    b.heading = b.format("@", true);
    format_set_text_wrap(b.heading);
    // Text format, so what the user types into these cells later stays text too.
    b.text = b.format("@");
    b.whole = b.format("0");
    b.percent = b.format("0.0");
    b.mean = b.format("0.00");
    b.green = b.format(nullptr, true);
    format_set_font_color(b.green, kGreen);
    b.red = b.format(nullptr, true);
    format_set_font_color(b.red, kRed);

    check(worksheet_set_row(b.results, 0, kHeadingRowHeight, nullptr));
    for (lxw_col_t col = 0; col < kTextColumns; ++col) {
        b.writeText(b.results, 0, col, textHeading(col), b.heading);
        b.textWidths[col] = textHeading(col).size();
    }
    for (int col = 0; col < kTableNumberColumns; ++col)
        b.writeText(b.results, 0, kFirstNumber + lxw_col_t(col), numberHeading(col), b.heading);
}

XlsxTableWriter::~XlsxTableWriter() = default;

void XlsxTableWriter::addMember(const MemberProfile &member)
{
    Book &b = *book_;
    if (b.row >= kMaxMembers)
        throw workbookError(
            QStringLiteral("a sheet holds at most %1 answer files").arg(qulonglong(kMaxMembers)));
    std::array<QString, kTextColumns> texts = {member.file, member.header.code, member.header.name,
                                               member.header.date};
    for (lxw_col_t line = 0; line < kDetailLines; ++line)
        texts[kFirstDetail + line] = member.header.details.value(qsizetype(line));
    for (lxw_col_t col = 0; col < kTextColumns; ++col)
        if (texts[col].size() > kMaxCellText)
            throw workbookError(
                QStringLiteral("the %1 of answer file %2 has %3 characters; a cell holds at "
                               "most %4")
                    .arg(textColumnInMessage(col), member.file.left(200))
                    .arg(texts[col].size())
                    .arg(kMaxCellText));

    const CNumbers c;
    const lxw_row_t row = ++b.row;
    for (lxw_col_t col = 0; col < kTextColumns; ++col) {
        b.writeText(b.results, row, col, texts[col], b.text);
        b.textWidths[col] = std::max(b.textWidths[col], widthOf(texts[col]));
    }
    const TableRows::Numbers &numbers = b.rows.add(member.store);
    for (int i = 0; i < kTableNumberColumns; ++i)
        b.writeNumber(b.results, row, kFirstNumber + lxw_col_t(i), numbers[std::size_t(i)],
                      i < kTableFirstPercent ? b.whole : b.percent);
}

QByteArray XlsxTableWriter::finish(bool group, const WorkbookProperties &properties)
{
    Book &b = *book_;
    const CNumbers c;
    const lxw_row_t lastMember = b.row;
    // The filter sorts the members only. With rows written as they come, the library takes a
    // range only while its last row is still the current one: before the statistics rows.
    check(worksheet_autofilter(b.results, 0, 0, lastMember, kLastColumn));
    if (!b.anonymous.empty())
        b.writeAnonymousStatistics();
    else if (group)
        b.writeStatistics();
    // Members and the mean are levels, and so are the minimum and maximum; the sd is not.
    if (b.anonymous.empty())
        b.colourPercentages(1, group ? lastMember + 1 : lastMember);
    if (group && b.anonymous.empty())
        b.colourPercentages(lastMember + 3, lastMember + 4);
    worksheet_freeze_panes(b.results, 1, 0);
    for (lxw_col_t col = 0; col < kTextColumns; ++col)
        check(worksheet_set_column(
            b.results, col, col, double(std::min(b.textWidths[col], kMaxTextWidth)) + kWidthMargin,
            b.text));
    for (int col = 0; col < kTableNumberColumns; ++col) {
        const lxw_col_t at = kFirstNumber + lxw_col_t(col);
        check(worksheet_set_column(
            b.results, at, at, double(headingWidth(numberHeading(col))) + kWidthMargin, nullptr));
    }
    if (group)
        b.writeSpreadSheet();

    const QByteArray title = propertyText(properties.title).toUtf8();
    const QByteArray program = propertyText(properties.program).toUtf8();
    lxw_doc_properties documentProperties{};
    documentProperties.title = const_cast<char *>(title.constData());
    documentProperties.author = const_cast<char *>(program.constData());
    documentProperties.comments = const_cast<char *>(program.constData());
    check(workbook_set_properties(b.workbook, &documentProperties));

    const lxw_error closed = closeQuietly(b.workbook);
    const int reason = errno;
    b.workbook = nullptr;
    // A file that could not be written (a full disk, a file size limit) says why.
    if (closed != LXW_NO_ERROR && reason != 0)
        throw workbookError(systemReason(reason));
    check(closed);
    QByteArray bytes;
    if (!b.file.readAll(bytes))
        throw workbookError(systemReason(errno));
    return bytes;
}

void XlsxTableWriter::setAnonymous(const std::vector<Spread> &spread, bool withSd)
{
    book_->anonymous = spread;
    book_->anonymousSpread = withSd;
}

QByteArray profileXlsx(const LoadedProfile &loaded, const WorkbookProperties &properties,
                       const NativePath &temporaryFolder)
{
    XlsxTableWriter writer(temporaryFolder);
    if (loaded.anonymous)
        writer.setAnonymous(loaded.spread, !loaded.moments.spreadWithheld());
    for (const MemberProfile &member : loaded.members)
        writer.addMember(member);
    return writer.finish(loaded.group, properties);
}
