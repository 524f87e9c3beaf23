#include "Batch.h"

#include "CommandError.h"
#include "CommandLine.h"
#include "DesktopLayer.h"
#include "Dialogs.h"
#include "ErrorMessage.h"
#include "Profile.h"
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
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr QSize kDiagramPictureSize(602, 564);
constexpr QSize kChartPictureSize(416, 294);
constexpr int kDiagramViews = 4;
constexpr int kChartViews = 6;

QImage renderWidget(QWidget *widget, QSize size)
{
    QCoreApplication::removePostedEvents(widget->window(), QEvent::UpdateRequest);
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

// Progress on out and messages on err, every character from a file or the command line shown
// escaped. Progress that out does not take (a full disk, a closed stream) is told once on err
// and fails the run; the reports go on being written.
class Reporter
{
public:
    Reporter(std::FILE *out, std::FILE *err) : out_(out), err_(err) {}

    void progress(const QString &line)
    {
        if (outFailed_)
            return;
        errno = 0;
        if (printMessage(out_, line))
            return;
        outFailed_ = true;
        error(QStringLiteral("Cannot write the progress to standard output: %1.")
                  .arg(systemReason(errno ? errno : EIO)));
    }
    void error(const QString &line) { printMessage(err_, QStringLiteral("vorlzut: ") + line); }
    bool outFailed() const { return outFailed_; }

private:
    std::FILE *out_;
    std::FILE *err_;
    bool outFailed_ = false;
};

// A path as the progress and the messages show it; an empty one as "" rather than nothing.
QString shownPath(const NativePath &path)
{
    if (path.isEmpty())
        return QStringLiteral("\"\"");
    return quotedForMessage(QDir::toNativeSeparators(displayPath(path)));
}

// Makes the folder and any missing folder above it, from the path's own bytes.
void makeFolders(const NativePath &folder)
{
    if (folder.isEmpty())
        throw CommandError(QStringLiteral("Cannot create folder: the name is empty"));
    int firstError = 0;
    for (qsizetype end = 1; end <= folder.size(); ++end) {
        if ((end < folder.size() && folder[end] != '/') || folder[end - 1] == '/')
            continue;
        if (::mkdir(folder.left(end).constData(), 0777) != 0 && errno != EEXIST && !firstError)
            firstError = errno;
    }
    struct stat st;
    if (::stat(folder.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        throw CommandError(QStringLiteral("Cannot create folder %1").arg(shownPath(folder)))
            .because(systemReason(firstError ? firstError : ENOTDIR));
}

NativePath absolutePath(const NativePath &path)
{
    if (path.startsWith('/'))
        return path;
    char cwd[PATH_MAX];
    return ::getcwd(cwd, sizeof cwd) ? joinPath(NativePath(cwd), path) : path;
}

// The last component of the path as shown; for ".", ".." and the like, that of the folder meant.
QString lastName(const NativePath &path)
{
    NativePath trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith('/'))
        trimmed.chop(1);
    NativePath name = trimmed.mid(trimmed.lastIndexOf('/') + 1);
    if (name.isEmpty() || name == "." || name == "..") {
        char real[PATH_MAX];
        if (::realpath(path.constData(), real)) {
            const NativePath resolved(real);
            name = resolved.mid(resolved.lastIndexOf('/') + 1);
        }
    }
    return displayPath(name);
}

// The part of an input's file names that comes from it: the code, and for a folder the folder's
// name after it, since every group has the code 0000. A code that shows nothing gives way to the
// file's own name, so no input is written as hidden files (".rtf").
QString inputStem(const QString &code, const NativePath &input, bool group, int nameLimit)
{
    QString stem = fileNameSafeCode(code);
    if (group) {
        const QString folder = fileNameSafeCode(lastName(input));
        if (!folder.trimmed().isEmpty())
            stem += QLatin1Char(' ') + folder;
    } else if (stem.trimmed().isEmpty()) {
        QString file = lastName(input);
        if (file.size() > 4 && file.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
            file.chop(4);
        stem = fileNameSafeCode(file);
    }
    return cutToBytes(stem, stemLimit(nameLimit));
}

// Writes one input's files, all or none of them; returns how many, or throws the first error.
int writeReports(TForm1 &form, const NativePath &folder, const QString &stem)
{
    ReplacingFiles files(Durability::Unsynced);
    int count = 0;
    auto add = [&](const QString &name, const QByteArray &bytes) {
        files.add(joinPath(folder, QFile::encodeName(name)), bytes);
        ++count;
    };
    const AnalysisFileBytes analysis = analysisFileBytes(form.meInfo->toPlainText());
    add(analysisName(stem), analysis.bytes);
    const NativePath report = joinPath(folder, QFile::encodeName(reportName(stem)));
    add(reportName(stem), reportPdfFor(form, displayPath(report)));
    for (int kind = 1; kind <= kDiagramViews; ++kind)
        add(pictureName(QStringLiteral("Image"), viewLetter(kind - 1), stem),
            jpegFileBytes(renderDiagramPicture(form, kind)));
    for (int view = 0; view < kChartViews; ++view)
        add(pictureName(QStringLiteral("Plot"), viewLetter(view), stem),
            jpegFileBytes(renderChartPicture(form, view)));
    files.commit();
    return count;
}

} // namespace

QString CodeRegistry::claim(const QString &name, int maxBytes)
{
    QString candidate = name;
    for (int n = 2; used_.contains(candidate); ++n) {
        const QString number = QStringLiteral(" (%1)").arg(n);
        candidate = cutToBytes(name, maxBytes - int(number.size())) + number;
    }
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

int runBatch(const NativePath &outDir, const QList<NativePath> &paths, std::FILE *out,
             std::FILE *err)
{
    Reporter report(out, err);
    try {
        makeFolders(outDir);
    } catch (const std::exception &e) {
        report.error(commandLineErrorText(e));
        return 1;
    }
    const NativePath folder = absolutePath(outDir);
    const int nameLimit = fileNameLimit(folder);

    // No dialogs in a batch: a command's error is kept for the progress report.
    QStringList errors;
    TForm1 form(
        std::make_unique<HeadlessDialogs>([&errors](const QString &message) { errors << message; }),
        makeInertDesktopLayer());
    // Laid out and shown as on a screen (an off-screen one), so the views paint as there.
    form.show();
    QCoreApplication::processEvents();

    CodeRegistry codes;
    int failed = 0;
    const int total = int(paths.size());
    for (int i = 0; i < total; ++i) {
        const NativePath &path = paths[i];
        const QString shown = shownPath(path);
        const QString counter = QStringLiteral("%1/%2 ").arg(i + 1).arg(total);
        try {
            if (path.isEmpty())
                throw CommandError(QStringLiteral("Cannot open file: the path is empty"));
            errors.clear();
            form.loadPath(path);
            if (!errors.isEmpty())
                throw CommandError(errors.front());
            const QString code = form.ceCode->text();
            const QString stem =
                inputStem(code, path, form.lastLoad() && form.lastLoad()->group, nameLimit);
            const QString written = codes.claim(stem, stemLimit(nameLimit));
            const int files = writeReports(form, folder, written);
            const QString quotedCode = quotedForMessage(code);
            QString line = counter + shown + QStringLiteral(": ");
            if (written != stem)
                line += QStringLiteral("code \"%1\" was already written in this run, so its "
                                       "files are named \"%2\"; ")
                            .arg(quotedCode, quotedForMessage(written));
            else if (written != code)
                line += QStringLiteral("code \"%1\", files named \"%2\"; ")
                            .arg(quotedCode, quotedForMessage(written));
            else
                line += QStringLiteral("code \"%1\"; ").arg(quotedCode);
            report.progress(line + QStringLiteral("%1 files").arg(files));
        } catch (const std::exception &e) {
            ++failed;
            report.error(shown + QStringLiteral(": ") + commandLineErrorText(e));
            report.progress(counter + shown + QStringLiteral(": failed"));
        }
    }
    form.hide();
    return failed || report.outFailed() ? 1 : 0;
}
