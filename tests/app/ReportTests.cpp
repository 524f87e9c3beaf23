// The PDF report and printing: what the pages say (read back with pdftotext), how the text
// flows over pages, the Save command's dialog and failures, and that the window stays as it was.
#include "AppTestSupport.h"

#include "Breakdown.h"
#include "ChartViews.h"
#include "Comparison.h"
#include "CultureWheel.h"
#include "DiagramViews.h"
#include "GroupLoader.h"
#include "GroupSource.h"
#include "NativePath.h"
#include "NumberFormat.h"
#include "ProfileStore.h"
#include "Report.h"
#include "ResultsGrid.h"
#include "TChart.h"
#include "TImage.h"
#include "TLabel.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <functional>

namespace {

// ---- the flow of text over pages

struct FlowCase
{
    const char *name;
    std::vector<FlowItem> items;
    double firstRoom;
    std::vector<FlowPlace> places;
};

void PrintTo(const FlowCase &c, std::ostream *os)
{
    *os << c.name;
}

class FlowRule : public testing::TestWithParam<FlowCase>
{
};

// The first page's flow starts at 100; every later page has room 100 from its top.
TEST_P(FlowRule, PlacesPiecesOnPages)
{
    EXPECT_EQ(flowPieces(GetParam().items, 100, GetParam().firstRoom, 100), GetParam().places);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FlowRule,
    testing::Values(
        FlowCase{"nothing", {}, 30, {}},
        FlowCase{"fits_below_the_charts", {{10}, {20}}, 30, {{0, 100}, {0, 110}}},
        FlowCase{"overflows_to_the_next_page", {{20}, {20}, {70}}, 30, {{0, 100}, {1, 0}, {1, 20}}},
        FlowCase{"heading_goes_with_its_first_line", {{10, true}, {20}}, 25, {{1, 0}, {1, 10}}},
        FlowCase{"no_room_at_all_below_the_charts", {{10}}, 0, {{1, 0}}},
        FlowCase{"taller_than_a_page_stands_alone", {{150}, {10}}, 50, {{1, 0}, {2, 0}}},
        FlowCase{"exactly_full_page", {{50}, {50}, {1}}, 100, {{0, 100}, {0, 150}, {1, 0}}}),
    [](const auto &row) { return std::string(row.param.name); });

// A group's list of members in the report: 50 at most, then how many more.
TEST(ReportAnalysis, ListsAtMostFiftyMembers)
{
    const auto analysis = [](int members) {
        QStringList lines{"Анализ данных опросника.", "", "Состав группы:"};
        for (int m = 1; m <= members; ++m)
            lines << QStringLiteral("Член %1").arg(m);
        return (lines << "" << "Инновация = 50,0%").join("\r\n");
    };
    for (const auto &[members, shown, more] :
         {std::tuple{3, 3, ""}, {50, 50, ""}, {51, 50, "… и ещё 1"}, {20000, 50, "… и ещё 19950"}}) {
        const QStringList paragraphs = reportAnalysisParagraphs(analysis(members));
        SCOPED_TRACE(members);
        EXPECT_EQ(paragraphs.filter(QRegularExpression("^Член \\d+$")).size(), shown);
        EXPECT_EQ(paragraphs.filter("и ещё"),
                  *more ? QStringList{QString::fromUtf8(more)} : QStringList{});
        EXPECT_EQ(paragraphs.mid(paragraphs.size() - 2), QStringList({"", "Инновация = 50,0%"}));
    }
}

// ---- reading a PDF back

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>")
            .arg(program, QString::fromLocal8Bit(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pageCount(const QString &pdf)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run("pdfinfo", {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The text of pages first..last (all when 0), every run of white space made one blank, so a
// line reads the same wherever the layout put its words.
QString pdfText(const QString &pdf, int first = 0, int last = 0)
{
    QStringList arguments{"-layout", "-enc", "UTF-8"};
    if (first > 0)
        arguments << "-f" << QString::number(first) << "-l" << QString::number(last);
    arguments << pdf << "-";
    return run("pdftotext", arguments).simplified();
}

QString simplified(const QString &text)
{
    return text.simplified();
}

QImage pdfPage(const QString &pdf, int page, const QString &stem)
{
    run("pdftoppm", {"-r", "100", "-png", "-singlefile", "-f", QString::number(page), "-l",
                     QString::number(page), pdf, stem});
    return QImage(stem + ".png").convertToFormat(QImage::Format_RGB32);
}

int pixelsNear(const QImage &image, const QRect &area, const QColor &colour, int tolerance = 40)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                    std::abs(c.blue() - colour.blue()) <=
                tolerance)
                ++n;
        }
    return n;
}

// ---- the commands

class ReportTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        program = useProgramFolder();
    }

