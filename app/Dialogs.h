#pragma once

#include "Disclosure.h"

#include "GroupSource.h"
#include "Version.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QFileDialog;
class QPrinter;
class QWidget;

// What the breakdown asks before it splits a folder: the details line, the smallest subgroup
// shown on its own, the smallest whose spread and tests are shown and the smallest difference
// marked.
struct BreakdownChoice
{
    int line = 0;
    Disclosure disclosure;
};

// The modal windows a command opens: the file dialogs and the error box. Tests put their own
// in place to drive the commands with a path and to read the messages.
class Dialogs
{
public:
    virtual ~Dialogs() = default;
    // Runs the prepared open dialog; the chosen file, or empty when the user cancels.
    virtual QString runOpenDialog(QFileDialog &dialog) = 0;
    // Runs the prepared save dialog; the name as the user confirmed it, or empty on cancel.
    virtual QString runSaveDialog(QFileDialog &dialog) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool askYesNo(QWidget *parent, const QString &question) = 0;
    // The error box: captioned with the application title, the message with its full stop.
    virtual void showError(QWidget *parent, const QString &message) = 0;
    // The print dialog on a prepared printer; true when the user chose to print. Without a
    // window of its own (a batch, a test) nothing is printed.
    virtual bool runPrintDialog(QPrinter &, QWidget *) { return false; }
    // The breakdown's question, each details line 4 to 7 shown with the text most of the
    // folder has there; empty when the user cancels. Without a user nothing is split.
    virtual std::optional<BreakdownChoice> askBreakdown(QWidget *, const QStringList &)
    {
        return std::nullopt;
    }
    // A table read as a group, before its load: the mapping found, its first rows and every
    // bad row, for the user to confirm, change the mapping or go on without the bad rows. The
    // options to load with, or nullopt when the user cancels. Without a user the table is
    // loaded as found, so a table with bad rows is refused with its first problem.
    virtual std::optional<TableOptions> confirmTable(QWidget *, const NativePath &,
                                                     const TableScan &,
                                                     const TableOptions &options)
    {
        return options;
    }
    // What a load left out or counted once, after it.
    virtual void showNotes(QWidget *, const QStringList &) {}
    // A report of several lines to read and copy: a check's findings, what a command wrote.
    virtual void showReport(QWidget *, const QString & /*title*/, const QStringList &) {}
};

// What a Save command asks its dialog for: the title, the file type, the name proposed, and the
// extension a name typed without one gets (none when empty).
struct SaveRequest
{
    QString title;
    QString filter;
    QString proposed;
    QString suffix;
};

// A save dialog as every Save command has it: it asks before overwriting a file and can be
// resized; askSaveName sets it up for each request.
QFileDialog *newSaveDialog(QWidget *parent);
// A file dialog of Qt's own large enough for its columns: the size, type and date stand whole
// beside the name, which takes the rest of the width.
void fitFileDialog(QFileDialog &dialog);
// Runs the save dialog in folder, set up for the request; the name the user confirmed, or empty.
QString askSaveName(Dialogs &dialogs, QFileDialog &dialog, const QString &folder,
                    const SaveRequest &request);
// The dialog confirmed only the name as typed: whether the name extended with the file's own
// extension may be written, asking when a file of that name exists.
bool mayWriteExtended(Dialogs &dialogs, QWidget *parent, const QString &chosen,
                      const QString &extended);

// The real dialogs and message box.
class WindowDialogs : public Dialogs
{
public:
    QString runOpenDialog(QFileDialog &dialog) override;
    QString runSaveDialog(QFileDialog &dialog) override;
    bool askYesNo(QWidget *parent, const QString &question) override;
    void showError(QWidget *parent, const QString &message) override;
    bool runPrintDialog(QPrinter &printer, QWidget *parent) override;
    std::optional<BreakdownChoice> askBreakdown(QWidget *parent,
                                                const QStringList &lineTexts) override;
    std::optional<TableOptions> confirmTable(QWidget *parent, const NativePath &table,
                                             const TableScan &scan,
                                             const TableOptions &options) override;
    void showNotes(QWidget *parent, const QStringList &notes) override;
    void showReport(QWidget *parent, const QString &title, const QStringList &lines) override;
};

// No dialogs at all, for runs without a user (a batch, the benchmarks, the screenshot tool):
// every dialog is cancelled, every question answered No, and an error handed to onError.
class HeadlessDialogs : public Dialogs
{
public:
    explicit HeadlessDialogs(std::function<void(const QString &)> onError)
        : onError_(std::move(onError))
    {
    }
    QString runOpenDialog(QFileDialog &) override { return {}; }
    QString runSaveDialog(QFileDialog &) override { return {}; }
    bool askYesNo(QWidget *, const QString &) override { return false; }
    void showError(QWidget *, const QString &message) override { onError_(message); }

private:
    std::function<void(const QString &)> onError_;
};

// The error handling of a tool: the message on standard error, then the tool ends with 1, since
// a failed load would otherwise leave it measuring or picturing nothing.
std::unique_ptr<Dialogs> dialogsThatStopTool(const char *tool);
