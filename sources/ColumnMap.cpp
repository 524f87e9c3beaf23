#include "ColumnMap.h"

#include "CommandError.h"
#include "ShownText.h"

#include <QStringView>
#include <algorithm>
#include <iterator>

namespace {

// How much of a cell or a header a message quotes: enough to recognise it.
constexpr qsizetype kQuotedLength = 40;

// cells

// Blanks a form or a spreadsheet leaves around a value: ASCII white space and the no-break
// space (C2 A0), which spreadsheets put after numbers.
qsizetype blankLength(const char *p, const char *end)
{
    const auto c = static_cast<unsigned char>(*p);
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
        return 1;
    if (c == 0xC2 && end - p > 1 && static_cast<unsigned char>(p[1]) == 0xA0)
        return 2;
    return 0;
}

bool isBlankCell(QByteArrayView cell)
{
    const char *p = cell.data();
    const char *end = p + cell.size();
    while (p < end) {
        const qsizetype blank = blankLength(p, end);
        if (blank == 0)
            return false;
        p += blank;
    }
    return true;
}

bool isAsciiPunctuation(unsigned char c)
{
    return (c >= 0x21 && c <= 0x2F) || (c >= 0x3A && c <= 0x40) || (c >= 0x5B && c <= 0x60) ||
           (c >= 0x7B && c <= 0x7E);
}

// The en and em dashes (E2 80 93, E2 80 94) that word processors make of "-".
qsizetype dashLength(const char *p, const char *end)
{
    if (end - p > 2 && static_cast<unsigned char>(p[0]) == 0xE2 &&
        static_cast<unsigned char>(p[1]) == 0x80 &&
        (static_cast<unsigned char>(p[2]) == 0x93 || static_cast<unsigned char>(p[2]) == 0x94))
        return 3;
    return 0;
}

// A line of an answer file holds no line break, and a message shows one line: every control
// character and Unicode line break becomes a blank, CR LF a single one.
QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (QChar &c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || u == 0x85 || u == 0x2028 || u == 0x2029)
            c = QLatin1Char(' ');
    }
    return text;
}

// Whether the cell's text stands as it is: no control character, line break or blank to take
// away, as in nearly every cell; the rest goes the long way.
bool isPlainCell(QByteArrayView cell)
{
    if (cell.isEmpty())
        return true;
    for (const char c : cell) {
        const auto u = static_cast<unsigned char>(c);
        // C0 controls and DEL; C2 and E2 lead the next-line, no-break space, line and
        // paragraph separators and the other blanks of Unicode.
        if (u < 0x20 || u == 0x7F || u == 0xC2 || u == 0xE2 || u == 0xE3)
            return false;
    }
    const auto first = static_cast<unsigned char>(cell.front());
    const auto last = static_cast<unsigned char>(cell.back());
    return first != ' ' && last != ' ';
}

QString cellText(QByteArrayView cell)
{
    if (isPlainCell(cell))
        return QString::fromUtf8(cell);
    return oneLine(QString::fromUtf8(cell)).trimmed();
}

// headers

// A header as the rules compare it: case-folded, without the ":" or "*" (a required question)
// forms put at its end.
QString headerKey(const QString &header)
{
    QString key = oneLine(header).simplified().toCaseFolded();
    while (!key.isEmpty() && (key.back() == QLatin1Char(':') || key.back() == QLatin1Char('*') ||
                              key.back() == QLatin1Char(' ')))
        key.chop(1);
    return key;
}

// The letters and digits of a key alone, so "Ф.И.О." and "Фамилия, имя, отчество" match.
QString compactKey(const QString &key)
{
    QString compact;
    for (const QChar c : key)
        if (c.isLetterOrNumber())
            compact += c;
    return compact;
}

// The key is the word or starts with it as a whole word: "Дата заполнения" is a date,
// "Датчик" is not.
bool startsWithWord(const QString &key, QStringView word)
{
    return key.startsWith(word) &&
           (key.size() == word.size() || !key[word.size()].isLetterOrNumber());
}

// Time stamps in the order a date is taken from them: the moment a form was sent first.
constexpr QStringView kStampHeaders[] = {u"отметка времени",
                                         u"timestamp",
                                         u"время создания",
                                         u"completion time",
                                         u"время завершения",
                                         u"дата",
                                         u"date"};

