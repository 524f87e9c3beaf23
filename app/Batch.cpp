#include "Batch.h"

#include "CommandError.h"
#include "DesktopLayer.h"
#include "Dialogs.h"
#include "ErrorMessage.h"
#include "ReportCommands.h"
#include "SafeFile.h"
#include "SaveNames.h"
#include "ScrinCap.h"
#include "TChart.h"
#include "TLabel.h"
#include "TPanel.h"
#include "UnitPlot.h"

#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>

namespace {

constexpr QSize kDiagramPictureSize(602, 564);
constexpr QSize kChartPictureSize(416, 294);
constexpr int kDiagramViews = 4;
constexpr int kChartViews = 6;

QImage renderWidget(QWidget *widget, QSize size)
{
    QCoreApplication::sendPostedEvents();
    // At a device pixel ratio of 1, whatever the screen has, so every picture has its size.
    QImage picture(size, QImage::Format_RGB32);
    picture.setDevicePixelRatio(1);
    picture.fill(Qt::white);
    widget->render(&picture);
    return picture;
}

QChar viewLetter(int index)
{
    return QChar(u'A' + index);
}

void print(std::FILE *stream, const QString &line)
{
    const QByteArray bytes = (line + QLatin1Char('\n')).toLocal8Bit();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fflush(stream);
}

// Writes one input's files; returns how many, or throws the first error.
int writeReports(TForm1 &form, const QString &outDir, const QString &code)
{
    const AnalysisFileBytes analysis = analysisFileBytes(form.analysisText());
    writeFileReplacing(analysisFileNameIn(outDir, code), analysis.bytes, Durability::Unsynced);
    const QString report = reportFileNameIn(outDir, code);
    writeFileReplacing(report, reportPdfFor(form, report), Durability::Unsynced);
    int files = 2;
    for (int kind = 1; kind <= kDiagramViews; ++kind) {
        writeJpegFile(
            renderDiagramPicture(form, kind),
            pictureFileNameIn(outDir, QStringLiteral("Image"), viewLetter(kind - 1), code),
            Durability::Unsynced);
        ++files;
    }
    for (int view = 0; view < kChartViews; ++view) {
        writeJpegFile(renderChartPicture(form, view),
                      pictureFileNameIn(outDir, QStringLiteral("Plot"), viewLetter(view), code),
                      Durability::Unsynced);
        ++files;
    }
    return files;
}

} // namespace

QString CodeRegistry::claim(const QString &code)
{
    // File names are compared as the results folder would: by their safe form.
    const QString safe = fileNameSafeCode(code);
    QString candidate = safe;
    for (int n = 2; used_.contains(candidate); ++n)
        candidate = QStringLiteral("%1 (%2)").arg(safe).arg(n);
    used_.insert(candidate, 1);
    return candidate;
}

QImage renderDiagramPicture(TForm1 &form, int kind)
{
    switch (kind) {
    case 1:
        form.mmImageAllScalesClick();
        break;
    case 2:
        form.mmImageFactorsIIIClick();
        break;
    case 3:
        form.mmImageFactorsIIClick();
        break;
    default:
        form.mmImageAllClick();
        break;
    }
    return renderWidget(form.paPlot, kDiagramPictureSize);
}

QImage renderChartPicture(TForm1 &form, int view)
{
    switch (view) {
    case 0:
        form.mmPlotAllScalesClick();
        break;
    case 1:
        form.mmPlotFactorsIIIClick();
        break;
    case 2:
        form.mmPlotFactorsIIClick();
        break;
    case 3:
        form.mmPlotFactorsIClick();
        break;
    case 4:
        form.mmPlot4lScalesClick();
        break;
    default:
        form.mmPlot2FactorsIIIClick();
        break;
    }
    return renderWidget(form.ChartAll, kChartPictureSize);
}

int runBatch(const QString &outDir, const QStringList &paths, std::FILE *out, std::FILE *err)
{
    if (!QDir().mkpath(outDir)) {
        print(err, QStringLiteral("vorlzut: ") + errorBoxText(cannotCreateFile(outDir).message()));
        return 1;
    }
    const QString folder = QDir(outDir).absolutePath();

    // No dialogs in a batch: a command's error is kept for the progress report.
    QStringList errors;
    TForm1 form(
        std::make_unique<HeadlessDialogs>([&errors](const QString &message) { errors << message; }),
        makeInertDesktopLayer());
    // Laid out and shown as on a screen (an off-screen one), so the views paint as there; the
    // memo and the header fields are in no picture and are never painted.
    form.setPictureViewsOnly(true);
    form.show();
    QCoreApplication::processEvents();

    CodeRegistry codes;
    int failed = 0;
    const int total = int(paths.size());
    for (int i = 0; i < total; ++i) {
        const QString &path = paths[i];
        const QString counter = QStringLiteral("%1/%2 ").arg(i + 1).arg(total);
        try {
            errors.clear();
            form.openPath(path);
            if (!errors.isEmpty())
                throw CommandError(errors.front());
            const QString code = form.ceCode->text();
            const QString written = codes.claim(code);
            const int files = writeReports(form, folder, written);
            QString line = counter + QDir::toNativeSeparators(path) + QStringLiteral(": ");
            if (written != fileNameSafeCode(code))
                line += QStringLiteral("code \"%1\" was already written in this run, so its "
                                       "files are named \"%2\"; ")
                            .arg(code, written);
            else
                line += QStringLiteral("code \"%1\"; ").arg(code);
            print(out, line + QStringLiteral("%1 files").arg(files));
        } catch (const std::exception &e) {
            ++failed;
            print(err, QStringLiteral("vorlzut: ") + QDir::toNativeSeparators(path) +
                           QStringLiteral(": ") + errorBoxText(errorMessageOf(e)));
            print(out, counter + QDir::toNativeSeparators(path) + QStringLiteral(": failed"));
        }
    }
    form.hide();
    return failed ? 1 : 0;
}
