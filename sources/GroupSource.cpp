#include "GroupSource.h"

#include "AnswerFile.h"
#include "CommandError.h"
#include "FolderListing.h"
#include "Scoring.h"
#include "TableRecords.h"

#include <QDir>
#include <QHash>
#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <thread>

namespace {

// Upper case letter by letter, as the original listing compares names: "ß" stays one letter
// rather than becoming "SS".
QString upperByLetter(const QString &name)
{
    QString upper = name;
    for (QChar &c : upper)
        c = c.toUpper();
    return upper;
}

HeaderTexts headerOf(const RespondentRow &row)
{
    HeaderTexts header;
    header.date = row.date;
    header.code = row.code;
    header.name = row.name;
    header.details = row.details;
    return header;
}

void checkHeaderBytes(qsizetype bytes, const NativePath &source)
{
    if (bytes > kMaxGroupHeaderBytes)
        throw CommandError(
            QStringLiteral("Cannot read folder %1: the header texts of its answer files come "
                           "to more than %2 MiB")
                .arg(QDir::toNativeSeparators(displayPath(source)))
                .arg(kMaxGroupHeaderBytes / (1024 * 1024)));
}

// A member read, whatever its source: counted, its scores summed, its line in the member list.
void addMember(LoadedProfile &group, MemberProfile &&member, Members keep,
               const MemberSink &onMember)
{
    addMemberScores(group, member.store);
    if (keep != Members::Sums)
        group.header.details << memberDetailsLine(member.header);
    if (onMember)
        onMember(member);
    if (keep == Members::Keep)
        group.members.push_back(std::move(member));
}

// One answer file of a folder as read, ready to be added in its turn: what the load would have
// thrown for it, in the order it would have thrown it.
struct ReadMember
{
    std::exception_ptr loadError;    // the file could not be read
    std::exception_ptr answersError; // an answer or a total is no number
    qsizetype headerBytes = 0;
    QString detailsLine;
    MemberProfile profile; // its file and header only when someone sees the member
};

// The member's file read into read, which is fresh.
void readMember(int folderFd, const NativePath &folder, const GroupMember &member, bool wholeHeader,
                bool listLine, ReadMember &read)
{
    try {
        const AnswerFileText text =
            AnswerFileText::loadAt(folderFd, folder, member.native, member.regular);
        read.headerBytes = text.headerBytes();
        if (listLine)
            read.detailsLine = memberDetailsLine(text);
        if (wholeHeader) {
            read.profile.file = member.shown;
            read.profile.header = answerFileHeader(text);
        }
        try {
            ReadAnswers(text, read.profile.store);
        } catch (CommandError &e) {
            // The number's message does not say which of the folder's files holds it.
            e.inFile(QDir::toNativeSeparators(displayPath(joinPath(folder, member.native))));
            read.answersError = std::current_exception();
        } catch (...) {
            read.answersError = std::current_exception();
        }
    } catch (...) {
        read.loadError = std::current_exception();
    }
}

// Reads a folder's files on two threads, the caller's and one of its own, in batches handed
// out in order: opening and reading a file is most of a load and two cores halve it, while the
// members are added on the caller's thread in folder order, so that the sums, the messages and
// the member list are those of one thread. At most kWindow batches are read ahead, and no more
// once their header texts come to kAheadBytes: a folder of huge headers is read as it is added.
class FolderReader
{
public:
    static constexpr int kBatch = 16;
    static constexpr int kWindow = 8;
    static constexpr qsizetype kAheadBytes = 4 * 1024 * 1024;

