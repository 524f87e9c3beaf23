#include "AppTestSupport.h"

#include "Breakdown.h"
#include "GroupSource.h"
#include "NumberFormat.h"
#include "ReportCommands.h"
#include "TChart.h"
#include "TableImportDialog.h"
#include "TrendWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

namespace {

// A form's export: a time stamp, the name, a department, the 32 answers and an empty comment.
// Row 4 (Сидоров) answers 8 to question 2.
QByteArray formExport()
{
    QStringList header = {"Отметка времени", "ФИО", "Подразделение"};
    for (int i = 1; i <= 32; ++i)
        header << QString::number(i);
    header << "Комментарий";
    const auto row = [](const QString &stamp, const QString &name, int answer, int second) {
        QStringList cells = {stamp, name, "Бухгалтерия"};
        for (int i = 0; i < 32; ++i)
            cells << QString::number(i == 1 ? second : answer);
        cells << QString();
        return cells.join(';');
    };
    return QStringList({header.join(';'), row("15.03.2024 10:20:30", "Иванов", 4, 4),
                        row("15.03.2024 11:00:00", "Петрова", 5, 5),
                        row("16.03.2024 09:00:00", "Сидоров", 3, 8),
                        row("16.03.2024 12:30:00", "Орлова", 6, 6)})
        .join("\r\n")
        .toUtf8();
}

QString writeExport(const QTemporaryDir &dir)
{
    const QString path = dir.filePath("Опрос.csv");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(formExport());
    return path;
}

class TableImportDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = toNativePath(writeExport(dir));
        dialog = std::make_unique<TableImportDialog>(path, scanTable(path, {}), TableOptions{});
    }

    void applyColumns(const QString &text)
    {
        dialog->edColumns->setText(text);
        dialog->btApply->click();
    }

    QTemporaryDir dir;
    NativePath path;
    std::unique_ptr<TableImportDialog> dialog;
};

} // namespace

TEST_F(TableImportDialogTest, ShowsTheReadingTheMappingAndTheFirstRows)
{
    EXPECT_TRUE(dialog->laFile->text().contains("Опрос.csv"));
    EXPECT_TRUE(dialog->laFile->text().contains(dialog->scan().preview.description));
    const QStringList mapping = dialog->laMapping->text().split('\n');
    EXPECT_TRUE(mapping.contains("Ответы 1–32: столбцы D–AI"));
    EXPECT_TRUE(mapping.contains("Дата: A «Отметка времени»"));
    EXPECT_TRUE(mapping.contains("Ф.И.О.: B «ФИО»"));
    EXPECT_TRUE(mapping.contains("Строка 4: C «Подразделение»"));

    const QTableWidget &table = *dialog->tbRecords;
    ASSERT_EQ(table.rowCount(), 5);
    ASSERT_EQ(table.columnCount(), 36);
    EXPECT_EQ(table.horizontalHeaderItem(0)->text(), "A\nДата");
    EXPECT_EQ(table.horizontalHeaderItem(2)->text(), "C\nСтрока 4");
    EXPECT_EQ(table.horizontalHeaderItem(3)->text(), "D\nОтвет 1");
    EXPECT_EQ(table.horizontalHeaderItem(34)->text(), "AI\nОтвет 32");
    EXPECT_EQ(table.item(3, 4)->text(), "8");
    EXPECT_EQ(table.editTriggers(), QAbstractItemView::NoEditTriggers);
    // The comment feeds nothing: greyed, unlike the answers beside it.
    EXPECT_EQ(table.horizontalHeaderItem(35)->text(), "AJ\n—");
    EXPECT_NE(table.item(1, 35)->foreground().color(), table.item(1, 34)->foreground().color());
}

TEST_F(TableImportDialogTest, BadRowsHoldTheLoadUntilTheyAreLeftOut)
{
    EXPECT_EQ(dialog->meProblems->toPlainText(),
              "строка 4, столбец E «2»: «8» — не ответ от 1 до 7");
    EXPECT_EQ(dialog->laBadRows->text(), "В таблице 1 строка с ошибками; она не будет загружена.");
    EXPECT_EQ(dialog->laMembers->text(), "Строк, которые будут загружены: 3");
    EXPECT_FALSE(dialog->btLoad->isEnabled());
    EXPECT_FALSE(dialog->options().skipBad);

    dialog->cbSkipBad->setChecked(true);
    EXPECT_TRUE(dialog->btLoad->isEnabled());
    dialog->btLoad->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    const TableOptions chosen = dialog->options();
    EXPECT_TRUE(chosen.skipBad);
    EXPECT_EQ(chosen.columns, "");
    EXPECT_EQ(chosen.sheet, "");
}