    QString saveReport(const QString &name)
    {
        const QString target = program + "Results/" + name;
        dialogs->saveAnswers << target;
        form->mmReportSaveClick();
        EXPECT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join('\n').toStdString();
        return target;
    }

    QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    // A group of two whose summary values are 50 % and 75 %.
    void openTwoMemberGroup()
    {
        AnswerSheet low;
        low.code = "0001";
        low.name = "Орлова Вера";
        AnswerSheet high;
        high.code = "0002";
        high.name = "Соколов Пётр";
        high.totals = {44, 44, 44, 44, 44, 44, 44, 44, 88, 88, 88, 88};
        writeSheet("a.txt", low, "group");
        openGroup(writeSheet("b.txt", high, "group"));
        ASSERT_TRUE(dialogs->errors.isEmpty());
    }

    QString program;
};

TEST_F(ReportTest, PersonReportNamesTheRespondentAndHoldsTableChartsAndTheEditedAnalysis)
{
    openData(writeSheet("one.txt", AnswerSheet{}));
    child<QPlainTextEdit>(*form, "meInfo")
        ->appendPlainText("Вывод консультанта: культура держится на взаимодействии.");
    const QString pdf = saveReport("person.pdf");

    EXPECT_EQ(pageCount(pdf), 3);
    // Every font is in the file: the client's machine may have none of them.
    const QStringList fonts = run("pdffonts", {pdf}).split('\n', Qt::SkipEmptyParts).mid(2);
    EXPECT_FALSE(fonts.isEmpty());
    for (const QString &font : fonts)
        EXPECT_TRUE(font.contains(QRegularExpression("\\byes\\b\\s+(yes|no)\\s+(yes|no)\\s+\\d+")))
            << font.toStdString();
    const QString text = pdfText(pdf);
    for (const QString expected :
         {"Профиль организационной культуры", "Код 0451", "Дата 01.03.2024",
          "Ф.И.О Петрова Анна Сергеевна", "Сведения Бухгалтерия", "Главный бухгалтер",
          "Стаж 12 лет", "Казань", "N анкет 1", "Факторы (I) % Ф. (II) % Ф. (III) % Шкалы %",
          "Развитие 50 Инновация 50 Мотивация 50 Поощрение 50", "Страница 3 из 3"})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString();
    EXPECT_TRUE(text.contains("Дата отчёта " + todayText()));
    for (const QChar letter : QStringLiteral("ABCDEF"))
        EXPECT_TRUE(text.contains(chartView(letter, form->session().scores()).title)) << letter.toLatin1();
    // Every line of the memo, the user's own included, in its order.
    qsizetype from = 0;
    for (const QString &line : child<QPlainTextEdit>(*form, "meInfo")->toPlainText().split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        const qsizetype at = text.indexOf(simplified(line), from);
        EXPECT_GE(at, 0) << line.toStdString();
        from = std::max(from, at);
    }
    // The charts and the table stand before the analysis, on pages 1 and 2.
    EXPECT_TRUE(pdfText(pdf, 1, 1).contains("Диаграмма D"));
    EXPECT_TRUE(pdfText(pdf, 2, 2).contains("Графики A–F"));
    EXPECT_TRUE(pdfText(pdf, 3, 3).contains("Вывод консультанта: культура держится"));
}