// Other moments the services record, which are no detail of a respondent.
constexpr QStringView kOtherTimeHeaders[] = {
    u"start time",   u"end time",        u"last modified time",         u"modified time",
    u"время начала", u"время окончания", u"время последнего изменения", u"время изменения"};

constexpr QStringView kCodeHeaders[] = {u"код", u"id", u"ид", u"кодреспондента", u"кодучастника"};

constexpr QStringView kNameHeaders[] = {
    u"фио",  u"фамилияимяотчество", u"фамилияимя", u"фамилияиимя", u"имя",
    u"name", u"fullname",           u"вашеимя"};

bool isTimeHeader(const QString &key)
{
    for (const QStringView word : kStampHeaders)
        if (startsWithWord(key, word))
            return true;
    for (const QStringView word : kOtherTimeHeaders)
        if (startsWithWord(key, word))
            return true;
    return key.endsWith(QLatin1String(" time"));
}

bool isEmailHeader(const QString &key)
{
    return key.contains(QLatin1String("mail")) || key.contains(u"почт");
}

template <size_t Size> bool listed(const QString &compact, const QStringView (&words)[Size])
{
    return std::any_of(std::begin(words), std::end(words),
                       [&](QStringView word) { return compact == word; });
}

QString fileError(const char16_t *format, const QString &shownFile)
{
    return QString::fromUtf16(format).arg(shownFile);
}

// --columns

enum Field { kAnswers, kDate, kCode, kName, kEmail, kDetails, kFields };

struct FieldName
{
    QStringView english;
    QStringView russian;
};
constexpr FieldName kFieldNames[kFields] = {{u"answers", u"ответы"}, {u"date", u"дата"},
                                            {u"code", u"код"},       {u"name", u"имя"},
                                            {u"email", u"почта"},    {u"details", u"подробности"}};

CommandError columnsError(const QString &text)
{
    return CommandError(QStringLiteral("--columns: ") + text);
}

QString fieldName(int field)
{
    return kFieldNames[field].english.toString();
}

// "столбец", "столбца", "столбцов" as Russian counts them.
QString columnsWord(qsizetype count)
{
    const qsizetype tens = count % 100;
    const qsizetype ones = count % 10;
    if (tens >= 11 && tens <= 14)
        return QStringLiteral("столбцов");
    if (ones == 1)
        return QStringLiteral("столбец");
    if (ones >= 2 && ones <= 4)
        return QStringLiteral("столбца");
    return QStringLiteral("столбцов");
}

// A column by its letters or its number from 1 (-1 for "0"), nullopt for anything else.
// Longer names than a spreadsheet has are refused here so that the arithmetic cannot overflow.
std::optional<int> columnByName(QStringView text)
{
    if (text.isEmpty() || text.size() > 7)
        return std::nullopt;
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; })) {
        int number = 0;
        for (const QChar c : text)
            number = number * 10 + (c.unicode() - u'0');
        return number - 1;
    }
    if (text.size() > 3)
        return std::nullopt;
    int column = 0;
    for (const QChar c : text) {
        const char16_t u = QChar::toUpper(c.unicode());
        if (u < u'A' || u > u'Z')
            return std::nullopt;
        column = column * 26 + (u - u'A' + 1);
    }
    return column - 1;
}

