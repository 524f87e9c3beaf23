// The report commands of the main window: the PDF report into the results folder and the same
// pages on a printer.
#include "ReportCommands.h"

#include "CommandError.h"
#include "NumberFormat.h"
#include "ProfileStore.h"
#include "SafeFile.h"
#include "SaveNames.h"
#include "UnitPlot.h"

#include <QDir>
#include <QLineEdit>
#include <QPrinter>

namespace {

const QString kPdfFilter = QStringLiteral("PDF Files (*.pdf)");

} // namespace

ReportContent reportContentOf(const TForm1 &form)
{
    const ReferenceProfile *reference = form.reference();
    return form.session().reportContent(
        form.headerTexts(), form.nameCaption(), todayText(), form.memoText(),
        reference ? std::optional<ReferenceProfile>(*reference) : std::nullopt, form.disclosure());
}

QByteArray reportPdfFor(const TForm1 &form, const QString &fileName)
{
    QByteArray pdf = reportPdf(reportContentOf(form));
    if (pdf.isEmpty())
        throw cannotCreateFile(fileName);
    return pdf;
}

void TForm1::mmReportSaveClick()
{
    if (!lastLoad())
        return;
    const QString chosen = askSaveName({QStringLiteral("Запись отчёта в pdf-файл"),
                                        kPdfFilter,
                                        reportFileName(programFolder_, fileStem()),
                                        {}});
    if (chosen.isEmpty())
        return;
    runCommand([&] {
        const QString name = PdfFileName(chosen);
        if (!mayWriteExtended(chosen, name))
            return;
        writeFileReplacing(name, reportPdfFor(*this, name));
    });
}

void TForm1::mmPrintClick()
{
    if (!lastLoad())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(reportPageLayout());
    printer.setDocName(QStringLiteral("Report ") + fileNameSafeCode(fileStem()));
    if (!dialogs_->runPrintDialog(printer, this))
        return;
    runCommand([&] {
        if (paintReport(printer, reportContentOf(*this)) == 0)
            throw CommandError(QStringLiteral("Cannot print on %1")
                                   .arg(printer.outputFileName().isEmpty()
                                            ? printer.printerName()
                                            : QDir::toNativeSeparators(printer.outputFileName())));
    });
}