    // wholeHeader: each member's own header texts; listLine: its line in the member list.
    FolderReader(const NativePath &folder, const std::vector<GroupMember> &members,
                 bool wholeHeader, bool listLine)
        : folder_(folder), handle_(folder), members_(members), wholeHeader_(wholeHeader),
          listLine_(listLine),
          batches_(int((members.size() + kBatch - 1) / kBatch))
    {
        if (batches_ > 1)
            helper_ = std::thread([this] { help(); });
    }
    ~FolderReader()
    {
        {
            const std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        changed_.notify_all();
        if (helper_.joinable())
            helper_.join();
    }
    FolderReader(const FolderReader &) = delete;
    FolderReader &operator=(const FolderReader &) = delete;

    int batches() const { return batches_; }

    // Batch b's members, read; the caller reads batches itself while it waits. done(b) hands the
    // slot back.
    std::vector<ReadMember> &batch(int b)
    {
        Slot &slot = slots_[std::size_t(b % kWindow)];
        std::unique_lock lock(mutex_);
        while (!slot.ready) {
            if (claimable()) {
                const int c = next_++;
                lock.unlock();
                read(c);
                lock.lock();
            } else {
                changed_.wait(lock);
            }
        }
        return slot.members;
    }

    void done(int b)
    {
        {
            const std::lock_guard lock(mutex_);
            Slot &slot = slots_[std::size_t(b % kWindow)];
            slot.ready = false;
            aheadBytes_ -= slot.headerBytes;
            ++consumed_;
        }
        changed_.notify_all();
    }

private:
    struct Slot
    {
        std::vector<ReadMember> members;
        qsizetype headerBytes = 0;
        bool ready = false;
    };

    // The batch to be added next is read whatever was read ahead.
    bool claimable() const
    {
        return next_ < batches_ && next_ < consumed_ + kWindow &&
               (aheadBytes_ < kAheadBytes || next_ == consumed_);
    }

    void help()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return stopped_ || next_ >= batches_ || claimable(); });
            if (stopped_ || next_ >= batches_)
                return;
            const int c = next_++;
            lock.unlock();
            read(c);
            lock.lock();
        }
    }

    // Reads batch c into its slot, which nobody else touches until it is marked ready.
    void read(int c)
    {
        Slot &slot = slots_[std::size_t(c % kWindow)];
        slot.members.clear();
        const std::size_t from = std::size_t(c) * kBatch;
        const std::size_t to = std::min(members_.size(), from + kBatch);
        slot.headerBytes = 0;
        for (std::size_t i = from; i < to; ++i) {
            readMember(handle_.fd(), folder_, members_[i], wholeHeader_, listLine_,
                       slot.members.emplace_back());
            slot.headerBytes += slot.members.back().headerBytes;
        }
        {
            const std::lock_guard lock(mutex_);
            slot.ready = true;
            aheadBytes_ += slot.headerBytes;
        }
        changed_.notify_all();
    }

    const NativePath &folder_;
    const OpenFolder handle_;
    const std::vector<GroupMember> &members_;
    const bool wholeHeader_;
    const bool listLine_;
    const int batches_;
    std::array<Slot, kWindow> slots_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int next_ = 0;             // the first batch nobody reads yet
    int consumed_ = 0;         // batches added
    qsizetype aheadBytes_ = 0; // header bytes of the batches read and not yet added
    bool stopped_ = false;
    std::thread helper_;
};

LoadedProfile loadFolder(const NativePath &folder, const QString &today, Members keep,
                         const MemberSink &onMember)
{
    const std::vector<GroupMember> members = groupMembers(folder);
    if (members.empty())
        throw CommandError(emptyGroupMessage(displayPath(folder)));

    LoadedProfile loaded = startGroup(today);
    if (keep != Members::Sums)
        loaded.header.details.reserve(qsizetype(members.size()) + 1);
    if (keep == Members::Keep)
        loaded.members.reserve(members.size());
    qsizetype headerBytes = 0;
    // The members' own headers only for whoever sees the members; the group needs their lines.
    FolderReader reader(folder, members, keep == Members::Keep || onMember,
                        keep != Members::Sums);
    for (int b = 0; b < reader.batches(); ++b) {
        for (ReadMember &read : reader.batch(b)) {
            if (read.loadError)
                std::rethrow_exception(read.loadError);
            headerBytes += read.headerBytes;
            checkHeaderBytes(headerBytes, folder);
            if (read.answersError)
                std::rethrow_exception(read.answersError);
            addMemberScores(loaded, read.profile.store);
            if (keep != Members::Sums)
                loaded.header.details << std::move(read.detailsLine);
            if (onMember)
                onMember(read.profile);
            if (keep == Members::Keep)
                loaded.members.push_back(std::move(read.profile));
        }
        reader.done(b);
    }
    finishGroupMeans(loaded);
    return loaded;
}