int columnByHeader(QStringView text, const QStringList &headers)
{
    const QString key = oneLine(text.toString()).trimmed();
    if (key.isEmpty())
        return -1;
    for (int column = 0; column < headers.size(); ++column)
        if (oneLine(headers[column]).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return column;
    return -1;
}

int columnInTable(QStringView text, const QStringList &headers)
{
    const std::optional<int> column = columnByName(text);
    if (!column)
        throw columnsError(QStringLiteral("в таблице нет столбца «%1»").arg(text.toString()));
    if (*column < 0)
        throw columnsError(
            QStringLiteral("столбцы нумеруются с 1, столбца «%1» нет").arg(text.toString()));
    if (*column >= headers.size())
        throw columnsError(QStringLiteral("столбца %1 нет: в таблице %2 %3")
                               .arg(text.toString().toUpper())
                               .arg(headers.size())
                               .arg(columnsWord(headers.size())));
    return *column;
}

// One part between "+": a header, a column, or a range of them.
void appendColumns(QStringView part, const QStringList &headers, std::vector<int> &columns)
{
    const QStringView text = part.trimmed();
    if (const int column = columnByHeader(text, headers); column >= 0) {
        columns.push_back(column);
        return;
    }
    qsizetype mark = text.indexOf(QLatin1Char('-'));
    if (mark < 0)
        mark = text.indexOf(QLatin1Char(':'));
    if (mark < 0) {
        columns.push_back(columnInTable(text, headers));
        return;
    }
    const int from = columnInTable(text.left(mark).trimmed(), headers);
    const int to = columnInTable(text.mid(mark + 1).trimmed(), headers);
    if (from > to)
        throw columnsError(QStringLiteral("диапазон «%1» идёт справа налево").arg(text.toString()));
    for (int column = from; column <= to; ++column)
        columns.push_back(column);
}

std::vector<int> parseColumns(QStringView value, const QStringList &headers)
{
    std::vector<int> columns;
    if (value.compare(u"none", Qt::CaseInsensitive) == 0 ||
        value.compare(u"нет", Qt::CaseInsensitive) == 0)
        return columns;
    // A header may hold "+" or "-" itself, so the whole text is a header first.
    if (const int column = columnByHeader(value, headers); column >= 0)
        return {column};
    for (const QStringView part : value.split(QLatin1Char('+')))
        appendColumns(part, headers, columns);
    return columns;
}

// The column of date, code, name or email.
int &singleColumn(ColumnMap &map, int field)
{
    switch (field) {
    case kDate:
        return map.date;
    case kCode:
        return map.code;
    case kName:
        return map.name;
    default:
        return map.email;
    }
}

std::vector<int> fieldColumns(ColumnMap &map, int field)
{
    if (field == kAnswers)
        return {map.answers.begin(), map.answers.end()};
    if (field == kDetails)
        return map.details;
    const int column = singleColumn(map, field);
    return column >= 0 ? std::vector<int>{column} : std::vector<int>{};
}

void setField(ColumnMap &map, int field, const std::vector<int> &columns)
{
    switch (field) {
    case kAnswers:
        if (columns.size() != size_t(kTableAnswers))
            throw columnsError(QStringLiteral("для answers нужно %1 столбца, а указано %2")
                                   .arg(kTableAnswers)
                                   .arg(columns.size()));
        std::copy(columns.begin(), columns.end(), map.answers.begin());
        return;
    case kDetails:
        if (columns.size() > size_t(kTableDetails))
            throw columnsError(
                QStringLiteral("для details можно указать не больше %1 столбцов, а указано %2")
                    .arg(kTableDetails)
                    .arg(columns.size()));
        map.details = columns;
        return;
    default: {
        if (columns.size() > 1)
            throw columnsError(QStringLiteral("для %1 нужен один столбец, а указано %2")
                                   .arg(fieldName(field))
                                   .arg(columns.size()));
        singleColumn(map, field) = columns.empty() ? -1 : columns.front();
    }
    }
}

// describing

QString columnWithHeader(int column, const QString &header)
{
    QString text = columnLetters(column);
    const QString shown = oneLine(header).trimmed();
    if (!shown.isEmpty())
        text += QStringLiteral(" «%1»").arg(shownBeginning(shown, kQuotedLength));
    return text;
}

QString answerColumns(const std::array<int, kTableAnswers> &answers)
{
    QStringList runs;
    for (size_t first = 0; first < answers.size();) {
        size_t last = first;
        while (last + 1 < answers.size() && answers[last + 1] == answers[last] + 1)
            ++last;
        runs.append(last == first ? columnLetters(answers[first])
                                  : columnLetters(answers[first]) + QChar(0x2013) +
                                        columnLetters(answers[last]));
        first = last + 1;
    }
    return runs.join(QStringLiteral(", "));
}

// time stamps

class Scanner
{
public:
    explicit Scanner(QStringView text) : text_(text) {}

    bool atEnd() const { return at_ == text_.size(); }
    QChar peek() const { return atEnd() ? QChar() : text_[at_]; }
    bool take(char16_t c)
    {
        if (atEnd() || text_[at_] != c)
            return false;
        ++at_;
        return true;
    }
    bool takeWord(QStringView word)
    {
        if (text_.mid(at_).startsWith(word, Qt::CaseInsensitive)) {
            at_ += word.size();
            return true;
        }
        return false;
    }
    bool blanks()
    {
        const qsizetype from = at_;
        while (!atEnd() && text_[at_] == QLatin1Char(' '))
            ++at_;
        return at_ > from;
    }
    // A number written with fewest to most ASCII digits, -1 when the digits there are fewer or
    // more; digits gets how many there were.
    int number(int fewest, int most, int *digits = nullptr)
    {
        const qsizetype from = at_;
        while (!atEnd() && text_[at_] >= u'0' && text_[at_] <= u'9')
            ++at_;
        const qsizetype count = at_ - from;
        if (digits)
            *digits = int(count);
        if (count < fewest || count > most)
            return -1;
        int value = 0;
        for (qsizetype i = from; i < at_; ++i)
            value = value * 10 + (text_[i].unicode() - u'0');
        return value;
    }

private:
    QStringView text_;
    qsizetype at_ = 0;
};

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool isDate(int year, int month, int day)
{
    constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1)
        return false;
    return day <= kDays[month - 1] + (month == 2 && isLeapYear(year) ? 1 : 0);
}

