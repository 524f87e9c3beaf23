// What reaches the window from outside: drops, hints, long header texts, the open dialog's
// starting state, and the colours the labels really paint in.

#include "AppTestSupport.h"

#include "CommandError.h"
#include "ErrorMessage.h"
#include "ProfileStore.h"
#include "TChartSeries.h"
#include "TLabel.h"
#include "TPanel.h"

#include <QApplication>
#include <QFileDialog>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>
#include <QUrl>

#include <new>
#include <stdexcept>

namespace {

// Where the toolkit delivers a drop aimed at w: the first of w and its ancestors that accepts
// drops.
QWidget *dropTarget(QWidget *w)
{
    while (w && !w->acceptDrops())
        w = w->parentWidget();
    return w;
}

bool dragAccepted(QWidget *target, const QList<QUrl> &urls)
{
    QMimeData mime;
    mime.setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    return enter.isAccepted();
}

int countPixels(const QImage &image, const std::function<bool(QColor)> &match)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += match(image.pixelColor(x, y));
    return n;
}

bool reddish(QColor c)
{
    return c.red() >= 100 && c.green() < 60 && c.blue() < 60;
}

} // namespace

TEST_F(WindowTest, DropOnHeaderFieldOrMemoLoadsTheFile)
{
    const QString file = writeSheet("dropped.txt", {});
    form->show();
    const std::vector<QWidget *> aimedAt{child<QLineEdit>(*form, "ceName"),
                                         child<QLineEdit>(*form, "ceCode"),
                                         child<QPlainTextEdit>(*form, "meInfo")->viewport()};
    for (QWidget *aimed : aimedAt) {
        QWidget *target = dropTarget(aimed);
        ASSERT_EQ(target, form.get()) << aimed->metaObject()->className();
        child<QLineEdit>(*form, "ceNanket")->clear();
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(file)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return child<QLineEdit>(*form, "ceNanket")->text() == "1";
        })) << aimed->metaObject()->className();
    }
}

TEST_F(WindowTest, DropOfSeveralOrRemoteItemsIsRefused)
{
    const QString a = writeSheet("a.txt", {});
    const QString b = writeSheet("b.txt", {});
    EXPECT_TRUE(dragAccepted(form.get(), {QUrl::fromLocalFile(a)}));
    EXPECT_FALSE(dragAccepted(form.get(), {QUrl::fromLocalFile(a), QUrl::fromLocalFile(b)}));
    EXPECT_FALSE(dragAccepted(form.get(), {QUrl("https://example.org/a.txt")}));
    EXPECT_FALSE(dragAccepted(form.get(), {}));
}

// The long hint pause is the application's: a tooltip of any window, not only the main one,
// is taken over before the widget's own handling.
TEST_F(WindowTest, HintPauseCoversEveryWindow)
{
    class Probe : public QWidget
    {
    public:
        int toolTipEvents = 0;

    protected:
        bool event(QEvent *e) override
        {
            toolTipEvents += e->type() == QEvent::ToolTip;
            return QWidget::event(e);
        }
    };
    Probe other;
    other.setToolTip(QStringLiteral("подсказка"));
    other.show();
    QHelpEvent help(QEvent::ToolTip, QPoint(1, 1), other.mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(&other, &help);
    EXPECT_EQ(other.toolTipEvents, 0);
}

TEST_F(WindowTest, HeaderFieldsTakeTextsOfAnyLength)
{
    AnswerSheet sheet;
    sheet.name = QString(40000, QChar(0x0416)); // "Ж"
    sheet.code = QString(33000, QLatin1Char('7'));
    openData(writeSheet("long.txt", sheet));
    EXPECT_EQ(child<QLineEdit>(*form, "ceName")->text(), sheet.name);
    EXPECT_EQ(child<QLineEdit>(*form, "ceCode")->text(), sheet.code);
}

// The dialog opens with no file name, even after a file was picked in it before.
TEST_F(WindowTest, OpenDialogStartsWithAnEmptyName)
{
    const QString first = writeSheet("first.txt", {}, "Data");
    form->setProgramFolder(dir.path() + QLatin1Char('/'));
    form->mmOpenClick(); // cancelled: the dialog is made
    QFileDialog &dialog = *child<QFileDialog>(*form, "OpenDialog1");
    dialog.setDirectory(dir.filePath("Data"));
    dialog.selectFile(first);
    dialogs->nameFields.clear();
    dialogs->answers << QString() << QString();
    form->mmOpenClick();
    form->mmGroupClick();
    ASSERT_EQ(dialogs->nameFields.size(), 2);
    EXPECT_EQ(dialogs->nameFields, (QStringList{QString(), QString()}));
}

// Labels on a button-face panel paint in their own colour, seen on the rendered pixels.
TEST_F(WindowTest, ColouredLabelsPaintInTheirColour)
{
    openData(writeSheet("a.txt", {}));
    form->show();
    const QImage header = child<TLabel>(*form, "laImage")->grab().toImage();
    EXPECT_GT(countPixels(header, reddish), 20) << "laImage is maroon";
    const QImage letter = child<TLabel>(*form, "laImageN")->grab().toImage();
    EXPECT_GT(countPixels(letter, [](QColor c) { return c.red() > 200 && c.green() < 80; }), 5)
        << "laImageN is red";

    TPanel panel(nullptr);
    panel.resize(200, 40);
    TLabel green(&panel, child<TLabel>(*form, "laImageN")->font(), QColor(0, 128, 0));
    green.place(10, 10);
    green.setCaption(QStringLiteral(" 66"));
    const QImage seen = panel.grab().toImage();
    EXPECT_GT(countPixels(seen, [](QColor c) { return c.green() > 90 && c.red() < 60; }), 5);
    EXPECT_EQ(countPixels(seen, [](QColor c) { return c.lightness() < 30; }), 0) << "no black text";
}

// Whatever error ends a command reaches the error box as a sentence, never the end of the
// program.
TEST(ErrorMessages, EveryKindHasItsText)
{
    EXPECT_EQ(errorMessageOf(CommandError("Cannot open file x")), "Cannot open file x");
    EXPECT_EQ(errorMessageOf(EChartError("Axis increment must be >= 0")),
              "Axis increment must be >= 0");
    EXPECT_EQ(errorMessageOf(std::bad_alloc()), "Out of memory");
    EXPECT_EQ(errorMessageOf(std::runtime_error("disk gone")), "disk gone");
}