LoadedProfile loadTable(const NativePath &path, const QString &today, Members keep,
                        const MemberSink &onMember, const TableOptions &options, QStringList *notes)
{
    LoadedProfile loaded = startGroup(today);
    const QString file = lastPathName(path) + QStringLiteral(", строка ");
    qsizetype headerBytes = 0;
    forEachRespondent(
        path, options,
        [&](const RespondentRow &row) {
            MemberProfile one{file + QString::number(row.row), headerOf(row), {}};
            headerBytes += (row.date.size() + row.code.size() + row.name.size()) * 2;
            for (const QString &line : row.details)
                headerBytes += line.size() * 2;
            checkHeaderBytes(headerBytes, path);
            addAnswers(row.answers, one.store);
            addMember(loaded, std::move(one), keep, onMember);
        },
        notes, keep == Members::Keep || onMember);
    if (loaded.count == 0)
        throw CommandError(QStringLiteral("В таблице %1 нет ни одной строки с ответами")
                               .arg(QDir::toNativeSeparators(displayPath(path))));
    finishGroupMeans(loaded);
    return loaded;
}

std::vector<std::vector<QString>> firstRecords(TableRecords &records, int count,
                                               std::vector<int> *rows = nullptr)
{
    std::vector<std::vector<QString>> texts;
    TableRecord record;
    while (int(texts.size()) < count && records.next(record)) {
        if (rows)
            rows->push_back(record.row);
        std::vector<QString> cells;
        cells.reserve(record.cells.size());
        for (const QByteArrayView cell : record.cells)
            cells.push_back(QString::fromUtf8(cell));
        texts.push_back(std::move(cells));
    }
    return texts;
}

// Whether the record answers most of the answer columns: a respondent, maybe with an answer
// left out, rather than a header row.
bool holdsAnswers(const std::vector<QString> &record, const ColumnMap &map)
{
    const auto answered = std::count_if(map.answers.begin(), map.answers.end(), [&](int column) {
        return column >= 0 && std::size_t(column) < record.size() &&
               answerValue(record[std::size_t(column)].toUtf8());
    });
    return answered * 2 >= kTableAnswers;
}

// The mapping found, with the user's changes. Where none is found (the answers are not side by
// side, a form put a column between them) the user's --columns that name the answers make one:
// the data from the first row whose every answer column holds an answer, the rows above it the
// headers.
ColumnMap mappedColumns(const std::vector<std::vector<QString>> &records, const QString &shown,
                        const TableOptions &options)
{
    if (options.columns.isEmpty()) {
        try {
            return detectColumns(records, shown);
        } catch (CommandError &e) {
            throw ColumnsNotFound(e.message() +
                                  QStringLiteral(" (столбцы можно указать самому, например "
                                                 "--columns answers=E-T+V-AK)"));
        }
    }
    try {
        const ColumnMap found = detectColumns(records, shown);
        return applyColumns(found, options.columns, found.headers);
    } catch (const CommandError &) {
        if (!options.columns.contains(QLatin1String("answers"), Qt::CaseInsensitive) &&
            !options.columns.contains(QStringLiteral("ответы"), Qt::CaseInsensitive))
            throw;
    }
    ColumnMap map;
    map.answers.fill(-1);
    std::size_t width = 0;
    for (const std::vector<QString> &record : records)
        width = std::max(width, record.size());
    for (std::size_t c = 0; c < width; ++c)
        map.headers << (records.empty() || c >= records.front().size()
                            ? QString()
                            : records.front()[c].simplified());
    map = applyColumns(map, options.columns, map.headers);
    int headerRows = 0;
    while (std::size_t(headerRows) < records.size() &&
           !holdsAnswers(records[std::size_t(headerRows)], map))
        ++headerRows;
    if (std::size_t(headerRows) == records.size() || headerRows > 3)
        throw CommandError(QStringLiteral("В таблице %1 в столбцах ответов, которые назвал "
                                          "--columns, нет строки с ответами от 1 до 7")
                               .arg(shown));
    // The other fields by their headers, as they are found beside consecutive answers, then
    // the user's word on them.
    const ColumnMap byHeaders = columnsByHeaders(records, headerRows, map.answers);
    return applyColumns(byHeaders, options.columns, byHeaders.headers);
}

TablePreview previewOf(TableRecords &records, const NativePath &path, const TableOptions &options,
                       int count)
{
    TablePreview preview;
    preview.description = records.description();
    preview.records = firstRecords(records, std::max(count, kRecordsForMapping), &preview.rows);
    preview.map =
        mappedColumns(preview.records, QDir::toNativeSeparators(displayPath(path)), options);
    if (int(preview.records.size()) > count) {
        preview.records.resize(std::size_t(count));
        preview.rows.resize(std::size_t(count));
    }
    return preview;
}