// The zone a stamp is written in ("Z", "+03:00", "GMT+3"): read to be passed over, never
// applied, since the date is the one the respondent's form showed.
bool skipZone(Scanner &scanner)
{
    if (scanner.take(u'Z'))
        return true;
    scanner.takeWord(u"GMT") || scanner.takeWord(u"UTC");
    if (!scanner.take(u'+') && !scanner.take(u'-'))
        return true;
    int digits = 0;
    if (scanner.number(1, 4, &digits) < 0 || digits == 3)
        return false;
    if (digits <= 2 && scanner.take(u':'))
        return scanner.number(2, 2) >= 0;
    return true;
}

} // namespace

std::optional<int> answerValue(QByteArrayView cell)
{
    // Most answers are the digit alone: decided at once.
    if (cell.size() == 1) {
        const char c = cell.front();
        return c >= '1' && c <= '7' ? std::optional<int>(c - '0') : std::nullopt;
    }
    const char *p = cell.data();
    const char *end = p + cell.size();
    while (p < end) {
        const qsizetype blank = blankLength(p, end);
        if (blank == 0)
            break;
        p += blank;
    }
    if (p == end || *p < '1' || *p > '7')
        return std::nullopt;
    const int value = *p++ - '0';
    if (p == end || blankLength(p, end) > 0)
        return value;
    // A mark after the digit starts a label ("5.", "5)", "5-скорее"), unless a digit follows
    // it: "5.5", "5,5" and "5-7" are no answers.
    qsizetype mark = dashLength(p, end);
    if (mark == 0 && isAsciiPunctuation(static_cast<unsigned char>(*p)))
        mark = 1;
    if (mark == 0)
        return std::nullopt;
    p += mark;
    if (p < end && *p >= '0' && *p <= '9')
        return std::nullopt;
    return value;
}

