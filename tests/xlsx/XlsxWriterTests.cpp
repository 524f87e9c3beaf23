// The workbook writer on its own. What a spreadsheet shows of the workbook is checked by
// read_workbook.py through an independent reader; here: what the writer refuses, what it leaves
// behind on disk and in the process.

#include "CommandError.h"
#include "XlsxTable.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <clocale>
#include <functional>

namespace {

MemberProfile member(const QString &file = QStringLiteral("a.txt"))
{
    MemberProfile m;
    m.file = file;
    m.header = {QStringLiteral("0007"),
                QStringLiteral("Иванов"),
                QStringLiteral("01.02.2003"),
                {QStringLiteral("Отдел"), QStringLiteral("Должность"), QStringLiteral("Стаж"),
                 QStringLiteral("Город")}};
    m.store.Answers.fill(4);
    return m;
}

QString errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const CommandError &e) {
        return e.message();
    }
    return {};
}

// ---- texts longer than a cell

struct LongText
{
    const char *column;
    std::function<void(MemberProfile &, const QString &)> set;
};

void PrintTo(const LongText &c, std::ostream *os)
{
    *os << c.column;
}

class LongTexts : public testing::TestWithParam<LongText>
{
};

TEST_P(LongTexts, FitUpToTheCellLimitAndAreRefusedByName)
{
    MemberProfile fits = member();
    GetParam().set(fits, QString(kMaxCellText, QChar(u'ж')));
    EXPECT_EQ(errorOf([&] { profileXlsx({{}, {}, 1, false, {}, {fits}}, {}); }), QString());

    MemberProfile tooLong = member(QStringLiteral("long.txt"));
    GetParam().set(tooLong, QString(kMaxCellText + 1, QChar(u'ж')));
    XlsxTableWriter writer;
    writer.addMember(member());
    EXPECT_EQ(errorOf([&] { writer.addMember(tooLong); }),
              QStringLiteral("Cannot write the workbook: the %1 of answer file %2 has 32768 "
                             "characters; a cell holds at most 32767")
                  .arg(QLatin1String(GetParam().column), tooLong.file.left(200)));
}

INSTANTIATE_TEST_SUITE_P(
    Columns, LongTexts,
    testing::Values(
        LongText{"file", [](MemberProfile &m, const QString &text) { m.file = text; }},
        LongText{"code", [](MemberProfile &m, const QString &text) { m.header.code = text; }},
        LongText{"name", [](MemberProfile &m, const QString &text) { m.header.name = text; }},
        LongText{"date", [](MemberProfile &m, const QString &text) { m.header.date = text; }},
        // Each details line is a cell of its own.
        LongText{"line 7",
                 [](MemberProfile &m, const QString &text) { m.header.details[3] = text; }}),
    [](const auto &row) {
        std::string name = row.param.column;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

// ---- what stays behind

// Temporary files go to a folder of the test's own, which must be empty again afterwards.
class TemporaryFolder : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        previous = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(tmp.path()));
        ASSERT_EQ(QDir::tempPath(), QDir(tmp.path()).canonicalPath());
    }
    void TearDown() override { qputenv("TMPDIR", previous); }

    QStringList leftOver() const
    {
        return QDir(tmp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir tmp;
    QByteArray previous;
};

TEST_F(TemporaryFolder, NothingIsLeftAfterAWorkbookOrAnAbandonedOne)
{
    LoadedProfile group{{}, {}, 2, true, {}, {member(), member(QStringLiteral("b.txt"))}};
    const QByteArray bytes = profileXlsx(group, {QStringLiteral("t"), QStringLiteral("p")});
    EXPECT_TRUE(bytes.startsWith("PK\x03\x04"));
    // Names in a zip file stand uncompressed: the group has its second sheet.
    EXPECT_TRUE(bytes.contains("xl/worksheets/sheet2.xml"));
    EXPECT_EQ(leftOver(), QStringList());

    {
        XlsxTableWriter abandoned; // a load that failed after its first member
        abandoned.addMember(member());
    }
    EXPECT_EQ(leftOver(), QStringList());

    group.members.back().header.name = QString(kMaxCellText + 1, QLatin1Char('x'));
    EXPECT_FALSE(errorOf([&] { profileXlsx(group, {}); }).isEmpty());
    EXPECT_EQ(leftOver(), QStringList());

    const QByteArray one = profileXlsx({{}, {}, 1, false, {}, {member()}}, {});
    EXPECT_FALSE(one.contains("xl/worksheets/sheet2.xml")) << "a respondent has no spread";
}

TEST_F(TemporaryFolder, UnusableTemporaryFolderIsAMessage)
{
    const QString missing = tmp.path() + QStringLiteral("/missing");
    qputenv("TMPDIR", QFile::encodeName(missing));
    EXPECT_EQ(errorOf([] {
                  profileXlsx({{}, {}, 1, false, {}, {member()}}, {});
              }),
              QStringLiteral("Cannot write the workbook: the temporary folder %1 does not exist")
                  .arg(missing));

    // A file where the folder should be: refused to root as well.
    const QString file = tmp.path() + QStringLiteral("/file");
    QFile(file).open(QIODevice::WriteOnly);
    qputenv("TMPDIR", QFile::encodeName(file));
    EXPECT_EQ(errorOf([] {
                  profileXlsx({{}, {}, 1, false, {}, {member()}}, {});
              }),
              QStringLiteral(
                  "Cannot write the workbook: cannot create a temporary file in %1: Not a directory")
                  .arg(QDir(file).canonicalPath()));
}

// The writer switches the thread to the C locale for the library's number formatting; the
// program's own locale is back afterwards, also after a failure.
TEST(XlsxLocale, TheProcessLocaleIsKept)
{
    if (!std::setlocale(LC_ALL, "ru_RU.UTF-8"))
        GTEST_SKIP() << "no ru_RU.UTF-8 locale on this machine";
    profileXlsx({{}, {}, 1, true, {}, {member()}}, {});
    EXPECT_STREQ(std::localeconv()->decimal_point, ",");
    MemberProfile bad = member();
    bad.file = QString(kMaxCellText + 1, QLatin1Char('x'));
    EXPECT_FALSE(errorOf([&] {
                     profileXlsx({{}, {}, 2, true, {}, {member(), bad}}, {});
                 }).isEmpty());
    EXPECT_STREQ(std::localeconv()->decimal_point, ",");
    std::setlocale(LC_ALL, "C");
}

} // namespace
