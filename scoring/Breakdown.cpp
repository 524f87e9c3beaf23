#include "Breakdown.h"

#include "CommandError.h"
#include "Comparison.h"
#include "Scoring.h"

#include "NumberFormat.h"
#include "ShownText.h"

#include <QDir>
#include <QStringBuilder>

#include <algorithm>
#include <charconv>
#include <cmath>

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
    return line.simplified().toCaseFolded();
}

namespace {

// Letters as the order of names sees them.
QChar orderedLetter(QChar c)
{
    const QChar folded = c.toCaseFolded();
    return folded == QChar(0x0451) ? QChar(0x0435) : folded; // ё as е
}

// The end of the run of digits from at, and where its number starts, leading zeros aside.
qsizetype digitsEnd(QStringView text, qsizetype at)
{
    while (at < text.size() && text[at].isDigit())
        ++at;
    return at;
}
qsizetype significantStart(QStringView text, qsizetype at, qsizetype end)
{
    while (at + 1 < end && text[at].digitValue() == 0)
        ++at;
    return at;
}

int sign(qsizetype value)
{
    return (value > 0) - (value < 0);
}

} // namespace

int naturalCompare(QStringView a, QStringView b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            // A number with more digits is the larger; numbers as long compare digit by digit.
            const qsizetype endA = digitsEnd(a, i), endB = digitsEnd(b, j);
            const qsizetype fromA = significantStart(a, i, endA);
            const qsizetype fromB = significantStart(b, j, endB);
            if (endA - fromA != endB - fromB)
                return sign((endA - fromA) - (endB - fromB));
            for (qsizetype k = 0; k < endA - fromA; ++k)
                if (const int d = a[fromA + k].digitValue() - b[fromB + k].digitValue())
                    return sign(d);
            i = endA;
            j = endB;
            continue;
        }
        const QChar x = orderedLetter(a[i]), y = orderedLetter(b[j]);
        if (x != y)
            return x < y ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;
    return sign(a.compare(b));
}