ColumnMap detectColumns(const std::vector<std::vector<QString>> &firstRecords,
                        const QString &shownFile)
{
    const size_t records = std::min(firstRecords.size(), size_t(kRecordsForMapping));
    int columns = 0;
    for (size_t r = 0; r < records; ++r)
        columns = std::max(columns, int(firstRecords[r].size()));

    // run[r][c]: how many answers stand in record r up to column c, without a gap.
    std::vector<std::vector<int>> run(records);
    for (size_t r = 0; r < records; ++r) {
        const std::vector<QString> &cells = firstRecords[r];
        run[r].resize(cells.size());
        for (size_t c = 0; c < cells.size(); ++c) {
            const bool answer = answerValue(cells[c].toUtf8()).has_value();
            run[r][c] = answer ? (c > 0 ? run[r][c - 1] : 0) + 1 : 0;
        }
    }
    const auto answersFrom = [&](size_t r, int start) {
        const size_t last = size_t(start) + kTableAnswers - 1;
        return last < run[r].size() && run[r][last] >= kTableAnswers;
    };

    int best = -1;
    int bestCount = 0;
    for (int start = 0; start + kTableAnswers <= columns; ++start) {
        int count = 0;
        for (size_t r = 0; r < records; ++r)
            count += answersFrom(r, start) ? 1 : 0;
        if (count > bestCount) {
            best = start;
            bestCount = count;
        }
    }
    if (best < 0)
        throw CommandError(
            fileError(u"В таблице %1 нет 32 столбцов подряд с ответами от 1 до 7", shownFile));
    // The header rows end at the first record that answers most of the window: a respondent
    // who left an answer out is a bad row to report, not a header to pass over, while question
    // texts ("1. Я считаю…") read as answers for seven questions at most.
    const auto answeredIn = [&](size_t r) {
        int answered = 0;
        for (int i = 0; i < kTableAnswers; ++i) {
            const size_t c = size_t(best + i);
            answered += c < firstRecords[r].size() &&
                                answerValue(firstRecords[r][c].toUtf8()).has_value()
                            ? 1
                            : 0;
        }
        return answered;
    };
    size_t firstAnswers = 0;
    while (!answersFrom(firstAnswers, best) && answeredIn(firstAnswers) * 2 < kTableAnswers)
        ++firstAnswers;
    if (firstAnswers > 3)
        throw CommandError(
            fileError(u"В таблице %1 над первыми ответами больше трёх строк заголовка", shownFile));

    std::array<int, kTableAnswers> answers{};
    for (int i = 0; i < kTableAnswers; ++i)
        answers[i] = best + i;
    return columnsByHeaders(firstRecords, int(firstAnswers), answers);
}

namespace {

// "name@host.domain": one "@", something before it, a dot after it, no blanks.
bool looksLikeAddress(const QString &cell)
{
    const qsizetype at = cell.indexOf(QLatin1Char('@'));
    return at > 0 && at == cell.lastIndexOf(QLatin1Char('@')) &&
           cell.indexOf(QLatin1Char('.'), at + 2) > at + 1 && !cell.endsWith(QLatin1Char('.')) &&
           !cell.contains(QLatin1Char(' '));
}

} // namespace

ColumnMap columnsByHeaders(const std::vector<std::vector<QString>> &firstRecords, int headerRows,
                           const std::array<int, kTableAnswers> &answers)
{
    const size_t records = std::min(firstRecords.size(), size_t(kRecordsForMapping));
    int columns = 0;
    for (size_t r = 0; r < records; ++r)
        columns = std::max(columns, int(firstRecords[r].size()));
    const size_t firstAnswers = size_t(headerRows);
    ColumnMap map;
    map.headerRows = headerRows;
    map.answers = answers;
    for (int c = 0; c < columns; ++c) {
        QString header;
        for (size_t r = 0; r < firstAnswers && header.isEmpty(); ++r)
            if (size_t(c) < firstRecords[r].size())
                header = oneLine(firstRecords[r][c]).trimmed();
        map.headers.append(header);
    }

    std::vector<QString> keys;
    for (const QString &header : map.headers)
        keys.push_back(headerKey(header));
    std::vector<bool> taken(columns, false);
    for (const int c : answers)
        if (c >= 0 && c < columns)
            taken[c] = true;
    const auto takeFirst = [&](auto matches) {
        for (int c = 0; c < columns; ++c)
            if (!taken[c] && matches(keys[c])) {
                taken[c] = true;
                return c;
            }
        return -1;
    };
    for (const QStringView word : kStampHeaders) {
        map.date = takeFirst([&](const QString &key) { return startsWithWord(key, word); });
        if (map.date >= 0)
            break;
    }
    map.code = takeFirst([](const QString &key) { return listed(compactKey(key), kCodeHeaders); });
    map.name = takeFirst([](const QString &key) { return listed(compactKey(key), kNameHeaders); });
    map.email = takeFirst(isEmailHeader);
    // Addresses under a header no rule knows ("Контакт") are addresses all the same: they never
    // become a details line that every output would carry.
    std::vector<bool> addresses(columns, false);
    for (int c = 0; c < columns; ++c) {
        int filled = 0, looking = 0;
        for (size_t r = firstAnswers; r < records; ++r) {
            if (size_t(c) >= firstRecords[r].size())
                continue;
            const QString cell = firstRecords[r][c].trimmed();
            if (cell.isEmpty())
                continue;
            ++filled;
            looking += looksLikeAddress(cell) ? 1 : 0;
        }
        addresses[c] = filled > 0 && looking * 5 >= filled * 4;
    }
    for (int c = 0; c < columns && map.email < 0; ++c)
        if (!taken[c] && addresses[c]) {
            taken[c] = true;
            map.email = c;
        }

    for (int c = 0; c < columns && int(map.details.size()) < kTableDetails; ++c) {
        if (taken[c] || isTimeHeader(keys[c]) || addresses[c])
            continue;
        bool empty = true;
        for (size_t r = firstAnswers; r < records && empty; ++r)
            empty = size_t(c) >= firstRecords[r].size() ||
                    oneLine(firstRecords[r][c]).trimmed().isEmpty();
        if (!empty)
            map.details.push_back(c);
    }
    return map;
}

