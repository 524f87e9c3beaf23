// Header texts as long as an answer file may hold them (256 KiB a line, without a blank to wrap
// at): the memo, the diagram labels and the chart foot show what a person can read, while the
// store, the saved analysis, the batch files and the JSON export keep the whole text.
#include "AppTestSupport.h"

#include "Batch.h"
#include "ChartViews.h"
#include "CommandLine.h"
#include "MemoText.h"
#include "Profile.h"
#include "ShownText.h"
#include "TChart.h"
#include "TLabel.h"
#include "TPanel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QTextCursor>

#include <cstdio>
#include <functional>

namespace {

// ---- what a view shows of a long text

struct ShownCase
{
    const char *name;
    QString text;
    qsizetype most;
    QString beginning;
    QString end;
};

void PrintTo(const ShownCase &c, std::ostream *os)
{
    *os << c.name;
}

class ShownTextRule : public testing::TestWithParam<ShownCase>
{
};

TEST_P(ShownTextRule, CutsAtTheFarEnd)
{
    EXPECT_EQ(shownBeginning(GetParam().text, GetParam().most), GetParam().beginning);
    EXPECT_EQ(shownEnd(GetParam().text, GetParam().most), GetParam().end);
}

// U+1F600 is a surrogate pair; the cut never leaves half of it.
const QString kSmile = QString::fromUtf16(u"\U0001F600");

INSTANTIATE_TEST_SUITE_P(
    Table, ShownTextRule,
    testing::Values(ShownCase{"empty", "", 3, "", ""},
                    ShownCase{"exactly_the_length_stays", "abc", 3, "abc", "abc"},
                    ShownCase{"one_over_is_cut", "abcd", 3, "abc…", "…bcd"},
                    ShownCase{"pair_at_the_cut_of_the_beginning", "ab" + kSmile + "c", 3, "ab…",
                              "…" + kSmile + "c"},
                    ShownCase{"pair_at_the_cut_of_the_end", "a" + kSmile + "bc", 3,
                              "a" + kSmile + "…", "…bc"}),
    [](const auto &row) { return std::string(row.param.name); });

// ---- the memo's view of the analysis and the whole text back from it

QString longLine(QChar letter, qsizetype size = kShownTextLength + 500)
{
    return QString(size, letter);
}

struct MemoCase
{
    const char *name;
    QStringList whole;
    // What the user does to the memo's text.
    std::function<QString(const QString &)> edit;
    QStringList saved;
};

void PrintTo(const MemoCase &c, std::ostream *os)
{
    *os << c.name;
}

class MemoRule : public testing::TestWithParam<MemoCase>
{
};

TEST_P(MemoRule, EditedMemoGivesTheWholeTextBack)
{
    const MemoText memo = memoTextOf(GetParam().whole.join('\n'));
    for (const QString &line : memo.shown.split('\n'))
        EXPECT_LE(line.size(), kShownTextLength + 1);
    EXPECT_EQ(wholeTextOf(GetParam().edit(memo.shown), memo).split('\n'), GetParam().saved);
}

const QString kA = longLine(u'Ж');
const QString kB = longLine(u'Я');
// Alike in what the memo shows, different further on.
const QString kC = longLine(u'Ш') + "конец один";
const QString kD = longLine(u'Ш') + "конец два";
// A non-breaking space comes back from the memo as a blank.
const QString kNbsp = "Отдел" + QString(QChar::Nbsp) + longLine(u'Ы');

INSTANTIATE_TEST_SUITE_P(
    Table, MemoRule,
    testing::Values(MemoCase{"unedited",
                             {"Анализ", kA, "", kB},
                             [](QString s) { return s; },
                             {"Анализ", kA, "", kB}},
                    MemoCase{"line_typed_at_the_end",
                             {"Анализ", kA, "Итог"},
                             [](QString s) { return s + "\nВывод консультанта"; },
                             {"Анализ", kA, "Итог", "Вывод консультанта"}},
                    MemoCase{"edited_cut_line_keeps_the_edit",
                             {"Анализ", kA, kB},
                             [](QString s) {
                                 QStringList lines = s.split('\n');
                                 lines[1] = "Иванов";
                                 return lines.join('\n');
                             },
                             {"Анализ", "Иванов", kB}},
                    MemoCase{"deleted_cut_line_leaves_the_others_whole",
                             {kA, "между", kB},
                             [](QString s) {
                                 QStringList lines = s.split('\n');
                                 lines.removeFirst();
                                 return lines.join('\n');
                             },
                             {"между", kB}},
                    MemoCase{"alike_cut_lines_come_back_in_order",
                             {kC, "x", kD},
                             [](QString s) { return s; },
                             {kC, "x", kD}},
                    MemoCase{"non_breaking_space_read_back_as_blank",
                             {kNbsp, "Итог"},
                             [](QString s) { return s.replace(QChar::Nbsp, ' ') + "!"; },
                             {kNbsp, "Итог!"}}),
    [](const auto &row) { return std::string(row.param.name); });

// ---- the window with the longest header lines an answer file may have

// 256 KiB of letters without a blank, different for each line.
QString hugeLine(QChar first)
{
    QString line(256 * 1024, QLatin1Char('A'));
    for (qsizetype i = 0; i < line.size(); ++i)
        line[i] = QChar(first.unicode() + char16_t(i % 7));
    return line;
}

QString fileText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<unreadable>");
    QStringDecoder decoder("windows-1251");
    return decoder.decode(file.readAll());
}

