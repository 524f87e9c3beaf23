#include "AppTestSupport.h"

#include "ChartPicture.h"
#include "Comparison.h"
#include "GroupSource.h"
#include "CultureWheel.h"
#include "DiagramPanel.h"
#include "DiagramViews.h"
#include "NumberFormat.h"
#include "ProfileStore.h"
#include "TChart.h"
#include "TImage.h"
#include "TJPEGImage.h"
#include "TLabel.h"
#include "TPanel.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <algorithm>
#include <functional>

namespace {

// ---- the stored background picture

struct JpegFrame
{
    bool jfif = false;
    int jfifVersion = 0;
    int startOfFrame = 0; // marker of the frame header: 0xC0 is baseline
    int width = 0;
    int height = 0;
    std::vector<int> sampling; // per component, H << 4 | V
};

// Walks the marker segments up to the start of scan.
JpegFrame frameOf(const QByteArray &data)
{
    JpegFrame frame;
    const auto byte = [&](qsizetype i) { return i < data.size() ? int(uchar(data[i])) : -1; };
    if (byte(0) != 0xFF || byte(1) != 0xD8)
        return frame;
    qsizetype i = 2;
    while (byte(i) == 0xFF) {
        const int marker = byte(i + 1);
        const int length = byte(i + 2) << 8 | byte(i + 3);
        const qsizetype body = i + 4;
        if (marker == 0xE0 && data.mid(body, 5) == QByteArray("JFIF\0", 5)) {
            frame.jfif = true;
            frame.jfifVersion = byte(body + 5) << 8 | byte(body + 6);
        } else if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                   marker != 0xCC) {
            frame.startOfFrame = marker;
            frame.height = byte(body + 1) << 8 | byte(body + 2);
            frame.width = byte(body + 3) << 8 | byte(body + 4);
            for (int c = 0; c < byte(body + 5); ++c)
                frame.sampling.push_back(byte(body + 6 + 3 * c + 1));
        } else if (marker == 0xDA) {
            break;
        }
        i += 2 + length;
    }
    return frame;
}

// A summed channel difference beyond what the picture's compression gives a pixel, and the few
// such pixels allowed for a font renderer that differs a little from the generator's.
constexpr int kFarApart = 200;
constexpr int kFarPixelsAllowed = 50;

TEST(BackgroundPicture, IsABaselineJfifOf598x557With420Chroma)
{
    const QByteArray data = wheelPictureBytes();
    ASSERT_FALSE(data.isEmpty());
    const JpegFrame frame = frameOf(data);
    EXPECT_TRUE(frame.jfif);
    EXPECT_EQ(frame.jfifVersion, 0x0101);
    EXPECT_EQ(frame.startOfFrame, 0xC0);
    EXPECT_EQ(frame.width, kWheelPictureWidth);
    EXPECT_EQ(frame.height, kWheelPictureHeight);
    EXPECT_EQ(frame.sampling, (std::vector<int>{0x22, 0x11, 0x11}));

    TJPEGImage jpeg;
    jpeg.loadFromBytes(data);
    const QImage stored = jpeg.bitmap().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(stored.size(), QSize(kWheelPictureWidth, kWheelPictureHeight));

    // The stored picture is what the wheel code draws today, up to the JPEG's loss: a change
    // to the drawing without a fresh picture shows here.
    QImage drawn(stored.size(), QImage::Format_RGB32);
    {
        QPainter painter(&drawn);
        drawCultureWheel(painter, drawn.size());
    }
    int far = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x) {
            const QRgb a = drawn.pixel(x, y);
            const QRgb b = stored.pixel(x, y);
            far += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                       std::abs(qBlue(a) - qBlue(b)) >
                   kFarApart;
        }
    EXPECT_LT(far, kFarPixelsAllowed);
}

// ---- the panel in the window

