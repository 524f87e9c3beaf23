#include "AppTestSupport.h"

#include "Analysis.h"
#include "NumberFormat.h"
#include "ProfileStore.h"
#include "ResultsGrid.h"
#include "TChart.h"
#include "TLabel.h"
#include "TPanel.h"
#include "TStringGrid.h"
#include "Window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace {

AnswerSheet sheetWithScale1(int first, int fifth)
{
    AnswerSheet sheet;
    sheet.answers[0] = first;
    sheet.answers[4] = fifth;
    return sheet;
}

// What the window shows, to compare before and after a command.
struct Screen
{
    QString code, name, date, count, memo, details, nameCaption;
    QStringList grid;
    ProfileStore store;
    bool operator==(const Screen &) const = default;
};

Screen screenOf(const TForm1 &form)
{
    Screen s{child<QLineEdit>(form, "ceCode")->text(),
             child<QLineEdit>(form, "ceName")->text(),
             child<QLineEdit>(form, "ceDate")->text(),
             child<QLineEdit>(form, "ceNanket")->text(),
             child<QPlainTextEdit>(form, "meInfo")->toPlainText(),
             form.detailsText(),
             child<QLabel>(form, "laName")->text(),
             {},
             form.session().scores()};
    const TStringGrid &grid = *child<TStringGrid>(form, "sgResF");
    for (int row = 0; row < grid.rowCount(); ++row)
        for (int col = 0; col < grid.colCount(); ++col)
            s.grid << grid.cell(col, row);
    return s;
}

bool enabled(QMenu *menu)
{
    return menu->menuAction()->isEnabled();
}

} // namespace

TEST_F(WindowTest, StartShowsOnlyTheLoadCommands)
{
    EXPECT_TRUE(child<QAction>(*form, "mmOpen")->isEnabled());
    EXPECT_TRUE(child<QAction>(*form, "mmGroup")->isEnabled());
    EXPECT_FALSE(enabled(child<QMenu>(*form, "mmPlotAll")));
    EXPECT_FALSE(enabled(child<QMenu>(*form, "mmImages")));
    EXPECT_FALSE(enabled(child<QMenu>(*form, "mmSave")));
    // The breakdown needs nothing loaded; a comparison needs a profile to compare.
    EXPECT_TRUE(enabled(child<QMenu>(*form, "mmCompare")));
    EXPECT_TRUE(child<QAction>(*form, "mmBreakdown")->isEnabled());
    EXPECT_FALSE(child<QAction>(*form, "mmCompareFile")->isEnabled());
    EXPECT_FALSE(child<QAction>(*form, "mmCompareGroup")->isEnabled());
    EXPECT_FALSE(child<QAction>(*form, "mmCompareNone")->isEnabled());
    for (QWidget *view : std::initializer_list<QWidget *>{
             child<TPanel>(*form, "paInfo"), child<QPlainTextEdit>(*form, "meInfo"),
             child<TChart>(*form, "ChartAll"), child<TPanel>(*form, "paPlot"),
             child<TStringGrid>(*form, "sgResF")})
        EXPECT_TRUE(view->isHidden()) << view->objectName().toStdString();
    EXPECT_EQ(child<QAction>(*form, "mmImageSave")->text(), "Image");
    EXPECT_EQ(child<QAction>(*form, "mmPlotSave")->text(), "Plot");
    EXPECT_EQ(form->windowTitle(), "VORL - ZUL Plot");
    EXPECT_EQ(form->programFolder(), QCoreApplication::applicationDirPath() + "/");
    // The task bar is hidden and the work area widened once, at creation.
    EXPECT_EQ(desktop->hidden, 1);
    EXPECT_EQ(desktop->workArea, 1);
}

TEST_F(WindowTest, MenuBarHoldsSixItemsWithTheirCaptions)
{
    QStringList captions;
    for (QAction *a : form->menuBar()->actions())
        captions << a->text();
    EXPECT_EQ(captions, QStringList({"Data", "Group", "Plots", "Images", "Save", "Сравнение"}));
    QStringList plots;
    for (QAction *a : child<QMenu>(*form, "mmPlotAll")->actions())
        plots << a->text();
    EXPECT_EQ(plots,
              QStringList({"A. График шкал по факторам (II)", "B. График по факторам (III)",
                           "С. График по факторам (II)", "D. График по факторам  (I)",
                           "E. График базовых шкал", "F. График шкал \"Мотивация-Климат\""}));
    EXPECT_EQ(plots[2].at(0), QChar(0x0421)); // Cyrillic Es, not Latin C
    for (QAction *a : form->menuBar()->actions())
        EXPECT_FALSE(a->icon().isNull()) << a->text().toStdString();
}

