// The breakdown in the window: the command from its dialogs to its own window, a row opened in
// the main window, the saves of the table and the heat map, the heat colours as they are
// painted on screen and on the page, and the heat map added to the report.
#include "AppTestSupport.h"

#include "Breakdown.h"
#include "BreakdownPage.h"
#include "BreakdownWindow.h"
#include "GroupLoader.h"
#include "GroupTexts.h"
#include "ProfileStore.h"
#include "ReportCommands.h"
#include "Scoring.h"
#include "TLabel.h"
#include "TPanel.h"

#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>

namespace {

// ---- the heat colours

struct HeatCase
{
    const char *name;
    double points;
    QColor colour;
};

void PrintTo(const HeatCase &c, std::ostream *os)
{
    *os << c.name;
}

class HeatColourRule : public testing::TestWithParam<HeatCase>
{
};

TEST_P(HeatColourRule, ColourOfADifference)
{
    EXPECT_EQ(heatColour(GetParam().points), GetParam().colour);
}

// Half way from white to the full colours (229, 83, 75) and (76, 175, 90), rounded.
INSTANTIATE_TEST_SUITE_P(
    Table, HeatColourRule,
    testing::Values(HeatCase{"equal_is_white", 0, QColor(255, 255, 255)},
                    HeatCase{"ten_above_half_green", 10, QColor(166, 215, 173)},
                    HeatCase{"ten_below_half_red", -10, QColor(242, 169, 165)},
                    HeatCase{"twenty_above_full_green", 20, QColor(76, 175, 90)},
                    HeatCase{"twenty_below_full_red", -20, QColor(229, 83, 75)},
                    HeatCase{"beyond_twenty_stays_full", 35, QColor(76, 175, 90)},
                    HeatCase{"beyond_minus_twenty_stays_full", -80, QColor(229, 83, 75)},
                    HeatCase{"half_a_point_nearly_white", -0.5, QColor(254, 251, 251)}),
    [](const auto &row) { return std::string(row.param.name); });

// A breakdown whose first summary value lies 0, +10, -10, +20 and -20 points from the whole
// folder's 50, every other value equal to it.
const std::array<double, 5> kDifferences{0, 10, -10, 20, -20};

BreakdownTable heatTable(bool different = true)
{
    BreakdownTable table;
    table.folder = QStringLiteral("Компания");
    table.line = 4;
    table.disclosure.minSize = 3;
    BreakdownRow whole;
    whole.name = wholeFolderName();
    whole.kind = SubgroupKind::Whole;
    whole.count = 30;
    whole.summary.fill(50);
    whole.scales.fill(50);
    table.rows.push_back(whole);
    for (std::size_t i = 0; i < kDifferences.size(); ++i) {
        BreakdownRow row = whole;
        row.kind = SubgroupKind::Named;
        row.name = QStringLiteral("Отдел %1").arg(i + 1);
        row.count = 6;
        row.summary[1] = 50 + (different ? kDifferences[i] : 0);
        table.rows.push_back(row);
    }
    return table;
}

// The same with subgroups up to rows rows in all.
BreakdownTable longTable(std::size_t rows)
{
    BreakdownTable table = heatTable();
    while (table.rows.size() < rows) {
        BreakdownRow row = table.rows[table.rows.size() % kDifferences.size() + 1];
        row.name = QStringLiteral("Отдел №%1").arg(table.rows.size());
        table.rows.push_back(row);
    }
    return table;
}

bool near(const QColor &a, const QColor &b, int tolerance)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
               std::abs(a.blue() - b.blue()) <=
           tolerance;
}

int pixelsNear(const QImage &image, const QColor &colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += near(image.pixelColor(x, y), colour, 6);
    return n;
}

TEST(HeatMapWindow, CellsPaintedInTheirHeatColours)
{
    auto table = std::make_shared<const BreakdownTable>(heatTable());
    HeadlessDialogs dialogs([](const QString &) {});
    BreakdownWindow window(
        {std::make_shared<const LoadedProfile>(), std::make_shared<const Breakdown>(), table, {}},
        dialogs, nullptr);
    window.show();
    const QImage shot = window.tvSubgroups->viewport()->grab().toImage();
    for (std::size_t i = 0; i < kDifferences.size(); ++i) {
        const QRect cell = window.tvSubgroups->visualRect(
            window.model->index(int(i) + 1, BreakdownModel::kFirstValueColumn));
        // A corner of the cell, away from its number and its grid line.
        const QColor painted = shot.pixelColor(cell.topLeft() + QPoint(3, 3));
        EXPECT_TRUE(near(painted, heatColour(kDifferences[i]), 3))
            << kDifferences[i] << " points painted " << painted.name().toStdString();
        // The next column is equal to the whole folder: white.
        const QRect equal = window.tvSubgroups->visualRect(
            window.model->index(int(i) + 1, BreakdownModel::kFirstValueColumn + 1));
        EXPECT_TRUE(near(shot.pixelColor(equal.topLeft() + QPoint(3, 3)), Qt::white, 3));
    }
}

