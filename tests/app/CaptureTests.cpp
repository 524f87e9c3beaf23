// Screen capture and the picture saves on a real screen (Xvfb under make test): what is saved
// is what the screen shows, other windows included.
#include "AppTestSupport.h"

#include "ChartPicture.h"
#include "CommandError.h"
#include "DiagramPanel.h"
#include "Fonts.h"
#include "ProfileStore.h"
#include "ScrinCap.h"
#include "TChart.h"
#include "TJPEGImage.h"
#include "TPanel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool onRealScreen()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// Mean difference per channel of two pictures of one size.
double meanDifference(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row);
            const QRgb q = y.pixel(col, row);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * x.width() * x.height());
}

void settle()
{
    QGuiApplication::sync();
    QTest::qWait(100);
    QGuiApplication::sync();
}

// The window on the screen after a load, over a temporary program folder.
class CaptureTest : public WindowTest
{
protected:
    void SetUp() override
    {
        if (!onRealScreen())
            GTEST_SKIP() << "needs a real screen (X11 or Xvfb)";
        WindowTest::SetUp();
        program = useProgramFolder();
        openData(writeSheet("one.txt", AnswerSheet{}));
        form->setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        settle();
    }

    QImage savedPicture(void (TForm1::*command)(), const QString &name)
    {
        dialogs->saveAnswers << program + "Results/" + name;
        (form.get()->*command)();
        EXPECT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join('\n').toStdString();
        TJPEGImage jpeg;
        jpeg.loadFromFile(program + "Results/" + name);
        return jpeg.bitmap();
    }

    QString program;
};

TEST_F(CaptureTest, PanelCaptureIsTheScreenWithCoveringWindows)
{
    const QImage rendered = child<TPanel>(*form, "paPlot")
                                ->grab()
                                .toImage()
                                .scaled(602, 564, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage before = CapturePanel(child<TPanel>(*form, "paPlot"));
    ASSERT_EQ(before.size(), QSize(602, 564));
    // At a ratio above 1 the screen holds finer pixels than the 602 x 564 picture, so the two
    // scalings differ at every edge.
    const bool unscaled = form->devicePixelRatioF() == 1.0;
    EXPECT_LT(meanDifference(before, rendered), unscaled ? 1.0 : 8.0);

    // Another program's window over part of the panel.
    QWidget cover(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    cover.setAttribute(Qt::WA_ShowWithoutActivating);
    cover.setAutoFillBackground(true);
    QPalette p = cover.palette();
    p.setColor(QPalette::Window, QColor(255, 0, 255));
    cover.setPalette(p);
    cover.setGeometry(
        QRect(child<TPanel>(*form, "paPlot")->mapToGlobal(QPoint(100, 200)), QSize(150, 100)));
    cover.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&cover));
    settle();

    const QImage covered = CapturePanel(child<TPanel>(*form, "paPlot"));
    EXPECT_EQ(covered.pixel(175, 250), qRgb(255, 0, 255));
    EXPECT_EQ(covered.pixel(100, 200), qRgb(255, 0, 255));
    EXPECT_NE(covered.pixel(99, 199), qRgb(255, 0, 255));
    EXPECT_EQ(covered.pixel(20, 500), before.pixel(20, 500));

    // The saved picture shows the cover too.
    const QImage saved = savedPicture(&TForm1::mmImageSaveClick, "covered.jpg");
    ASSERT_EQ(saved.size(), QSize(602, 564));
    const QRgb centre = saved.pixel(175, 250);
    EXPECT_GT(qRed(centre), 245);
    EXPECT_LT(qGreen(centre), 10);
    EXPECT_GT(qBlue(centre), 245);
}

TEST_F(CaptureTest, SavedPicturesHaveTheirSizesAndTheScreensColours)
{
    const QImage diagram = savedPicture(&TForm1::mmImageSaveClick, "Image B 0451.jpg");
    ASSERT_EQ(diagram.size(), QSize(602, 564));
    // Quality 100 keeps flat colours; 2 x 2 chroma sampling softens coloured lines and text.
    EXPECT_LT(meanDifference(diagram, CapturePanel(child<TPanel>(*form, "paPlot"))), 6.0);

    const QImage chart = savedPicture(&TForm1::mmPlotSaveClick, "Plot A 0451.jpg");
    ASSERT_EQ(chart.size(), QSize(416, 294));
    EXPECT_LT(meanDifference(chart, CapturePanel(child<TChart>(*form, "ChartAll"))), 6.0);
}

// The batch paints its pictures through the views, from what the window shows.
TEST_F(CaptureTest, BatchPicturesLookAsTheWindowShowsThem)
{
    const double tolerance = form->devicePixelRatioF() == 1.0 ? 1.0 : 8.0;
    form->drawDiagramPanelAlone(DiagramKind::FactorsII);
    settle();
    const QImage diagram = diagramPanelPicture(form->profileView());
    EXPECT_LT(meanDifference(diagram, CapturePanel(child<TPanel>(*form, "paPlot"))), tolerance);
    form->showChartView(ChartViewKind::BaseFactorsIII);
    settle();
    ChartPicture chart(true, form->palette());
    EXPECT_LT(meanDifference(chart.picture(form->profileView()),
                             CapturePanel(child<TChart>(*form, "ChartAll"))),
              tolerance);
}

// On a desktop that does not let programs read the screen (Qt's minimal platform here), a save
// fails with a message instead of writing a black picture.
TEST(CaptureRefused, SaveFailsWithAMessageAndWritesNothing)
{
    if (QGuiApplication::platformName() != QLatin1String("minimal"))
        GTEST_SKIP() << "needs a platform that cannot read the screen";
    QTemporaryDir dir;
    QWidget panel;
    panel.resize(100, 80);
    panel.show();
    const QString target = dir.filePath("panel.jpg");
    try {
        SaveAsJpeg(&panel, target);
        ADD_FAILURE() << "no error";
    } catch (const CommandError &e) {
        EXPECT_TRUE(e.message().startsWith("Cannot read the screen")) << e.message().toStdString();
    }
    EXPECT_FALSE(QFile::exists(target));
}

} // namespace

int main(int argc, char **argv)
{
    // Without a display there is no screen to read: the tests skip.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_ALL", "ru_RU.UTF-8");
    QApplication app(argc, argv);
    installFontSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
