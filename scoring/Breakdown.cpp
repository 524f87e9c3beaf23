#include "Breakdown.h"

#include "Comparison.h"
#include "Scoring.h"

#include "NumberFormat.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringBuilder>
#include <algorithm>
#include <charconv>

namespace {

// Counts one more use of a spelling; the name is the most used one, and of equally used ones
// the one that got there first.
void noteSpelling(TextIndex &spellings, QString &name, int &nameCount, const QString &spelling)
{
    const auto it = spellings.try_emplace(spelling, 0).first;
    if (++it->second > nameCount) {
        nameCount = it->second;
        // The index's own copy, rather than each member's text in turn.
        name = it->first;
    }
}

// A group's header, as a group load sets it, named after the subgroup.
LoadedProfile emptyGroup(const QString &today)
{
    LoadedProfile group;
    group.group = true;
    group.header.code = groupCode();
    group.header.name = groupName();
    group.header.date = today;
    group.header.details << groupDetailsHead();
    return group;
}

// Adds a member's raw scores as a group load does: the sums of scores and answers, the store's
// answers those of the last member read.
void addScores(LoadedProfile &sums, const ProfileStore &member)
{
    for (std::size_t i = 1; i < member.Answers.size(); ++i)
        sums.meanAnswers[i] += member.Answers[i];
    for (std::size_t i = 1; i < member.SummaryScores.size(); ++i)
        sums.store.SummaryScores[i] += member.SummaryScores[i];
    for (std::size_t i = 1; i < member.ScaleScores.size(); ++i)
        sums.store.ScaleScores[i] += member.ScaleScores[i];
    sums.store.Answers = member.Answers;
}

// Sums into means, as at the end of a group load.
void divideSums(LoadedProfile &group)
{
    divideScores(group.store, group.count);
    for (std::size_t i = 1; i < group.meanAnswers.size(); ++i)
        group.meanAnswers[i] /= group.count;
}

QString memberLine(const MemberProfile &member)
{
    return member.header.name % QLatin1Char(' ') % member.header.code % QLatin1Char(' ') %
           member.header.date;
}

QString detailText(const MemberProfile &member, int line)
{
    return member.header.details.value(line - kFirstSplitLine);
}

} // namespace

QString wholeFolderName()
{
    return QStringLiteral("Вся папка");
}

QString unspecifiedName()
{
    return QStringLiteral("(не указано)");
}

QString othersName()
{
    return QStringLiteral("Прочие");
}

QString shownFolderName(const QString &path)
{
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    const QString name = clean.mid(clean.lastIndexOf(QLatin1Char('/')) + 1);
    return name.isEmpty() ? clean : name;
}

QString subgroupKey(const QString &line)
{
    return line.trimmed().toCaseFolded();
}

// ---- splitting

BreakdownBuilder::BreakdownBuilder(int line, const QString &today, Members keep)
    : line_(line), today_(today), keep_(keep)
{
}

void BreakdownBuilder::add(const MemberProfile &member)
{
    const QString spelling = detailText(member, line_).trimmed();
    // Most members spell their line as others do: a spelling met before finds its subgroup
    // without folding its case again.
    auto known = spellings_.find(spelling);
    if (known == spellings_.end()) {
        const QString key = spelling.toCaseFolded();
        auto [found, added] = index_.try_emplace(key, int(buckets_.size()));
        if (added) {
            Bucket bucket;
            bucket.sums = emptyGroup(today_);
            bucket.unspecified = key.isEmpty();
            buckets_.push_back(std::move(bucket));
        }
        known = spellings_.emplace(spelling, found->second).first;
    }
    Bucket &bucket = buckets_[std::size_t(known->second)];
    noteSpelling(bucket.spell, bucket.name, bucket.nameCount, spelling);
    ++bucket.sums.count;
    addScores(bucket.sums, member.store);
    bucket.lastRead = read_;
    if (keep_ == Members::Keep) {
        bucket.sums.header.details << memberLine(member);
        bucket.order.push_back(read_);
        bucket.sums.members.push_back(member);
    }
    ++read_;
}

Subgroup BreakdownBuilder::finishBucket(Bucket &bucket, SubgroupKind kind) const
{
    Subgroup subgroup{kind, std::move(bucket.sums)};
    subgroup.profile.header.name =
        kind == SubgroupKind::Unspecified ? unspecifiedName() : bucket.name;
    divideSums(subgroup.profile);
    return subgroup;
}