TEST_F(WindowTest, ControlsSitAtTheirClientPositions)
{
    form->openPath(writeSheet("a.txt", {}));
    EXPECT_EQ(child<TPanel>(*form, "paInfo")->geometry(), QRect(5, 0, 415, 130));
    EXPECT_EQ(child<QPlainTextEdit>(*form, "meInfo")->geometry(), QRect(5, 129, 415, 306));
    EXPECT_EQ(child<TChart>(*form, "ChartAll")->geometry(), QRect(5, 435, 416, 294));
    EXPECT_EQ(child<TPanel>(*form, "paPlot")->geometry(), QRect(420, 0, 602, 564));
    EXPECT_EQ(child<TStringGrid>(*form, "sgResF")->geometry(), QRect(420, 563, 602, 167));
    EXPECT_EQ(child<QLineEdit>(*form, "ceName")->geometry(), QRect(92, 53, 309, 26));
    EXPECT_EQ(child<TLabel>(*form, "laImageN")->geometry().right() + 1, 589);
    EXPECT_EQ(child<TLabel>(*form, "laDateImage")->geometry().right() + 1, 589);
    EXPECT_EQ(child<TLabel>(*form, "laImage")->geometry().right() + 1, 400);
    EXPECT_EQ(child<TLabel>(*form, "laPlotN")->geometry().right() + 1, 408);
}

TEST_F(WindowTest, DataLoadFillsHeaderMemoAndTable)
{
    AnswerSheet sheet = sheetWithScale1(7, 2); // scale 1 = 9, shown as 58
    const QString path = writeSheet("petrova.txt", sheet);
    openData(path);

    ASSERT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join("; ").toStdString();
    EXPECT_EQ(dialogs->titles, QStringList({"Индивидуальные данные для оценки ТР"}));
    EXPECT_EQ(QDir::cleanPath(dialogs->folders.value(0)),
              QDir::cleanPath(form->programFolder() + "Data"));
    EXPECT_EQ(child<QFileDialog>(*form, "OpenDialog1")->nameFilters(),
              QStringList({"TXT Files (*.txt)"}));

    EXPECT_EQ(child<QLineEdit>(*form, "ceDate")->text(), sheet.date);
    EXPECT_EQ(child<QLineEdit>(*form, "ceCode")->text(), sheet.code);
    EXPECT_EQ(child<QLineEdit>(*form, "ceName")->text(), sheet.name);
    EXPECT_EQ(child<QLabel>(*form, "laName")->text(), "Ф.И.О");
    EXPECT_EQ(child<QLineEdit>(*form, "ceNanket")->text(), "1");
    EXPECT_EQ(form->detailsText(), sheet.details.join("\r\n"));

    // The memo shows the analysis of the percent profile, not the file.
    const HeaderTexts header{sheet.code, sheet.name, sheet.date, sheet.details};
    EXPECT_EQ(child<QPlainTextEdit>(*form, "meInfo")->toPlainText(),
              analysisLines(form->session().scores(), header, todayText()).join('\n'));
    EXPECT_NEAR(form->session().scores().ScaleScores[1], 58.333, 1e-3);
    EXPECT_EQ(child<TStringGrid>(*form, "sgResF")->cell(7, 1), " 58");
    EXPECT_EQ(child<TStringGrid>(*form, "sgResF")->cell(0, 0), "Факторы (I)");
    EXPECT_EQ(child<TStringGrid>(*form, "sgResF")->selectedCell(), QPoint(1, 1));

    EXPECT_TRUE(enabled(child<QMenu>(*form, "mmPlotAll")));
    EXPECT_TRUE(enabled(child<QMenu>(*form, "mmImages")));
    EXPECT_TRUE(enabled(child<QMenu>(*form, "mmSave")));
    for (QWidget *view : std::initializer_list<QWidget *>{
             child<TPanel>(*form, "paInfo"), child<QPlainTextEdit>(*form, "meInfo"),
             child<TChart>(*form, "ChartAll"), child<TPanel>(*form, "paPlot"),
             child<TStringGrid>(*form, "sgResF")})
        EXPECT_FALSE(view->isHidden()) << view->objectName().toStdString();
    EXPECT_EQ(form->labelsFlag(), 1);
    EXPECT_EQ(child<TLabel>(*form, "laImageN")->text(), "B") << "the view a load draws";
    EXPECT_EQ(child<QAction>(*form, "mmImageSave")->text(), "Image B");
    EXPECT_EQ(child<QAction>(*form, "mmPlotSave")->text(), "Plot A");
    EXPECT_EQ(child<TChart>(*form, "ChartAll")->Foot().Text(),
              QStringList({sheet.code + " " + sheet.name + " " + sheet.date}));
    EXPECT_EQ(child<TLabel>(*form, "laInfoImage")->text(), sheet.code + ". " + sheet.name);
    EXPECT_EQ(child<TLabel>(*form, "laDateImage")->text(), sheet.date);
}