ColumnMap applyColumns(ColumnMap map, const QString &columns, const QStringList &headers)
{
    // A piece without "=" continues the one before it: the comma was a header's own.
    QStringList pieces;
    for (const QString &part : columns.split(QLatin1Char(','))) {
        if (!pieces.isEmpty() && !part.contains(QLatin1Char('=')))
            pieces.back() += QLatin1Char(',') + part;
        else if (!part.trimmed().isEmpty())
            pieces.append(part);
    }

    std::array<bool, kFields> given{};
    std::array<std::vector<int>, kFields> chosen;
    for (const QString &piece : pieces) {
        const qsizetype equals = piece.indexOf(QLatin1Char('='));
        if (equals < 0)
            throw columnsError(QStringLiteral("«%1» — нужно ПОЛЕ=СТОЛБЦЫ, например "
                                              "answers=E-AJ")
                                   .arg(piece.trimmed()));
        const QStringView name = QStringView(piece).left(equals).trimmed();
        int field = 0;
        while (field < kFields && name.compare(kFieldNames[field].english, Qt::CaseInsensitive) &&
               name.compare(kFieldNames[field].russian, Qt::CaseInsensitive))
            ++field;
        if (field == kFields)
            throw columnsError(QStringLiteral("неизвестное поле «%1»; поля: answers, date, "
                                              "code, name, email, details")
                                   .arg(name.toString()));
        if (given[field])
            throw columnsError(QStringLiteral("поле %1 указано дважды").arg(fieldName(field)));
        // Trailing commas of the last header were glued on above; a value ends at its text.
        const QStringView value = QStringView(piece).mid(equals + 1).trimmed();
        if (value.isEmpty())
            throw columnsError(
                QStringLiteral("для %1 не указаны столбцы (none — без них)").arg(fieldName(field)));
        given[field] = true;
        chosen[field] = parseColumns(value, headers);
        setField(map, field, chosen[field]);
    }

    // A column named here for one field is taken from a field found by the headers; two
    // fields named here on one column, and answers that would lose one, are refused.
    std::vector<int> owner(headers.size(), -1);
    for (int field = 0; field < kFields; ++field) {
        if (!given[field])
            continue;
        for (const int column : chosen[field]) {
            int &own = owner[column];
            if (own == field)
                throw columnsError(QStringLiteral("столбец %1 указан для %2 дважды")
                                       .arg(columnLetters(column), fieldName(field)));
            if (own >= 0)
                throw columnsError(
                    QStringLiteral("столбец %1 указан и для %2, и для %3")
                        .arg(columnLetters(column), fieldName(own), fieldName(field)));
            own = field;
        }
    }
    for (int field = 0; field < kFields; ++field) {
        if (given[field])
            continue;
        std::vector<int> kept;
        for (const int column : fieldColumns(map, field)) {
            if (column >= 0 && size_t(column) < owner.size() && owner[column] >= 0) {
                if (field == kAnswers)
                    throw columnsError(QStringLiteral("столбец %1 указан для %2, а в нём "
                                                      "ответы; укажите и answers")
                                           .arg(columnLetters(column), fieldName(owner[column])));
                continue;
            }
            kept.push_back(column);
        }
        setField(map, field, kept);
    }
    return map;
}

