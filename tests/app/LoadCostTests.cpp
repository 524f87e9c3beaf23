// What a load leaves alone and what it still puts back: a second load of a group repaints no
// view whose content stays, the fields the user touched are reset all the same, and the memo's
// text is saved as written whatever characters the memo reads differently.
#include "AppTestSupport.h"

#include "Analysis.h"
#include "NumberFormat.h"
#include "ProfileStore.h"
#include "ShownText.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// Counts the paint events of the widgets it watches.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(const std::vector<QWidget *> &widgets)
    {
        for (QWidget *widget : widgets)
            widget->installEventFilter(this);
    }
    std::map<QObject *, int> paints;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints[watched];
        return false;
    }
};

class LoadCostTest : public WindowTest
{
protected:
    QString writeGroup()
    {
        AnswerSheet first;
        first.name = "Борисов";
        AnswerSheet second;
        second.name = "Алексеева";
        writeSheet("b.txt", first, "team");
        return writeSheet("a.txt", second, "team");
    }
};

TEST_F(LoadCostTest, SecondLoadOfAGroupRepaintsNeitherHeaderFieldsNorMenuBar)
{
    form->show();
    const QString group = writeGroup();
    openGroup(group);
    QCoreApplication::processEvents();

    const std::vector<QWidget *> unchanged{
        child<QLineEdit>(*form, "ceCode"), child<QLineEdit>(*form, "ceName"),
        child<QLineEdit>(*form, "ceDate"), child<QLineEdit>(*form, "ceNanket"), form->menuBar()};
    PaintCounter counter(unchanged);
    openGroup(group);
    QCoreApplication::processEvents();
    ASSERT_TRUE(dialogs->errors.isEmpty());
    for (QWidget *widget : unchanged)
        EXPECT_EQ(counter.paints[widget], 0) << widget->objectName().toStdString();
    EXPECT_EQ(form->labelsFlag(), 1);
}

TEST_F(LoadCostTest, LoadPutsTouchedFieldsBackAtTheirBeginning)
{
    const QString group = writeGroup();
    openGroup(group);
    // The user moves about in the fields and edits one back to what it was.
    child<QLineEdit>(*form, "ceName")->end(false);
    child<QLineEdit>(*form, "ceCode")->selectAll();
    child<QLineEdit>(*form, "ceDate")->end(false);
    child<QLineEdit>(*form, "ceDate")->insert("1");
    child<QLineEdit>(*form, "ceDate")->backspace();
    ASSERT_EQ(child<QLineEdit>(*form, "ceDate")->text(), todayText());

    openGroup(group);
    for (QLineEdit *field : {child<QLineEdit>(*form, "ceName"), child<QLineEdit>(*form, "ceCode"),
                             child<QLineEdit>(*form, "ceDate")}) {
        EXPECT_EQ(field->cursorPosition(), 0) << field->objectName().toStdString();
        EXPECT_FALSE(field->hasSelectedText()) << field->objectName().toStdString();
        EXPECT_FALSE(field->isUndoAvailable()) << field->objectName().toStdString();
        EXPECT_FALSE(field->isModified()) << field->objectName().toStdString();
    }
}

TEST_F(LoadCostTest, AnalysisReadsTheDetailsTheHintHoldsNow)
{
    openGroup(writeGroup());
    child<QLabel>(*form, "ImageInfo")->setToolTip("Отдел кадров\r\nг. Казань");
    form->WriteAnalysis();
    const QStringList memo = child<QPlainTextEdit>(*form, "meInfo")->toPlainText().split('\n');
    EXPECT_TRUE(memo.contains("Отдел кадров"));
    EXPECT_TRUE(memo.contains("г. Казань"));
    EXPECT_FALSE(memo.contains("Состав группы:"));
}

// A group of a thousand members, one with a name longer than a memo line shows: the memo holds
// the analysis as it stands, line by line, and saves what the user makes of it.
TEST_F(LoadCostTest, ThousandMemberMemoIsTheAnalysisAndTakesEdits)
{
    const QString longName = QString(kShownTextLength + 200, QChar(u'Ж'));
    QString any;
    for (int i = 0; i < 1000; ++i) {
        AnswerSheet member;
        member.code = QString::number(i).rightJustified(4, '0');
        member.name = i == 500 ? longName : "Член " + member.code;
        any = writeSheet(QString("m%1.txt").arg(i, 4, 10, QChar('0')), member, "big");
    }
    openGroup(any);
    ASSERT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join("; ").toStdString();

    const QStringList lines = analysisLines(
        form->session().scores(),
        {child<QLineEdit>(*form, "ceCode")->text(), child<QLineEdit>(*form, "ceName")->text(),
         child<QLineEdit>(*form, "ceDate")->text(), form->detailsLines()},
        todayText());
    const QString whole = lines.join('\n');
    ASSERT_EQ(form->detailsLines().size(), 1001);
    QStringList shown;
    for (const QString &line : lines)
        shown << shownBeginning(line);
    EXPECT_EQ(child<QPlainTextEdit>(*form, "meInfo")->toPlainText(), shown.join('\n'));
    EXPECT_EQ(child<QPlainTextEdit>(*form, "meInfo")->document()->blockCount(), lines.size());
    EXPECT_EQ(form->analysisText(), whole);

    QTextCursor cursor = child<QPlainTextEdit>(*form, "meInfo")->textCursor();
    cursor.movePosition(QTextCursor::End);
    child<QPlainTextEdit>(*form, "meInfo")->setTextCursor(cursor);
    child<QPlainTextEdit>(*form, "meInfo")->insertPlainText("\nВывод консультанта");
    EXPECT_EQ(form->analysisText(), whole + "\nВывод консультанта");
    child<QPlainTextEdit>(*form, "meInfo")->undo();
    EXPECT_EQ(form->analysisText(), whole);
    EXPECT_FALSE(child<QPlainTextEdit>(*form, "meInfo")->document()->isUndoAvailable());
}

// A detail line holding a character the memo gives back otherwise than it was written.
struct ReadBackCase
{
    const char *name;
    char16_t character;
};

class MemoReadBack : public WindowTest, public testing::WithParamInterface<ReadBackCase>
{
};

TEST_P(MemoReadBack, UneditedMemoSavesTheLineAsWritten)
{
    openData(writeSheet("a.txt", {}));
    const QString line = QStringLiteral("до") + QChar(GetParam().character) + "после";
    child<QLabel>(*form, "ImageInfo")->setToolTip(line);
    form->WriteAnalysis();
    EXPECT_TRUE(form->analysisText().split('\n').contains(line));
}

INSTANTIATE_TEST_SUITE_P(Table, MemoReadBack,
                         testing::Values(ReadBackCase{"carriage_return", u'\r'},
                                         ReadBackCase{"non_breaking_space", u'\xA0'},
                                         ReadBackCase{"line_separator", u'\x2028'},
                                         ReadBackCase{"paragraph_separator", u'\x2029'},
                                         ReadBackCase{"frame_start_mark", u'\xFDD0'},
                                         ReadBackCase{"frame_end_mark", u'\xFDD1'}),
                         [](const auto &row) { return std::string(row.param.name); });

} // namespace
