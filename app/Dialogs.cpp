#include "Dialogs.h"

#include "BreakdownDialog.h"
#include "TableImportDialog.h"
#include "CommandError.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTreeView>
#include <QVBoxLayout>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <cstdio>
#include <cstdlib>

QString WindowDialogs::runOpenDialog(QFileDialog &dialog)
{
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

QString WindowDialogs::runSaveDialog(QFileDialog &dialog)
{
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

bool WindowDialogs::askYesNo(QWidget *parent, const QString &question)
{
    QMessageBox box(QMessageBox::Question, kApplicationTitle, question,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Yes;
}

void WindowDialogs::showError(QWidget *parent, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, kApplicationTitle, errorBoxText(message),
                    QMessageBox::Ok, parent);
    // The message quotes file contents and paths: show them as they are, never as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool WindowDialogs::runPrintDialog(QPrinter &printer, QWidget *parent)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<BreakdownChoice> WindowDialogs::askBreakdown(QWidget *parent,
                                                           const QStringList &lineTexts)
{
    BreakdownDialog dialog(lineTexts, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

std::unique_ptr<Dialogs> dialogsThatStopTool(const char *tool)
{
    return std::make_unique<HeadlessDialogs>([tool](const QString &message) {
        std::fprintf(stderr, "%s: %s\n", tool, message.toLocal8Bit().constData());
        std::exit(1);
    });
}

QFileDialog *newSaveDialog(QWidget *parent)
{
    auto *dialog = new QFileDialog(parent);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog->setSizeGripEnabled(true);
    fitFileDialog(*dialog);
    return dialog;
}

void fitFileDialog(QFileDialog &dialog)
{
    constexpr QSize kSize(960, 600);
    constexpr double kScreenShare = 0.9;
    QSize size = kSize;
    if (const QScreen *screen = dialog.screen())
        size = size.boundedTo(screen->availableGeometry().size() * kScreenShare);
    dialog.resize(size);
    // Qt's dialog shows its files in a tree view of four columns.
    if (auto *files = dialog.findChild<QTreeView *>(QStringLiteral("treeView"))) {
        QHeaderView *header = files->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
}

QString askSaveName(Dialogs &dialogs, QFileDialog &dialog, const QString &folder,
                    const SaveRequest &request)
{
    dialog.setNameFilter(request.filter);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.selectFile(QString());
    dialog.setDirectory(folder);
    dialog.setWindowTitle(request.title);
    dialog.selectFile(request.proposed);
    dialog.setDefaultSuffix(request.suffix);
    const QString name = dialogs.runSaveDialog(dialog);
    dialog.setDefaultSuffix(QString());
    return name;
}

bool mayWriteExtended(Dialogs &dialogs, QWidget *parent, const QString &chosen,
                      const QString &extended)
{
    return extended == chosen || !QFileInfo::exists(extended) ||
           dialogs.askYesNo(parent, QStringLiteral("Файл %1 уже существует. Заменить его?")
                                        .arg(QDir::toNativeSeparators(extended)));
}

std::optional<TableOptions> WindowDialogs::confirmTable(QWidget *parent, const NativePath &table,
                                                        const TableScan &scan,
                                                        const TableOptions &options)
{
    return runTableImportDialog(parent, table, scan, options);
}

void WindowDialogs::showNotes(QWidget *parent, const QStringList &notes)
{
    QMessageBox box(QMessageBox::Information, kApplicationTitle,
                    QStringLiteral("Загружено, но не всё так, как в таблице:"), QMessageBox::Ok,
                    parent);
    box.setTextFormat(Qt::PlainText);
    box.setDetailedText(notes.join(QLatin1Char('\n')));
    box.setInformativeText(notes.mid(0, 5).join(QLatin1Char('\n')) +
                           (notes.size() > 5 ? QStringLiteral("\n…") : QString()));
    box.exec();
}

void WindowDialogs::showReport(QWidget *parent, const QString &title, const QStringList &lines)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    auto *layout = new QVBoxLayout(&dialog);
    auto *text = new QPlainTextEdit(lines.join(QLatin1Char('\n')), &dialog);
    text->setObjectName(QStringLiteral("meReport"));
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    layout->addWidget(text);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    // Long enough lists for a whole folder's findings: most of the screen.
    if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        dialog.resize(screen->availableSize() * 7 / 10);
    dialog.exec();
}