TEST(HeatMapWindow, SignificantCellsFramedAndTheShareRowLast)
{
    BreakdownTable marked = heatTable();
    marked.rows[4].significant[0] = true; // the +20 cell; the -20 below it stays unmarked
    marked.icc1[0] = 0.42;
    HeadlessDialogs dialogs([](const QString &) {});
    BreakdownWindow window({std::make_shared<const LoadedProfile>(),
                            std::make_shared<const Breakdown>(),
                            std::make_shared<const BreakdownTable>(marked),
                            {}},
                           dialogs, nullptr);
    window.show();
    const QImage shot = window.tvSubgroups->viewport()->grab().toImage();
    const auto framed = [&](int row) {
        const QRect cell = window.tvSubgroups->visualRect(
            window.model->index(row, BreakdownModel::kFirstValueColumn));
        int dark = 0;
        for (int x = 1; x <= 3; ++x)
            dark += shot.pixelColor(cell.left() + x, cell.top() + 4).lightness() < 60;
        return dark > 0;
    };
    EXPECT_TRUE(framed(4));
    EXPECT_FALSE(framed(5));
    const int share = window.model->rowCount() - 1;
    EXPECT_EQ(window.model->index(share, BreakdownModel::kNameColumn).data().toString(),
              QStringLiteral("доля различий между подгруппами"));
    EXPECT_EQ(window.model->index(share, BreakdownModel::kFirstValueColumn).data().toString(),
              QStringLiteral("42"));
    EXPECT_EQ(window.model->index(share, BreakdownModel::kFirstValueColumn + 1).data().toString(),
              QStringLiteral("—"));

    // On the page the frame adds its dark line around the cell.
    const auto darkPixels = [](const BreakdownTable &table) {
        QImage image(900, 1335, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.scale(image.width() / kReportWidth, image.width() / kReportWidth);
        paintBreakdownPage(painter, table, 0, QStringLiteral("01.06.2031"));
        painter.end();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixelColor(x, y).lightness() < 60;
        return n;
    };
    EXPECT_GT(darkPixels(marked) - darkPixels(heatTable()), 150);
}

TEST(HeatMapWindow, WholeFolderRowStaysInViewWhenScrolled)
{
    HeadlessDialogs dialogs([](const QString &) {});
    BreakdownWindow window({std::make_shared<const LoadedProfile>(),
                            std::make_shared<const Breakdown>(),
                            std::make_shared<const BreakdownTable>(longTable(201)),
                            {}},
                           dialogs, nullptr);
    window.show();
    QTableView *view = window.tvSubgroups;
    const auto topRow = [view] {
        const QRect area = view->viewport()->geometry();
        return view->grab(QRect(area.topLeft(), QSize(area.width(), view->rowHeight(0)))).toImage();
    };
    const QImage before = topRow();
    // A row chosen (a click, the double click that opens it) is not brought under it.
    view->setCurrentIndex(window.model->index(3, 0));
    EXPECT_EQ(topRow(), before);
    view->scrollToBottom();
    ASSERT_GT(view->verticalScrollBar()->value(), 0);
    EXPECT_EQ(topRow(), before);
    // A row brought into view comes out from under it.
    const QModelIndex middle = window.model->index(100, 0);
    view->scrollTo(middle);
    EXPECT_GE(view->visualRect(middle).top(), view->rowHeight(0));
}

TEST(HeatMapPage, EveryPageRepeatsTheWholeFolderRow)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("heat.pdf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(breakdownPdf(longTable(201), QStringLiteral("01.06.2031")));
    file.close();
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(-1));
    const QStringList pages =
        QString::fromUtf8(text.readAllStandardOutput()).split('\f', Qt::SkipEmptyParts);
    ASSERT_GT(pages.size(), 3);
    for (int page = 0; page < pages.size(); ++page)
        EXPECT_TRUE(pages[page].contains(QStringLiteral("Вся папка"))) << "page " << page + 1;
    EXPECT_TRUE(pages[0].simplified().contains(QStringLiteral("строки двух разбивок одной папки")));
}