TEST_F(ReportTest, GroupReportListsMembersAndTheSpreadOfTheSummaryValues)
{
    openTwoMemberGroup();
    const QString pdf = saveReport("group.pdf");

    // Page 2 has no room left for the spread table under the charts: it opens page 3.
    EXPECT_EQ(pageCount(pdf), 4);
    EXPECT_TRUE(pdfText(pdf, 3, 3).startsWith("Разброс итоговых показателей по группе"));
    const QString text = pdfText(pdf);
    for (const QString expected :
         {"Групповой профиль организационной культуры", "Код 0000", "Группа group",
          "Состав группы Орлова Вера 0001 01.03.2024", "Соколов Пётр 0002 01.03.2024", "N анкет 2",
          "Разброс итоговых показателей по группе",
          "Показатель n Среднее Ст. откл. Минимум Максимум"})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString();
    // n, mean, sample standard deviation, minimum and maximum of 50 and 75, the 95 % interval
    // 62.5 ± t(0.975, 1)·17.68/√2, and the factors' (II) agreement, the same answers giving 1.
    for (int i = 1; i <= kSummaryCount; ++i) {
        // The interval as shown, within 0-100 (-96,3–221,3 as computed).
        const QString row = ProfileStore::SummaryNames(i) + " 2 62,5 17,7 50,0 75,0 0,0–100,0" +
                            (i <= 4 ? " 1,00 " : " ");
        EXPECT_TRUE(text.contains(row)) << row.toStdString();
    }
    EXPECT_FALSE(text.contains("Внимание"));
    EXPECT_TRUE(text.contains("Инновационная составляющая развития (Проактивность) = 62,5%"));
    EXPECT_TRUE(text.contains("Преобладание согласия по поводу качества услуг над согласием по "
                              "поводу достижения прибыли = 0,0%"));
}

// The header box of a group names its first members; past four rows the fourth says how many
// more there are.
struct MemberRowsCase
{
    int members;
    int named;
    int more; // 0: no "и ещё" row
};

class GroupHeaderRows : public testing::TestWithParam<MemberRowsCase>
{
};

TEST_P(GroupHeaderRows, NameTheFirstMembersAndCountTheRest)
{
    const MemberRowsCase &c = GetParam();
    ReportContent content;
    content.header = {groupCode(), groupName(), QStringLiteral("01.03.2024"), {groupDetailsHead()}};
    for (int k = 1; k <= c.members; ++k)
        content.header.details
            << QStringLiteral("Участник %1 %2 01.03.2024").arg(k).arg(k, 4, 10, QLatin1Char('0'));
    content.nameCaption = groupName();
    content.group = true;
    content.count = c.members;
    content.today = QStringLiteral("02.03.2024");
    QTemporaryDir dir;
    const QString pdf = dir.filePath("group.pdf");
    {
        QFile file(pdf);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reportPdf(content));
    }
    const QString text = pdfText(pdf, 1, 1);
    for (int k = 1; k <= c.members; ++k) {
        const QString member =
            QStringLiteral("Участник %1 %2").arg(k).arg(k, 4, 10, QLatin1Char('0'));
        EXPECT_EQ(text.contains(member), k <= c.named) << member.toStdString();
    }
    if (c.more > 0)
        EXPECT_TRUE(text.contains(QStringLiteral("… и ещё %1").arg(c.more))) << text.toStdString();
    else
        EXPECT_FALSE(text.contains(QStringLiteral("и ещё")));
    EXPECT_TRUE(text.contains(QStringLiteral("N анкет %1").arg(c.members)));
}

INSTANTIATE_TEST_SUITE_P(Table, GroupHeaderRows,
                         testing::Values(MemberRowsCase{4, 4, 0}, MemberRowsCase{5, 3, 2},
                                         MemberRowsCase{10, 3, 7}),
                         [](const auto &row) { return std::to_string(row.param.members); });

TEST_F(ReportTest, PersonReportHasNoSpreadTable)
{
    openData(writeSheet("one.txt", AnswerSheet{}));
    EXPECT_FALSE(pdfText(saveReport("person.pdf")).contains("Разброс"));
}

// Header lines of 256 KiB without a blank reach the report as the memo shows them, cut for
// reading, not as hundreds of pages.
TEST_F(ReportTest, HugeHeaderLinesAreReportedAsTheMemoShowsThem)
{
    AnswerSheet sheet;
    sheet.name = QString(256 * 1024, QChar(0x041A));       // "К"
    sheet.details[0] = QString(256 * 1024, QChar(0x0420)); // "Р"
    openData(writeSheet("huge.txt", sheet));
    const QString pdf = saveReport("huge.pdf");
    EXPECT_LE(pageCount(pdf), 4);
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(sheet.name.left(40) + "…"));
    EXPECT_TRUE(text.contains(QString(40, QChar(0x0420))));
    EXPECT_TRUE(text.contains("Преобладание согласия по поводу качества услуг"));
}

