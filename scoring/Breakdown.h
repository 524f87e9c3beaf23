#pragma once

#include "Comparison.h"
#include "Disclosure.h"
#include "GroupLoader.h"
#include "Profile.h"
#include "ProfileTable.h"
#include "Statistics.h"

#include <QByteArray>
#include <QHashFunctions>
#include <QString>
#include <QStringList>
#include <array>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <vector>

// A group split by one of its details lines into subgroups, for comparing the departments (or
// positions, years of service, cities) of a folder. Members whose line holds the same text,
// blanks around it and letter case aside, form a subgroup named by the spelling most of them
// use. A subgroup smaller than the minimum size is never shown on its own, so no one can be
// recognised by it. A subgroup whose text reads like one of the table's own rows ("Прочие") is
// shown in quotes («Прочие»), so that every row's name is its own.

// The details lines a folder may be split by, as the answer file numbers them.
inline constexpr int kFirstSplitLine = 4;
inline constexpr int kLastSplitLine = 7;
inline constexpr int kSplitLineCount = kLastSplitLine - kFirstSplitLine + 1;

// The texts of the rows that are no department of their own.
QString wholeFolderName(); // "Вся папка"
QString unspecifiedName(); // "(не указано)", members whose line is empty
QString othersName();      // "Прочие", the small subgroups pooled

// The last part of a folder's path as shown, for naming a breakdown ("Компания").
QString shownFolderName(const QString &path);

// What makes two lines the same subgroup: the text without blanks around it, every run of
// blanks inside (spaces, tabs, no-break and other Unicode spaces) one space, letter case folded.
QString subgroupKey(const QString &line);

// The order of subgroup names: runs of digits by their numbers ("Отдел №2" before "Отдел №10"),
// letters regardless of case, "ё" as "е"; names equal so are ordered by their code units.
// Negative, zero or positive as a comes before, equals or comes after b.
int naturalCompare(QStringView a, QStringView b);

enum class SubgroupKind { Whole, Named, Unspecified, Others };

// One row of a breakdown: the subgroup as a group load of its members would give it, in the
// raw state (header code "0000", the date of the split, the members' list as details), only
// its name is the subgroup's.
struct Subgroup
{
    SubgroupKind kind = SubgroupKind::Named;
    LoadedProfile profile;
    // Whether its spread and tests may be shown: at least the spread minimum, and the files
    // whose spread is not shown are none or enough (spreadShownRows).
    bool spreadShown = false;
};

inline constexpr int kBreakdownColumns = kSummaryCount + kScaleScoreCount;
static_assert(kBreakdownColumns == kValueCount);

struct Breakdown
{
    int line = 0; // 4..7
    // minSize: the fewest files a shown row may have; minSpread: the fewest whose spread and
    // tests are shown; minDiff: the smallest difference marked.
    Disclosure disclosure;
    // The rows shown besides the whole folder: the subgroups of at least the minimum size,
    // largest first (equal sizes by name), then "Прочие" when it reaches the minimum.
    std::vector<Subgroup> shown;
    int pooledFiles = 0;     // files in the shown "Прочие"
    int pooledSubgroups = 0; // subgroups below the minimum among them
    // The smallest subgroup of at least the minimum size, put into "Прочие" as well when the
    // small ones alone are too few to show: withheld, the whole folder's row less the shown rows
    // would give their mean. Its row name ("(не указано)" for the empty line); empty when none
    // was.
    QString joinedToOthers;
    int withheldFiles = 0; // files counted in the whole folder's row only
    // By column: ICC(1), the share of the differences between members that lies between the
    // subgroups, and ICC(2), how reliably the subgroups' means tell them apart; over every
    // distinct subgroup, the small ones each on its own, so that they do not move with the
    // minimum size.
    std::array<std::optional<double>, kBreakdownColumns> icc1{};
    std::array<std::optional<double>, kBreakdownColumns> icc2{};
};

// Which of the shown rows (their sizes, in order) may show their spread and tests: those of the
// spread minimum, then, while the files of the others are more than none and fewer than the
// minimum, the smallest of them no longer, since the whole folder's sums of squares less the
// shown rows' would give the others' spread.
std::vector<bool> spreadShownRows(const std::vector<int> &sizes, int minSpread);

// Texts as keys, compared by their code units: Qt's own string comparison in a QHash costs more
// than the rest of a member's split.
struct TextHash
{
    std::size_t operator()(const QString &text) const noexcept { return qHash(QStringView(text)); }
};
struct TextEqual
{
    bool operator()(const QString &a, const QString &b) const noexcept
    {
        return a.size() == b.size() && std::memcmp(a.constData(), b.constData(),
                                                   std::size_t(a.size()) * sizeof(QChar)) == 0;
    }
};
using TextIndex = std::unordered_map<QString, int, TextHash, TextEqual>;

// The subgroups a details line forms, numbered 0, 1, … as they first appear: lines are the same
// subgroup by subgroupKey; each subgroup is named by its most used spelling (blanks as in
// subgroupKey), of equally used ones the first to get there.
class SubgroupNames
{
public:
    // The subgroup of a member's line, its spelling counted.
    int add(const QString &line);
    int count() const { return int(names_.size()); }
    const QString &name(int subgroup) const { return names_[std::size_t(subgroup)].text; }

private:
    struct Spelling
    {
        int subgroup = 0;
        int uses = 0;
    };
    struct Name
    {
        QString text;
        int uses = 0;
    };
    // Most members spell their line as others do: a spelling met before finds its subgroup
    // without folding its case again.
    std::unordered_map<QString, Spelling, TextHash, TextEqual> spellings_;
    TextIndex keys_;
    std::vector<Name> names_;
};

