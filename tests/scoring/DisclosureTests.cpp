// What VORL publishes about a subgroup: which rows may show their spread and tests, that every
// output follows that one rule, that the anonymous subgroup forgets what it must where it is
// made, and breakdowns of folders whose figures are undefined.
#include "Breakdown.h"
#include "BreakdownOutput.h"
#include "CommandError.h"
#include "Comparison.h"
#include "Disclosure.h"
#include "GroupLoader.h"
#include "GroupTexts.h"
#include "ProfileJson.h"
#include "ProfileTable.h"
#include "Scoring.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

const QString kToday = QStringLiteral("01.06.2031");

// A department of count members whose answers lie around level (or all equal level when
// constant), each member's own.
struct Department
{
    QString name;
    int count;
    int level;
    bool constant = false;
};

MemberProfile memberOf(const QString &department, const std::array<int, kAnswerCount> &answers,
                       int number)
{
    MemberProfile member;
    member.file = QStringLiteral("m%1.txt").arg(number);
    member.header.name = QStringLiteral("Член %1").arg(number);
    member.header.details = {department, {}, {}, {}};
    addAnswers(answers, member.store);
    return member;
}

std::vector<MemberProfile> membersOf(const std::vector<Department> &departments)
{
    std::mt19937 random(11);
    std::vector<MemberProfile> members;
    for (const Department &d : departments)
        for (int m = 0; m < d.count; ++m) {
            std::array<int, kAnswerCount> answers{};
            for (int &a : answers)
                a = d.constant
                        ? d.level
                        : std::clamp(d.level + int(random() % 3) - 1 + int(random() % 2), 1, 7);
            members.push_back(memberOf(d.name, answers, int(members.size())));
        }
    return members;
}

LoadedProfile groupOf(const std::vector<MemberProfile> &members)
{
    LoadedProfile group = startGroup(kToday);
    for (const MemberProfile &member : members) {
        addMemberScores(group, member.store);
        group.header.details << memberDetailsLine(member.header);
        group.members.push_back(member);
    }
    finishGroupMeans(group);
    return group;
}

// ---- which rows show their spread: the spread minimum, then enough files left hidden

struct SpreadCase
{
    const char *name;
    std::vector<int> sizes;
    int minSpread;
    std::vector<bool> shown;
};

class SpreadMinimumRule : public testing::TestWithParam<SpreadCase>
{
};