TEST_F(ReportTest, LongAnalysisFlowsOverPagesWithoutLosingALine)
{
    openData(writeSheet("one.txt", AnswerSheet{}));
    QStringList lines;
    for (int i = 1; i <= 300; ++i)
        lines << QStringLiteral("Строка %1 текста анализа").arg(i);
    // One paragraph longer than a line wraps instead of running off the page.
    lines << QString("слово ").repeated(200).trimmed();
    child<QPlainTextEdit>(*form, "meInfo")->setPlainText(lines.join('\n'));
    const QString pdf = saveReport("long.pdf");

    const int pages = pageCount(pdf);
    ASSERT_GE(pages, 7);
    QString flowed;
    for (int page = 2; page <= pages; ++page) {
        const QString text = pdfText(pdf, page, page);
        EXPECT_TRUE(text.contains(QStringLiteral("Страница %1 из %2").arg(page).arg(pages)));
        flowed += text + ' ';
    }
    qsizetype from = 0;
    for (int i = 1; i <= 300; ++i) {
        const QString line = QStringLiteral("Строка %1 текста анализа").arg(i);
        const qsizetype at = flowed.indexOf(line, from);
        ASSERT_GE(at, 0) << line.toStdString();
        from = at + 1;
    }
    EXPECT_EQ(flowed.count("слово"), 200);
}

TEST_F(ReportTest, MenuItemsDialogAndProposedNames)
{
    const QList<QAction *> items = child<QMenu>(*form, "mmSave")->actions();
    ASSERT_GE(items.size(), 2);
    EXPECT_EQ(items[items.size() - 2]->text(), "Report (PDF)");
    EXPECT_EQ(items.back()->text(), "Print…");
    EXPECT_EQ(items.back()->shortcut(), QKeySequence("Ctrl+P"));

    // Before any load there is nothing to report, whatever reaches the commands.
    form->mmReportSaveClick();
    form->mmPrintClick();
    EXPECT_TRUE(dialogs->saves.empty());
    EXPECT_EQ(dialogs->printDialogs, 0);

    openData(writeSheet("one.txt", AnswerSheet{}));
    child<QLineEdit>(*form, "ceCode")->setText("7/../x");
    form->mmReportSaveClick();
    writeSheet("a.txt", AnswerSheet{}, "group");
    openGroup(writeSheet("b.txt", AnswerSheet{}, "group"));
    form->mmAnalysisSaveClick();
    form->mmReportSaveClick();

    const auto &s = dialogs->saves;
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[0].title, "Запись отчёта в pdf-файл");
    EXPECT_EQ(s[0].filter, "PDF Files (*.pdf)");
    EXPECT_EQ(QDir::cleanPath(s[0].folder), QDir::cleanPath(program + "Results"));
    EXPECT_EQ(s[0].proposed, program + "Results/Report 7_.._x.pdf");
    EXPECT_EQ(s[2].proposed, program + "Results/Report 0000 group.pdf");
    EXPECT_EQ(s[2].filter, "PDF Files (*.pdf)");
    EXPECT_TRUE(QDir(program + "Results").isEmpty());
}

TEST_F(ReportTest, NameWithoutPdfGetsItAndAnExistingFileOfThatNameIsAskedAbout)
{
    openData(writeSheet("one.txt", AnswerSheet{}));
    const QString extended = program + "Results/client.pdf";
    QFile old(extended);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old report");
    old.close();

    dialogs->answerYes = false;
    dialogs->saveAnswers << program + "Results/client";
    form->mmReportSaveClick();
    ASSERT_EQ(dialogs->questions.size(), 1);
    EXPECT_EQ(contents(extended), "old report");

    dialogs->answerYes = true;
    dialogs->saveAnswers << program + "Results/client";
    form->mmReportSaveClick();
    EXPECT_TRUE(contents(extended).startsWith("%PDF-"));
    EXPECT_FALSE(QFileInfo::exists(program + "Results/client"));
}

TEST_F(ReportTest, FailedWriteKeepsTheOldFileAndSaysCannotCreateFile)
{
    openData(writeSheet("one.txt", AnswerSheet{}));
    const QString folder = program + "Results";
    const QString target = folder + "/Report 0451.pdf";
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old report");
    old.close();
    if (!makeUnwritable(folder)) {
        makeWritable(folder);
        GTEST_SKIP() << "no way to make a folder unwritable here";
    }
    dialogs->saveAnswers << target;
    form->mmReportSaveClick();
    makeWritable(folder);

    EXPECT_EQ(dialogs->errors,
              QStringList{"Cannot create file " + QDir::toNativeSeparators(target)});
    EXPECT_EQ(contents(target), "old report");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"Report 0451.pdf"});
}

