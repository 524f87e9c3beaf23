// Breakdowns: which members form a subgroup and what it is named, which subgroups the minimum
// size lets show, and that every subgroup is what a group load of its members gives.

#include "AnswerFiles.h"
#include "Breakdown.h"
#include "BreakdownOutput.h"
#include "GroupLoader.h"
#include "GroupSource.h"
#include "GroupTexts.h"
#include "Scoring.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

using testfiles::Questionnaire;

namespace {

const QString kToday = QStringLiteral("01.06.2031");

// A member whose details line 4 is text; its answers tell members apart.
MemberProfile memberWith(const QString &text, int seed = 4, int line = kFirstSplitLine)
{
    MemberProfile member;
    member.file = QStringLiteral("m%1.txt").arg(seed);
    member.header.name = QStringLiteral("Член %1").arg(seed);
    member.header.details = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                             QStringLiteral("d")};
    member.header.details[line - kFirstSplitLine] = text;
    member.store.Answers.fill(std::uint8_t(1 + seed % 7));
    member.store.SummaryScores.fill(8.0 * (1 + seed % 7));
    addScaleSums(member.store);
    return member;
}

struct NameAndCount
{
    QString name;
    int count;
    bool operator==(const NameAndCount &) const = default;
};

void PrintTo(const NameAndCount &row, std::ostream *os)
{
    *os << row.name.toStdString() << " x" << row.count;
}

std::vector<NameAndCount> shownOf(const Breakdown &breakdown)
{
    std::vector<NameAndCount> rows;
    for (const Subgroup &subgroup : breakdown.shown)
        rows.push_back({subgroup.profile.header.name, subgroup.profile.count});
    return rows;
}

// Members of different subgroups take turns, as files of a folder do.
QStringList interleaved(const std::vector<std::pair<QString, int>> &subgroups)
{
    int total = 0;
    for (const auto &subgroup : subgroups)
        total += subgroup.second;
    QStringList texts;
    for (int round = 0; texts.size() < total; ++round)
        for (const auto &[name, count] : subgroups)
            if (round < count)
                texts << name;
    return texts;
}

Breakdown split(const QStringList &texts, int minimumSize, int line = kFirstSplitLine)
{
    BreakdownBuilder builder(line, kToday, Members::Keep);
    int seed = 0;
    for (const QString &text : texts)
        builder.add(memberWith(text, seed++, line));
    return builder.finish(Disclosure{minimumSize, std::max(minimumSize, kDefaultMinimumSpread)});
}

} // namespace

// ---- which members form a subgroup, and its name

struct GroupingCase
{
    const char *name;
    QStringList texts; // line 4 of each member, in reading order
    std::vector<NameAndCount> shown;
};

void PrintTo(const GroupingCase &c, std::ostream *os)
{
    *os << c.name;
}

class GroupingRule : public testing::TestWithParam<GroupingCase>
{
};