TEST_F(WindowTest, SaveDialogAsksBeforeOverwriting)
{
    // Two saves, both cancelled, run the one dialog.
    form->mmAnalysisSaveClick();
    form->mmAnalysisSaveClick();
    ASSERT_EQ(dialogs->saves.size(), 2u);
    const QFileDialog &dialog = *child<QFileDialog>(*form, "SaveDialog");
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_FALSE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_TRUE(dialog.isSizeGripEnabled());
}

TEST_F(WindowTest, LongHeaderTextsShowTheirBeginning)
{
    AnswerSheet sheet;
    sheet.name = QString("Константинопольский-Задунайский ").repeated(3);
    form->openPath(writeSheet("long.txt", sheet));
    EXPECT_EQ(child<QLineEdit>(*form, "ceName")->text(), sheet.name);
    EXPECT_EQ(child<QLineEdit>(*form, "ceName")->cursorPosition(), 0);
}

TEST_F(WindowTest, SecondLoadReplacesEverythingOfTheFirst)
{
    openData(writeSheet("a.txt", sheetWithScale1(7, 7)));
    AnswerSheet second = sheetWithScale1(1, 1);
    second.name = "Сидоров Пётр";
    openData(writeSheet("b.txt", second));
    EXPECT_EQ(child<QLineEdit>(*form, "ceName")->text(), second.name);
    EXPECT_EQ(child<TStringGrid>(*form, "sgResF")->cell(7, 1), "  0");
    EXPECT_DOUBLE_EQ(form->session().scores().ScaleScores[1], 0.0);
}

TEST_F(WindowTest, CancelledDialogChangesNothing)
{
    openData(writeSheet("a.txt", {}));
    const Screen before = screenOf(*form);
    dialogs->answers << QString();
    form->mmOpenClick();
    dialogs->answers << QString();
    form->mmGroupClick();
    EXPECT_EQ(screenOf(*form), before);
    EXPECT_TRUE(dialogs->errors.isEmpty());
}