QString columnLetters(int column)
{
    QString letters;
    for (int rest = column + 1; rest > 0; rest = (rest - 1) / 26)
        letters.prepend(QChar(u'A' + (rest - 1) % 26));
    return letters;
}

QStringList describeColumns(const ColumnMap &map)
{
    const auto field = [&](const QString &title, int column, const QString &none) {
        return title + QStringLiteral(": ") +
               (column >= 0 ? columnWithHeader(column, map.headers.value(column)) : none);
    };
    const QString none = QStringLiteral("нет");
    QStringList lines;
    lines.append(QStringLiteral("Ответы 1–32: столбцы ") + answerColumns(map.answers));
    lines.append(field(QStringLiteral("Дата"), map.date, none));
    lines.append(field(QStringLiteral("Код"), map.code, QStringLiteral("номер строки")));
    lines.append(field(QStringLiteral("Ф.И.О."), map.name, none));
    QString email = field(QStringLiteral("Почта"), map.email, none);
    if (map.email >= 0)
        email += QStringLiteral(" (только для поиска повторов)");
    lines.append(email);
    for (int i = 0; i < kTableDetails; ++i)
        lines.append(field(QStringLiteral("Строка %1").arg(4 + i),
                           size_t(i) < map.details.size() ? map.details[i] : -1, none));
    return lines;
}

QString CellProblem::message() const
{
    QString line = QStringLiteral("строка %1").arg(row);
    if (column >= 0)
        line += QStringLiteral(", столбец ") + columnWithHeader(column, header);
    line += QStringLiteral(": ");
    const QString shown = oneLine(text).trimmed();
    if (!shown.isEmpty())
        line += QStringLiteral("«%1» — ").arg(shownBeginning(shown, kQuotedLength));
    return line + reason;
}

std::optional<RespondentRow> respondentRow(const TableRecord &record, const ColumnMap &map,
                                           std::vector<CellProblem> &problems)
{
    return RespondentReader(map).read(record, problems);
}

RespondentReader::RespondentReader(const ColumnMap &map, bool details)
    : map_(map), details_(details)
{
    for (const int column : map.details) {
        // "Отдел:" and a required "Отдел *" are written "Отдел: value".
        QString header = oneLine(map.headers.value(column)).trimmed();
        while (header.endsWith(QLatin1Char(':')) || header.endsWith(QLatin1Char('*')))
            header = header.chopped(1).trimmed();
        detailPrefixes_ << (header.isEmpty() ? QString() : header + QStringLiteral(": "));
    }
}

std::optional<RespondentRow> RespondentReader::read(const TableRecord &record,
                                                    std::vector<CellProblem> &problems) const
{
    const ColumnMap &map = map_;
    // A record may stop before the last columns: what it lacks is empty.
    const auto cell = [&](int column) {
        return column >= 0 && size_t(column) < record.cells.size() ? record.cells[column]
                                                                   : QByteArrayView();
    };
    if (std::all_of(record.cells.begin(), record.cells.end(), isBlankCell))
        return std::nullopt;

    RespondentRow row;
    row.row = record.row;
    bool answered = true;
    for (int i = 0; i < kTableAnswers; ++i) {
        const int column = map.answers[i];
        if (const std::optional<int> value = answerValue(cell(column))) {
            row.answers[i] = *value;
            continue;
        }
        answered = false;
        const bool empty = isBlankCell(cell(column));
        problems.push_back(
            {record.row, column, map.headers.value(column), QString::fromUtf8(cell(column)),
             empty ? QStringLiteral("пустой ответ") : QStringLiteral("не ответ от 1 до 7")});
    }
    if (!answered)
        return std::nullopt;

    if (map.date >= 0) {
        row.date = cellText(cell(map.date));
        if (const std::optional<TimeStamp> stamp = parseTimeStamp(row.date)) {
            row.date = stamp->date;
            row.stamp = stamp->sortable;
        }
    }
    if (map.code >= 0) {
        row.code = cellText(cell(map.code));
    } else {
        row.code = QString::number(record.row);
        if (row.code.size() < 4)
            row.code.prepend(QString(4 - row.code.size(), QLatin1Char('0')));
    }
    if (map.name >= 0)
        row.name = cellText(cell(map.name));
    if (map.email >= 0)
        row.email = cellText(cell(map.email)).toCaseFolded();
    row.details.reserve(kTableDetails);
    for (int i = 0; i < kTableDetails; ++i) {
        QString line;
        if (details_ && size_t(i) < map.details.size()) {
            line = cellText(cell(map.details[i]));
            if (!line.isEmpty())
                line.prepend(detailPrefixes_[i]);
        }
        row.details.append(line);
    }
    return row;
}

