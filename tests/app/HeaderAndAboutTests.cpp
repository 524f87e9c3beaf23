#include "AppTestSupport.h"

#include "About.h"
#include "DesktopLayer.h"
#include "TChart.h"
#include "TLabel.h"
#include "Window.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

TEST_F(WindowTest, KeyReleaseInHeaderFieldsUpdatesDiagramLabelsAndFoot)
{
    form->openPath(writeSheet("a.txt", {}));
    form->show();

    QTest::keyClick(child<QLineEdit>(*form, "ceName"), Qt::Key_End);
    QTest::keyClicks(child<QLineEdit>(*form, "ceName"), "X");
    EXPECT_EQ(child<TLabel>(*form, "laInfoImage")->text(), "0451. Петрова Анна СергеевнаX");
    EXPECT_EQ(child<TChart>(*form, "ChartAll")->Foot().Text(),
              QStringList({"0451 Петрова Анна СергеевнаX 01.03.2024"}));

    // A key that changes nothing still runs the update, with the texts as they stand.
    child<QLineEdit>(*form, "ceDate")->setText("02.03.2024");
    QTest::keyClick(child<QLineEdit>(*form, "ceDate"), Qt::Key_Left);
    EXPECT_EQ(child<TLabel>(*form, "laDateImage")->text(), "02.03.2024");
    EXPECT_EQ(child<TLabel>(*form, "laDateImage")->geometry().right() + 1, 589);

    child<QLineEdit>(*form, "ceCode")->clear();
    QTest::keyClick(child<QLineEdit>(*form, "ceCode"), Qt::Key_Shift);
    EXPECT_EQ(child<TLabel>(*form, "laInfoImage")->text(), ". Петрова Анна СергеевнаX");
    ASSERT_EQ(child<TChart>(*form, "ChartAll")->Foot().Text().size(), 1);
    EXPECT_TRUE(child<TChart>(*form, "ChartAll")->Foot().Text()[0].startsWith(' '));
}

TEST_F(WindowTest, CountFieldIsReadOnlyAndHasNoUpdate)
{
    form->openPath(writeSheet("a.txt", {}));
    form->show();
    const QString before = child<TLabel>(*form, "laInfoImage")->text();
    QTest::keyClicks(child<QLineEdit>(*form, "ceNanket"), "9");
    EXPECT_EQ(child<QLineEdit>(*form, "ceNanket")->text(), "1");
    EXPECT_EQ(child<TLabel>(*form, "laInfoImage")->text(), before);
}

TEST_F(WindowTest, AboutEntryShowsTheOneModelessAboutBox)
{
    auto *corner = qobject_cast<QToolButton *>(form->menuBar()->cornerWidget(Qt::TopRightCorner));
    ASSERT_NE(corner, nullptr);
    EXPECT_EQ(corner->text(), "О программе");
    EXPECT_EQ(form->menuBar()->actions().size(), 6);

    form->show();
    EXPECT_FALSE(child<TAboutBox>(*form, "AboutBox")->isVisible());
    corner->click();
    EXPECT_TRUE(child<TAboutBox>(*form, "AboutBox")->isVisible());
    EXPECT_FALSE(child<TAboutBox>(*form, "AboutBox")->isModal());
    TAboutBox *first = child<TAboutBox>(*form, "AboutBox");
    form->SystemMenuCommand(kAboutCommandId);
    EXPECT_EQ(child<TAboutBox>(*form, "AboutBox"), first);
    child<TAboutBox>(*form, "AboutBox")->OKButton->click();
    EXPECT_FALSE(child<TAboutBox>(*form, "AboutBox")->isVisible());
    form->SystemMenuCommand(kAboutCommandId + 1);
    EXPECT_FALSE(child<TAboutBox>(*form, "AboutBox")->isVisible());
}

TEST_F(WindowTest, AboutBoxLayout)
{
    TAboutBox &box = *child<TAboutBox>(*form, "AboutBox");
    EXPECT_EQ(box.windowTitle(), "About");
    EXPECT_EQ(box.size(), QSize(298, 225));
    EXPECT_EQ(box.ProductName->text(), "VORL.ZUL Analysis");
    EXPECT_EQ(box.Version->text(), " Version 1.01");
    EXPECT_EQ(box.Comments->text(), "Построение профиля\nорганизационной культуры\nпо анкете ЗУТ");
    EXPECT_EQ(box.OKButton->geometry(), QRect(111, 196, 75, 25));
    EXPECT_TRUE(box.OKButton->isDefault());
}

TEST_F(WindowTest, ClosingShowsTheTaskBarAgain)
{
    form->show();
    form->close();
    EXPECT_EQ(desktop->shown, 1);
}

// Liberation Sans stands in for "MS Sans Serif"; every caption must still fit its box.
TEST_F(WindowTest, CaptionsFitTheirBoxes)
{
    const QList<QLabel *> captions = {child<QLabel>(*form, "laA"), child<QLabel>(*form, "Label2"),
                                      child<QLabel>(*form, "laName"),
                                      child<QLabel>(*form, "Label3")};
    for (QLabel *label : captions) {
        const QFontMetrics metrics(label->font());
        EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width())
            << label->text().toStdString();
        EXPECT_LE(metrics.height(), label->height()) << label->text().toStdString();
    }
    child<QLabel>(*form, "laName")->setText("Ф.И.О");
    EXPECT_LE(QFontMetrics(child<QLabel>(*form, "laName")->font()).horizontalAdvance("Ф.И.О"),
              child<QLabel>(*form, "laName")->width());
    for (QLineEdit *field : {child<QLineEdit>(*form, "ceCode"), child<QLineEdit>(*form, "ceDate"),
                             child<QLineEdit>(*form, "ceNanket")}) {
        const QFontMetrics metrics(field->font());
        EXPECT_LE(metrics.height(), field->height());
    }
    EXPECT_LE(
        QFontMetrics(child<QLineEdit>(*form, "ceDate")->font()).horizontalAdvance("00.00.0000"),
        child<QLineEdit>(*form, "ceDate")->width() - 8);
    const TAboutBox &box = *child<TAboutBox>(*form, "AboutBox");
    for (const QLabel *label : {box.ProductName, box.Comments}) {
        const QFontMetrics metrics(label->font());
        for (const QString &line : label->text().split('\n'))
            EXPECT_LE(metrics.horizontalAdvance(line), label->width()) << line.toStdString();
    }
    // The whole menu bar, with the About entry in its corner, fits the designed width.
    EXPECT_LE(form->menuBar()->sizeHint().width(), 1032);
}

// Qt's own dialogs speak the user's language, as the rest of a Russian desktop does.
TEST(QtTranslations, FileDialogSpeaksRussian)
{
    const std::unique_ptr<QTranslator> installed =
        installQtTranslations(QLocale(QLocale::Russian, QLocale::Russia));
    ASSERT_TRUE(installed) << "no Qt translations for ru_RU";
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const QDialogButtonBox *buttons = dialog.findChild<QDialogButtonBox *>();
    ASSERT_TRUE(buttons);
    EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Отмена"));
}
