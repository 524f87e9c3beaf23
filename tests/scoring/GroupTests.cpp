// Group loads: which entries of a folder are members, in what order they are read, how they
// add up, and what a folder that does not load reports.

#include "AnswerFile.h"
#include "AnswerFiles.h"
#include "CommandError.h"
#include "GroupLoader.h"
#include "GroupSource.h"
#include "Scoring.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

using testfiles::Questionnaire;

namespace {

const QString kToday = QStringLiteral("01.06.2031");

QString groupError(const QString &folder)
{
    try {
        loadGroup(folder, kToday);
    } catch (const CommandError &e) {
        return e.message();
    }
    return QStringLiteral("<no error>");
}

} // namespace

class GroupTest : public testing::Test
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }
    void write(const QString &name, const Questionnaire &q) const { q.write(path(name)); }
    void writeRaw(const QString &name, const QByteArray &bytes) const
    {
        testfiles::writeBytes(path(name), bytes);
    }
    static Questionnaire member(const QString &name, const QString &code, int firstAnswer)
    {
        Questionnaire q;
        q.name = name;
        q.code = code;
        q.date = QStringLiteral("0%1.01.2020").arg(firstAnswer);
        q.answers[0] = firstAnswer;
        return q;
    }

    QTemporaryDir dir;
};

TEST_F(GroupTest, MembersSortedByUpperCaseName)
{
    // Upper-case order puts "_" after the letters and "." before them; a lower-case order
    // would put "_z" first.
    for (const char *name : {"b.txt", "A.TXT", "_z.txt", "a2.txt", ".hidden.txt", "Яблоко.txt",
                             "Борис.Txt", "10.txt", "9.txt"})
        write(QString::fromUtf8(name), Questionnaire());
    EXPECT_EQ(groupMemberNames(dir.path()),
              (QStringList{".hidden.txt", "10.txt", "9.txt", "A.TXT", "a2.txt", "b.txt", "_z.txt",
                           QStringLiteral("Борис.Txt"), QStringLiteral("Яблоко.txt")}));
}

TEST_F(GroupTest, OnlyTxtFilesOfTheFolderItself)
{
    write("member.txt", Questionnaire());
    writeRaw("notes.doc", "x");
    writeRaw("member.txt.bak", "x");
    writeRaw("txt", "x");
    writeRaw("membertxt", "x");
    ASSERT_TRUE(QDir(dir.path()).mkpath("folder.txt"));
    ASSERT_TRUE(QDir(dir.path()).mkpath("sub"));
    write("sub/inner.txt", Questionnaire());
    write("folder.txt/inner.txt", Questionnaire());
    EXPECT_EQ(groupMemberNames(dir.path()), QStringList{"member.txt"});

    const LoadedProfile group = loadGroup(dir.path(), kToday);
    EXPECT_EQ(group.count, 1);
}

TEST_F(GroupTest, OneMemberMatchesTheRespondent)
{
    Questionnaire q = member(QStringLiteral("Сидорова"), "S9", 6);
    q.totals[3] = 50;
    write("one.txt", q);
    const LoadedProfile alone = loadRespondent(path("one.txt"));
    const LoadedProfile group = loadGroup(dir.path(), kToday);

    EXPECT_EQ(group.store, alone.store);
    EXPECT_TRUE(group.group);
    EXPECT_EQ(group.count, 1);
    EXPECT_EQ(group.header, (HeaderTexts{"0000",
                                         QStringLiteral("Группа"),
                                         kToday,
                                         {QStringLiteral("Состав группы:"),
                                          QStringLiteral("Сидорова S9 06.01.2020")}}));
}