TEST_F(WindowTest, GroupLoadShowsTheGroupMean)
{
    AnswerSheet first = sheetWithScale1(1, 3); // scale sum 4
    first.name = "Борисов";
    AnswerSheet second = sheetWithScale1(4, 5); // scale sum 9
    second.name = "Алексеева";
    writeSheet("b.txt", first, "team");
    const QString any = writeSheet("A.TXT", second, "team");
    writeSheet("ignored.txt", {}, "team/sub");
    openGroup(any);

    ASSERT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join("; ").toStdString();
    EXPECT_EQ(dialogs->titles, QStringList({"Ввод групповых данных для оценки ТР"}));
    EXPECT_EQ(child<QLineEdit>(*form, "ceCode")->text(), "0000");
    EXPECT_EQ(child<QLineEdit>(*form, "ceName")->text(), "Группа");
    EXPECT_EQ(child<QLabel>(*form, "laName")->text(), "Группа");
    EXPECT_EQ(child<QLineEdit>(*form, "ceDate")->text(), todayText());
    EXPECT_EQ(child<QLineEdit>(*form, "ceNanket")->text(), "2");
    // Members in name order, ignoring letter case.
    EXPECT_EQ(form->detailsText(),
              "Состав группы:\r\nАлексеева 0451 01.03.2024\r\nБорисов 0451 01.03.2024");
    EXPECT_DOUBLE_EQ(form->session().scores().ScaleScores[1], 37.5);
    EXPECT_EQ(child<TStringGrid>(*form, "sgResF")->cell(7, 1), " 38");
    EXPECT_FALSE(child<QPlainTextEdit>(*form, "meInfo")->toPlainText().contains("0451. "));
    // The fields say "Группа"; what is shown names the folder.
    EXPECT_EQ(child<TChart>(*form, "ChartAll")->Foot().Text(),
              QStringList({"0000 team " + todayText()}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WindowTest, FailedDataLoadLeavesWindowAndStoreAsTheyWere)
{
    openData(writeSheet("good.txt", sheetWithScale1(7, 7)));
    const Screen before = screenOf(*form);

    AnswerSheet bad;
    bad.name = "Другой";
    bad.badLine = 20;
    bad.badText = "5 ";
    openData(writeSheet("bad.txt", bad));

    EXPECT_EQ(dialogs->errors, QStringList({"'5 ' is not a valid integer value"}));
    EXPECT_EQ(screenOf(*form), before);
    EXPECT_EQ(form->labelsFlag(), 1);
}

TEST_F(WindowTest, MissingFileIsReportedAndChangesNothing)
{
    openData(writeSheet("good.txt", {}));
    const Screen before = screenOf(*form);
    const QString missing = dir.filePath("gone.txt");
    openData(missing);
    EXPECT_EQ(dialogs->errors,
              QStringList({"Cannot open file " + QDir::toNativeSeparators(missing)}));
    EXPECT_EQ(screenOf(*form), before);
}

TEST_F(WindowTest, FailedGroupLoadRestoresCursorAndKeepsProfile)
{
    openData(writeSheet("good.txt", {}));
    const Screen before = screenOf(*form);
    AnswerSheet bad;
    bad.badLine = 45;
    bad.badText = "8 x";
    writeSheet("a.txt", {}, "team");
    const QString any = writeSheet("b.txt", bad, "team");
    openGroup(any);
    // The message as it stands, then which of the folder's files and which line.
    EXPECT_EQ(dialogs->errors,
              QStringList({"'8 x' is not a valid integer value.\nФайл: b.txt, строка 45"}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(screenOf(*form), before);
}

TEST_F(WindowTest, EmptyFolderIsReportedBeforeAnythingChanges)
{
    QDir().mkpath(dir.filePath("empty"));
    form->openPath(dir.filePath("empty"));
    ASSERT_EQ(dialogs->errors.size(), 1);
    EXPECT_TRUE(dialogs->errors[0].contains("empty"));
    EXPECT_TRUE(child<TPanel>(*form, "paInfo")->isHidden());
    EXPECT_FALSE(enabled(child<QMenu>(*form, "mmSave")));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WindowTest, OpenPathLoadsFilesAsDataAndFoldersAsGroups)
{
    const QString file = writeSheet("one.txt", {}, "team");
    form->openPath(file);
    EXPECT_EQ(child<QLineEdit>(*form, "ceNanket")->text(), "1");
    EXPECT_EQ(child<QLabel>(*form, "laName")->text(), "Ф.И.О");
    form->openPath(dir.filePath("team"));
    EXPECT_EQ(child<QLineEdit>(*form, "ceName")->text(), "Группа");
    EXPECT_EQ(child<QLineEdit>(*form, "ceNanket")->text(), "1");
    EXPECT_TRUE(dialogs->titles.isEmpty()); // no dialog either way
}

TEST_F(WindowTest, DroppedFileIsLoaded)
{
    const QString file = writeSheet("dropped.txt", {});
    form->show();
    auto *mime = new QMimeData;
    mime->setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &drop);
    // QTRY_COMPARE ends a GoogleTest test without a word; wait plainly instead.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return child<QLineEdit>(*form, "ceNanket")->text() == "1"; }));
    EXPECT_EQ(child<QLineEdit>(*form, "ceCode")->text(), "0451");
    delete mime;
}

TEST_F(WindowTest, ImagesCommandsSetTitleLetterAndSaveCaption)
{
    openData(writeSheet("a.txt", {}));
    form->mmImageAllClick();
    EXPECT_EQ(child<TLabel>(*form, "laImage")->text(), "Общий график");
    EXPECT_EQ(child<TLabel>(*form, "laImageN")->text(), "D");
    EXPECT_EQ(child<QAction>(*form, "mmImageSave")->text(), "Image D");
    form->mmImageAllScalesClick();
    EXPECT_EQ(child<TLabel>(*form, "laImage")->text(), "График шкал");
    EXPECT_EQ(child<QAction>(*form, "mmImageSave")->text(), "Image A");
    form->mmPlot2FactorsIIIClick();
    EXPECT_EQ(child<TLabel>(*form, "laPlotN")->text(), "F");
    EXPECT_EQ(child<QAction>(*form, "mmPlotSave")->text(), "Plot F");
    EXPECT_EQ(child<TLabel>(*form, "laImage")->geometry().right() + 1, 400);
}

// The real dialog, driven as a user would: pick the file and press Open.
TEST(RealOpenDialog, PicksTheFileAndLoadsIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("real.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(AnswerSheet{}.bytes());
    file.close();

    TForm1 form(std::make_unique<WindowDialogs>(),
                std::make_unique<RecordingDesktop>(std::make_shared<RecordingDesktop::Calls>()));
    QString seenTitle;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seenTitle = dialog->windowTitle();
        dialog->selectFile(path);
        static_cast<QDialog *>(dialog)->accept();
    });
    form.mmOpenClick();
    EXPECT_EQ(seenTitle, "Индивидуальные данные для оценки ТР");
    EXPECT_EQ(child<QLineEdit>(form, "ceCode")->text(), "0451");
    EXPECT_EQ(child<QLineEdit>(form, "ceNanket")->text(), "1");
}

// The real error box: captioned with the application title, the message with its full stop,
// and the program goes on once it is closed.
TEST(RealErrorBox, ShowsTheMessageUnderTheApplicationTitle)
{
    QTemporaryDir dir;
    TForm1 form(std::make_unique<WindowDialogs>(),
                std::make_unique<RecordingDesktop>(std::make_shared<RecordingDesktop::Calls>()));
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        box->accept();
    });
    const QString missing = dir.filePath("missing.txt");
    form.openPath(missing);
    EXPECT_EQ(title, "VORL.ZUTan");
    EXPECT_EQ(text, "Cannot open file " + QDir::toNativeSeparators(missing) + ".");
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_TRUE(child<TPanel>(form, "paInfo")->isHidden());
}

