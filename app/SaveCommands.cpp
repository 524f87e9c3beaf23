// The Save commands of the main window: the analysis text, the screen pictures of the
// diagram panel and the chart, and the table of individual results, each into the results
// folder beside the program.
#include "UnitPlot.h"

#include "CommandLine.h"
#include "ProfileCsv.h"
#include "ProfileStore.h"
#include "ProfileTable.h"
#include "SafeFile.h"
#include "SaveNames.h"
#include "ScrinCap.h"
#include "TChart.h"
#include "TLabel.h"
#include "TemporaryFiles.h"
#include "TPanel.h"
#include "XlsxTable.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

const QString kPictureFilter = QStringLiteral("JPG Files (*.jpg)");
const QString kAnalysisFilter = QStringLiteral("RTF Files (*.rtf)");
const QString kTableFilter = QStringLiteral("CSV Files (*.csv)");
const QString kWorkbookFilter = QStringLiteral("Excel Files (*.xlsx)");

} // namespace

void TForm1::mmAnalysisSaveClick()
{
    // The filter and the folder stay as the last command left them; the proposed name carries
    // the results folder itself.
    QFileDialog &dialog = saveDialog();
    dialog.setWindowTitle(QStringLiteral("Запись анализа факторов в rtf.файл"));
    // Its own file type, not the one the last save left: a JPG filter would hide the .rtf
    // files the proposed name may replace.
    dialog.setNameFilter(kAnalysisFilter);
    dialog.selectFile(analysisFileName(programFolder_, fileStem()));
    const QString name = dialogs_->runSaveDialog(dialog);
    if (name.isEmpty())
        return;
    runCommand([&] {
        // The whole text, also of the header lines the memo shows cut.
        const AnalysisFileBytes file = analysisFileBytes(analysisText());
        // Typed characters that code page 1251 cannot hold are not dropped behind the user's
        // back: the user chooses between "?" in their place and not saving.
        if (!file.unmappable.isEmpty() &&
            !dialogs_->askYesNo(
                this, QStringLiteral("В тексте есть знаки, которых нет в кодировке Windows-1251: "
                                     "%1\nЗаписать файл, поставив вместо них знак \"?\"?")
                          .arg(file.unmappable)))
            return;
        writeFileReplacing(name, file.bytes);
    });
}

void TForm1::mmTableSaveClick()
{
    saveTable(
        QStringLiteral("Запись таблицы результатов в csv-файл"), kTableFilter,
        QStringLiteral("csv"), tableFileName(programFolder_, fileStem()),
        [](const LoadedProfile &loaded, const QString &) {
            return profileCsv(loaded, spreadsheetCsv(QLocale()));
        });
}

void TForm1::mmWorkbookSaveClick()
{
    const QString code = ceCode->text();
    saveTable(QStringLiteral("Запись таблицы результатов в xlsx-файл"), kWorkbookFilter,
              QStringLiteral("xlsx"), workbookFileName(programFolder_, fileStem()),
              [code](const LoadedProfile &loaded, const QString &name) {
                  // The workbook is made beside the file it becomes.
                  return profileXlsx(loaded, tableWorkbookProperties(code),
                                     folderOf(QFile::encodeName(name)));
              });
}

void TForm1::saveTable(const QString &title, const QString &filter, const QString &suffix,
                       const QString &proposed,
                       const std::function<QByteArray(const LoadedProfile &, const QString &)> &bytes)
{
    if (!lastLoad())
        return;
    // A name typed without an extension still gets the table's, confirmed by the dialog itself.
    const QString name = askSaveName({title, filter, proposed, suffix});
    if (name.isEmpty())
        return;
    // The load of that moment, read after the dialog's own event loop has run.
    runCommand([&] {
        if (const LoadedProfile *loaded = lastLoad())
            writeFileReplacing(name, bytes(*loaded, name));
    });
}

QString TForm1::askSaveName(const SaveRequest &request)
{
    QFileDialog &dialog = saveDialog();
    return ::askSaveName(*dialogs_, dialog, resultsFolder(programFolder_), request);
}

void TForm1::mmImageSaveClick()
{
    savePicture(QStringLiteral("Запись текущего профиля факторов в jpg-файл"),
                QStringLiteral("Image"), laImageN, paPlot);
}

void TForm1::mmPlotSaveClick()
{
    savePicture(QStringLiteral("Запись текущей гистограммы в jpg-файл"), QStringLiteral("Plot"),
                laPlotN, ChartAll);
}

void TForm1::savePicture(const QString &title, const QString &prefix, const TLabel *letter,
                         const QWidget *control)
{
    const QString chosen = askSaveName(
        {title,
         kPictureFilter,
         pictureFileName(programFolder_, prefix, letter->caption(), fileStem()),
         {}});
    if (chosen.isEmpty())
        return;
    runCommand([&] {
        const QString name = JpegFileName(chosen);
        if (!mayWriteExtended(chosen, name))
            return;
        // What the dialog or the question covered is repainted before the screen is read.
        QGuiApplication::sync();
        SaveAsJpeg(control, name);
    });
}