TEST_P(SpreadMinimumRule, HidesTheSmallAndWhatWouldGiveThemAway)
{
    EXPECT_EQ(spreadShownRows(GetParam().sizes, GetParam().minSpread), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SpreadMinimumRule,
    testing::Values(
        SpreadCase{"all_at_the_minimum", {9, 8}, 8, {true, true}},
        SpreadCase{"small_ones_enough_together", {12, 9, 5, 4}, 8, {true, true, false, false}},
        // The whole folder less the shown rows would be the three members' spread.
        SpreadCase{"one_small_row_hides_the_smallest_large", {12, 9, 3}, 8, {true, false, false}},
        SpreadCase{"hidden_until_enough", {20, 5}, 8, {false, false}},
        SpreadCase{"minimum_as_the_size_minimum", {5, 3}, 3, {true, true}},
        SpreadCase{"no_rows", {}, 8, {}}),
    [](const auto &row) { return std::string(row.param.name); });

// ---- every output of a subgroup follows the rule

// A folder of departments of 12, 9, 5, 3 and 1 files, split by its line 4: «Прочие» takes the
// 3 and the 1; the spread minimum 8 leaves the 5 and «Прочие» (9 files together) without spread.
class DisclosedFolder
{
public:
    DisclosedFolder()
        : members_(membersOf({{"Продажи", 12, 5},
                              {"Склад", 9, 2},
                              {"Офис", 5, 4},
                              {"Охрана", 3, 3},
                              {"Бухгалтерия", 1, 6}})),
          whole_(groupOf(members_))
    {
        BreakdownBuilder builder(kFirstSplitLine, kToday, Members::Keep);
        for (const MemberProfile &m : members_)
            builder.add(m);
        breakdown_ = builder.finish(Disclosure{});
        table_ = breakdownTable(whole_, breakdown_, QStringLiteral("Компания"));
    }

    const BreakdownTable &table() const { return table_; }
    const Breakdown &breakdown() const { return breakdown_; }
    const LoadedProfile &whole() const { return whole_; }
    // The subgroup of row (1..) as the window and the batch open it.
    LoadedProfile opened(std::size_t row) const
    {
        const Subgroup &subgroup = breakdown_.shown.at(row - 1);
        LoadedProfile profile = subgroup.profile;
        makeAnonymous(profile, subgroup.spreadShown);
        return profile;
    }
    ReferenceProfile wholeReference(const QString &name) const
    {
        ReferenceProfile reference = referenceOf(whole_, table_.folder);
        reference.tests = subgroupTests(table_, name);
        return reference;
    }
    const MemberProfile &someone() const { return members_.front(); }

private:
    std::vector<MemberProfile> members_;
    LoadedProfile whole_;
    Breakdown breakdown_;
    BreakdownTable table_;
};

struct Output
{
    const char *name;
    // Whether the output shows anything of row's spread or tests.
    std::function<bool(const DisclosedFolder &, std::size_t row)> showsSpread;
};

class EveryOutput : public testing::TestWithParam<Output>
{
};

TEST_P(EveryOutput, ShowsSpreadAndTestsOnlyFromTheSpreadMinimum)
{
    const DisclosedFolder folder;
    const std::vector<BreakdownRow> &rows = folder.table().rows;
    ASSERT_EQ(rows.size(), 5u);
    const std::vector<bool> expected{true, true, false, false};
    for (std::size_t r = 1; r < rows.size(); ++r)
        EXPECT_EQ(GetParam().showsSpread(folder, r), expected[r - 1])
            << rows[r].name.toStdString() << " (" << rows[r].count << ")";
}

QJsonObject jsonOf(const QByteArray &bytes)
{
    return QJsonDocument::fromJson(bytes).object();
}

bool anyNonNull(const QJsonValue &value)
{
    if (value.isArray()) {
        for (const QJsonValue &v : value.toArray())
            if (anyNonNull(v))
                return true;
        return false;
    }
    if (value.isObject()) {
        for (const QJsonValue &v : value.toObject())
            if (anyNonNull(v))
                return true;
        return false;
    }
    return !value.isNull() && !value.isUndefined();
}

INSTANTIATE_TEST_SUITE_P(
    Table, EveryOutput,
    testing::Values(
        Output{
            "breakdown_csv",
            [](const DisclosedFolder &f, std::size_t row) {
                const QList<QByteArray> cells =
                    breakdownCsv(f.table(), scriptCsv()).split('\n')[qsizetype(row) + 1].split(',');
                // After name, count and the 36 values: 36 p and 36 marks.
                return std::any_of(cells.begin() + 2 + kBreakdownColumns, cells.end(),
                                   [](const QByteArray &c) { return !c.trimmed().isEmpty(); });
            }},
        Output{"breakdown_json",
               [](const DisclosedFolder &f, std::size_t row) {
                   const QJsonObject r = jsonOf(breakdownJson(f.table()))["subgroups"]
                                             .toArray()[qsizetype(row)]
                                             .toObject();
                   return anyNonNull(r["p"]) || anyNonNull(r["significant"]);
               }},
        Output{"subgroup_table_csv",
               [](const DisclosedFolder &f, std::size_t row) {
                   return profileCsv(f.opened(row), scriptCsv()).contains("\r\nsd,");
               }},
        Output{"subgroup_json",
               [](const DisclosedFolder &f, std::size_t row) {
                   LoadedProfile subgroup = f.opened(row);
                   convertToPercent(subgroup.store);
                   const QJsonObject json = jsonOf(profileJson(subgroup, {}));
                   QJsonObject spread = json["spread"].toObject();
                   for (const QString kind : {"summary", "scales"}) {
                       QJsonArray columns = spread[kind].toArray();
                       for (qsizetype i = 0; i < columns.size(); ++i) {
                           QJsonObject column = columns[i].toObject();
                           column.remove("n");
                           column.remove("mean");
                           columns[i] = column;
                       }
                       spread[kind] = columns;
                   }
                   return anyNonNull(spread) || anyNonNull(json["agreement"]);
               }},
        Output{"comparison_with_the_whole_folder",
               [](const DisclosedFolder &f, std::size_t row) {
                   LoadedProfile subgroup = f.opened(row);
                   convertToPercent(subgroup.store);
                   const ComparisonStatistics s =
                       comparisonStatistics(subgroup.store, &subgroup.moments,
                                            f.wholeReference(subgroup.header.name), Disclosure{});
                   // The heat map's own p, against the rest of the folder.
                   if (s.kind == ComparisonStatistics::Kind::Tests) {
                       EXPECT_EQ(s.tests.p, f.table().rows[row].p);
                   }
                   return s.kind == ComparisonStatistics::Kind::Tests;
               }},
        Output{"respondent_placed_in_the_subgroup",
               [](const DisclosedFolder &f, std::size_t row) {
                   ProfileStore respondent = f.someone().store;
                   convertToPercent(respondent);
                   return comparisonStatistics(respondent, nullptr, referenceOf(f.opened(row)),
                                               Disclosure{})
                              .kind == ComparisonStatistics::Kind::Percentile;
               }}),
    [](const auto &row) { return std::string(row.param.name); });

// The rule where it is made: an anonymous subgroup keeps no minimum or maximum anywhere, and
// below the spread minimum no spread at all.
TEST(Anonymity, MadeAnonymousKeepsNothingThatNamesAMember)
{
    const DisclosedFolder folder;
    for (const bool showSpread : {true, false}) {
        LoadedProfile subgroup = folder.breakdown().shown.front().profile;
        makeAnonymous(subgroup, showSpread);
        SCOPED_TRACE(showSpread);
        EXPECT_TRUE(subgroup.anonymous);
        EXPECT_TRUE(subgroup.members.empty());
        EXPECT_EQ(subgroup.moments.spreadWithheld(), !showSpread);
        const auto check = [&](const Moments &m) {
            EXPECT_EQ(m.min, 0);
            EXPECT_EQ(m.max, 0);
            EXPECT_EQ(m.sd().has_value(), showSpread);
            EXPECT_EQ(m.ci95().has_value(), showSpread);
        };
        std::for_each(subgroup.moments.summary.begin(), subgroup.moments.summary.end(), check);
        std::for_each(subgroup.moments.scales.begin(), subgroup.moments.scales.end(), check);
        std::for_each(subgroup.moments.answers.begin(), subgroup.moments.answers.end(), check);
        ASSERT_EQ(subgroup.spread.size(), std::size_t(kTableNumberColumns));
        for (const Spread &s : subgroup.spread) {
            EXPECT_EQ(s.min, 0);
            EXPECT_EQ(s.max, 0);
            if (!showSpread) {
                EXPECT_EQ(s.sd, 0);
            }
        }
        convertToPercent(subgroup.store);
        const QByteArray json = profileJson(subgroup, {});
        EXPECT_FALSE(jsonOf(json)["details"].toString().contains(QStringLiteral("Член")));
        const QJsonObject first =
            jsonOf(json)["spread"].toObject()["summary"].toArray()[0].toObject();
        EXPECT_TRUE(first["min"].isNull());
        EXPECT_TRUE(first["max"].isNull());
    }
}

// ---- folders whose figures are undefined, or too small to break down

struct DegenerateCase
{
    const char *name;
    std::vector<Department> departments;
    int minSize;
    bool refused;
    bool icc1Defined;
    bool icc2Defined;
};

class DegenerateFolder : public testing::TestWithParam<DegenerateCase>
{
};

TEST_P(DegenerateFolder, RefusedOrUndefinedNeverANumber)
{
    const DegenerateCase &c = GetParam();
    const std::vector<MemberProfile> members = membersOf(c.departments);
    const LoadedProfile whole = groupOf(members);
    const Disclosure disclosure{c.minSize, std::max(c.minSize, kDefaultMinimumSpread)};
    const Breakdown breakdown = splitGroup(whole, kFirstSplitLine, disclosure);
    if (c.refused) {
        EXPECT_THROW(breakdownTable(whole, breakdown, QStringLiteral("Компания")), CommandError);
        return;
    }
    const BreakdownTable table = breakdownTable(whole, breakdown, QStringLiteral("Компания"));
    for (int column = 0; column < kBreakdownColumns; ++column) {
        EXPECT_EQ(table.icc1[std::size_t(column)].has_value(), c.icc1Defined) << column;
        EXPECT_EQ(table.icc2[std::size_t(column)].has_value(), c.icc2Defined) << column;
        if (!c.icc1Defined) {
            EXPECT_EQ(breakdownShareText(table.icc1[std::size_t(column)]), QStringLiteral("—"));
        }
    }
    const QList<QByteArray> lines = breakdownCsv(table, scriptCsv()).split('\n');
    EXPECT_EQ(lines[lines.size() - 2].startsWith("icc2,,,"), !c.icc2Defined);
    const QJsonObject json = jsonOf(breakdownJson(table));
    EXPECT_EQ(json["icc1"]["summary"].toArray()[0].isNull(), !c.icc1Defined);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DegenerateFolder,
    testing::Values(DegenerateCase{"one_file", {{"Склад", 1, 4}}, 3, true, false, false},
                    DegenerateCase{"fewer_files_than_the_minimum",
                                   {{"Склад", 1, 4}, {"Офис", 1, 5}},
                                   3,
                                   true,
                                   false,
                                   false},
                    // No difference anywhere: 0/0, not 1 and "100".
                    DegenerateCase{"identical_files_split_6_and_4",
                                   {{"Склад", 6, 4, true}, {"Офис", 4, 4, true}},
                                   3,
                                   false,
                                   false,
                                   false},
                    // Equal means: ICC(2) would divide by rounding (-3.8e+30).
                    DegenerateCase{"equal_means",
                                   {{"Склад", 2, 3, true},
                                    {"Склад", 2, 5, true},
                                    {"Офис", 2, 5, true},
                                    {"Офис", 2, 3, true}},
                                   2,
                                   false,
                                   true,
                                   false}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(Icc, OverEverySubgroupWhateverTheMinimumSize)
{
    const std::vector<MemberProfile> members =
        membersOf({{"А", 9, 6}, {"Б", 6, 2}, {"В", 2, 4}, {"Г", 1, 1}, {"Д", 2, 7}, {"Е", 4, 3}});
    const LoadedProfile whole = groupOf(members);
    const auto icc = [&](int minSize) {
        return breakdownTable(whole,
                              splitGroup(whole, kFirstSplitLine, Disclosure{minSize, minSize}),
                              QStringLiteral("Компания"))
            .icc1;
    };
    const auto everyOne = icc(1);
    EXPECT_TRUE(everyOne[0].has_value());
    EXPECT_EQ(icc(3), everyOne);
    EXPECT_EQ(icc(5), everyOne);
}

} // namespace
