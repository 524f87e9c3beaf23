// The check of a folder as --check and the window list it: every file that does not load with its
// line, and what loads but is suspicious; and the answer file written from a table's row.

#include "AnswerFiles.h"
#include "GroupSource.h"
#include "SourceCheck.h"
#include "Scoring.h"
#include "SplitTable.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

using testfiles::Questionnaire;

TEST(SourceCheck, AFolderListsEveryBadFileAndWarnsOfWhatLoadsButIsSuspicious)
{
    QTemporaryDir dir;
    const auto path = [&dir](const char *name) { return dir.filePath(QString::fromUtf8(name)); };
    Questionnaire good = Questionnaire::uniform(4);
    good.code = "R-8";
    good.write(path("a good one.txt"));
    Questionnaire twice = Questionnaire::uniform(4);
    twice.code = "R-9";
    twice.write(path("b first.txt"));
    twice.name = "  " + twice.name.toUpper() + " ";
    twice.write(path("c again.txt"));
    Questionnaire odd = Questionnaire::uniform(4);
    odd.code = "R-10";
    odd.answers[6] = -1; // read as 255
    std::copy_n(answerTotals(odd.answers).begin(), 12, odd.totals.begin());
    odd.totals[2] += 8;
    odd.write(path("d odd.txt"));
    QStringList lines = Questionnaire::uniform(3).lines();
    lines[11] = "5 ";
    lines[46] = "x";
    testfiles::writeBytes(path("e bad.txt"), testfiles::joinLines(lines));
    testfiles::writeBytes(path("f short.txt"), testfiles::joinLines({"01.02.2024", "R-11"}));
    ASSERT_TRUE(QFile::link("f loop.txt", path("f loop.txt")));
    QDir().mkdir(path("g folder.txt"));

    const SourceCheck check = checkSource(QFile::encodeName(dir.path()));
    EXPECT_EQ(check.members, 4);
    EXPECT_EQ(check.problems,
              QStringList({"e bad.txt, строка 12: '5 ' is not a valid integer value",
                           "e bad.txt, строка 47: 'x' is not a valid integer value",
                           QStringLiteral("f loop.txt: Cannot open file %1: Too many levels of "
                                          "symbolic links")
                               .arg(path("f loop.txt")),
                           "f short.txt: в файле строк: 2, а в файле анкеты их 53 (ответы на "
                           "строках 9–40, итоги на 42–53)"}))
        << check.problems.join('\n').toStdString();
    EXPECT_EQ(check.warnings,
              QStringList({"b first.txt и c again.txt: один и тот же респондент (код «R-9»)",
                           "d odd.txt, строка 15: ответ 7 равен -1, а ответы бывают от 1 до 7 "
                           "(читается как 255)",
                           "d odd.txt, строка 44: итог 3 («Конкуренция») равен 40, а по ответам — "
                           "32"}))
        << check.warnings.join('\n').toStdString();
    // Whatever --check finds, a load of the folder stops at its first bad file.
    EXPECT_THROW(loadGroup(QFile::encodeName(dir.path()), "01.01.2026"), CommandError);
}

TEST(SplitTable, ARowsAnswerFileReadsBackAsTheRowInCodePage1251OrElseUtf8)
{
    RespondentRow row;
    row.row = 7;
    row.date = "15.03.2024";
    row.code = "1124";
    row.name = "Яковлева Ирина";
    row.details = {"Подразделение: Склад", "", "Должность: кладовщик", ""};
    for (int j = 0; j < 32; ++j)
        row.answers[std::size_t(j)] = 1 + (j * 5) % 7;
    EXPECT_EQ(answerFileName(row, 4), "0007 1124 Яковлева Ирина.txt");
    row.code = "0007";
    EXPECT_EQ(answerFileName(row, 5), "00007 0007 Яковлева Ирина.txt");
    EXPECT_EQ(answerFileName(row, 4), "0007 Яковлева Ирина.txt");

    for (const QString &name : {QStringLiteral("Яковлева Ирина"), QStringLiteral("Zoë 王")}) {
        row.name = name;
        const QByteArray bytes = answerFileBytes(row);
        EXPECT_EQ(bytes.startsWith("\xEF\xBB\xBF"), name.contains(u'王'));
        const AnswerFileText text = AnswerFileText::fromBytes(bytes);
        EXPECT_EQ(answerFileHeader(text),
                  (HeaderTexts{row.code, row.name, row.date, row.details}));
        ProfileStore read, computed;
        ReadAnswers(text, read);
        addAnswers(row.answers, computed);
        EXPECT_EQ(read.SummaryScores, computed.SummaryScores);
        EXPECT_EQ(read.ScaleScores, computed.ScaleScores);
        EXPECT_EQ(read.Answers, computed.Answers);
    }
}