TEST_F(TableImportDialogTest, AppliedColumnsReadTheTableAgain)
{
    // Answers moved onto the name and the time stamp make every row bad: nothing to load even
    // without the bad rows.
    applyColumns("answers=A-AF");
    EXPECT_TRUE(dialog->laError->isHidden());
    EXPECT_EQ(dialog->options().columns, "answers=A-AF");
    EXPECT_TRUE(dialog->laMapping->text().contains("Ответы 1–32: столбцы A–AF"));
    EXPECT_EQ(dialog->tbRecords->horizontalHeaderItem(0)->text(), "A\nОтвет 1");
    EXPECT_EQ(dialog->laBadRows->text(), "В таблице 4 строки с ошибками; они не будут загружены.");
    dialog->cbSkipBad->setChecked(true);
    EXPECT_FALSE(dialog->btLoad->isEnabled());

    applyColumns("name=none");
    EXPECT_TRUE(dialog->laMapping->text().contains("Ф.И.О.: нет"));
    EXPECT_EQ(dialog->tbRecords->horizontalHeaderItem(1)->text(), "B\n—");
    EXPECT_TRUE(dialog->btLoad->isEnabled());
}

TEST_F(TableImportDialogTest, AWrongMappingIsShownAndTheLastReadingKept)
{
    for (const QString text : {"answers=E-AK", "цвет=A"}) {
        applyColumns(text);
        EXPECT_FALSE(dialog->laError->isHidden()) << text.toStdString();
        EXPECT_FALSE(dialog->laError->text().isEmpty());
        EXPECT_TRUE(dialog->laMapping->text().contains("столбцы D–AI"));
        EXPECT_EQ(dialog->options().columns, "");
        // Loading now would load what the field does not say: the text is tried again instead.
        dialog->cbSkipBad->setChecked(true);
        dialog->btLoad->click();
        EXPECT_NE(dialog->result(), QDialog::Accepted);
    }
    applyColumns("");
    EXPECT_TRUE(dialog->laError->isHidden());
}

TEST_F(TableImportDialogTest, ATableWithoutFoundAnswersWaitsForItsColumns)
{
    TableScan unmapped;
    unmapped.preview = unmappedPreview(path, {});
    unmapped.error = "В таблице не найдены 32 столбца с ответами";
    dialog = std::make_unique<TableImportDialog>(path, unmapped, TableOptions{});
    EXPECT_EQ(dialog->laError->text(), "В таблице не найдены 32 столбца с ответами.");
    EXPECT_FALSE(dialog->laMapping->text().contains("Ответы 1–32"));
    EXPECT_EQ(dialog->tbRecords->horizontalHeaderItem(3)->text(), "D\n—");
    EXPECT_FALSE(dialog->btLoad->isEnabled());

    applyColumns("answers=D-AI, name=B");
    EXPECT_TRUE(dialog->laError->isHidden());
    EXPECT_EQ(dialog->tbRecords->horizontalHeaderItem(3)->text(), "D\nОтвет 1");
    dialog->cbSkipBad->setChecked(true);
    EXPECT_TRUE(dialog->btLoad->isEnabled());
}

TEST_F(TableImportDialogTest, HeaderRowsAreShadedOnScreen)
{
    dialog->resize(1024, 768);
    dialog->show();
    QTableWidget &table = *dialog->tbRecords;
    const QImage image = table.viewport()->grab().toImage();
    // Above the text, inside the frame a current cell may have.
    const auto background = [&](int row) {
        const QRect cell = table.visualItemRect(table.item(row, 1));
        return image.pixelColor(cell.center().x(), cell.top() + 3);
    };
    EXPECT_EQ(background(0), QColor(0xe4, 0xe4, 0xe4));
    EXPECT_EQ(background(1), table.palette().color(QPalette::Base));
}

namespace {

// The user's side of a table's import: the table confirmed with its bad rows left out.
class ConfirmingDialogs : public ScriptedDialogs
{
public:
    ConfirmingDialogs(std::shared_ptr<Shared> shared, std::vector<int> *badRows, QStringList *notes)
        : ScriptedDialogs(std::move(shared)), badRows_(badRows), notes_(notes)
    {
    }
    std::optional<TableOptions> confirmTable(QWidget *, const NativePath &, const TableScan &scan,
                                             const TableOptions &options) override
    {
        *badRows_ = scan.badRows;
        TableOptions confirmed = options;
        confirmed.skipBad = true;
        return confirmed;
    }
    void showNotes(QWidget *, const QStringList &notes) override { *notes_ << notes; }
    void showReport(QWidget *, const QString &title, const QStringList &lines) override
    {
        *notes_ << title << lines;
    }

private:
    std::vector<int> *badRows_;
    QStringList *notes_;
};

class TableGroupTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        form.reset();
        form =
            std::make_unique<TForm1>(std::make_unique<ConfirmingDialogs>(dialogs, &badRows, &notes),
                                     std::make_unique<RecordingDesktop>(desktop));
    }

    std::vector<int> badRows;
    QStringList notes;
};

} // namespace