TEST(HeatMapPage, CellsPaintedInTheirHeatColours)
{
    // The same page with every subgroup equal to the whole folder has the legend's colours
    // only; the cells add the rest.
    const auto render = [](const BreakdownTable &table) {
        QImage image(900, 1335, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.scale(image.width() / kReportWidth, image.width() / kReportWidth);
        paintBreakdownPage(painter, table, 0, QStringLiteral("01.06.2031"));
        return image;
    };
    const QImage heat = render(heatTable());
    const QImage plain = render(heatTable(false));
    // A summary cell is about 50 x 24 pixels here, its number aside.
    for (const double points : {10.0, -10.0, 20.0, -20.0})
        EXPECT_GT(pixelsNear(heat, heatColour(points)) - pixelsNear(plain, heatColour(points)), 500)
            << points;
    EXPECT_EQ(breakdownPageCount(heatTable()), 1);
}

// ---- where the tables stand on the pages

struct BlocksCase
{
    const char *name;
    int rows;
    double firstTop;
    double bottom;
    std::vector<HeatBlock> blocks;
};

void PrintTo(const BlocksCase &c, std::ostream *os)
{
    *os << c.name;
}

class HeatBlocksRule : public testing::TestWithParam<BlocksCase>
{
};

// Headings 100 high, rows 20, kHeatTableGap (60) after a block.
TEST_P(HeatBlocksRule, PlacesTheTables)
{
    const BlocksCase &c = GetParam();
    EXPECT_EQ(heatBlocks(c.rows, c.firstTop, c.bottom, {100, 20}, {100, 20}), c.blocks);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HeatBlocksRule,
    testing::Values(
        BlocksCase{
            "both_on_the_first_page", 3, 100, 1000, {{0, false, 100, 0, 3}, {0, true, 320, 0, 3}}},
        BlocksCase{"summary_goes_on_with_its_heading",
                   10,
                   800,
                   1000,
                   {{0, false, 800, 0, 5}, {1, false, 0, 5, 5}, {1, true, 280, 0, 10}}},
        BlocksCase{"no_room_for_a_heading_and_a_row",
                   2,
                   890,
                   1000,
                   {{1, false, 0, 0, 2}, {1, true, 200, 0, 2}}},
        BlocksCase{
            "a_row_a_page_at_least",
            2,
            0,
            110,
            {{0, false, 0, 0, 1}, {1, false, 0, 1, 1}, {2, true, 0, 0, 1}, {3, true, 0, 1, 1}}}),
    [](const auto &row) { return std::string(row.param.name); });

// ---- the command

class BreakdownCommandTest : public WindowTest
{
protected:
    // A company: three in the store, two in accounting, one who left the line empty.
    QString writeCompany()
    {
        QString any;
        const struct
        {
            const char *file;
            const char *department;
            int answer;
        } people[] = {{"a1.txt", "Склад", 2}, {"a2.txt", "Бухгалтерия", 6}, {"a3.txt", "склад ", 3},
                      {"a4.txt", "", 5},      {"a5.txt", "Бухгалтерия", 7}, {"a6.txt", "Склад", 4}};
        for (const auto &person : people) {
            AnswerSheet sheet;
            sheet.name = QString::fromLatin1(person.file);
            sheet.details[0] = QString::fromUtf8(person.department);
            sheet.answers.assign(32, person.answer);
            sheet.totals.assign(12, 8 * person.answer);
            any = writeSheet(QString::fromLatin1(person.file), sheet, QStringLiteral("company"));
        }
        return any;
    }

    BreakdownWindow *runBreakdown(const QString &anyFile, std::optional<BreakdownChoice> choice)
    {
        dialogs->answers << anyFile;
        dialogs->breakdownChoice = choice;
        form->mmBreakdownClick();
        return form->findChild<BreakdownWindow *>();
    }

    static QStringList rowNames(const BreakdownWindow &window)
    {
        QStringList names;
        for (int r = 0; r < window.model->subgroupRows(); ++r)
            names << window.model->index(r, BreakdownModel::kNameColumn).data().toString() +
                         QLatin1Char(' ') +
                         window.model->index(r, BreakdownModel::kCountColumn).data().toString();
        return names;
    }
};

TEST_F(BreakdownCommandTest, AsksTheLineThenShowsTheSubgroups)
{
    BreakdownWindow *window = runBreakdown(writeCompany(), BreakdownChoice{4, Disclosure{3}});
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join('\n').toStdString();
    ASSERT_EQ(dialogs->breakdownTexts.size(), 1u);
    EXPECT_EQ(dialogs->breakdownTexts[0],
              (QStringList{"Склад", "Главный бухгалтер", "Стаж 12 лет", "Казань"}));
    EXPECT_EQ(rowNames(*window), (QStringList{"Вся папка 6", "Склад 3", "Прочие 3"}));
    EXPECT_TRUE(window->laNotes->text().contains("объединено файлов: 3, не показано файлов: 0"));
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isModal());
    // The main window shows nothing of it until a row is opened.
    EXPECT_EQ(form->lastLoad(), nullptr);
}