// Records after the header rows, each as a respondent or its problems.
template <typename Visit>
void forEachDataRecord(TableRecords &records, const ColumnMap &map, const Visit &visit)
{
    records.rewind();
    TableRecord record;
    for (int skipped = 0; skipped < map.headerRows && records.next(record); ++skipped) {
    }
    while (records.next(record))
        visit(record);
}

// The rows an e-mail met again makes superseded: of each address the latest answers count, by
// time stamp where every row of it has one, else by row.
struct Duplicates
{
    std::vector<int> superseded;
    QStringList notes;
};

struct Sighting
{
    QString stamp;
    int row = 0;
};

Duplicates duplicatesOf(const QHash<QString, std::vector<Sighting>> &byEmail)
{
    Duplicates result;
    std::vector<std::vector<Sighting>> groups;
    for (auto it = byEmail.cbegin(); it != byEmail.cend(); ++it)
        if (it.value().size() > 1)
            groups.push_back(it.value());
    // In the order of their first rows, so that the notes read down the table.
    std::sort(groups.begin(), groups.end(),
              [](const auto &a, const auto &b) { return a.front().row < b.front().row; });
    for (const std::vector<Sighting> &rows : groups) {
        const bool stamped = std::all_of(rows.begin(), rows.end(),
                                         [](const Sighting &s) { return !s.stamp.isEmpty(); });
        const Sighting *kept = &rows.front();
        for (const Sighting &s : rows)
            if (stamped ? s.stamp >= kept->stamp : s.row > kept->row)
                kept = &s;
        QStringList numbers;
        for (const Sighting &s : rows) {
            numbers << QString::number(s.row);
            if (&s != kept)
                result.superseded.push_back(s.row);
        }
        result.notes << QStringLiteral("строки %1: один и тот же адрес электронной почты; "
                                       "учтена только строка %2 (%3)")
                            .arg(numbers.join(QStringLiteral(", ")))
                            .arg(kept->row)
                            .arg(stamped ? QStringLiteral("самый поздний ответ")
                                         : QStringLiteral("последняя из них"));
    }
    std::sort(result.superseded.begin(), result.superseded.end());
    return result;
}

QString problemsRefusal(const NativePath &path, const std::vector<CellProblem> &problems,
                        std::size_t badRows)
{
    QString text =
        QStringLiteral("Таблица %1: %2")
            .arg(QDir::toNativeSeparators(displayPath(path)), problems.front().message());
    if (problems.size() > 1)
        text += QStringLiteral(" (и ещё ошибок: %1, всего строк с ошибками: %2)")
                    .arg(problems.size() - 1)
                    .arg(badRows);
    return text;
}

} // namespace

bool isAnswerFileName(QByteArrayView name)
{
    return name.size() >= 4 && name.last(4).toByteArray().toLower() == ".txt";
}

bool isGroupPath(const NativePath &path)
{
    return isFolder(path) || isTablePath(path);
}

QString groupSourceName(const NativePath &path)
{
    if (!isFolder(path)) {
        const QString file = lastPathName(path);
        const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
        return dot > 0 ? file.left(dot) : file;
    }
    // The folder's own name even when it was given as "." or "dir/..".
    return lastPathName(resolvedPath(path));
}

namespace {

// Members sorted by their keys, held end to end in one string rather than a string each: as
// QString::compare orders them, unit by unit, the bytes of the name on a tie.
template <typename Char>
std::vector<GroupMember> sortedByKeys(std::vector<GroupMember> &&members,
                                      const std::basic_string<Char> &keys,
                                      const std::vector<std::size_t> &ends)
{
    struct Entry
    {
        std::basic_string_view<Char> key;
        std::size_t index;
    };
    std::vector<Entry> entries;
    entries.reserve(members.size());
    for (std::size_t i = 0, from = 0; i < members.size(); from = ends[i], ++i)
        entries.push_back({std::basic_string_view<Char>(keys).substr(from, ends[i] - from), i});
    std::sort(entries.begin(), entries.end(), [&members](const Entry &a, const Entry &b) {
        const int byKey = a.key.compare(b.key);
        return byKey != 0 ? byKey < 0 : members[a.index].native < members[b.index].native;
    });
    std::vector<GroupMember> sorted;
    sorted.reserve(members.size());
    for (const Entry &e : entries)
        sorted.push_back(std::move(members[e.index]));
    return sorted;
}

bool isAscii(QByteArrayView name)
{
    return std::all_of(name.begin(), name.end(), [](char c) { return (c & 0x80) == 0; });
}

} // namespace