std::optional<TimeStamp> parseTimeStamp(const QString &text)
{
    Scanner scanner(QStringView(text).trimmed());
    int firstDigits = 0;
    int lastDigits = 0;
    const int first = scanner.number(1, 4, &firstDigits);
    const QChar mark = scanner.peek();
    if (first < 0 || (mark != u'.' && mark != u'-' && mark != u'/'))
        return std::nullopt;
    scanner.take(mark.unicode());
    const int second = scanner.number(1, 2);
    if (second < 0 || !scanner.take(mark.unicode()))
        return std::nullopt;
    const int last = scanner.number(1, 4, &lastDigits);
    if (last < 0)
        return std::nullopt;

    int year = 0;
    int month = 0;
    int day = 0;
    if (firstDigits == 4 && lastDigits <= 2) {
        year = first;
        month = second;
        day = last;
    } else if (firstDigits <= 2 && lastDigits == 4 && mark != u'-') {
        // Slashes are the American month first, unless the first number cannot be a month.
        const bool monthFirst = mark == u'/' && first <= 12;
        year = last;
        month = monthFirst ? first : second;
        day = monthFirst ? second : first;
    } else {
        return std::nullopt;
    }
    if (!isDate(year, month, day))
        return std::nullopt;

    int hour = 0;
    int minute = 0;
    int second_ = 0;
    if (!scanner.atEnd()) {
        const bool comma = scanner.take(u',');
        const bool blank = scanner.blanks();
        if (!comma && !blank && !(mark == u'-' && scanner.take(u'T')))
            return std::nullopt;
        hour = scanner.number(1, 2);
        if (hour < 0 || !scanner.take(u':'))
            return std::nullopt;
        minute = scanner.number(2, 2);
        if (minute < 0)
            return std::nullopt;
        if (scanner.take(u':')) {
            second_ = scanner.number(2, 2);
            if (second_ < 0)
                return std::nullopt;
            if ((scanner.take(u'.') || scanner.take(u',')) && scanner.number(1, 9) < 0)
                return std::nullopt;
        }
        scanner.blanks();
        const bool am = scanner.takeWord(u"AM");
        const bool pm = !am && scanner.takeWord(u"PM");
        if (am || pm) {
            if (hour < 1 || hour > 12)
                return std::nullopt;
            hour = hour % 12 + (pm ? 12 : 0);
            scanner.blanks();
        }
        if (!skipZone(scanner))
            return std::nullopt;
        scanner.blanks();
        if (!scanner.atEnd() || hour > 23 || minute > 59 || second_ > 59)
            return std::nullopt;
    }
    // Written digit by digit: a table's every row has a stamp, and QString::arg was most of
    // the cost of reading one.
    char16_t sortable[19];
    const auto put = [&sortable](int at, int value, int digits) {
        for (int d = digits - 1; d >= 0; --d, value /= 10)
            sortable[at + d] = char16_t(u'0' + value % 10);
    };
    put(0, year, 4);
    sortable[4] = u'-';
    put(5, month, 2);
    sortable[7] = u'-';
    put(8, day, 2);
    sortable[10] = u' ';
    put(11, hour, 2);
    sortable[13] = u':';
    put(14, minute, 2);
    sortable[16] = u':';
    put(17, second_, 2);
    const char16_t date[10] = {sortable[8], sortable[9], u'.', sortable[5], sortable[6],
                               u'.',        sortable[0], sortable[1], sortable[2], sortable[3]};
    return TimeStamp{QString(reinterpret_cast<const QChar *>(date), 10),
                     QString(reinterpret_cast<const QChar *>(sortable), 19)};
}