// Splits the members as they are read (a group load's MemberSink feeds it), so that a folder is
// read once. keep: whether each subgroup keeps its members, their own scores and their list in
// its details, as a group load does; without them a subgroup has its sums and means only.
class BreakdownBuilder
{
public:
    BreakdownBuilder(int line, const QString &today, Members keep = Members::Keep);
    // The next member in reading order.
    void add(const MemberProfile &member);
    // The subgroups and what the minimums leave out.
    Breakdown finish(const Disclosure &disclosure);

private:
    // A subgroup's members, its number in names_ its place in buckets_.
    struct Bucket
    {
        LoadedProfile sums;     // raw sums, not yet divided
        std::vector<int> order; // reading index of each member kept, ascending
        int lastRead = -1;      // reading index of the last member
    };
    const QString &nameOf(const Bucket &bucket) const;
    // The row names of all subgroups, each its own and none a table row's.
    void nameRows();
    Subgroup finishBucket(Bucket &bucket, SubgroupKind kind) const;
    Subgroup pooled(const std::vector<Bucket *> &buckets) const;

    int line_;
    QString today_;
    Members keep_;
    int read_ = 0;
    SubgroupNames names_;
    std::vector<Bucket> buckets_;
    std::vector<QString> rowNames_; // by subgroup, once finish has named them
};

// The breakdown of a group loaded with its members kept (its header date is the split's).
Breakdown splitGroup(const LoadedProfile &whole, int line, const Disclosure &disclosure);

// The text most members of the group have on each details line, as the subgroup it starts
// would be named ("(не указано)" when most leave it empty), for choosing the line to split by;
// a line on which no two members agree says how many different texts it holds instead.
std::array<QString, kSplitLineCount> commonDetailTexts(const LoadedProfile &whole);

// ---- the table of a breakdown: what the window, the page and the exports show

// A row in the percent state.
struct BreakdownRow
{
    QString name;
    SubgroupKind kind = SubgroupKind::Named;
    int count = 0;
    std::array<double, kSummaryCount + 1> summary{};   // 1..12
    std::array<double, kScaleScoreCount + 1> scales{}; // 1..24
    // The value of column 0..kBreakdownColumns - 1: the twelve summary values, then the scales.
    double value(int column) const;
    // The members' values, for the tests (their minimum and maximum are never shown).
    ValueMoments moments{};
    // Whether the row's spread and tests may be shown (Subgroup::spreadShown; the whole
    // folder's always).
    bool spreadShown = true;
    // Every row but the whole folder's whose spread is shown: Welch's two-sided p of the
    // subgroup against the rest of the folder, and whether the difference is marked: it holds
    // after Benjamini-Hochberg control over all tested cells of the table (an undefined p never
    // does) and is at least the minimum difference from the rest as shown.
    std::array<std::optional<double>, kValueCount> p{};
    std::array<bool, kValueCount> significant{};
};

struct BreakdownTable
{
    QString folder; // the folder's name as shown
    int line = 0;
    Disclosure disclosure;
    int pooledFiles = 0;
    QString joinedToOthers;
    int withheldFiles = 0;
    std::vector<BreakdownRow> rows; // the whole folder first
    // Breakdown::icc1 and icc2.
    std::array<std::optional<double>, kBreakdownColumns> icc1{};
    std::array<std::optional<double>, kBreakdownColumns> icc2{};
};

BreakdownRow breakdownRow(const LoadedProfile &raw, SubgroupKind kind);
// The table of a breakdown of whole, tested. A group smaller than the minimum size is not
// broken down: its one row would show its few members, so this throws a message naming folder.
BreakdownTable breakdownTable(const LoadedProfile &whole, const Breakdown &breakdown,
                              const QString &folder);
// The row of the table named name (a subgroup's header name), or nullptr.
const BreakdownRow *breakdownRowNamed(const BreakdownTable &table, const QString &name);
// The tests of the subgroup named name against the rest of the folder, as its row has them,
// for the whole folder it is shown over (ReferenceProfile::tests); none for the whole folder's
// row and a row whose spread is not shown.
std::optional<ValueTests> subgroupTests(const BreakdownTable &table, const QString &name);

// A subgroup as it is opened from its row and given to a client, by the window and the batch
// alike: anonymous (no member kept, LoadedProfile::anonymous), the whole folder's row named as
// the window names it, its spread only as its row shows it; and the whole folder it is shown
// over, carrying the row's tests against the rest of the folder.
struct OpenedSubgroup
{
    LoadedProfile profile;
    ReferenceProfile reference;
};
OpenedSubgroup openSubgroup(LoadedProfile subgroup, const LoadedProfile &whole,
                            const BreakdownTable &table);

// The title of a column: a summary value's name, or a scale's factor (II) and its base scale or
// factor (III) ("Инновация / Поощрение").
QString breakdownColumnTitle(int column);

// The tests of a table's rows whose spread is shown against the rest of the folder, from the
// rows' moments (breakdownTable fills them).
void testRowsAgainstTheRest(BreakdownTable &table);

