// The table of individual results: spread, CSV quoting and the two styles.

#include "AnswerFiles.h"
#include "CsvReader.h"
#include "GroupLoader.h"
#include "GroupSource.h"
#include "ProfileCsv.h"
#include "ProfileTable.h"
#include "Scoring.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using testfiles::Questionnaire;

TEST(Spread, OfColumns)
{
    EXPECT_EQ(spreadOf({}), Spread{});
    EXPECT_EQ(spreadOf({5}), (Spread{1, 5, 0, 5, 5}));
    const Spread s = spreadOf({1, 2, 3, 4});
    EXPECT_EQ(s.n, 4);
    EXPECT_DOUBLE_EQ(s.mean, 2.5);
    EXPECT_DOUBLE_EQ(s.sd, std::sqrt(5.0 / 3.0)); // sample deviation, n - 1
    EXPECT_EQ(s.min, 1);
    EXPECT_EQ(s.max, 4);
}

// Codes and names are untrusted text: whatever they hold comes back from the file unchanged,
// and in the spreadsheet file nothing can start a formula.
TEST(CsvField, RoundTrip)
{
    const QStringList texts{"plain",      "a,b",      "a;b", "say \"hi\"", "two\r\nlines",
                            "line\nfeed", "=SUM(A1)", "+7",  "-3",         "@cmd",
                            "Ёжик",       QString(),  "\"",  ",\"\n"};
    for (const CsvStyle &style : {scriptCsv(), spreadsheetCsv(QLocale(QLocale::Russian))}) {
        QByteArray line;
        for (const QString &t : texts)
            line += (line.isEmpty() ? "" : QByteArray(1, style.separator)) + csvField(t, style);
        const QList<QStringList> back = readCsv(line + "\r\n", style.separator);
        ASSERT_EQ(back.size(), 1);
        QStringList expected = texts;
        if (style.guardFormulas)
            for (QString &t : expected)
                if (!t.isEmpty() && QStringLiteral("=+-@").contains(t.front()))
                    t.prepend(QLatin1Char('\''));
        EXPECT_EQ(back.front(), expected) << style.separator;
    }
}

class CsvTable : public testing::Test
{
protected:
    QString write(const QString &name, const Questionnaire &q)
    {
        const QString path = dir.filePath(name);
        testfiles::writeBytes(path, q.bytes());
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(CsvTable, GroupRowsAndStatistics)
{
    Questionnaire a;
    a.code = QStringLiteral("A,1");
    a.answers[0] = 7;
    Questionnaire b;
    b.name = QStringLiteral("=HYPERLINK(\"x\")");
    b.answers[0] = 1;
    write("a.txt", a);
    write("b.txt", b);
    const LoadedProfile group = loadGroup(dir.path(), "d");
    const QList<QStringList> rows = readCsv(profileCsv(group, scriptCsv()), ',');
    ASSERT_EQ(rows.size(), 1 + 2 + 4);
    for (const QStringList &row : rows)
        EXPECT_EQ(row.size(), 4 + 32 + 12 + 24);
    EXPECT_EQ(rows[0][4], "answer1");
    EXPECT_EQ(rows[1].mid(0, 3), (QStringList{"a.txt", "A,1", a.name}));
    EXPECT_EQ(rows[2][2], b.name) << "no apostrophe for scripts";
    EXPECT_EQ(rows[3][0], "mean");
    EXPECT_EQ(rows[3][4], "4");
    EXPECT_DOUBLE_EQ(rows[4][4].toDouble(), std::sqrt(18.0));
    EXPECT_EQ(rows[5][4], "1");
    EXPECT_EQ(rows[6][4], "7");

    // The group mean of every score equals the group profile.
    ProfileStore percent = group.store;
    convertToPercent(percent);
    for (int i = 1; i <= kSummaryCount; ++i)
        EXPECT_NEAR(rows[3][4 + 32 + i - 1].toDouble(), percent.SummaryScores[i], 1e-9) << i;
}

TEST_F(CsvTable, SpreadsheetStyleFollowsTheLocale)
{
    Questionnaire q;
    q.answers[0] = 5; // a scale of 58.33 %
    write("a.txt", q);
    const LoadedProfile one = loadRespondent(dir.filePath("a.txt"));
    const QByteArray ru = profileCsv(one, spreadsheetCsv(QLocale(QLocale::Russian)));
    EXPECT_TRUE(ru.startsWith("\xEF\xBB\xBF"
                              "file;code;name;date;answer1;"));
    EXPECT_EQ(readCsv(ru, ';').size(), 2) << "a respondent has no statistics rows";
    EXPECT_TRUE(readCsv(ru, ';')[1].join(';').contains(',')) << "decimal comma";
    const QByteArray en = profileCsv(one, spreadsheetCsv(QLocale(QLocale::English)));
    EXPECT_TRUE(en.startsWith("\xEF\xBB\xBF"
                              "file,code,"));
    EXPECT_FALSE(profileCsv(one, scriptCsv()).startsWith("\xEF"));
}
