// The trend in the window: the command from its folder dialog to its own window, a wave opened
// over the wave before it, the saves, the marks of a significant change as they are painted, and
// where each value is written beside its point.
#include "AppTestSupport.h"

#include "HeatPage.h"
#include "ProfileStore.h"
#include "ReportCommands.h"
#include "SafeFile.h"
#include "TChart.h"
#include "TLineSeries.h"
#include "TrendPage.h"
#include "TrendWindow.h"

#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>

namespace {

// ---- where the values go

struct UnderCase
{
    const char *name;
    std::vector<double> values;
    double lowest;
    std::vector<bool> under;
};

void PrintTo(const UnderCase &c, std::ostream *os)
{
    *os << c.name;
}

class TrendValuesUnderRule : public testing::TestWithParam<UnderCase>
{
};

// An axis of 60 points: a value's text is about 3 points high, 2 points off its point.
TEST_P(TrendValuesUnderRule, KeepsCloseValuesApart)
{
    EXPECT_EQ(trendValuesUnder(GetParam().values, GetParam().lowest, 60), GetParam().under);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TrendValuesUnderRule,
    testing::Values(UnderCase{"far_apart_all_over", {20, 50, 80}, 0, {false, false, false}},
                    UnderCase{"the_lower_of_two_close_goes_under", {50, 53}, 0, {true, false}},
                    UnderCase{"whatever_the_order_of_the_lines", {53, 50}, 0, {false, true}},
                    UnderCase{
                        "three_close_the_highest_stays_over", {50, 53, 56}, 0, {true, true, false}},
                    UnderCase{"none_under_the_axis", {3, 5}, 2, {false, false}}),
    [](const auto &row) { return std::string(row.param.name); });

// ---- the marks as painted

// Three waves of equal values but the first factor's, which rises 20 points into the second
// wave, a change marked significant.
Trend markedTrend(bool marked = true)
{
    Trend trend;
    trend.folder = QStringLiteral("Компания");
    for (int w = 0; w < 3; ++w) {
        TrendWave wave;
        wave.name = QStringLiteral("%1").arg(2023 + w);
        wave.count = 10;
        wave.summary.fill(40 + 5 * w);
        wave.scales.fill(50);
        trend.waves.push_back(wave);
    }
    trend.waves[1].summary[1] = 70;
    trend.changes = trendChanges(trend.waves, Disclosure{});
    for (TrendChange &change : trend.changes)
        change.significant.fill(false);
    trend.changes[0].significant[0] = marked;
    return trend;
}

int darkPixels(const QImage &image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y).lightness() < 60;
    return n;
}