TEST_F(BreakdownCommandTest, CancelledOrFailingLeavesEverythingAsItWas)
{
    const QString any = writeCompany();
    EXPECT_EQ(runBreakdown(any, std::nullopt), nullptr);

    // A member that does not load stops the command with the Group command's message, before
    // anything is asked.
    AnswerSheet bad;
    bad.badLine = 12;
    bad.badText = "x7";
    writeSheet("a9.txt", bad, "company");
    openGroup(any);
    ASSERT_EQ(dialogs->errors.size(), 1);
    dialogs->breakdownTexts.clear();
    EXPECT_EQ(runBreakdown(any, BreakdownChoice{4, Disclosure{3}}), nullptr);
    ASSERT_EQ(dialogs->errors.size(), 2);
    EXPECT_EQ(dialogs->errors[1], dialogs->errors[0]);
    EXPECT_TRUE(dialogs->breakdownTexts.empty());
    EXPECT_EQ(form->lastLoad(), nullptr);
}

TEST_F(BreakdownCommandTest, DoubleClickOpensTheSubgroupAsAGroup)
{
    BreakdownWindow *window = runBreakdown(writeCompany(), BreakdownChoice{4, Disclosure{3}});
    ASSERT_NE(window, nullptr);
    window->openRow(1);
    ASSERT_NE(form->lastLoad(), nullptr);
    EXPECT_EQ(child<QLineEdit>(*form, "ceName")->text(), QStringLiteral("Склад"));
    EXPECT_EQ(child<QLineEdit>(*form, "ceNanket")->text(), QStringLiteral("3"));
    EXPECT_EQ(child<QLineEdit>(*form, "ceCode")->text(), QStringLiteral("0000"));
    EXPECT_EQ(child<QLabel>(*form, "laName")->text(), QStringLiteral("Группа"));
    EXPECT_TRUE(form->lastLoad()->group);
    // Anonymous: no member is kept to be listed or tabled.
    EXPECT_TRUE(form->lastLoad()->anonymous);
    EXPECT_TRUE(form->lastLoad()->members.empty());
    // The store the views read is the subgroup's, in percent: answers 2, 3 and 4.
    ProfileStore expected = form->lastLoad()->store;
    convertToPercent(expected);
    EXPECT_EQ(form->session().scores(), expected);
    EXPECT_DOUBLE_EQ(form->session().scores().SummaryScores[1], (8 * 3 - 8) * 100.0 / 48);
    ASSERT_NE(form->breakdownOrigin(), nullptr);
    EXPECT_EQ(form->breakdownOrigin()->rows.size(), 3u);
    // Every view shows the subgroup over the whole folder.
    ASSERT_NE(form->reference(), nullptr);
    EXPECT_EQ(form->reference()->count, 6);
    EXPECT_EQ(child<TLabel>(*form, "laCompareImage")->caption(),
              QStringLiteral("company, файлов: 6"));
    EXPECT_TRUE(
        child<TLabel>(*form, "laCompareImage")->isVisibleTo(child<TPanel>(*form, "paPlot")));

    // The report of the opened subgroup ends with the heat map; another load's does not.
    ReportContent content = reportContentOf(*form);
    ASSERT_TRUE(content.breakdown.has_value());
    const int withHeatMap = reportPageCount(content);
    content.breakdown.reset();
    EXPECT_EQ(withHeatMap, reportPageCount(content) + 1);

    // The whole folder's row opens the whole folder.
    window->openRow(0);
    EXPECT_EQ(child<QLineEdit>(*form, "ceNanket")->text(), QStringLiteral("6"));
    openGroup(dir.filePath("company/a1.txt"));
    EXPECT_EQ(form->breakdownOrigin(), nullptr);
    EXPECT_FALSE(reportContentOf(*form).breakdown.has_value());
}