// What a FILE written by a command holds.
QByteArray streamText(std::FILE *stream)
{
    std::fflush(stream);
    std::rewind(stream);
    QByteArray bytes;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, stream)) > 0;)
        bytes.append(buffer, qsizetype(n));
    return bytes;
}

class LongHeaderTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        program = useProgramFolder();
        sheet.date = hugeLine(u'А');
        sheet.name = hugeLine(u'К');
        sheet.details = {hugeLine(u'Р'), hugeLine(u'Ц'), hugeLine(u'B'), "Казань"};
        path = writeSheet("huge.txt", sheet);
    }

    // The respondent line and the details as the analysis holds them, whole.
    QStringList wholeHeaderLines() const
    {
        return QStringList{sheet.code + ". " + sheet.name + " " + sheet.date} + sheet.details;
    }

    QString saveAnalysis(const QString &name)
    {
        const QString target = program + "Results/" + name;
        dialogs->saveAnswers << target;
        form->mmAnalysisSaveClick();
        EXPECT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join('\n').toStdString();
        return target;
    }

    AnswerSheet sheet;
    QString path;
    QString program;
};

TEST_F(LongHeaderTest, MemoShowsLongLinesCutAndTheSaveWritesThemWhole)
{
    openData(path);
    ASSERT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join('\n').toStdString();
    EXPECT_EQ(form->lastLoad()->header.name, sheet.name);
    EXPECT_EQ(child<QLineEdit>(*form, "ceName")->text(), sheet.name);

    const QStringList shown = child<QPlainTextEdit>(*form, "meInfo")->toPlainText().split('\n');
    for (const QString &line : shown)
        EXPECT_LE(line.size(), kShownTextLength + 1);
    for (const QString &line : wholeHeaderLines())
        EXPECT_TRUE(shown.contains(shownBeginning(line))) << line.left(20).toStdString();

    const QStringList saved = fileText(saveAnalysis("a.rtf")).split("\r\n");
    for (const QString &line : wholeHeaderLines())
        EXPECT_TRUE(saved.contains(line)) << line.left(20).toStdString();
    EXPECT_EQ(saved.size(), shown.size());

    // A remark typed at the end is saved with the whole lines.
    QTextCursor cursor = child<QPlainTextEdit>(*form, "meInfo")->textCursor();
    cursor.movePosition(QTextCursor::End);
    child<QPlainTextEdit>(*form, "meInfo")->setTextCursor(cursor);
    child<QPlainTextEdit>(*form, "meInfo")->insertPlainText("\nВывод консультанта");
    const QStringList edited = fileText(saveAnalysis("b.rtf")).split("\r\n");
    for (const QString &line : wholeHeaderLines())
        EXPECT_TRUE(edited.contains(line)) << line.left(20).toStdString();
    EXPECT_EQ(edited.back(), "Вывод консультанта");
}

