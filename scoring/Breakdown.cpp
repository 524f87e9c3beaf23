#include "Breakdown.h"

#include "Comparison.h"
#include "Scoring.h"

#include "NumberFormat.h"
#include "ShownText.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringBuilder>
#include <algorithm>
#include <charconv>

namespace {

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

int SubgroupNames::add(const QString &line)
{
    const QString spelling = line.trimmed();
    auto known = spellings_.find(spelling);
    if (known == spellings_.end()) {
        const auto [key, added] = keys_.try_emplace(subgroupKey(spelling), count());
        if (added)
            names_.emplace_back();
        known = spellings_.emplace(spelling, Spelling{key->second, 0}).first;
    }
    Name &name = names_[std::size_t(known->second.subgroup)];
    if (++known->second.uses > name.uses) {
        name.uses = known->second.uses;
        // The index's own copy, rather than each member's text in turn.
        name.text = known->first;
    }
    return known->second.subgroup;
}

// ---- splitting

BreakdownBuilder::BreakdownBuilder(int line, const QString &today, Members keep)
    : line_(line), today_(today), keep_(keep)
{
}

void BreakdownBuilder::add(const MemberProfile &member)
{
    const int subgroup = names_.add(detailText(member, line_));
    if (subgroup == int(buckets_.size()))
        buckets_.push_back({startGroup(today_), {}, -1});
    Bucket &bucket = buckets_[std::size_t(subgroup)];
    addMemberScores(bucket.sums, member.store);
    bucket.lastRead = read_;
    if (keep_ == Members::Keep) {
        bucket.sums.header.details << memberDetailsLine(member.header);
        bucket.order.push_back(read_);
        bucket.sums.members.push_back(member);
    }
    ++read_;
}

const QString &BreakdownBuilder::nameOf(const Bucket &bucket) const
{
    return names_.name(int(&bucket - buckets_.data()));
}

Subgroup BreakdownBuilder::finishBucket(Bucket &bucket, SubgroupKind kind) const
{
    const QString name = kind == SubgroupKind::Unspecified ? unspecifiedName() : nameOf(bucket);
    Subgroup subgroup{kind, std::move(bucket.sums)};
    subgroup.profile.header.name = name;
    finishGroupMeans(subgroup.profile);
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
    Subgroup others{SubgroupKind::Others, startGroup(today_)};
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
    finishGroupMeans(sums);
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
    std::sort(large.begin(), large.end(), [this](const Bucket *a, const Bucket *b) {
        if (a->sums.count != b->sums.count)
            return a->sums.count > b->sums.count;
        const QString &nameA = nameOf(*a);
        const QString &nameB = nameOf(*b);
        const int byName = QString::compare(nameA, nameB, Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : nameA < nameB;
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
        const QString &name = nameOf(*smallest);
        result.joinedToOthers = name.isEmpty() ? unspecifiedName() : name;
        small.push_back(smallest);
    }

    for (Bucket *bucket : large)
        result.shown.push_back(finishBucket(
            *bucket, nameOf(*bucket).isEmpty() ? SubgroupKind::Unspecified : SubgroupKind::Named));
    if (pool >= minimumSize && !small.empty()) {
        result.shown.push_back(pooled(small));
        result.pooledFiles = pool;
        result.pooledSubgroups = smallCount;
    } else {
        result.withheldFiles = pool;
    }
    buckets_.clear();
    names_ = {};
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
    std::array<QString, kSplitLineCount> texts;
    for (int line = kFirstSplitLine; line <= kLastSplitLine; ++line) {
        SubgroupNames names;
        std::vector<int> sizes;
        for (const MemberProfile &member : whole.members) {
            const int subgroup = names.add(detailText(member, line));
            if (subgroup == int(sizes.size()))
                sizes.push_back(0);
            ++sizes[std::size_t(subgroup)];
        }
        // The largest subgroup; of equal ones the first met.
        int most = -1;
        for (int i = 0; i < int(sizes.size()); ++i)
            if (most < 0 || sizes[std::size_t(i)] > sizes[std::size_t(most)])
                most = i;
        texts[std::size_t(line - kFirstSplitLine)] = most < 0 ? QString()
                                                     : names.name(most).isEmpty()
                                                         ? unspecifiedName()
                                                         : names.name(most);
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
    table.joinedToOthers = breakdown.joinedToOthers;
    table.withheldFiles = breakdown.withheldFiles;
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
    const QString joined = shownBeginning(table.joinedToOthers, kQuoted);
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