TEST(TrendWindowPicture, SignificantChangeMarkedOnTheChartTheTableAndThePage)
{
    HeadlessDialogs dialogs([](const QString &) {});
    TrendWindow window(std::make_shared<const Trend>(markedTrend()), dialogs, nullptr);
    window.show();

    // The chart: the marked wave's marker is the larger one, outlined in black where the plain
    // marker of another line at the same wave has no outline.
    TChart &chart = *window.chTrend;
    const TChartLayout frame = chart.Layout(chart.size());
    const QImage image = chart.render();
    const auto pointOf = [&](const QString &series, int wave) {
        for (int i = 0; i < chart.SeriesList().Count(); ++i)
            if (chart.SeriesList()[i]->Name() == series)
                return frame.Series[std::size_t(i)].Points[std::size_t(wave)].Bounds;
        return TRect{};
    };
    const TRect marked = pointOf(QStringLiteral("Trend1"), 1);
    const TRect plain = pointOf(QStringLiteral("Trend2"), 1);
    EXPECT_EQ(image.pixelColor(marked.Left - 6, marked.Top), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(marked.Left, marked.Top + 6), QColor(Qt::black));
    EXPECT_NE(image.pixelColor(plain.Left - 6, plain.Top), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(plain.Left - 4, plain.Top), QColor(Qt::black));

    // The table: the marked cell framed, the one beside it not.
    const QImage shot = window.tvWaves->viewport()->grab().toImage();
    const auto framed = [&](int column) {
        const QRect cell = window.tvWaves->visualRect(
            window.model->index(1, TrendModel::kFirstValueColumn + column));
        int dark = 0;
        for (int x = 1; x <= 3; ++x)
            dark += shot.pixelColor(cell.left() + x, cell.center().y()).lightness() < 60;
        return dark > 0;
    };
    EXPECT_TRUE(framed(0));
    EXPECT_FALSE(framed(1));

    // The page: the frame and the larger marker add their dark lines.
    const auto page = [](const Trend &trend) {
        QImage picture(900, 1335, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QPainter painter(&picture);
        painter.scale(picture.width() / kReportWidth, picture.width() / kReportWidth);
        TrendPages(painter, trend, TrendValues::FactorsII, QStringLiteral("01.06.2031"))
            .paintPage(0);
        return picture;
    };
    EXPECT_GT(darkPixels(page(markedTrend())) - darkPixels(page(markedTrend(false))), 100);
}

// ---- the command

class TrendCommandTest : public WindowTest
{
protected:
    // Two waves of three people, the second answering higher, and a third wave of one person,
    // below the minimum size.
    QString writeWaves()
    {
        const struct
        {
            const char *wave;
            std::vector<int> answers;
        } waves[] = {{"Волна 1", {2, 3, 2}}, {"Волна 2", {5, 6, 6}}, {"Волна 3", {4}}};
        for (const auto &wave : waves)
            for (std::size_t i = 0; i < wave.answers.size(); ++i) {
                AnswerSheet sheet;
                sheet.answers.assign(32, wave.answers[i]);
                sheet.totals.assign(12, 8 * wave.answers[i]);
                writeSheet(QStringLiteral("p%1.txt").arg(i + 1), sheet,
                           QStringLiteral("waves/") + QString::fromUtf8(wave.wave));
            }
        return dir.filePath("waves");
    }

    TrendWindow *runTrend(const QString &parent)
    {
        dialogs->answers << parent;
        form->mmTrendClick();
        return form->findChild<TrendWindow *>();
    }
};

TEST_F(TrendCommandTest, OpensTheWindowAndAWaveOverTheWaveBefore)
{
    TrendWindow *window = runTrend(writeWaves());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join('\n').toStdString();
    EXPECT_EQ(dialogs->titles.value(0), QStringLiteral("Динамика: папка с папками волн"));
    EXPECT_EQ(window->model->rowCount(), 2);
    EXPECT_TRUE(window->laNotes->text().contains(QStringLiteral("«Волна 3» (1)")));
    EXPECT_EQ(form->lastLoad(), nullptr);

    // The second wave over the first.
    window->openWave(1);
    ASSERT_NE(form->lastLoad(), nullptr);
    EXPECT_TRUE(form->lastLoad()->group);
    EXPECT_EQ(child<QLineEdit>(*form, "ceNanket")->text(), QStringLiteral("3"));
    ASSERT_NE(form->reference(), nullptr);
    EXPECT_EQ(form->reference()->folderName, QStringLiteral("Волна 1"));
    EXPECT_EQ(form->reference()->count, 3);
    // Its report ends with the trend.
    ReportContent content = reportContentOf(*form);
    ASSERT_TRUE(content.trend.has_value());
    const int withTrend = reportPageCount(content);
    content.trend.reset();
    EXPECT_EQ(withTrend, reportPageCount(content) + 1);

    // The first wave has none before it; another load leaves the trend.
    window->openWave(0);
    EXPECT_EQ(form->reference(), nullptr);
    EXPECT_NE(form->trendOrigin(), nullptr);
    openGroup(dir.filePath("waves/Волна 2/p1.txt"));
    EXPECT_EQ(form->trendOrigin(), nullptr);
}

TEST_F(TrendCommandTest, ErrorsLeaveWhatIsOnScreen)
{
    const QString parent = writeWaves();
    openData(dir.filePath("waves/Волна 3/p1.txt"));
    AnswerSheet bad;
    bad.badLine = 12;
    bad.badText = "x7";
    const struct
    {
        QString file;
        QString message;
    } cases[] = {
        // Without its second wave the parent has one wave to show.
        {QStringLiteral("Волна 2/p1.txt"), QStringLiteral("Для динамики нужны хотя бы две волны")},
        {QStringLiteral("Волна 1/p9.txt"), QStringLiteral("Волна «Волна 1»: ")},
    };
    for (const auto &c : cases) {
        if (c.file.startsWith(QStringLiteral("Волна 2")))
            for (const char *name : {"p1.txt", "p2.txt", "p3.txt"})
                QFile::remove(dir.filePath("waves/Волна 2/") + name);
        else
            writeSheet("p9.txt", bad, "waves/Волна 1");
        dialogs->errors.clear();
        EXPECT_EQ(runTrend(parent), nullptr);
        ASSERT_EQ(dialogs->errors.size(), 1);
        EXPECT_TRUE(dialogs->errors[0].startsWith(c.message)) << dialogs->errors[0].toStdString();
        EXPECT_EQ(child<QLineEdit>(*form, "ceNanket")->text(), QStringLiteral("1"));
    }
}

TEST_F(TrendCommandTest, SavesThePictureThePageAndTheTable)
{
    const QString program = useProgramFolder();
    TrendWindow *window = runTrend(writeWaves());
    ASSERT_NE(window, nullptr);

    // Names typed without their extensions get them.
    dialogs->saveAnswers << dir.filePath("chart") << dir.filePath("page") << dir.filePath("t.csv");
    window->btSavePictureClick();
    window->btSavePdfClick();
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Russian));
    window->btSaveCsvClick();
    QLocale::setDefault(before);
    EXPECT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join('\n').toStdString();
    ASSERT_EQ(dialogs->saves.size(), 3u);
    EXPECT_EQ(dialogs->saves[2].proposed, program + QStringLiteral("Results/Динамика waves.csv"));
    const QImage picture(dir.filePath("chart.jpg"), "JPEG");
    EXPECT_EQ(picture.size(), QSize(kTrendChartWidth, kTrendChartHeight));
    QFile pdf(dir.filePath("page.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_EQ(pdf.read(5), "%PDF-");
    QFile csv(dir.filePath("t.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    ASSERT_EQ(lines.size(), 4); // the header, two waves, nothing after the last line end
    EXPECT_TRUE(lines[0].startsWith("\xEF\xBB\xBFname;count;summary1;"));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("Волна 2;3;").toUtf8()));
}

// ---- the highlight, the heading and the chart's double click

// Waves named 2001, 2002, ... whose values lie 5 points apart from one column to the next.
Trend spreadTrend(int waves)
{
    Trend trend;
    for (int w = 0; w < waves; ++w) {
        TrendWave wave;
        wave.name = QString::number(2001 + w);
        for (int c = 1; c <= kSummaryCount; ++c)
            wave.summary[std::size_t(c)] = 20 + 5 * c + w % 3;
        trend.waves.push_back(wave);
    }
    trend.changes = trendChanges(trend.waves, Disclosure{});
    for (TrendChange &change : trend.changes)
        change.significant.fill(false);
    return trend;
}

long pixelsOf(const QImage &image, TColor colour)
{
    const auto *bits = reinterpret_cast<const QRgb *>(image.constBits());
    return std::count(bits, bits + image.width() * image.height(), toQColor(colour).rgb());
}

TEST(TrendWindowPicture, OneValueHighlightedTheOthersFaint)
{
    const QImage picture = trendChartPicture(spreadTrend(3), TrendValues::Summary, 4);
    EXPECT_GT(pixelsOf(picture, trendColour(4)), 500);
    for (int c = 0; c < kSummaryCount; ++c) {
        if (c == 4)
            continue;
        EXPECT_GT(pixelsOf(picture, trendFaintColour(c)), 20) << c;
        // The grey and the black line colours are also the texts'.
        EXPECT_TRUE(toQColor(trendColour(c)).saturation() == 0 ||
                    pixelsOf(picture, trendColour(c)) < 10)
            << c;
    }
}

TEST(TrendWindowInput, ClicksChooseTheHighlightADoubleClickOnTheChartOpensAWave)
{
    std::vector<std::size_t> opened;
    HeadlessDialogs dialogs([](const QString &) {});
    TrendWindow window(std::make_shared<const Trend>(spreadTrend(3)), dialogs,
                       [&opened](std::size_t wave) { opened.push_back(wave); });
    window.show();
    TChart &chart = *window.chTrend;
    TChartLayout frame = chart.Layout(chart.size());
    EXPECT_EQ(window.highlight(), kNoHighlight);
    const TTextLine third = frame.Legend.Items.at(2).Text;
    QTest::mouseClick(&chart, Qt::LeftButton, {}, QPoint(third.Left + 4, third.Top + 4));
    EXPECT_EQ(window.highlight(), 2);
    const QRect cell =
        window.tvWaves->visualRect(window.model->index(0, TrendModel::kFirstValueColumn + 1));
    QTest::mouseClick(window.tvWaves->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(window.highlight(), 1);

    // On the second wave's point, then under the plot on its label: the table's way of opening.
    frame = chart.Layout(chart.size());
    const TRect point = frame.Series[std::size_t(frame.Legend.Items[0].Series)].Points[1].Bounds;
    QTest::mouseDClick(&chart, Qt::LeftButton, {}, QPoint(point.Left, point.Top));
    QTest::mouseDClick(&chart, Qt::LeftButton, {}, QPoint(point.Left + 6, frame.Plot.Bottom + 12));
    EXPECT_EQ(opened, (std::vector<std::size_t>{1, 1}));
}

TEST(TrendWindowLayout, HeadingWithinAFifthExtraHeightShared)
{
    HeadlessDialogs dialogs([](const QString &) {});
    TrendWindow window(std::make_shared<const Trend>(spreadTrend(3)), dialogs, nullptr);
    window.show();
    window.cbScales->setChecked(true);
    const int chart = window.chTrend->height(), table = window.tvWaves->height();
    for (const int height : {600, 900}) {
        window.resize(1000, height);
        EXPECT_LE(window.tvWaves->horizontalHeader()->height(), height / 5) << height;
    }
    EXPECT_GT(window.chTrend->height(), chart);
    EXPECT_GT(window.tvWaves->height(), table);
    // A title cut in the heading stays whole in its tool tip.
    window.resize(1000, 500);
    const int last = window.model->columnCount() - 1;
    const auto title = [&](int role) {
        return window.model->headerData(last, Qt::Horizontal, role).toString();
    };
    EXPECT_TRUE(title(Qt::DisplayRole).endsWith(u'…'));
    EXPECT_EQ(title(Qt::ToolTipRole), breakdownColumnTitle(last - TrendModel::kFirstValueColumn));
}

// ---- the page's tables

QImage trendPage(const Trend &trend)
{
    QImage picture(900, 1335, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.scale(picture.width() / kReportWidth, picture.width() / kReportWidth);
    TrendPages(painter, trend, TrendValues::FactorsII, QStringLiteral("01.06.2031")).paintPage(0);
    return picture;
}

TEST(TrendPagePicture, MarkedCellFramedInItsOwnColumn)
{
    // The page's name and count columns, 30 and 9 mm, before the value cells.
    constexpr double kNameWidth = 300, kCountWidth = 90;
    const double scale = 900 / kReportWidth;
    const QImage plain = trendPage(spreadTrend(3));
    // Neither is drawn on the chart: only the table changes.
    for (const int column : {6, kSummaryCount + 5}) {
        Trend trend = spreadTrend(3);
        trend.changes[1].significant[std::size_t(column)] = true;
        const QImage marked = trendPage(trend);
        QRect changed;
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x)
                if (marked.pixel(x, y) != plain.pixel(x, y))
                    changed |= QRect(x, y, 1, 1);
        const bool scales = column >= kSummaryCount;
        const double cell = heatCellWidth(scales, kNameWidth, kCountWidth);
        const double left = kNameWidth + kCountWidth + (column - heatFirstColumn(scales)) * cell;
        ASSERT_FALSE(changed.isEmpty()) << column;
        EXPECT_GE(changed.left(), int(left * scale)) << column;
        EXPECT_LE(changed.right(), int((left + cell) * scale) + 1) << column;
        EXPECT_LE(changed.height(), int(84 * scale) + 1) << column; // one row of one table
    }
}

TEST(TrendPagePicture, ContinuedTableRepeatsTheWaveBefore)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trend.pdf"));
    writeFileReplacing(path, trendPdf(spreadTrend(24), TrendValues::FactorsII, QString()));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(-1));
    const QStringList pages = QString::fromUtf8(text.readAllStandardOutput())
                                  .split(QStringLiteral("<page "), Qt::SkipEmptyParts);
    ASSERT_GE(pages.size(), 3); // the head, then two pages
    // The wave names from the top of a page down.
    const QRegularExpression word(QStringLiteral(R"re(yMin="([\d.]+)"[^>]*>(20\d\d)</word>)re"));
    const auto names = [&](const QString &page) {
        std::map<double, QString> byTop;
        for (const auto &m : word.globalMatch(page))
            byTop[m.captured(1).toDouble()] = m.captured(2);
        return byTop;
    };
    const auto first = names(pages[1]), second = names(pages[2]);
    ASSERT_TRUE(!first.empty() && !second.empty());
    EXPECT_EQ(second.begin()->second, first.rbegin()->second);
}

} // namespace