TEST_F(ReportTest, ReportLeavesTheWindowsViewsAsTheyWere)
{
    openData(writeSheet("one.txt", AnswerSheet{}));
    form->mmPlotFactorsIClick();
    form->mmImageFactorsIIClick();
    const QImage chartBefore = child<TChart>(*form, "ChartAll")->render();
    const QImage overlayBefore = child<TImage>(*form, "imPlot")->canvas();
    const ProfileStore storeBefore = form->session().scores();

    saveReport("view.pdf");
    EXPECT_EQ(child<TLabel>(*form, "laPlotN")->caption(), "D");
    EXPECT_EQ(child<TLabel>(*form, "laImageN")->caption(), "C");
    EXPECT_EQ(child<TChart>(*form, "ChartAll")->render(), chartBefore);
    EXPECT_EQ(child<TImage>(*form, "imPlot")->canvas(), overlayBefore);
    EXPECT_EQ(form->session().scores(), storeBefore);
}

TEST_F(ReportTest, PrintingPutsTheSamePagesOnThePrinter)
{
    openTwoMemberGroup();
    const QString saved = saveReport("saved.pdf");

    form->mmPrintClick(); // cancelled
    EXPECT_EQ(dialogs->printDialogs, 1);
    dialogs->printTo = dir.filePath("printed.pdf");
    form->mmPrintClick();
    EXPECT_EQ(dialogs->printDialogs, 2);
    EXPECT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join('\n').toStdString();

    ASSERT_TRUE(QFileInfo::exists(dialogs->printTo));
    EXPECT_EQ(pageCount(dialogs->printTo), pageCount(saved));
    EXPECT_EQ(pdfText(dialogs->printTo), pdfText(saved));
}

// pdftohtml's reading of a text standing alone on the page: 1 when its font is bold, 0 when not,
// -1 when it is not there.
int boldness(const QString &xml, const QString &text)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral(">(<b>)?%1(</b>)?</text>")
                               .arg(QRegularExpression::escape(text.toHtmlEscaped())))
            .match(xml);
    return m.hasMatch() ? int(m.capturedLength(1) > 0) : -1;
}

// With a reference, the comparison page stands between the charts and the group's spread: the
// reference named in its title, each value of the profile and the reference with their signed
// difference, the notable differences bold.
TEST_F(ReportTest, ComparisonPageFollowsTheCharts)
{
    openTwoMemberGroup();
    const QString plain = saveReport("plain.pdf");
    AnswerSheet sheet;
    sheet.code = "0777";
    sheet.name = "Белова Ирина";
    // Innovation 75 %, adaptation 50 %, competition 56.25 %: the group has 62.5 % in each.
    sheet.totals = {44, 32, 35, 32, 32, 32, 32, 32, 64, 64, 64, 64};
    form->setReference(
        loadReference(toNativePath(writeSheet("ref.txt", sheet, "reference")), todayText()));
    const QString compared = saveReport("compared.pdf");

    EXPECT_EQ(pageCount(compared), pageCount(plain) + 1);
    EXPECT_TRUE(pdfText(compared, 2, 2).contains("Графики A–F"));
    const QString page = pdfText(compared, 3, 3);
    EXPECT_TRUE(page.startsWith("Сравнение: 0777 Белова Ирина")) << page.toStdString();
    for (const QString expected :
         {"Показатель Профиль, % База, % Разность Итоговые показатели Инновация 62,5 75,0 -12,5",
          "Адаптация 62,5 50,0 +12,5", "Конкуренция 62,5 56,3 +6,2",
          "Шкалы Инновация / Поощрение 50,0 50,0 0,0",
          "Интеграция / Коммуникация 50,0 50,0 0,0 Факторы (III) Инновация / Мотивация 50,0 "
          "50,0 0,0",
          "Интеграция / Климат 50,0 50,0 0,0"})
        EXPECT_TRUE(page.contains(expected)) << expected.toStdString();
    EXPECT_TRUE(pdfText(compared, 4, 4).startsWith("Разброс итоговых показателей по группе"));

    const QString xml = run("pdftohtml", {"-xml", "-i", "-stdout", "-f", "3", "-l", "3", compared});
    EXPECT_EQ(boldness(xml, "-12,5"), 1);
    EXPECT_EQ(boldness(xml, "+12,5"), 1);
    EXPECT_EQ(boldness(xml, "+6,2"), 0);
    EXPECT_EQ(boldness(xml, "75,0"), 0);
}