TEST_F(WindowTest, LoadAfterAnotherViewNamesViewBAgain)
{
    openData(writeSheet("a.txt", {}));
    form->mmImageAllClick();
    openData(writeSheet("b.txt", {}));
    EXPECT_EQ(child<TLabel>(*form, "laImage")->text(), "График факторов (III)");
    EXPECT_EQ(child<TLabel>(*form, "laImageN")->text(), "B");
    EXPECT_EQ(child<QAction>(*form, "mmImageSave")->text(), "Image B");
}

// ---- comparison

namespace {

// What the window shows of a comparison.
struct ComparisonShown
{
    bool labelShown = false;
    QString label;
    QStringList foot;
    QString hint; // of Развитие's value cell
    bool noneEnabled = false;
    bool operator==(const ComparisonShown &) const = default;
};

ComparisonShown comparisonOf(const TForm1 &form)
{
    return {child<TLabel>(form, "laCompareImage")->isVisibleTo(child<TPanel>(form, "paPlot")),
            child<TLabel>(form, "laCompareImage")->caption(),
            child<TChart>(form, "ChartAll")->Foot().Text(),
            child<TStringGrid>(form, "sgResF")->cellHint(1, 1),
            child<QAction>(form, "mmCompareNone")->isEnabled()};
}

} // namespace