std::vector<GroupMember> groupMembers(const NativePath &folder)
{
    std::vector<NonFolderEntry> entries = listNonFolderEntries(folder);
    // Room for all at once: a folder of 100,000 files would otherwise hold two copies of the
    // list while it grows.
    std::vector<GroupMember> members;
    members.reserve(entries.size());
    bool ascii = true;
    // Every entry but folders, whatever its name's bytes: a sub-folder named *.txt is not an
    // answer file, while a file whose name is not UTF-8 is one and must not be lost.
    for (NonFolderEntry &entry : entries) {
        if (!isAnswerFileName(entry.name))
            continue;
        ascii = ascii && isAscii(entry.name);
        members.push_back({std::move(entry.name), QString(), entry.regular});
    }
    // Names in ASCII, nearly all of them, sort by their bytes upper-cased, which order as the
    // units of the shown names do; the others by the shown names upper-cased.
    std::vector<std::size_t> ends;
    ends.reserve(members.size());
    if (ascii) {
        std::string keys;
        for (GroupMember &m : members) {
            m.shown = QString::fromLatin1(m.native);
            for (const char c : m.native)
                keys += c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
            ends.push_back(keys.size());
        }
        return sortedByKeys(std::move(members), keys, ends);
    }
    std::u16string keys;
    for (GroupMember &m : members) {
        m.shown = displayPath(m.native);
        const QString key = upperByLetter(m.shown);
        keys.append(reinterpret_cast<const char16_t *>(key.utf16()), std::size_t(key.size()));
        ends.push_back(keys.size());
    }
    return sortedByKeys(std::move(members), keys, ends);
}

QStringList groupMemberNames(const QString &folder)
{
    QStringList names;
    for (const GroupMember &m : groupMembers(toNativePath(folder)))
        names << m.shown;
    return names;
}

LoadedProfile loadGroup(const QString &path, const QString &today, Members keep,
                        const MemberSink &onMember, const TableOptions &options, QStringList *notes)
{
    return loadGroup(toNativePath(path), today, keep, onMember, options, notes);
}

LoadedProfile loadGroup(const NativePath &path, const QString &today, Members keep,
                        const MemberSink &onMember, const TableOptions &options, QStringList *notes)
{
    if (!isFolder(path) && isTablePath(path))
        return loadTable(path, today, keep, onMember, options, notes);
    return loadFolder(path, today, keep, onMember);
}

ReferenceProfile loadReference(const NativePath &path, const QString &today,
                               const TableOptions &options)
{
    if (!isGroupPath(path))
        return referenceOf(loadRespondent(path));
    // Only the mean is laid over the views: of the members only their values are kept, for a
    // respondent's percentile within the group.
    std::vector<std::array<double, kValueCount>> values;
    ReferenceProfile reference = referenceOf(loadGroup(
                                                 path, today, Members::Drop,
                                                 [&values](const MemberProfile &member) {
                                                     values.push_back(percentValues(member.store));
                                                 },
                                                 options),
                                             groupSourceName(path));
    reference.memberValues = std::move(values);
    return reference;
}

void checkPathIs(const NativePath &path, bool (*fits)(const NativePath &), const QString &command,
                 const QString &notFitting)
{
    if (path.isEmpty())
        throw CommandError(QStringLiteral("Cannot open file: the path is empty"));
    if (fits(path))
        return;
    // A path that names nothing is told apart from one that names something else.
    struct stat info;
    const bool exists = ::stat(path.constData(), &info) == 0;
    const int reason = errno;
    throw CommandError(
        QStringLiteral("%1: %2").arg(command.arg(QDir::toNativeSeparators(displayPath(path))),
                                     exists ? notFitting : systemReason(reason)));
}

void checkGroupPath(const NativePath &path, const QString &command)
{
    checkPathIs(path, isGroupPath, command,
                QStringLiteral("it is not a folder or a table (.csv, .tsv, .xlsx)"));
}

TablePreview previewTable(const NativePath &path, const TableOptions &options, int records)
{
    const std::unique_ptr<TableRecords> table = tableRecords(path, options.sheet);
    return previewOf(*table, path, options, records);
}

TablePreview unmappedPreview(const NativePath &path, const TableOptions &options, int records)
{
    const std::unique_ptr<TableRecords> table = tableRecords(path, options.sheet);
    TablePreview preview;
    preview.description = table->description();
    preview.records = firstRecords(*table, records, &preview.rows);
    preview.map.answers.fill(-1);
    return preview;
}