// Members answering 1 and 7 throughout agree no more than chance: the report and the window's
// status warn of it, until a group without the problem is loaded.
TEST_F(ReportTest, LowAgreementIsWarnedInTheReportAndTheStatus)
{
    AnswerSheet low, high;
    low.answers = std::vector<int>(32, 1);
    high.answers = std::vector<int>(32, 7);
    writeSheet("a.txt", low, "split");
    openGroup(writeSheet("b.txt", high, "split"));
    const QString warning =
        "Внимание: участники группы мало согласны между собой (rwg(j) ниже 0,70: Инновация 0,00, "
        "Адаптация 0,00, Конкуренция 0,00, Интеграция 0,00), и среднее группы плохо описывает их.";
    const auto status = [this] {
        const auto *label = form->findChild<QLabel *>("laStatus");
        return label && label->isVisible() ? label->text() : QString();
    };
    form->show();
    EXPECT_EQ(status(), warning);
    EXPECT_TRUE(pdfText(saveReport("split.pdf")).contains(warning));
    EXPECT_TRUE(child<TStringGrid>(*form, "sgResF")
                    ->cellHint(3, 1)
                    .endsWith("\nСогласие rwg(j): 0,00 — среднее плохо описывает группу"));

    openTwoMemberGroup();
    EXPECT_EQ(status(), "");
}

// Two groups: the differences Welch's test finds after Benjamini-Hochberg are framed on the
// comparison page and said in the hints; a respondent against a group is given a percentile,
// but not against a group below the spread minimum.
TEST_F(ReportTest, ComparisonMarksTheDifferencesThatHoldAndPlacesARespondent)
{
    // Summary values 75 and 66.7 against 25 and 33.3; Интеграция 50 and 58.3 on both sides.
    const auto group = [this](const QString &folder, int first, int second, int size = 8) {
        for (int m = 0; m < size; ++m) {
            AnswerSheet sheet;
            const int t = m % 2 ? first : second;
            sheet.totals = {t, t, t, m % 2 ? 32 : 36, t, t, t, t, 2 * t, 2 * t, 2 * t, 2 * t};
            writeSheet(QStringLiteral("m%1.txt").arg(m), sheet, folder);
        }
        return dir.filePath(folder);
    };
    const QString reference = group("lo", 20, 24);
    openGroup(group("hi", 44, 40) + "/m0.txt");
    form->setReference(loadReference(toNativePath(reference), todayText()));
    EXPECT_TRUE(child<TStringGrid>(*form, "sgResF")
                    ->cellHint(3, 1)
                    .endsWith("\nРазница значима (критерий Уэлча, p < 0,001)"));
    const QString compared = saveReport("compared.pdf");
    const QString page = pdfText(compared, 3, 3);
    EXPECT_TRUE(page.contains("Разность p Итоговые показатели Инновация 70,8 29,2 +41,6 p < 0,001 "
                              "Адаптация"));
    EXPECT_TRUE(page.contains("Интеграция 54,2 54,2 0,0 p = 1,000 Поощрение"));
    EXPECT_TRUE(
        page.contains("В рамке — разности не меньше 5 пунктов, не объяснимые случайностью"));
    // The frame's left side, 1354 units right of the body and 4 below the row's top, is drawn
    // beside Инновация (row 1) and not beside Интеграция (row 4).
    const QImage image = pdfPage(compared, 3, dir.filePath("compared"));
    const auto px = [](double units) { return int((150 + units) * 100 / 254); };
    const auto frameSide = [&](int row) {
        const double top = 182 + (row - 1) * 46;
        return pixelsNear(image, QRect(px(1352), px(top + 12), 4, 8), QColor(33, 37, 41), 120);
    };
    EXPECT_GT(frameSide(1), 4);
    EXPECT_EQ(frameSide(4), 0);

    openData(writeSheet("one.txt", AnswerSheet{}));
    EXPECT_TRUE(child<TStringGrid>(*form, "sgResF")
                    ->cellHint(3, 1)
                    .endsWith("\nПроцентиль в группе сравнения: 100"));
    const QString placed = pdfText(saveReport("placed.pdf"), 3, 3);
    EXPECT_TRUE(placed.contains("Разность Процентиль Итоговые показатели Инновация 50,0 29,2 "
                                "+20,8 100 Адаптация"));
    EXPECT_TRUE(placed.contains("Интеграция 50,0 54,2 -4,2 25 Поощрение"));

    form->setReference(loadReference(toNativePath(group("team", 20, 24, 4)), todayText()));
    EXPECT_TRUE(child<TStringGrid>(*form, "sgResF")
                    ->cellHint(3, 1)
                    .endsWith("\nПроверка различий не показывается: в группе меньше 8 анкет"));
    EXPECT_FALSE(pdfText(saveReport("team.pdf"), 3, 3).contains("Процентиль"));
}