bool near(const QColor &a, const QColor &b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// Pixels of rect on image for which test holds.
int count(const QImage &image, const QRect &rect, const std::function<bool(QColor)> &test)
{
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            n += test(image.pixelColor(x, y));
    return n;
}

bool greenInk(QColor c)
{
    return c.green() > c.red() + 60 && c.green() > c.blue() + 60;
}
bool redInk(QColor c)
{
    return c.red() > c.green() + 80 && c.red() > c.blue() + 80;
}
bool blackInk(QColor c)
{
    return c.red() < 90 && c.green() < 90 && c.blue() < 90;
}

class DiagramPanelTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        openData(writeSheet("a.txt", {}));
        ASSERT_TRUE(dialogs->errors.isEmpty());
    }

    // Draws a kind from the percentages as they stand; refresh also redoes the labels, as the
    // first drawing after a load does.
    void show(DiagramKind kind, bool refresh)
    {
        put();
        if (refresh)
            form->setLabelsFlag(0);
        form->fillTableAndDiagram(kind);
    }

    void fill(double value)
    {
        percent.ScaleScores.fill(value);
        percent.SummaryScores.fill(value);
    }

    // The percentages on show, as a load of the raw sums that give them would put them there.
    void put()
    {
        LoadedProfile read = *form->lastLoad();
        const auto raw = [](double value, ScoreRange range) {
            return range.low + value * (range.high - range.low) / 100;
        };
        for (int i = 1; i <= kSummaryCount; ++i)
            read.store.SummaryScores[i] = raw(
                percent.SummaryScores[i], ProfileStore::ScoreRanges[ProfileStore::summaryRangeRow(i)]);
        for (int i = 1; i <= kScaleScoreCount; ++i)
            read.store.ScaleScores[i] = raw(
                percent.ScaleScores[i], ProfileStore::ScoreRanges[ProfileStore::scaleRangeRow(i)]);
        form->setSession(ProfileSession(std::move(read), {}));
    }

    ProfileStore percent;

    QImage overlay() const { return child<TImage>(*form, "imPlot")->picture(); }
    QImage panel() const
    {
        return child<TPanel>(*form, "paPlot")
            ->grab()
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    TLabel *diagramLabel(int i) const
    {
        return child<TLabel>(*form, QStringLiteral("DiagramLabel%1").arg(i));
    }
    QRect labelRect(int i) const { return diagramLabel(i)->geometry(); }
};

TEST_F(DiagramPanelTest, PictureOverlayAndLabelsAreStackedInThePanel)
{
    EXPECT_EQ(child<TImage>(*form, "imJPEG")->geometry(), QRect(2, 2, 598, 560));
    EXPECT_EQ(child<TImage>(*form, "imPlot")->geometry(), QRect(2, 2, 598, 560));
    EXPECT_EQ(child<TImage>(*form, "imJPEG")->picture().size(), QSize(598, 560));
    const QObjectList &children = child<TPanel>(*form, "paPlot")->children();
    const auto at = [&](QObject *o) { return children.indexOf(o); };
    EXPECT_LT(at(child<TImage>(*form, "imJPEG")), at(child<TImage>(*form, "imPlot")));
    EXPECT_LT(at(child<TImage>(*form, "imPlot")), at(child<TLabel>(*form, "laInfoImage")));
    EXPECT_LT(at(child<TLabel>(*form, "laImageN")), at(diagramLabel(1)));

    // The wheel shows through where nothing is drawn: its band at 50 per cent straight right of
    // the centre, a little below the axis, in panel coordinates.
    fill(0);
    show(DiagramKind::FactorsIII, false);
    const QImage image = panel();
    EXPECT_TRUE(near(image.pixelColor(2 + 300 + 94, 2 + 282 + 20), kWheelBandColor, 12));
    EXPECT_TRUE(near(image.pixelColor(2 + 465, 2 + 311), Qt::white, 12));
}

TEST_F(DiagramPanelTest, AllZeroCollapsesOntoTheCentreWithRedLabels)
{
    fill(0);
    show(DiagramKind::All, true);
    EXPECT_EQ(overlay().pixel(300, 282), qRgb(0, 0, 0));
    EXPECT_EQ(count(overlay(), overlay().rect(), [](QColor c) { return c.alpha() > 0; }), 25);
    const QImage image = panel();
    EXPECT_TRUE(blackInk(image.pixelColor(302, 284)));
    for (int i = 1; i <= kDiagramLabelCount; ++i) {
        const TLabel *label = diagramLabel(i);
        EXPECT_EQ(label->caption(), "  0") << i;
        EXPECT_TRUE(label->font().bold()) << i;
        EXPECT_GT(count(image, labelRect(i), redInk), 4) << i;
    }
}