TEST_F(WindowTest, ComparisonStaysOverLaterLoadsUntilCleared)
{
    AnswerSheet reference;
    reference.code = "0007";
    reference.name = "Эталон";
    reference.answers = std::vector<int>(32, 6);
    const QString referencePath = writeSheet("reference.txt", reference);
    openData(writeSheet("a.txt", {}));
    EXPECT_TRUE(child<QAction>(*form, "mmCompareFile")->isEnabled());
    EXPECT_TRUE(child<QAction>(*form, "mmCompareGroup")->isEnabled());
    EXPECT_EQ(comparisonOf(*form),
              ComparisonShown({false, {}, {"0451 Петрова Анна Сергеевна 01.03.2024"}, {}, false}));

    dialogs->answers << referencePath;
    form->mmCompareFileClick();
    ASSERT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join("; ").toStdString();
    EXPECT_EQ(dialogs->titles.last(), "Файл для сравнения");
    const ProfileStore referenceStore = form->reference()->store;
    const double development = form->session().scores().SummaryScores[11];
    const ComparisonShown compared{
        true,
        "0007 Эталон",
        {"0451 Петрова Анна Сергеевна 01.03.2024", "Сравнение: 0007 Эталон"},
        comparisonHint(development, referenceStore.SummaryScores[11], "0007 Эталон"),
        true};
    EXPECT_EQ(comparisonOf(*form), compared);

    // Another file loads under the same reference.
    AnswerSheet other;
    other.code = "0452";
    other.answers = std::vector<int>(32, 2);
    openData(writeSheet("b.txt", other));
    EXPECT_EQ(form->reference()->store, referenceStore);
    EXPECT_EQ(child<TStringGrid>(*form, "sgResF")->cellHint(1, 1),
              comparisonHint(form->session().scores().SummaryScores[11], referenceStore.SummaryScores[11],
                             "0007 Эталон"));
    EXPECT_EQ(child<TChart>(*form, "ChartAll")->Foot().Text().value(1), "Сравнение: 0007 Эталон");

    // A reference that fails to load changes nothing, the earlier reference included.
    const Screen before = screenOf(*form);
    const ComparisonShown shownBefore = comparisonOf(*form);
    AnswerSheet bad;
    bad.badLine = 20;
    bad.badText = "5 ";
    dialogs->answers << writeSheet("bad.txt", bad);
    form->mmCompareFileClick();
    EXPECT_EQ(dialogs->errors, QStringList({"'5 ' is not a valid integer value"}));
    EXPECT_EQ(screenOf(*form), before);
    EXPECT_EQ(comparisonOf(*form), shownBefore);

    form->mmCompareNoneClick();
    EXPECT_EQ(form->reference(), nullptr);
    EXPECT_EQ(comparisonOf(*form),
              ComparisonShown(
                  {false, "0007 Эталон", {"0452 Петрова Анна Сергеевна 01.03.2024"}, {}, false}));
}

TEST_F(WindowTest, GroupReferenceIsTheFolderMeanNamedByTheFolder)
{
    writeSheet("b.txt", sheetWithScale1(1, 3), "Отдел");
    const QString any = writeSheet("a.txt", sheetWithScale1(4, 5), "Отдел");
    openData(writeSheet("one.txt", {}));
    dialogs->answers << any;
    form->mmCompareGroupClick();
    ASSERT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join("; ").toStdString();
    EXPECT_EQ(dialogs->titles.last(), "Группа для сравнения");
    EXPECT_EQ(child<TLabel>(*form, "laCompareImage")->caption(), "Отдел, файлов: 2");
    EXPECT_DOUBLE_EQ(form->reference()->store.ScaleScores[1], 37.5);
    // The loaded profile is still the respondent's.
    EXPECT_EQ(child<QLineEdit>(*form, "ceCode")->text(), "0451");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The workspace scaled as a desktop scales: the largest quarter step at which 1024 x 768 still
// fits the usable screen, never on a screen the desktop scales already.
TEST(WorkspaceScale, QuarterStepsThatStillFit)
{
    const struct
    {
        int width, height;
        double ratio, scale;
    } screens[] = {{1920, 1040, 1, 1.25}, {1920, 1080, 1, 1.25}, {1366, 728, 1, 1},
                   {2560, 1400, 1, 1.75}, {3840, 2120, 1, 2.75}, {1280, 960, 1, 1.25},
                   {1279, 1024, 1, 1},    {1920, 1080, 1.5, 1},  {0, 0, 1, 1}};
    for (const auto &s : screens)
        EXPECT_EQ(workspaceScale(s.width, s.height, s.ratio), s.scale)
            << s.width << "x" << s.height << " at " << s.ratio;
}