Subgroup BreakdownBuilder::pooled(const std::vector<Bucket *> &buckets) const
{
    // The members of every pooled subgroup in reading order, as a group load of them reads them.
    struct Place
    {
        int read;
        const Bucket *bucket;
        std::size_t at;
    };
    std::vector<Place> places;
    Subgroup others{SubgroupKind::Others, emptyGroup(today_)};
    LoadedProfile &sums = others.profile;
    sums.header.name = othersName();
    for (const Bucket *bucket : buckets) {
        for (std::size_t i = 0; i < bucket->order.size(); ++i)
            places.push_back({bucket->order[i], bucket, i});
        sums.count += bucket->sums.count;
        // Whole numbers all: the sums come out the same in any order.
        for (std::size_t i = 1; i < sums.meanAnswers.size(); ++i)
            sums.meanAnswers[i] += bucket->sums.meanAnswers[i];
        for (std::size_t i = 1; i < sums.store.SummaryScores.size(); ++i)
            sums.store.SummaryScores[i] += bucket->sums.store.SummaryScores[i];
        for (std::size_t i = 1; i < sums.store.ScaleScores.size(); ++i)
            sums.store.ScaleScores[i] += bucket->sums.store.ScaleScores[i];
    }
    std::sort(places.begin(), places.end(),
              [](const Place &a, const Place &b) { return a.read < b.read; });
    for (const Place &place : places) {
        sums.header.details << place.bucket->sums.header.details[qsizetype(place.at) + 1];
        if (keep_ == Members::Keep)
            sums.members.push_back(place.bucket->sums.members[place.at]);
    }
    // The store's answers are the last member's read, as for a group load.
    const Bucket *last = nullptr;
    for (const Bucket *bucket : buckets)
        if (!last || bucket->lastRead > last->lastRead)
            last = bucket;
    if (last)
        sums.store.Answers = last->sums.store.Answers;
    divideSums(sums);
    return others;
}