TEST_P(GroupingRule, FormsAndNamesSubgroups)
{
    EXPECT_EQ(shownOf(split(GetParam().texts, 1)), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GroupingRule,
    testing::Values(
        GroupingCase{"blanks_around_the_text", {"Склад", "  Склад", "Склад \t"}, {{"Склад", 3}}},
        GroupingCase{
            "blanks_around_the_most_used_spelling", {" Склад", "Склад ", " Склад"}, {{"Склад", 3}}},
        GroupingCase{"blank_runs_of_any_kind_are_one_blank",
                     {"Отдел\u00a0\u00a0продаж", "Отдел продаж", "Отдел \t продаж",
                      "\u2003Отдел\u2002\u00a0продаж", "Отдел\u00a0\u00a0продаж"},
                     {{"Отдел продаж", 5}}},
        GroupingCase{"letter_case",
                     {"ОТДЕЛ ПРОДАЖ", "отдел продаж", "Отдел Продаж", "Отдел продаж"},
                     {{"ОТДЕЛ ПРОДАЖ", 4}}},
        GroupingCase{"most_frequent_spelling",
                     {"склад", "Склад", "СКЛАД", "Склад", "склад "},
                     {{"Склад", 5}}},
        // "Склад" reaches two uses before "склад" does.
        GroupingCase{"equal_spellings_the_first_to_get_there",
                     {"склад", "Склад", "Склад", "склад"},
                     {{"Склад", 4}}},
        GroupingCase{"empty_and_blank_lines_are_unspecified",
                     {"", "Склад", "   ", "\t"},
                     {{"(не указано)", 3}, {"Склад", 1}}},
        // The literal «Прочие» keeps its text; "Прочие" quoted takes a number.
        GroupingCase{"texts_like_table_rows_quoted",
                     {"Прочие", "ВСЯ  ПАПКА", "(не указано)", "", "«Прочие»", "  вся папка"},
                     {{"«ВСЯ ПАПКА»", 2},
                      {"(не указано)", 1},
                      {"«(не указано)»", 1},
                      {"«Прочие»", 1},
                      {"«Прочие» (2)", 1}}},
        GroupingCase{"numbers_in_natural_order",
                     {"Отдел №10", "Отдел №2", "Отдел №100", "отдел №1"},
                     {{"отдел №1", 1}, {"Отдел №2", 1}, {"Отдел №10", 1}, {"Отдел №100", 1}}},
        GroupingCase{"leading_zeros_read_as_the_number",
                     {"Отдел 10", "Отдел 007", "Отдел 9"},
                     {{"Отдел 007", 1}, {"Отдел 9", 1}, {"Отдел 10", 1}}},
        GroupingCase{"yo_ordered_as_ye", {"Ель", "Ёлка"}, {{"Ёлка", 1}, {"Ель", 1}}},
        GroupingCase{"largest_first_then_by_name",
                     {"Б", "в", "А", "Б", "А", "Б", "Г"},
                     {{"Б", 3}, {"А", 2}, {"в", 1}, {"Г", 1}}},
        GroupingCase{"cyrillic_case_and_yo_kept_apart",
                     {"Ёлка", "ёЛКА", "Елка"},
                     {{"Ёлка", 2}, {"Елка", 1}}}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(Breakdown, SplitsByTheLineAsked)
{
    const Breakdown byCity = split({"Пермь", "Тула", "пермь"}, 1, 7);
    EXPECT_EQ(byCity.line, 7);
    EXPECT_EQ(shownOf(byCity), (std::vector<NameAndCount>{{"Пермь", 2}, {"Тула", 1}}));
}

TEST(Breakdown, CommonDetailTextsOfEachLine)
{
    LoadedProfile whole;
    const auto add = [&](const QStringList &details) {
        MemberProfile member;
        member.header.details = details;
        whole.members.push_back(member);
    };
    add({"Склад", "", "5 лет", "Пермь"});
    add({"склад ", "", "3 года", "Тула"});
    add({"Бухгалтерия", "инженер", "2 года", "тула"});
    add({"Бухгалтерия", "", "1 год", "Пермь"});
    EXPECT_EQ(commonDetailTexts(whole),
              (std::array<QString, kSplitLineCount>{
                  "Склад", "(не указано)", "общего текста нет, разных текстов: 4", "Пермь"}));
}

// ---- the minimum size

struct MinimumCase
{
    const char *name;
    std::vector<std::pair<QString, int>> subgroups; // members per subgroup
    int minimum;
    std::vector<NameAndCount> shown;
    int pooled;
    int withheld;
    QString joined;
};

void PrintTo(const MinimumCase &c, std::ostream *os)
{
    *os << c.name;
}

class MinimumSizeRule : public testing::TestWithParam<MinimumCase>
{
};

TEST_P(MinimumSizeRule, ShowsPoolsAndWithholds)
{
    const MinimumCase &c = GetParam();
    const QStringList texts = interleaved(c.subgroups);
    const Breakdown breakdown = split(texts, c.minimum);
    EXPECT_EQ(shownOf(breakdown), c.shown);
    EXPECT_EQ(breakdown.pooledFiles, c.pooled);
    EXPECT_EQ(breakdown.withheldFiles, c.withheld);
    EXPECT_EQ(breakdown.joinedToOthers, c.joined);
    // Every member is in one shown row or withheld, never in two.
    int counted = breakdown.withheldFiles;
    for (const Subgroup &subgroup : breakdown.shown)
        counted += subgroup.profile.count;
    EXPECT_EQ(counted, texts.size());
}

INSTANTIATE_TEST_SUITE_P(
    Table, MinimumSizeRule,
    testing::Values(
        MinimumCase{
            "at_the_minimum_shown", {{"А", 3}, {"Б", 4}}, 3, {{"Б", 4}, {"А", 3}}, 0, 0, {}},
        MinimumCase{"one_below_the_minimum_pooled",
                    {{"А", 5}, {"Б", 2}, {"В", 1}},
                    3,
                    {{"А", 5}, {"Прочие", 3}},
                    3,
                    0,
                    {}},
        MinimumCase{"others_at_the_minimum_shown",
                    {{"А", 4}, {"Б", 1}, {"", 1}, {"В", 1}},
                    3,
                    {{"А", 4}, {"Прочие", 3}},
                    3,
                    0,
                    {}},
        MinimumCase{"others_just_below_alone_withheld", {{"А", 2}}, 3, {}, 0, 2, {}},
        MinimumCase{"others_just_below_all_small_withheld", {{"А", 1}, {"Б", 1}}, 3, {}, 0, 2, {}},
        // Withheld, they would be the whole folder less the shown rows: the smallest shown
        // subgroup joins them.
        MinimumCase{"others_just_below_take_the_smallest_shown",
                    {{"А", 6}, {"Г", 4}, {"Д", 4}, {"Б", 1}, {"В", 1}},
                    3,
                    {{"А", 6}, {"Г", 4}, {"Прочие", 6}},
                    6,
                    0,
                    "Д"},
        MinimumCase{"unspecified_joined_by_its_name",
                    {{"А", 6}, {"", 3}, {"Б", 1}},
                    3,
                    {{"А", 6}, {"Прочие", 4}},
                    4,
                    0,
                    "(не указано)"},
        MinimumCase{
            "only_small_subgroups_pooled", {{"А", 2}, {"Б", 2}}, 3, {{"Прочие", 4}}, 4, 0, {}},
        MinimumCase{"minimum_one_shows_every_subgroup",
                    {{"А", 1}, {"Б", 1}},
                    1,
                    {{"А", 1}, {"Б", 1}},
                    0,
                    0,
                    {}}),
    [](const auto &row) { return std::string(row.param.name); });

// ---- what the notes say was left out: the joined subgroup by its row name, withheld files
// even when only one is

TEST(Breakdown, NotesSayWhatWasLeftOut)
{
    const struct
    {
        std::vector<std::pair<QString, int>> subgroups;
        QString joined;      // named in a note, empty for no such note
        QString noSpread;    // the subgroups without spread for their size
        QString spreadTaken; // and those that lose it to keep them hidden
    } cases[] = {{{{"А", 3}, {"Б", 2}, {"В", 1}}, {}, "«А», «Прочие»", {}},
                 {{{"А", 4}, {"Б", 1}}, "А", "«Прочие»", {}},
                 {{{"", 4}, {"Б", 1}}, "(не указано)", "«Прочие»", {}},
                 {{{"А", 12}, {"Б", 9}, {"В", 3}}, {}, "«В»", "«Б»"},
                 {{{"А", 8}, {"Б", 9}}, {}, {}, {}}};
    for (const auto &c : cases) {
        const QStringList texts = interleaved(c.subgroups);
        LoadedProfile whole;
        whole.count = int(texts.size());
        const QStringList notes =
            breakdownNotes(breakdownTable(whole, split(texts, 3), "Компания"));
        SCOPED_TRACE(notes.join('\n').toStdString());
        const qsizetype joined = notes.filter("включена также подгруппа").size();
        EXPECT_EQ(joined, c.joined.isEmpty() ? 0 : 1);
        EXPECT_EQ(notes.filter("включена также подгруппа «" + c.joined + "».").size(), joined);
        const QStringList small = notes.filter("не меньше 8 файлов");
        EXPECT_EQ(small.isEmpty()
                      ? QString()
                      : small.front().section(": у ", 1).section(" они", 0, 0).section(' ', 1),
                  c.noSpread);
        const QStringList taken = notes.filter("он не показан и у");
        EXPECT_EQ(taken.isEmpty() ? QString()
                                  : taken.front().section(" и у ", 1).section(' ', 1).chopped(1),
                  c.spreadTaken);
    }
}

// ---- subgroups against group loads of their members

class BreakdownFolderTest : public testing::Test
{
protected:
    // Writes the member into the folder and, by its subgroup, into a folder of its own.
    void write(const QString &file, const QString &department, int answer, const QString &own)
    {
        Questionnaire q = Questionnaire::uniform(answer);
        q.name = file;
        q.code = QString::number(answer);
        q.details[0] = department;
        q.answers[3] = 7 - answer % 7;
        q.totals[2] = 10 + answer;
        q.write(dir.filePath(QStringLiteral("company/") + file));
        QDir().mkpath(dir.filePath(own));
        q.write(dir.filePath(own + QLatin1Char('/') + file));
    }

    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(dir.filePath("company")));
        // Reading order is by file name: the subgroups' members interleave.
        write("a1.txt", "Склад", 2, "склад");
        write("a2.txt", "Бухгалтерия", 5, "прочие");
        write("a3.txt", " склад", 3, "склад");
        write("a4.txt", "Юристы", 6, "прочие");
        write("a5.txt", "СКЛАД", 7, "склад");
        write("a6.txt", "", 1, "прочие");
        write("a7.txt", "Склад", 4, "склад");
        write("a8.txt", "Бухгалтерия", 2, "прочие");
    }

    static void expectSameGroup(const LoadedProfile &split, const LoadedProfile &direct)
    {
        EXPECT_EQ(split.store, direct.store);
        EXPECT_EQ(split.meanAnswers, direct.meanAnswers);
        EXPECT_EQ(split.count, direct.count);
        EXPECT_TRUE(split.group);
        EXPECT_EQ(split.header.code, direct.header.code);
        EXPECT_EQ(split.header.date, direct.header.date);
        EXPECT_EQ(split.header.details, direct.header.details);
        ASSERT_EQ(split.members.size(), direct.members.size());
        for (std::size_t i = 0; i < split.members.size(); ++i) {
            EXPECT_EQ(split.members[i].file, direct.members[i].file);
            EXPECT_EQ(split.members[i].header, direct.members[i].header);
            EXPECT_EQ(split.members[i].store, direct.members[i].store);
        }
    }

    QTemporaryDir dir;
};

TEST_F(BreakdownFolderTest, SubgroupsMatchGroupLoadsOfTheirMembers)
{
    const LoadedProfile whole = loadGroup(dir.filePath("company"), kToday);
    const Breakdown breakdown = splitGroup(whole, 4, Disclosure{3});
    ASSERT_EQ(shownOf(breakdown), (std::vector<NameAndCount>{{"Склад", 4}, {"Прочие", 4}}));
    expectSameGroup(breakdown.shown[0].profile, loadGroup(dir.filePath("склад"), kToday));
    expectSameGroup(breakdown.shown[1].profile, loadGroup(dir.filePath("прочие"), kToday));
    EXPECT_EQ(breakdown.shown[1].kind, SubgroupKind::Others);
    EXPECT_EQ(breakdown.pooledSubgroups, 3);
}

TEST_F(BreakdownFolderTest, SplitAsReadMatchesTheSplitOfTheLoad)
{
    // The command line's way: members summed as the group load reads them, none kept.
    BreakdownBuilder builder(4, kToday, Members::Drop);
    const LoadedProfile whole =
        loadGroup(dir.filePath("company"), kToday, Members::Drop,
                  [&](const MemberProfile &member) { builder.add(member); });
    const Breakdown streamed = builder.finish(Disclosure{3});
    const Breakdown kept = splitGroup(loadGroup(dir.filePath("company"), kToday), 4, Disclosure{3});
    ASSERT_EQ(shownOf(streamed), shownOf(kept));
    for (std::size_t i = 0; i < kept.shown.size(); ++i) {
        EXPECT_EQ(streamed.shown[i].profile.store, kept.shown[i].profile.store);
        EXPECT_EQ(streamed.shown[i].profile.meanAnswers, kept.shown[i].profile.meanAnswers);
        EXPECT_TRUE(streamed.shown[i].profile.members.empty());
    }
    EXPECT_EQ(whole.count, 8);
}

TEST_F(BreakdownFolderTest, TableRowsInPercentWholeFolderFirst)
{
    const LoadedProfile whole = loadGroup(dir.filePath("company"), kToday);
    const BreakdownTable table =
        breakdownTable(whole, splitGroup(whole, 4, Disclosure{3}), QStringLiteral("company"));
    ASSERT_EQ(table.rows.size(), 3u);
    EXPECT_EQ(table.rows[0].name, QStringLiteral("Вся папка"));
    EXPECT_EQ(table.rows[0].count, 8);
    ProfileStore percent = loadGroup(dir.filePath("склад"), kToday).store;
    convertToPercent(percent);
    EXPECT_EQ(table.rows[1].summary, percent.SummaryScores);
    EXPECT_EQ(table.rows[1].scales, percent.ScaleScores);
    EXPECT_EQ(table.rows[1].value(2), percent.SummaryScores[3]);
    EXPECT_EQ(table.rows[1].value(kSummaryCount), percent.ScaleScores[1]);

    const QByteArray csv = breakdownCsv(table, scriptCsv());
    const QList<QByteArray> lines = csv.split('\n');
    // header, three rows, icc1 and icc2, nothing after the last line end
    ASSERT_EQ(lines.size(), 7);
    EXPECT_TRUE(lines[0].startsWith("name,count,summary1,"));
    EXPECT_TRUE(lines[0].contains(",scale24,p_summary1,"));
    EXPECT_TRUE(lines[0].endsWith(",significant_scale24\r"));
    for (const QByteArray &line : lines.mid(0, 6))
        EXPECT_EQ(line.count(','), 1 + 3 * kBreakdownColumns);
    EXPECT_TRUE(lines[5].startsWith("icc2,,"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Вся папка,8,").toUtf8()));
    // The whole folder is tested against nothing: its p and marks are empty, not 0.
    EXPECT_TRUE(lines[1].endsWith(QByteArray(2 * kBreakdownColumns, ',') + '\r'));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("Прочие,4,").toUtf8()));
    EXPECT_EQ(lines[2].split(',')[2].toDouble(), publishedPercent(percent.SummaryScores[1]));

    const QJsonObject json = QJsonDocument::fromJson(breakdownJson(table)).object();
    EXPECT_EQ(json["line"].toInt(), 4);
    EXPECT_EQ(json["pooled"].toInt(), 4);
    const QJsonArray rows = json["subgroups"].toArray();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[1]["name"].toString(), QStringLiteral("Склад"));
    EXPECT_EQ(rows[1]["scales"].toArray().size(), kScaleScoreCount);
    EXPECT_EQ(rows[1]["summary"].toArray()[11].toDouble(),
              publishedPercent(percent.SummaryScores[12]));
}

TEST(Breakdown, ColumnTitlesFollowTheResultsTable)
{
    EXPECT_EQ(breakdownColumnTitle(0), QStringLiteral("Инновация"));
    EXPECT_EQ(breakdownColumnTitle(kSummaryCount - 1), QStringLiteral("Взаимодействие"));
    EXPECT_EQ(breakdownColumnTitle(kSummaryCount), QStringLiteral("Инновация / Поощрение"));
    EXPECT_EQ(breakdownColumnTitle(kSummaryCount + 7), QStringLiteral("Адаптация / Коммуникация"));
    EXPECT_EQ(breakdownColumnTitle(kSummaryCount + 16), QStringLiteral("Инновация / Мотивация"));
    EXPECT_EQ(breakdownColumnTitle(kBreakdownColumns - 1), QStringLiteral("Интеграция / Климат"));
}