// The pages as pictures: the wheel, the three polygons and the table colours on page 1, a
// painted chart in each of the six places of page 2.
TEST_F(ReportTest, PagesShowTheDiagramTableAndCharts)
{
    AnswerSheet sheet;
    sheet.totals = {10, 20, 30, 40, 50, 54, 44, 34, 20, 40, 60, 100};
    openData(writeSheet("one.txt", sheet));
    const QString pdf = saveReport("look.pdf");

    // 100 dpi: a millimetre of the page is 100 / 25.4 pixels; the content starts 15 mm in.
    const auto px = [](double tenthsOfMm) { return int((150 + tenthsOfMm) / 10 * 100 / 25.4); };
    const QImage first = pdfPage(pdf, 1, dir.filePath("page1"));
    ASSERT_FALSE(first.isNull());
    const QRect table(px(0), px(650), px(1800) - px(0), px(1400) - px(650));
    const QRect diagram(px(0), px(1550), px(1800) - px(0), px(2500) - px(1550));
    EXPECT_GT(pixelsNear(first, table, kHighColor, 60), 5);
    EXPECT_GT(pixelsNear(first, table, kLowColor, 60), 5);
    EXPECT_GT(pixelsNear(first, diagram, kWheelBandColor, 10), 500);
    for (const QColor &polygon : {kViewAColor, kViewBColor, kViewCColor})
        EXPECT_GT(pixelsNear(first, diagram, polygon, 40), 20) << polygon.name().toStdString();

    const QImage second = pdfPage(pdf, 2, dir.filePath("page2"));
    ASSERT_FALSE(second.isNull());
    for (int i = 0; i < 6; ++i) {
        const double left = (i % 2) * 930, top = 90 + (i / 2) * 675;
        const QRect box(px(left + 20), px(top + 20), px(left + 850) - px(left + 20),
                        px(top + 590) - px(top + 20));
        int saturated = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x) {
                const QColor c = second.pixelColor(x, y);
                saturated += std::max({c.red(), c.green(), c.blue()}) -
                                 std::min({c.red(), c.green(), c.blue()}) >
                             150;
            }
        EXPECT_GT(saturated, 30) << "chart " << char('A' + i);
    }
}

// ---- a subgroup opened from a breakdown names none of its members anywhere, and below the
// spread minimum shows no spread

struct AnonymityCase
{
    const char *name;
    const char *shows; // what the text must hold, so that it is the path's own
    // What the path gives a client, as text, from the results folder it saves into.
    std::function<QString(TForm1 &, ScriptedDialogs::Shared &, const QString &)> text;
};

void PrintTo(const AnonymityCase &c, std::ostream *os)
{
    *os << c.name;
}

// The file the save command wrote through the scripted dialog.
QString saved(TForm1 &form, ScriptedDialogs::Shared &dialogs, const QString &target,
              void (TForm1::*command)())
{
    dialogs.saveAnswers << target;
    (form.*command)();
    QFile file(target);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : "<not written>";
}

class SubgroupAnonymity : public ReportTest, public testing::WithParamInterface<AnonymityCase>
{
};

TEST_P(SubgroupAnonymity, NamesNoMemberAndNoExtreme)
{
    // Four of "Склад" and three of "Офис", each with a name, code and file name of their own.
    QStringList secrets;
    for (int i = 0; i < 7; ++i) {
        AnswerSheet sheet;
        sheet.code = QStringLiteral("Q%1Z").arg(i);
        sheet.name = QStringLiteral("Тайнова%1").arg(i);
        sheet.details[0] = i < 4 ? QStringLiteral("Склад") : QStringLiteral("Офис");
        sheet.answers[8] = 1 + i;
        writeSheet(QStringLiteral("secretfile%1.txt").arg(i), sheet, "firm");
        secrets << sheet.code << sheet.name << QStringLiteral("secretfile%1").arg(i);
    }
    const LoadedProfile whole = loadGroup(dir.filePath("firm"), todayText());
    const Breakdown breakdown = splitGroup(whole, 4, Disclosure{3});
    ASSERT_EQ(breakdown.shown.size(), 2u);
    form->showSubgroup(breakdown.shown[0].profile, whole,
                       std::make_shared<BreakdownTable>(breakdownTable(whole, breakdown, "firm")));

    const QString text = GetParam().text(*form, *dialogs, program + "Results/");
    EXPECT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join('\n').toStdString();
    EXPECT_TRUE(text.contains(QString::fromUtf8(GetParam().shows))) << text.toStdString();
    for (const QString &secret : secrets)
        EXPECT_FALSE(text.contains(secret)) << secret.toStdString();
    // Four members are below the spread minimum: no sd or interval either.
    for (const char *extreme :
         {"Минимум", "Максимум", "\nmin", "\nmax", "\nsd", "Ст. откл.", "ДИ 95"})
        EXPECT_FALSE(text.contains(QString::fromUtf8(extreme))) << extreme;
}