// The labels over the diagram show the end of their text nearest their anchor, as far as any
// panel reaches; the chart foot is cut the same way.
TEST_F(LongHeaderTest, DiagramLabelsAndChartFootShowTheirVisibleEnds)
{
    openData(path);
    ASSERT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join('\n').toStdString();
    const QString info = child<TLabel>(*form, "laInfoImage")->text();
    EXPECT_EQ(info.size(), kShownTextLength + 1);
    EXPECT_TRUE(info.startsWith(sheet.code + ". " + sheet.name.left(100)));
    EXPECT_TRUE(info.endsWith(kEllipsis));
    EXPECT_GT(child<TLabel>(*form, "laInfoImage")->width(), child<TPanel>(*form, "paPlot")->width())
        << "still reaches past the panel";
    const QString date = child<TLabel>(*form, "laDateImage")->text();
    EXPECT_EQ(date, kEllipsis + sheet.date.right(kShownTextLength));
    EXPECT_EQ(child<TLabel>(*form, "laDateImage")->geometry().right() + 1, 589)
        << "right edge kept";
    const QStringList foot = child<TChart>(*form, "ChartAll")->Foot().Text();
    ASSERT_EQ(foot.size(), 1);
    EXPECT_EQ(foot[0].size(), kShownTextLength + 1);
    EXPECT_TRUE(foot[0].startsWith(sheet.code + " " + sheet.name.left(100)));

    // A key released in a field refreshes them the same way.
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(child<QLineEdit>(*form, "ceName"), &release);
    EXPECT_EQ(child<TLabel>(*form, "laInfoImage")->text(), info);
    EXPECT_EQ(child<TLabel>(*form, "laDateImage")->text(), date);
}

// The batch shows neither the memo nor the header fields, and its analysis file holds the whole
// text.
TEST_F(LongHeaderTest, BatchWritesTheWholeAnalysis)
{
    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    ASSERT_TRUE(out && err);
    const QString folder = dir.filePath("batch");
    EXPECT_EQ(runBatch(QFile::encodeName(folder), {QFile::encodeName(path)}, out, err), 0)
        << streamText(err).toStdString();
    std::fclose(out);
    std::fclose(err);
    const QStringList saved = fileText(folder + "/" + sheet.code + ".rtf").split("\r\n");
    for (const QString &line : wholeHeaderLines())
        EXPECT_TRUE(saved.contains(line)) << line.left(20).toStdString();
}

TEST_F(LongHeaderTest, JsonExportKeepsTheWholeText)
{
    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    ASSERT_TRUE(out && err);
    EXPECT_EQ(runJsonExport(QFile::encodeName(path), out, err), 0);
    const QJsonObject json = QJsonDocument::fromJson(streamText(out)).object();
    std::fclose(out);
    std::fclose(err);
    EXPECT_EQ(json["name"].toString(), sheet.name);
    const QStringList analysis = json["analysis"].toString().split('\n');
    for (const QString &line : wholeHeaderLines())
        EXPECT_TRUE(analysis.contains(line)) << line.left(20).toStdString();
}

// A common answer file, even with a detail line of exactly the length a memo line keeps, is
// shown as the analysis stands, and saved as shown.
TEST_F(WindowTest, CommonFileMemoIsTheAnalysisAsItStands)
{
    AnswerSheet common;
    common.details[1] = longLine(u'Д', kShownTextLength);
    openData(writeSheet("common.txt", common));
    const QString memo = child<QPlainTextEdit>(*form, "meInfo")->toPlainText();
    EXPECT_FALSE(memo.contains(kEllipsis));
    EXPECT_TRUE(memo.split('\n').contains(common.details[1]));
    EXPECT_EQ(form->analysisText(), memo);
    EXPECT_EQ(child<TLabel>(*form, "laInfoImage")->text(), common.code + ". " + common.name);
    EXPECT_EQ(child<TLabel>(*form, "laDateImage")->text(), common.date);
}

} // namespace