TableScan scanTable(const NativePath &path, const TableOptions &options)
{
    const std::unique_ptr<TableRecords> table = tableRecords(path, options.sheet);
    TableScan scan;
    scan.preview = previewOf(*table, path, options, kRecordsForMapping);
    QHash<QString, std::vector<Sighting>> byEmail;
    // Without addresses the same person is known by the code and name, and only warned of.
    QHash<QString, std::vector<int>> byPerson;
    const ColumnMap &map = scan.preview.map;
    const RespondentReader reader(map);
    forEachDataRecord(*table, map, [&](const TableRecord &record) {
        const std::size_t before = scan.problems.size();
        const std::optional<RespondentRow> row = reader.read(record, scan.problems);
        if (scan.problems.size() != before)
            scan.badRows.push_back(record.row);
        if (!row)
            return;
        ++scan.members;
        if (!row->email.isEmpty())
            byEmail[row->email].push_back({row->stamp, row->row});
        else if (map.name >= 0 && !row->name.trimmed().isEmpty())
            byPerson[(map.code >= 0 ? row->code.trimmed() : QString()) + QLatin1Char('\n') +
                     row->name.simplified().toCaseFolded()]
                .push_back(row->row);
    });
    Duplicates duplicates = duplicatesOf(byEmail);
    scan.supersededRows = std::move(duplicates.superseded);
    scan.duplicateNotes = std::move(duplicates.notes);
    std::vector<std::vector<int>> people;
    for (auto it = byPerson.cbegin(); it != byPerson.cend(); ++it)
        if (it.value().size() > 1)
            people.push_back(it.value());
    std::sort(people.begin(), people.end());
    for (const std::vector<int> &rows : people) {
        QStringList numbers;
        for (const int r : rows)
            numbers << QString::number(r);
        scan.duplicateNotes << QStringLiteral("строки %1: один и тот же респондент (те же "
                                              "%2); учтены все")
                                   .arg(numbers.join(QStringLiteral(", ")),
                                        map.code >= 0 ? QStringLiteral("код и Ф.И.О.")
                                                      : QStringLiteral("Ф.И.О."));
    }
    scan.members -= int(scan.supersededRows.size());
    return scan;
}

void forEachRespondent(const NativePath &path, const TableOptions &options,
                       const std::function<void(const RespondentRow &)> &visit, QStringList *notes,
                       bool details)
{
    const std::unique_ptr<TableRecords> table = tableRecords(path, options.sheet);
    const TablePreview preview = previewOf(*table, path, options, 0);
    const ColumnMap &map = preview.map;

    // Duplicates are known only at the end of the table: a table that can have them is read
    // once for its addresses before its members.
    Duplicates duplicates;
    if (map.email >= 0) {
        QHash<QString, std::vector<Sighting>> byEmail;
        std::vector<CellProblem> ignored;
        const RespondentReader reader(map);
        forEachDataRecord(*table, map, [&](const TableRecord &record) {
            if (const std::optional<RespondentRow> row = reader.read(record, ignored);
                row && !row->email.isEmpty())
                byEmail[row->email].push_back({row->stamp, row->row});
            ignored.clear();
        });
        duplicates = duplicatesOf(byEmail);
    }

    std::vector<CellProblem> problems;
    std::size_t badRows = 0;
    auto superseded = duplicates.superseded.cbegin();
    const RespondentReader reader(map, details);
    forEachDataRecord(*table, map, [&](const TableRecord &record) {
        const std::size_t before = problems.size();
        const std::optional<RespondentRow> row = reader.read(record, problems);
        if (problems.size() != before)
            ++badRows;
        if (!row)
            return;
        while (superseded != duplicates.superseded.cend() && *superseded < row->row)
            ++superseded;
        if (superseded != duplicates.superseded.cend() && *superseded == row->row)
            return;
        // Once a row is bad the load is refused: the rest is only checked.
        if (badRows == 0 || options.skipBad)
            visit(*row);
    });
    if (!problems.empty() && !options.skipBad)
        throw CommandError(problemsRefusal(path, problems, badRows));
    if (notes) {
        for (const CellProblem &problem : problems)
            *notes << QStringLiteral("пропущена %1").arg(problem.message());
        *notes << duplicates.notes;
    }
}