const auto kWorkbookCells = [](TForm1 &form, ScriptedDialogs::Shared &dialogs,
                               const QString &results) {
    saved(form, dialogs, results + "t.xlsx", &TForm1::mmWorkbookSaveClick);
    return run("/usr/bin/python3",
               {"-c",
                "import openpyxl, sys\n"
                "for sheet in openpyxl.load_workbook(sys.argv[1]):\n"
                "    for row in sheet.iter_rows(values_only=True):\n"
                "        print('\\n'.join(str(v) for v in row if v is not None))\n",
                results + "t.xlsx"});
};

INSTANTIATE_TEST_SUITE_P(
    Table, SubgroupAnonymity,
    testing::Values(
        AnonymityCase{"memo", "Подгруппа «Склад»: 4 анкеты",
                      [](TForm1 &form, auto &, auto &) {
                          return child<QPlainTextEdit>(form, "meInfo")->toPlainText();
                      }},
        AnonymityCase{"analysis_file", "Подгруппа «Склад»: 4 анкеты",
                      [](TForm1 &form, auto &dialogs, const QString &results) {
                          dialogs.saveAnswers << results + "a.rtf";
                          form.mmAnalysisSaveClick();
                          QFile file(results + "a.rtf");
                          return file.open(QIODevice::ReadOnly)
                                     ? QStringDecoder("Windows-1251").decode(file.readAll())
                                     : QString();
                      }},
        AnonymityCase{"labels_and_chart_foot", "0000. Склад",
                      [](TForm1 &form, auto &, auto &) {
                          return QStringList{
                              child<TLabel>(form, "laInfoImage")->caption(), form.detailsText(),
                              child<TChart>(form, "ChartAll")->Foot().Text().join('\n'),
                              child<QLineEdit>(form, "ceCode")->text(),
                              child<QLineEdit>(form, "ceName")->text()}
                              .join('\n');
                      }},
        AnonymityCase{"csv_table", "\nmean",
                      [](TForm1 &form, auto &dialogs, const QString &results) {
                          return saved(form, dialogs, results + "t.csv", &TForm1::mmTableSaveClick);
                      }},
        AnonymityCase{"workbook", "\nmean", kWorkbookCells},
        AnonymityCase{"report", "Подгруппа «Склад»: 4 анкеты",
                      [](TForm1 &form, auto &dialogs, const QString &results) {
                          saved(form, dialogs, results + "r.pdf", &TForm1::mmReportSaveClick);
                          return pdfText(results + "r.pdf");
                      }},
        AnonymityCase{"print", "Подгруппа «Склад»: 4 анкеты",
                      [](TForm1 &form, auto &dialogs, const QString &results) {
                          dialogs.printTo = results + "p.pdf";
                          form.mmPrintClick();
                          return pdfText(results + "p.pdf");
                      }}),
    [](const auto &row) { return std::string(row.param.name); });

// Page 1 with a reference: its name under the legend, in the body (1082 px down at 100 dpi).
TEST_F(ReportTest, FirstPageNamesTheReferenceUnderTheLegend)
{
    openData(writeSheet("one.txt", {}));
    const QString folder = "Отдел маркетинга и стратегических коммуникаций Уральского филиала";
    writeSheet("r.txt", {}, folder);
    form->setReference(loadReference(toNativePath(dir.filePath(folder)), todayText()));
    const QString body = run("pdftotext", {"-r", "100", "-f", "1", "-l", "1", "-W", "827", "-H",
                                           "1082", saveReport("reference.pdf"), "-"});
    EXPECT_TRUE(body.simplified().contains("Факторы (II) (C) " + folder + ", файлов: 1"));
}

} // namespace