TEST_F(DiagramPanelTest, LabelsShowRoundedValuesStyledByTheUnroundedOnes)
{
    fill(0);
    show(DiagramKind::FactorsIII, true); // every label bold red first
    fill(50);
    percent.ScaleScores[18] = 60.2; // label 1
    percent.ScaleScores[17] = 39.7; // label 2
    show(DiagramKind::FactorsIII, true);

    const DiagramPoint places[] = {{386, 45}, {521, 180}, {521, 372}};
    const QString captions[] = {" 60", " 40", " 50"};
    for (int i = 1; i <= 3; ++i) {
        const TLabel *label = diagramLabel(i);
        EXPECT_EQ(label->caption(), captions[i - 1]);
        EXPECT_EQ(label->font().bold(), i != 3) << i;
        EXPECT_EQ(label->pos(), QPoint(places[i - 1].X, places[i - 1].Y)) << i;
    }
    const QImage image = panel();
    EXPECT_GT(count(image, labelRect(1), greenInk), 4);
    EXPECT_EQ(count(image, labelRect(1), redInk), 0);
    EXPECT_GT(count(image, labelRect(2), redInk), 4);
    EXPECT_EQ(count(image, labelRect(2), greenInk), 0);
    // The label that was bold red for the first values is plain black now.
    EXPECT_GT(count(image, labelRect(3), blackInk), 4);
    EXPECT_EQ(count(image, labelRect(3), redInk) + count(image, labelRect(3), greenInk), 0);

    // Once current, the labels keep their values until the next load.
    fill(90);
    show(DiagramKind::Scales, false);
    EXPECT_EQ(diagramLabel(3)->caption(), " 50");
    EXPECT_EQ(form->labelsFlag(), 1);
}

TEST_F(DiagramPanelTest, ViewCAfterDLeavesOnlyGreen)
{
    fill(50);
    percent.SummaryScores.fill(80);
    show(DiagramKind::All, false);
    const auto colourCount = [&](const QColor &colour) {
        return count(overlay(), overlay().rect(), [&](QColor c) { return c == colour; });
    };
    EXPECT_GT(colourCount(kViewAColor), 100);
    EXPECT_GT(colourCount(kViewBColor), 100);
    show(DiagramKind::FactorsII, false);
    EXPECT_EQ(colourCount(kViewAColor), 0);
    EXPECT_EQ(colourCount(kViewBColor), 0);
    EXPECT_GT(colourCount(kViewCColor), 100);
    const auto violet = [](QColor c) { return c.alpha() > 0 && c.blue() > c.green() + 40; };
    EXPECT_EQ(count(overlay(), overlay().rect(), violet), 0);

    // The same view twice gives the same picture.
    const QImage once = overlay();
    show(DiagramKind::FactorsII, false);
    EXPECT_EQ(overlay(), once);
}

TEST_F(DiagramPanelTest, KindOutsideOneToFourClearsTheOverlay)
{
    fill(70);
    for (const int kind : {0, 5, -3}) {
        show(DiagramKind::All, false);
        show(DiagramKind(kind), false);
        EXPECT_EQ(count(overlay(), overlay().rect(), [](QColor c) { return c.alpha() > 0; }), 0)
            << kind;
    }
}

// A long reference name sits where no word of the wheel lies; its sample is dashed as the
// reference's polygons are.
TEST_F(DiagramPanelTest, ReferenceLabelKeepsOffTheWheelsWordsAndDashesAsThePolygons)
{
    const QString folder = "Отдел маркетинга и стратегических коммуникаций Уральского филиала";
    writeSheet("r.txt", {}, folder);
    form->setReference(loadReference(toNativePath(dir.filePath(folder)), todayText()));
    const QRect at = child<TLabel>(*form, "laCompareImage")->geometry();
    EXPECT_EQ(count(child<TImage>(*form, "imJPEG")->picture(),
                    at.translated(-child<TImage>(*form, "imJPEG")->pos()),
                    [](QColor c) { return c.lightness() < 140; }),
              0);
    const QImage label = panel().copy(at);
    const QVector<QLineF> dashes = referenceDashes({{0, 0}, {100, 0}});
    for (int x = 0; x + 1 < kReferenceSampleWidth; ++x) {
        bool dash = false;
        for (const QLineF &d : dashes)
            dash = dash || (d.x1() <= x + 0.5 && x + 0.5 < d.x2());
        EXPECT_EQ(count(label, QRect(x, 0, 1, at.height()), blackInk) > 0, dash) << x;
    }
}