TEST_F(TableGroupTest, GroupCommandLoadsATableWithoutItsBadRows)
{
    dialogs->answers << writeExport(dir);
    child<QAction>(*form, "mmGroup")->trigger();

    ASSERT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join("; ").toStdString();
    EXPECT_EQ(badRows, std::vector<int>{4});
    EXPECT_EQ(child<QLineEdit>(*form, "ceNanket")->text(), "3");
    EXPECT_EQ(notes, QStringList{"пропущена строка 4, столбец E «2»: «8» — не ответ от 1 до 7"});
}

TEST_F(TableGroupTest, CheckListsTheBadRowAndSplitWritesTheRestAsAnswerFiles)
{
    const QString table = writeExport(dir);
    dialogs->answers << table;
    child<QAction>(*form, "mmCheck")->trigger();
    ASSERT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join("; ").toStdString();
    EXPECT_TRUE(notes.contains("ошибка: строка 4, столбец E «2»: «8» — не ответ от 1 до 7"))
        << notes.join('\n').toStdString();
    EXPECT_TRUE(notes.last().endsWith("читается анкет: 3, ошибок: 1, предупреждений: 0"));

    notes.clear();
    const QString folder = dir.filePath("Анкеты");
    QDir().mkdir(folder);
    dialogs->answers << table << folder;
    child<QAction>(*form, "mmSplitTable")->trigger();
    ASSERT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join("; ").toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files),
              QStringList({"0002 Иванов.txt", "0003 Петрова.txt", "0005 Орлова.txt"}));
    EXPECT_TRUE(notes.contains(
        QStringLiteral("В папку %1 записано файлов анкет: 3").arg(QDir::toNativeSeparators(folder))));
    // The window shows nothing of what it wrote: no profile was loaded.
    EXPECT_FALSE(child<QAction>(*form, "mmCompareGroup")->isEnabled());
}

// What names the profile on show, by its kind. The fields keep "0000" and "Группа" for a
// group; the window's title, the chart's foot, the report's header and the proposed names name
// its folder, table, subgroup or wave.
TEST_F(TableGroupTest, ShownProfileNamedByItsKind)
{
    const QString window = QStringLiteral("VORL - ZUL Plot");
    AnswerSheet person;
    person.name = "Петров";
    const auto department = [&](const char *folder, const char *name, int count) {
        AnswerSheet sheet;
        sheet.details[0] = QString::fromUtf8(name);
        QString any;
        for (int m = 0; m < count; ++m)
            any = writeSheet(QStringLiteral("%1%2.txt").arg(QString::fromUtf8(name)).arg(m), sheet,
                             QString::fromUtf8(folder));
        return any;
    };
    const struct
    {
        const char *kind;
        std::function<void()> open;
        const char *field; // the name field
        const char *name;  // as shown
        const char *stem;  // of the proposed file names
    } kinds[] = {
        {"respondent", [&] { openData(writeSheet("p.txt", person)); }, "Петров", "Петров", "0451"},
        {"folder", [&] { openGroup(department("Склад", "Склад", 2)); }, "Группа", "Склад",
         "0000 Склад"},
        {"table",
         [&] {
             dialogs->answers << writeExport(dir);
             child<QAction>(*form, "mmGroup")->trigger();
         },
         "Группа", "Опрос", "0000 Опрос"},
        {"subgroup",
         [&] {
             department("Компания", "Офис", 3);
             department("Компания", "Склад", 4);
             const LoadedProfile whole = loadGroup(dir.filePath("Компания"), todayText());
             const Breakdown breakdown = splitGroup(whole, 4, Disclosure{});
             form->showSubgroup(breakdown.shown.front().profile, whole,
                                std::make_shared<BreakdownTable>(
                                    breakdownTable(whole, breakdown, "Компания")));
         },
         "Склад", "Склад", "0000 Склад"},
        {"wave",
         [&] {
             department("Волны/2023", "Склад", 3);
             department("Волны/2024", "Склад", 3);
             dialogs->answers << dir.filePath("Волны");
             form->mmTrendClick();
             form->findChild<TrendWindow *>()->openWave(1);
         },
         "Группа", "2024", "0000 2024"},
    };
    for (const auto &k : kinds) {
        SCOPED_TRACE(k.kind);
        k.open();
        ASSERT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join("; ").toStdString();
        const QString name = QString::fromUtf8(k.name);
        EXPECT_EQ(child<QLineEdit>(*form, "ceName")->text(), QString::fromUtf8(k.field));
        EXPECT_EQ(form->windowTitle(),
                  std::string(k.kind) == "respondent" ? window : name + " — " + window);
        EXPECT_TRUE(child<TChart>(*form, "ChartAll")->Foot().Text().value(0).contains(" " + name + " "))
            << child<TChart>(*form, "ChartAll")->Foot().Text().join('|').toStdString();
        EXPECT_EQ(reportContentOf(*form).header.name, name);
        form->mmReportSaveClick(); // cancelled
        EXPECT_TRUE(dialogs->saves.back().proposed.endsWith(
            QStringLiteral("/Report %1.pdf").arg(QString::fromUtf8(k.stem))))
            << dialogs->saves.back().proposed.toStdString();
    }
}
