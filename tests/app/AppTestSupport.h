#pragma once

#include "DesktopLayer.h"
#include "Dialogs.h"
#include "Report.h"
#include "UnitPlot.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// The one child of parent's tree with that object name, as Qt finds a child: the window's
// widgets and menu items are named as its members are. A name that is missing, taken twice or
// of another type throws, which fails the test that asked.
template <class T> T *child(const QObject &parent, const QString &name)
{
    const QList<QObject *> named = parent.findChildren<QObject *>(name);
    T *found = named.size() == 1 ? dynamic_cast<T *>(named.front()) : nullptr;
    if (!found)
        throw std::logic_error("no single child " + name.toStdString() + " of that type, but " +
                               std::to_string(named.size()));
    return found;
}

// Dialogs that answer with prepared paths and keep the error messages they were shown.
class ScriptedDialogs : public Dialogs
{
public:
    struct Shared
    {
        QStringList answers;    // next open-dialog answers; empty string = cancel
        QStringList titles;     // titles of the dialogs run
        QStringList folders;    // their folders
        QStringList errors;     // messages shown in the error box
        QStringList nameFields; // the file name each open dialog started with
        // The save dialog: next answers (empty string = cancel) and what each run showed.
        QStringList saveAnswers;
        struct SaveRun
        {
            QString title, filter, folder, proposed;
        };
        std::vector<SaveRun> saves;
        // Questions asked, and the answer to all of them.
        QStringList questions;
        bool answerYes = true;
        // The print dialog prints into this PDF file; empty = cancel. Counts the dialogs run.
        QString printTo;
        int printDialogs = 0;
        // The breakdown's question: the line texts each run showed, and the answer to all of
        // them (none = cancel).
        std::vector<QStringList> breakdownTexts;
        std::optional<BreakdownChoice> breakdownChoice;
    };
    explicit ScriptedDialogs(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}
    QString runOpenDialog(QFileDialog &dialog) override;
    QString runSaveDialog(QFileDialog &dialog) override;
    bool askYesNo(QWidget *parent, const QString &question) override;
    void showError(QWidget *parent, const QString &message) override;
    bool runPrintDialog(QPrinter &printer, QWidget *parent) override;
    std::optional<BreakdownChoice> askBreakdown(QWidget *parent,
                                                const QStringList &lineTexts) override;

private:
    std::shared_ptr<Shared> shared_;
};

// A desktop with a task bar, counting what the window does to it.
class RecordingDesktop : public DesktopLayer
{
public:
    struct Calls
    {
        int hidden = 0;
        int shown = 0;
        int workArea = 0;
    };
    explicit RecordingDesktop(std::shared_ptr<Calls> calls) : calls_(std::move(calls)) {}
    bool hideTaskBar() override
    {
        ++calls_->hidden;
        return true;
    }
    void showTaskBar() override { ++calls_->shown; }
    void SetWorkAreaToScreen() override { ++calls_->workArea; }

private:
    std::shared_ptr<Calls> calls_;
};

// How many pages the report of content takes, painted on A4 as a save paints it.
int reportPageCount(const ReportContent &content);

// A folder nobody may write into, root included; false when the machine cannot make one.
bool makeUnwritable(const QString &folder);
void makeWritable(const QString &folder);

// One answer file's contents: the answers and totals that go into it.
struct AnswerSheet
{
    QString date = QStringLiteral("01.03.2024");
    QString code = QStringLiteral("0451");
    QString name = QStringLiteral("Петрова Анна Сергеевна");
    QStringList details = {QStringLiteral("Бухгалтерия"), QStringLiteral("Главный бухгалтер"),
                           QStringLiteral("Стаж 12 лет"), QStringLiteral("Казань")};
    std::vector<int> answers = std::vector<int>(32, 4);
    std::vector<int> totals = {32, 32, 32, 32, 32, 32, 32, 32, 64, 64, 64, 64};
    // Replaces one line (from 1) of the written file with this text, to make it bad.
    int badLine = 0;
    QByteArray badText;

    QByteArray bytes() const;
};

// A fresh window over a temporary folder for each test.
class WindowTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    QString writeSheet(const QString &name, const AnswerSheet &sheet,
                       const QString &subFolder = {});
    // Runs the Data command on path, or the Group command on any file of a folder.
    void openData(const QString &path);
    void openGroup(const QString &anyFile);
    // A program folder with its Results folder under the temporary folder, made the program's
    // own; returns it with its trailing separator.
    QString useProgramFolder();

    QTemporaryDir dir;
    std::shared_ptr<ScriptedDialogs::Shared> dialogs = std::make_shared<ScriptedDialogs::Shared>();
    std::shared_ptr<RecordingDesktop::Calls> desktop = std::make_shared<RecordingDesktop::Calls>();
    std::unique_ptr<TForm1> form;
};