Breakdown BreakdownBuilder::finish(int minimumSize)
{
    Breakdown result;
    result.line = line_;
    result.minimumSize = minimumSize;

    std::vector<Bucket *> large;
    std::vector<Bucket *> small;
    for (Bucket &bucket : buckets_)
        (bucket.sums.count >= minimumSize ? large : small).push_back(&bucket);
    std::sort(large.begin(), large.end(), [](const Bucket *a, const Bucket *b) {
        if (a->sums.count != b->sums.count)
            return a->sums.count > b->sums.count;
        const int byName = QString::compare(a->name, b->name, Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a->name < b->name;
    });

    int pool = 0;
    for (const Bucket *bucket : small)
        pool += bucket->sums.count;
    const int smallCount = int(small.size());
    // Withheld files would be the whole folder less the shown rows: the smallest shown
    // subgroup goes into "Прочие", which it alone brings up to the minimum.
    if (pool > 0 && pool < minimumSize && !large.empty()) {
        Bucket *smallest = large.back();
        large.pop_back();
        pool += smallest->sums.count;
        result.joinedToOthers = smallest->unspecified ? unspecifiedName() : smallest->name;
        small.push_back(smallest);
    }

    for (Bucket *bucket : large)
        result.shown.push_back(finishBucket(*bucket, bucket->unspecified ? SubgroupKind::Unspecified
                                                                         : SubgroupKind::Named));
    if (pool >= minimumSize && !small.empty()) {
        result.shown.push_back(pooled(small));
        result.pooledFiles = pool;
        result.pooledSubgroups = smallCount;
    } else {
        result.withheldFiles = pool;
        result.withheldSubgroups = smallCount;
    }
    buckets_.clear();
    index_.clear();
    spellings_.clear();
    return result;
}

Breakdown splitGroup(const LoadedProfile &whole, int line, int minimumSize)
{
    BreakdownBuilder builder(line, whole.header.date, Members::Keep);
    for (const MemberProfile &member : whole.members)
        builder.add(member);
    return builder.finish(minimumSize);
}

std::array<QString, kSplitLineCount> commonDetailTexts(const LoadedProfile &whole)
{
    struct Tally
    {
        int count = 0;
        TextIndex spell;
        QString name;
        int nameCount = 0;
    };
    std::array<QString, kSplitLineCount> texts;
    for (int line = kFirstSplitLine; line <= kLastSplitLine; ++line) {
        TextIndex index;
        std::vector<Tally> tallies;
        for (const MemberProfile &member : whole.members) {
            const QString spelling = detailText(member, line).trimmed();
            const auto [at, added] =
                index.try_emplace(spelling.toCaseFolded(), int(tallies.size()));
            if (added)
                tallies.emplace_back();
            Tally &tally = tallies[std::size_t(at->second)];
            ++tally.count;
            noteSpelling(tally.spell, tally.name, tally.nameCount, spelling);
        }
        // The largest subgroup; of equal ones the first met.
        const Tally *most = nullptr;
        for (const Tally &tally : tallies)
            if (!most || tally.count > most->count)
                most = &tally;
        texts[std::size_t(line - kFirstSplitLine)] = !most                  ? QString()
                                                     : most->name.isEmpty() ? unspecifiedName()
                                                                            : most->name;
    }
    return texts;
}

// ---- the table

double BreakdownRow::value(int column) const
{
    return column < kSummaryCount ? summary[std::size_t(column + 1)]
                                  : scales[std::size_t(column - kSummaryCount + 1)];
}

BreakdownRow breakdownRow(const LoadedProfile &raw, SubgroupKind kind)
{
    ProfileStore percent = raw.store;
    convertToPercent(percent);
    BreakdownRow row;
    row.name = kind == SubgroupKind::Whole ? wholeFolderName() : raw.header.name;
    row.kind = kind;
    row.count = raw.count;
    row.summary = percent.SummaryScores;
    row.scales = percent.ScaleScores;
    return row;
}

BreakdownTable breakdownTable(const LoadedProfile &whole, const Breakdown &breakdown,
                              const QString &folder)
{
    BreakdownTable table;
    table.folder = folder;
    table.line = breakdown.line;
    table.minimumSize = breakdown.minimumSize;
    table.pooledFiles = breakdown.pooledFiles;
    table.pooledSubgroups = breakdown.pooledSubgroups;
    table.joinedToOthers = breakdown.joinedToOthers;
    table.withheldFiles = breakdown.withheldFiles;
    table.withheldSubgroups = breakdown.withheldSubgroups;
    table.rows.reserve(breakdown.shown.size() + 1);
    table.rows.push_back(breakdownRow(whole, SubgroupKind::Whole));
    for (const Subgroup &subgroup : breakdown.shown)
        table.rows.push_back(breakdownRow(subgroup.profile, subgroup.kind));
    return table;
}

QString breakdownColumnTitle(int column)
{
    if (column < kSummaryCount)
        return ProfileStore::SummaryNames(column + 1);
    return scaleCaption(column - kSummaryCount + 1);
}

QStringList breakdownNotes(const BreakdownTable &table)
{
    // A name may be a whole header line; a note quotes its beginning.
    constexpr qsizetype kQuoted = 200;
    QString joined = table.joinedToOthers;
    if (joined.size() > kQuoted)
        joined = joined.left(joined[kQuoted - 1].isHighSurrogate() ? kQuoted - 1 : kQuoted) +
                 QChar(0x2026);
    QStringList notes;
    notes << QStringLiteral("Минимальный размер подгруппы: %1. В «%2» объединено файлов: %3, "
                            "не показано файлов: %4.")
                 .arg(table.minimumSize)
                 .arg(othersName())
                 .arg(table.pooledFiles)
                 .arg(table.withheldFiles);
    if (!table.joinedToOthers.isEmpty())
        notes << QStringLiteral("Чтобы малые подгруппы нельзя было вычислить по строке всей "
                                "папки, в «%1» включена также подгруппа «%2».")
                     .arg(othersName(), joined);
    if (table.withheldFiles > 0)
        notes << QStringLiteral("Не показанные файлы учтены только в строке «%1».")
                     .arg(wholeFolderName());
    return notes;
}

QByteArray breakdownCsv(const BreakdownTable &table, const CsvStyle &style)
{
    const char sep = style.separator;
    QByteArray out;
    if (style.byteOrderMark)
        out += "\xEF\xBB\xBF";
    out += QByteArray("name") + sep + "count";
    for (int c = kTableFirstPercent; c < kTableNumberColumns; ++c)
        out += sep + tableNumberHeading(c);
    out += "\r\n";
    for (const BreakdownRow &row : table.rows) {
        out += csvField(row.name, style);
        out += sep + QByteArray::number(row.count);
        for (int c = 0; c < kBreakdownColumns; ++c)
            out += sep + shortestNumberText(row.value(c), style.decimalPoint);
        out += "\r\n";
    }
    return out;
}

QByteArray breakdownJson(const BreakdownTable &table)
{
    QJsonArray rows;
    for (const BreakdownRow &row : table.rows) {
        QJsonArray summary, scales;
        for (int i = 1; i <= kSummaryCount; ++i)
            summary.append(row.summary[std::size_t(i)]);
        for (int i = 1; i <= kScaleScoreCount; ++i)
            scales.append(row.scales[std::size_t(i)]);
        rows.append(QJsonObject{{QStringLiteral("name"), row.name},
                                {QStringLiteral("count"), row.count},
                                {QStringLiteral("summary"), summary},
                                {QStringLiteral("scales"), scales}});
    }
    const QJsonObject object{
        {QStringLiteral("folder"), table.folder},
        {QStringLiteral("line"), table.line},
        {QStringLiteral("minSize"), table.minimumSize},
        {QStringLiteral("pooled"), table.pooledFiles},
        {QStringLiteral("joined"), table.joinedToOthers},
        {QStringLiteral("withheld"), table.withheldFiles},
        {QStringLiteral("subgroups"), rows},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}
