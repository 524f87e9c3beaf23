// The commands of the main window that read a survey's answers without loading them: the check
// of a folder or a table, and a table's rows written as answer files.
#include "UnitPlot.h"

#include "BusyCursor.h"
#include "ProgramFolders.h"
#include "SourceCheck.h"
#include "SplitTable.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

void TForm1::mmCheckClick()
{
    const QString group =
        runGroupDialog(QStringLiteral("Проверить: файл анкеты из папки или таблица"));
    if (group.isEmpty())
        return;
    runCommand([&] {
        const NativePath path = toNativePath(group);
        SourceCheck check;
        {
            BusyCursor busy;
            check = checkSource(path);
        }
        dialogs_->showReport(this, QStringLiteral("Проверка: %1").arg(groupSourceName(path)),
                             checkReport(QDir::toNativeSeparators(group), check));
    });
}

void TForm1::mmSplitTableClick()
{
    const QString table = runGroupDialog(QStringLiteral("Таблица ответов для файлов анкет"));
    if (table.isEmpty())
        return;
    runCommand([&] {
        const NativePath path = toNativePath(table);
        if (isFolder(path))
            throw CommandError(
                QStringLiteral("В файлы анкет записываются строки таблицы (.csv, .tsv, .xlsx), "
                               "а выбран файл анкеты"));
        const std::optional<TableOptions> options = confirmTable(path);
        if (!options)
            return;
        // The answer files go into a folder of their own: beside the table, named after it, as
        // the user may change.
        const QString folder =
            runFolderDialog(QStringLiteral("SplitDialog"), QStringLiteral("Папка для файлов анкет"),
                            QFileInfo(table).absolutePath());
        if (folder.isEmpty())
            return;
        QStringList notes;
        int written = 0;
        {
            BusyCursor busy;
            written = splitTable(path, toNativePath(folder), *options, &notes);
        }
        dialogs_->showReport(this, QStringLiteral("Файлы анкет"),
                             QStringList{QStringLiteral("В папку %1 записано файлов анкет: %2")
                                             .arg(QDir::toNativeSeparators(folder))
                                             .arg(written)} +
                                 notes);
    });
}