TEST_F(BreakdownCommandTest, ColumnsSortWithTheWholeFolderOnTop)
{
    BreakdownWindow *window = runBreakdown(writeCompany(), BreakdownChoice{4, Disclosure{1}});
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(rowNames(*window),
              (QStringList{"Вся папка 6", "Склад 3", "Бухгалтерия 2", "(не указано) 1"}));
    // Highest first (accounting's answers are the highest), then lowest first.
    QHeaderView *header = window->tvSubgroups->horizontalHeader();
    emit header->sectionClicked(BreakdownModel::kFirstValueColumn);
    EXPECT_EQ(rowNames(*window),
              (QStringList{"Вся папка 6", "Бухгалтерия 2", "(не указано) 1", "Склад 3"}));
    emit header->sectionClicked(BreakdownModel::kFirstValueColumn);
    EXPECT_EQ(rowNames(*window),
              (QStringList{"Вся папка 6", "Склад 3", "(не указано) 1", "Бухгалтерия 2"}));
    emit header->sectionClicked(BreakdownModel::kNameColumn);
    EXPECT_EQ(rowNames(*window),
              (QStringList{"Вся папка 6", "(не указано) 1", "Бухгалтерия 2", "Склад 3"}));
    // The share of the differences between the subgroups stays under them.
    EXPECT_EQ(window->model->index(4, BreakdownModel::kNameColumn).data().toString(),
              breakdownShareRowName());
    // A double click opens the row shown, whatever the order.
    window->openRow(3);
    EXPECT_EQ(child<QLineEdit>(*form, "ceName")->text(), QStringLiteral("Склад"));

    EXPECT_EQ(window->model->columnCount(), 2 + kSummaryCount);
    window->cbScales->setChecked(true);
    EXPECT_EQ(window->model->columnCount(), 2 + kSummaryCount + kScaleScoreCount);
    EXPECT_EQ(window->model->headerData(2 + kSummaryCount, Qt::Horizontal, Qt::DisplayRole),
              QStringLiteral("Инновация / Поощрение"));
}

TEST_F(BreakdownCommandTest, SavesTheTableAndTheHeatMap)
{
    const QString program = useProgramFolder();
    BreakdownWindow *window = runBreakdown(writeCompany(), BreakdownChoice{4, Disclosure{3}});
    ASSERT_NE(window, nullptr);
    // Accounting and the one without a department answered higher than the store.
    emit window->tvSubgroups->horizontalHeader()->sectionClicked(BreakdownModel::kFirstValueColumn);

    const QString csv = dir.filePath("table.csv");
    dialogs->saveAnswers << csv;
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Russian));
    window->btSaveCsvClick();
    QLocale::setDefault(before);
    ASSERT_EQ(dialogs->saves.size(), 1u);
    EXPECT_EQ(dialogs->saves[0].proposed,
              program + QStringLiteral("Results/Подгруппы company (строка 4).csv"));
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    // The spreadsheet style of a Russian desktop; the rows in the window's order.
    ASSERT_EQ(lines.size(), 7); // the rows icc1 and icc2, nothing after the last line end
    EXPECT_TRUE(lines[0].startsWith("\xEF\xBB\xBFname;count;summary1;"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Вся папка;6;").toUtf8()));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("Прочие;3;").toUtf8()));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("Склад;3;").toUtf8()));
    EXPECT_TRUE(lines[3].contains(",")); // a decimal comma

    // A name typed without ".pdf" gets it.
    dialogs->saveAnswers << dir.filePath("heat");
    window->btSavePdfClick();
    QFile pdf(dir.filePath("heat.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    EXPECT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join('\n').toStdString();
}

TEST(HeatMapPage, LastColumnRuleDrawnAsTheFirst)
{
    // At a pixel per logical unit every rule is at least a pixel wide; the page's value cells
    // start after its name and count columns (52 and 9 mm) and end at the page's right edge.
    constexpr int kValuesLeft = 520 + 90;
    const int right = int(kReportWidth);
    QImage image(right + 10, int(kReportHeight), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintBreakdownPage(painter, heatTable(), 0, QStringLiteral("01.06.2031"));
    painter.end();
    const QColor rule(190, 198, 208);
    const auto ruled = [&](int x) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            n += image.pixelColor(x - 1, y) == rule || image.pixelColor(x, y) == rule;
        return n;
    };
    ASSERT_GT(ruled(kValuesLeft), 200);
    EXPECT_GE(ruled(right), ruled(kValuesLeft));
}

} // namespace