// ---- the Images commands

struct ImagesCommand
{
    const char *action;
    void (TForm1::*handler)();
    QString caption;
    QString title;
    QString letter;
    std::vector<QColor> colours;
};

class ImagesCommandTest : public DiagramPanelTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(ImagesCommandTest, DrawsItsViewsAndNamesThem)
{
    const ImagesCommand commands[] = {
        {"mmImageAllScales",
         &TForm1::mmImageAllScalesClick,
         "A. Диаграмма шкал",
         "График шкал",
         "A",
         {kViewAColor}},
        {"mmImageFactorsIII",
         &TForm1::mmImageFactorsIIIClick,
         "B. Диаграмма факторов (III)",
         "График факторов (III)",
         "B",
         {kViewBColor}},
        {"mmImageFactorsII",
         &TForm1::mmImageFactorsIIClick,
         "C. Диаграмма факторов (II)",
         "График факторов (II)",
         "C",
         {kViewCColor}},
        {"mmImageAll",
         &TForm1::mmImageAllClick,
         "D. Все диаграммы",
         "Общий график",
         "D",
         {kViewAColor, kViewBColor, kViewCColor}},
    };
    const ImagesCommand &c = commands[GetParam()];
    QAction *action = child<QAction>(*form, c.action);
    EXPECT_EQ(action->text(), c.caption);
    EXPECT_TRUE(action->icon().availableSizes().contains(QSize(16, 16)));

    fill(80);
    for (int i = 1; i <= kScaleCount; ++i)
        percent.ScaleScores[std::size_t(i)] = 30;
    put();
    (form.get()->*c.handler)();
    EXPECT_EQ(child<TLabel>(*form, "laImage")->text(), c.title);
    EXPECT_EQ(child<TLabel>(*form, "laImageN")->text(), c.letter);
    EXPECT_EQ(child<QAction>(*form, "mmImageSave")->text(), "Image " + c.letter);
    for (const QColor &colour : {kViewAColor, kViewBColor, kViewCColor}) {
        const bool wanted =
            std::find(c.colours.begin(), c.colours.end(), colour) != c.colours.end();
        const int pixels =
            count(overlay(), overlay().rect(), [&](QColor p) { return p == colour; });
        EXPECT_EQ(pixels > 0, wanted) << colour.name().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, ImagesCommandTest, ::testing::Range(0, 4));

// ---- the views paint what the window's widgets show

// The widget as the screen would show it, at a device pixel ratio of 1.
QImage rendered(QWidget *widget)
{
    QImage picture(widget->size(), QImage::Format_RGB32);
    picture.setDevicePixelRatio(1);
    picture.fill(Qt::white);
    widget->render(&picture);
    return picture;
}

// The batch and the report paint the panel and the chart through the views, the window through
// its widgets: every kind and view, with and without a reference, comes out pixel for pixel
// the same.
TEST_F(DiagramPanelTest, ViewsPaintThePanelAndTheChartAsTheWidgetsShowThem)
{
    const QString folder = "Отдел маркетинга и стратегических коммуникаций Уральского филиала";
    writeSheet("r.txt", {}, folder);
    for (bool compared : {false, true}) {
        if (compared)
            form->setReference(loadReference(toNativePath(dir.filePath(folder)), todayText()));
        for (const DiagramKindEntry &entry : kDiagramKinds) {
            form->drawDiagramPanelAlone(entry.kind);
            EXPECT_EQ(diagramPanelPicture(form->profileView()),
                      rendered(child<TPanel>(*form, "paPlot")))
                << char(entry.letter) << compared;
        }
        for (const ChartViewEntry &entry : kChartViewKinds) {
            form->showChartView(entry.kind);
            ChartPicture chart(true, form->palette());
            EXPECT_EQ(chart.picture(form->profileView()),
                      rendered(child<TChart>(*form, "ChartAll")))
                << char(entry.letter) << compared;
        }
    }
}

} // namespace