TEST_F(GroupTest, MeanOfMembersInListingOrder)
{
    // Scale sums 4 and 9 for the first scale; the last member read supplies the store's answers.
    Questionnaire low = member(QStringLiteral("Первый"), "P1", 2);
    low.answers[4] = 2;
    low.totals[0] = 20;
    Questionnaire high = member(QStringLiteral("Второй"), "P2", 4);
    high.answers[4] = 5;
    high.totals[0] = 31;
    write("b.txt", low);
    write("C.txt", high);
    writeRaw("a.doc", "not a member");

    const LoadedProfile group = loadGroup(path(""), kToday);
    EXPECT_EQ(group.count, 2);
    EXPECT_EQ(group.header.details,
              (QStringList{QStringLiteral("Состав группы:"), QStringLiteral("Первый P1 02.01.2020"),
                           QStringLiteral("Второй P2 04.01.2020")}));
    EXPECT_EQ(group.store.ScaleScores[1], 6.5);
    EXPECT_EQ(group.store.ScaleScores[17], 6.5 + 8);
    EXPECT_EQ(group.store.SummaryScores[1], 25.5);
    EXPECT_EQ(group.store.SummaryScores[12], 64);
    EXPECT_EQ(group.store.Answers[1], 4);
    EXPECT_EQ(group.store.Answers[5], 5);
    // Beside them the members' mean answers, unrounded, for the exports.
    EXPECT_EQ(group.meanAnswers[1], 3);
    EXPECT_EQ(group.meanAnswers[5], 3.5);

    ProfileStore percent = group.store;
    convertToPercent(percent);
    EXPECT_DOUBLE_EQ(percent.ScaleScores[1], 37.5);
}

TEST_F(GroupTest, FolderWithOrWithoutSeparator)
{
    write("x.txt", member("X", "1", 3));
    write("y.txt", member("Y", "2", 5));
    const LoadedProfile plain = loadGroup(dir.path(), kToday);
    const LoadedProfile slash = loadGroup(dir.path() + "/", kToday);
    EXPECT_EQ(plain.store, slash.store);
    EXPECT_EQ(plain.header, slash.header);
    EXPECT_EQ(plain.store.ScaleScores[1], 4 + 4);
}

TEST_F(GroupTest, EmptyFolderIsReported)
{
    writeRaw("readme.md", "x");
    ASSERT_TRUE(QDir(dir.path()).mkpath("old.txt"));
    EXPECT_EQ(groupError(dir.path()),
              QStringLiteral("В папке %1 нет файлов анкет (*.txt)").arg(dir.path()));
    EXPECT_EQ(groupError(dir.path() + "/"), emptyGroupMessage(dir.path()));
}

TEST_F(GroupTest, BadMemberStopsTheLoad)
{
    write("a.txt", Questionnaire());
    testfiles::writeBytes(path("b.txt"), testfiles::joinLines(Questionnaire().withLine(40, "7 7")));
    write("c.txt", Questionnaire());
    EXPECT_EQ(groupError(dir.path()), "'7 7' is not a valid integer value");
}

TEST_F(GroupTest, ShortMemberStopsTheLoad)
{
    write("a.txt", Questionnaire());
    testfiles::writeBytes(path("b.txt"), testfiles::joinLines(Questionnaire().lines().mid(0, 45)));
    EXPECT_EQ(groupError(dir.path()), "'' is not a valid integer value");
}

TEST_F(GroupTest, PipeMemberCannotBeOpened)
{
    // A pipe named like an answer file is listed but never read from.
    write("a.txt", Questionnaire());
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("b.txt")).constData(), 0600), 0);
    EXPECT_EQ(groupError(dir.path()), QStringLiteral("Cannot open file ") + path("b.txt"));
}

// Members' header texts are kept and shown several times over, so a group has a budget for
// them as a whole: a folder of huge headers is refused by name, not read into gigabytes.
TEST(GroupLimits, HeaderTextsOverTheGroupBudgetAreRefused)
{
    QTemporaryDir dir;
    Questionnaire q;
    q.name = QString(AnswerFileText::kMaxHeaderLineBytes - 1, QLatin1Char('n'));
    const QByteArray bytes = q.bytes();
    const int files = int(kMaxGroupHeaderBytes / bytes.size()) + 2;
    for (int i = 0; i < files; ++i)
        testfiles::writeBytes(dir.filePath(QStringLiteral("m%1.txt").arg(i)), bytes);
    try {
        loadGroup(dir.path(), "d", Members::Drop);
        FAIL() << "no error";
    } catch (const CommandError &e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Cannot read folder %1: the header texts of its answer "
                                 "files come to more than 64 MiB")
                      .arg(dir.path()));
    }
}