int SubgroupNames::add(const QString &line)
{
    const QString spelling = line.simplified();
    auto known = spellings_.find(spelling);
    if (known == spellings_.end()) {
        const auto [key, added] = keys_.try_emplace(spelling.toCaseFolded(), count());
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
    return rowNames_[std::size_t(&bucket - buckets_.data())];
}

void BreakdownBuilder::nameRows()
{
    // The keys no other row may take: the table's own rows, then each subgroup's text.
    TextIndex taken;
    for (const QString &own : {wholeFolderName(), othersName(), unspecifiedName()})
        taken.emplace(subgroupKey(own), -1);
    for (int i = 0; i < names_.count(); ++i)
        taken.emplace(subgroupKey(names_.name(i)), i);
    rowNames_.clear();
    for (int i = 0; i < names_.count(); ++i) {
        const QString &name = names_.name(i);
        if (name.isEmpty()) {
            rowNames_.push_back(unspecifiedName());
            continue;
        }
        if (taken.find(subgroupKey(name))->second == i) {
            rowNames_.push_back(name);
            continue;
        }
        // Text that reads like a table row stands in quotes, numbered should even that be
        // another subgroup's text.
        QString quoted = QStringLiteral("«%1»").arg(name);
        for (int n = 2; taken.count(subgroupKey(quoted)) > 0; ++n)
            quoted = QStringLiteral("«%1» (%2)").arg(name, QString::number(n));
        taken.emplace(subgroupKey(quoted), i);
        rowNames_.push_back(quoted);
    }
}

Subgroup BreakdownBuilder::finishBucket(Bucket &bucket, SubgroupKind kind) const
{
    Subgroup subgroup{kind, std::move(bucket.sums)};
    subgroup.profile.header.name = nameOf(bucket);
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
        sums.moments = mergedMoments(sums.moments, bucket->sums.moments);
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

std::vector<bool> spreadShownRows(const std::vector<int> &sizes, int minSpread)
{
    std::vector<bool> shown(sizes.size());
    int hidden = 0;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        shown[i] = sizes[i] >= minSpread;
        if (!shown[i])
            hidden += sizes[i];
    }
    while (hidden > 0 && hidden < minSpread) {
        std::size_t smallest = sizes.size();
        for (std::size_t i = 0; i < sizes.size(); ++i)
            if (shown[i] && (smallest == sizes.size() || sizes[i] <= sizes[smallest]))
                smallest = i;
        if (smallest == sizes.size())
            break;
        shown[smallest] = false;
        hidden += sizes[smallest];
    }
    return shown;
}

Breakdown BreakdownBuilder::finish(const Disclosure &disclosure)
{
    const int minimumSize = disclosure.minSize;
    Breakdown result;
    result.line = line_;
    result.disclosure = disclosure;
    nameRows();

    // The ICCs over every distinct subgroup as read, before the small ones are pooled.
    for (int c = 0; c < kBreakdownColumns; ++c) {
        std::vector<Moments> rows;
        rows.reserve(buckets_.size());
        for (const Bucket &bucket : buckets_)
            rows.push_back(bucket.sums.moments.value(c));
        const Icc icc = iccOf(rows);
        result.icc1[std::size_t(c)] = icc.icc1;
        result.icc2[std::size_t(c)] = icc.icc2;
    }

    std::vector<Bucket *> large;
    std::vector<Bucket *> small;
    for (Bucket &bucket : buckets_)
        (bucket.sums.count >= minimumSize ? large : small).push_back(&bucket);
    std::sort(large.begin(), large.end(), [this](const Bucket *a, const Bucket *b) {
        if (a->sums.count != b->sums.count)
            return a->sums.count > b->sums.count;
        return naturalCompare(nameOf(*a), nameOf(*b)) < 0;
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
        result.joinedToOthers = nameOf(*smallest);
        small.push_back(smallest);
    }

    for (Bucket *bucket : large) {
        const bool empty = names_.name(int(bucket - buckets_.data())).isEmpty();
        result.shown.push_back(
            finishBucket(*bucket, empty ? SubgroupKind::Unspecified : SubgroupKind::Named));
    }
    if (pool >= minimumSize && !small.empty()) {
        result.shown.push_back(pooled(small));
        result.pooledFiles = pool;
        result.pooledSubgroups = smallCount;
    } else {
        result.withheldFiles = pool;
    }
    std::vector<int> sizes;
    for (const Subgroup &subgroup : result.shown)
        sizes.push_back(subgroup.profile.count);
    const std::vector<bool> spread = spreadShownRows(sizes, disclosure.minSpread);
    for (std::size_t i = 0; i < spread.size(); ++i)
        result.shown[i].spreadShown = spread[i];
    buckets_.clear();
    names_ = {};
    rowNames_.clear();
    return result;
}

Breakdown splitGroup(const LoadedProfile &whole, int line, const Disclosure &disclosure)
{
    BreakdownBuilder builder(line, whole.header.date, Members::Keep);
    for (const MemberProfile &member : whole.members)
        builder.add(member);
    return builder.finish(disclosure);
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
        QString &text = texts[std::size_t(line - kFirstSplitLine)];
        if (most < 0)
            text.clear();
        else if (sizes[std::size_t(most)] == 1 && sizes.size() > 1)
            // No one text would stand for the line: each member's is a subgroup of one.
            text = QStringLiteral("общего текста нет, разных текстов: %1").arg(sizes.size());
        else
            text = names.name(most).isEmpty() ? unspecifiedName() : names.name(most);
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
    row.moments = raw.moments;
    return row;
}

void testRowsAgainstTheRest(BreakdownTable &table)
{
    if (table.rows.empty())
        return;
    const ValueMoments &whole = table.rows.front().moments;
    std::vector<std::optional<double>> cells;
    std::vector<double> differences;
    for (std::size_t r = 1; r < table.rows.size(); ++r) {
        BreakdownRow &row = table.rows[r];
        row.p = {};
        row.significant = {};
        if (!row.spreadShown)
            continue;
        for (int c = 0; c < kBreakdownColumns; ++c) {
            const Moments &own = row.moments.value(c);
            const Moments rest = remainderMoments(whole.value(c), own);
            row.p[std::size_t(c)] = welchP(own, rest);
            cells.push_back(row.p[std::size_t(c)]);
            differences.push_back(rest.n > 0 ? shownDifference(row.value(c), rest.mean) : 0.0);
        }
    }
    const auto adjusted = adjustBH(cells);
    std::size_t i = 0;
    for (std::size_t r = 1; r < table.rows.size(); ++r) {
        if (!table.rows[r].spreadShown)
            continue;
        for (int c = 0; c < kBreakdownColumns; ++c, ++i)
            table.rows[r].significant[std::size_t(c)] =
                differenceMarked(adjusted[i] && *adjusted[i] < kSignificanceLevel,
                                 differences[i], table.disclosure);
    }
}

BreakdownTable breakdownTable(const LoadedProfile &whole, const Breakdown &breakdown,
                              const QString &folder)
{
    if (whole.count < breakdown.disclosure.minSize)
        throw CommandError(QStringLiteral("Cannot split %1 into subgroups: it has %2 %3, fewer "
                                          "than the smallest subgroup shown (--min-size %4), "
                                          "and its one row would show them")
                               .arg(folder)
                               .arg(whole.count)
                               .arg(whole.count == 1 ? QStringLiteral("file")
                                                     : QStringLiteral("files"))
                               .arg(breakdown.disclosure.minSize));
    BreakdownTable table;
    table.folder = folder;
    table.line = breakdown.line;
    table.disclosure = breakdown.disclosure;
    table.pooledFiles = breakdown.pooledFiles;
    table.joinedToOthers = breakdown.joinedToOthers;
    table.withheldFiles = breakdown.withheldFiles;
    table.rows.reserve(breakdown.shown.size() + 1);
    table.rows.push_back(breakdownRow(whole, SubgroupKind::Whole));
    for (const Subgroup &subgroup : breakdown.shown) {
        table.rows.push_back(breakdownRow(subgroup.profile, subgroup.kind));
        table.rows.back().spreadShown = subgroup.spreadShown;
    }
    table.icc1 = breakdown.icc1;
    table.icc2 = breakdown.icc2;
    testRowsAgainstTheRest(table);
    return table;
}

const BreakdownRow *breakdownRowNamed(const BreakdownTable &table, const QString &name)
{
    for (const BreakdownRow &row : table.rows)
        if (row.name == name)
            return &row;
    return nullptr;
}

std::optional<ValueTests> subgroupTests(const BreakdownTable &table, const QString &name)
{
    const BreakdownRow *row = breakdownRowNamed(table, name);
    if (!row || row->kind == SubgroupKind::Whole || !row->spreadShown)
        return std::nullopt;
    return ValueTests{row->p, row->significant};
}

QString breakdownColumnTitle(int column)
{
    if (column < kSummaryCount)
        return ProfileStore::SummaryNames(column + 1);
    return scaleCaption(column - kSummaryCount + 1);
}


OpenedSubgroup openSubgroup(LoadedProfile subgroup, const LoadedProfile &whole,
                            const BreakdownTable &table)
{
    // Whatever the client is given of a subgroup holds no member's name, code, file or own
    // values: the minimum size would mean nothing otherwise.
    if (subgroup.count == whole.count && subgroup.header.name == groupName())
        subgroup.header.name = wholeFolderName();
    const BreakdownRow *row = breakdownRowNamed(table, subgroup.header.name);
    makeAnonymous(subgroup, row && row->spreadShown);
    ReferenceProfile reference = referenceOf(whole, table.folder);
    reference.tests = subgroupTests(table, subgroup.header.name);
    return {std::move(subgroup), std::move(reference)};
}
