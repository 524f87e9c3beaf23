#include "Batch.h"

#include "Breakdown.h"
#include "BreakdownPage.h"
#include "CommandError.h"
#include "CommandLine.h"
#include "DesktopLayer.h"
#include "Dialogs.h"
#include "ErrorMessage.h"
#include "GroupLoader.h"
#include "NumberFormat.h"
#include "Profile.h"
#include "Report.h"
#include "ReportCommands.h"
#include "SafeFile.h"
#include "SaveNames.h"
#include "TChart.h"
#include "TJPEGImage.h"
#include "TLabel.h"
#include "TPanel.h"
#include "UnitPlot.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr QSize kDiagramPictureSize(602, 564);
constexpr QSize kChartPictureSize(416, 294);

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

// The batch's window is never on a screen: the update requests that would paint all of it into
// its backing store at every change of view are dropped. The pictures are painted apart.
class DropUpdateRequests : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        return event->type() == QEvent::UpdateRequest;
    }
};

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

// A group's file names: the code, then the folder's (or the subgroup's) name, since every group
// has the code 0000; cut to what every name built from it may take.
QString groupStem(const QString &code, const QString &name, int nameLimit)
{
    QString stem = fileNameSafeCode(code);
    const QString safe = fileNameSafeCode(name);
    if (!safe.trimmed().isEmpty())
        stem += QLatin1Char(' ') + safe;
    return cutToBytes(stem, stemLimit(nameLimit));
}

// The part of an input's file names that comes from it: the code, and for a folder the folder's
// name after it. A code that shows nothing gives way to the file's own name, so no input is
// written as hidden files (".rtf").
QString inputStem(const QString &code, const NativePath &input, bool group, int nameLimit)
{
    if (group)
        return groupStem(code, lastName(input), nameLimit);
    QString stem = fileNameSafeCode(code);
    if (stem.trimmed().isEmpty()) {
        QString file = lastName(input);
        if (file.size() > 4 && file.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
            file.chop(4);
        stem = fileNameSafeCode(file);
    }
    return cutToBytes(stem, stemLimit(nameLimit));
}

// What one input's files are made of: everything that needs the window, painted by the GUI
// thread, for a worker to encode and write.
struct InputReports
{
    NativePath folder;
    QString name; // the name its files are written under
    QString analysis;
    ReportContent content;
    ReportWidgetParts reportParts;
    std::array<QImage, kDiagramKinds.size()> diagrams;
    std::array<QImage, kChartViewKinds.size()> charts;
};

// GUI thread: paints the loaded input's pictures and the widget parts of its report.
std::unique_ptr<InputReports> paintInputReports(TForm1 &form, const NativePath &folder,
                                                const QString &name)
{
    auto reports = std::make_unique<InputReports>();
    reports->folder = folder;
    reports->name = name;
    // The analysis file holds the whole text; the report shows it as the memo does.
    reports->analysis = form.analysisText();
    reports->content = reportContentOf(form);
    reports->reportParts = paintReportWidgetParts(reports->content);
    for (std::size_t i = 0; i < kDiagramKinds.size(); ++i)
        reports->diagrams[i] = renderDiagramPicture(form, kDiagramKinds[i].kind);
    for (std::size_t i = 0; i < kChartViewKinds.size(); ++i)
        reports->charts[i] = renderChartPicture(form, kChartViewKinds[i].kind);
    return reports;
}

// Any thread: encodes the pictures, makes the PDF and writes the input's files, all or none of
// them; returns how many, or throws the first error. Each picture is let go once encoded.
int writeInputReports(InputReports &reports)
{
    ReplacingFiles files(Durability::Unsynced);
    int count = 0;
    auto add = [&](const QString &name, const QByteArray &bytes) {
        files.add(joinPath(reports.folder, QFile::encodeName(name)), bytes);
        ++count;
    };
    // The files are put in place in the order they are added: the report, which users open
    // first, comes last, so a report that is new never stands beside older pictures.
    for (std::size_t i = 0; i < reports.diagrams.size(); ++i) {
        add(pictureName(QStringLiteral("Image"), QChar(kDiagramKinds[i].letter), reports.name),
            jpegFileBytes(reports.diagrams[i]));
        reports.diagrams[i] = QImage();
    }
    for (std::size_t i = 0; i < reports.charts.size(); ++i) {
        add(pictureName(QStringLiteral("Plot"), QChar(kChartViewKinds[i].letter), reports.name),
            jpegFileBytes(reports.charts[i]));
        reports.charts[i] = QImage();
    }
    add(analysisName(reports.name), analysisFileBytes(reports.analysis).bytes);
    const QString report = reportName(reports.name);
    const QByteArray pdf = reportPdf(reports.content, reports.reportParts);
    if (pdf.isEmpty())
        throw cannotCreateFile(displayPath(joinPath(reports.folder, QFile::encodeName(report))));
    add(report, pdf);
    files.commit();
    return count;
}

// How an input ended: the number of files written, or the message of its failure.
struct InputOutcome
{
    int files = 0;
    QString error;
};

// The inputs' files written on `jobs` worker threads while the GUI thread paints the next
// inputs; their outcomes are taken back in input order. With one job every input is written at
// once on the calling thread: the serial run, the same work in the same order.
class ReportWriters
{
public:
    ReportWriters(int inputs, int jobs) : serial_(jobs <= 1), outcomes_(std::size_t(inputs))
    {
        pool_.setMaxThreadCount(std::max(jobs, 1));
    }
    ~ReportWriters() { pool_.waitForDone(); }
    ReportWriters(const ReportWriters &) = delete;
    ReportWriters &operator=(const ReportWriters &) = delete;

    // Writes the input's files; a failure to write them becomes the input's outcome.
    void write(int input, std::unique_ptr<InputReports> reports)
    {
        auto job = [this, input, reports = std::shared_ptr<InputReports>(std::move(reports))] {
            InputOutcome outcome;
            try {
                outcome.files = writeInputReports(*reports);
            } catch (const std::exception &e) {
                outcome.error = commandLineErrorText(e);
            }
            finish(input, std::move(outcome));
        };
        if (serial_)
            job();
        else
            pool_.start(job);
    }
    // An input that failed before it came to be written.
    void fail(int input, const QString &error) { finish(input, {0, error}); }

    // The outcome of the input, once it is in; waits for it when asked to.
    std::optional<InputOutcome> take(int input, bool wait)
    {
        std::unique_lock lock(mutex_);
        auto &slot = outcomes_[std::size_t(input)];
        if (wait)
            done_.wait(lock, [&] { return slot.has_value(); });
        std::optional<InputOutcome> outcome = std::move(slot);
        slot.reset();
        return outcome;
    }

private:
    void finish(int input, InputOutcome outcome)
    {
        {
            const std::lock_guard lock(mutex_);
            outcomes_[std::size_t(input)] = std::move(outcome);
        }
        done_.notify_all();
    }

    const bool serial_;
    QThreadPool pool_;
    std::mutex mutex_;
    std::condition_variable done_;
    std::vector<std::optional<InputOutcome>> outcomes_;
};

} // namespace

int defaultBatchJobs()
{
    return std::clamp(QThread::idealThreadCount(), 1, kMaxBatchJobs);
}

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

QImage renderDiagramPicture(TForm1 &form, DiagramKind kind)
{
    form.drawDiagramView(kind);
    return renderWidget(form.paPlot, kDiagramPictureSize);
}

QImage renderChartPicture(TForm1 &form, ChartViewKind kind)
{
    form.showChartView(kind);
    return renderWidget(form.ChartAll, kChartPictureSize);
}

namespace {

// One input of a batch: how the progress and the messages name it, and what puts it on the
// window, returning the part of its files' names it gives.
struct BatchInput
{
    QString shown;
    std::function<QString(TForm1 &form, int nameLimit)> load;
};

// Writes every input's files into folder (made already), whose file system takes names of
// nameLimit bytes; the reference, when given, stays over every input.
int runInputs(Reporter &report, const NativePath &folder, int nameLimit,
              const std::vector<BatchInput> &inputs, int jobs,
              std::optional<ReferenceProfile> reference)
{
    // No dialogs in a batch: a command's error is kept for the progress report.
    QStringList errors;
    DropUpdateRequests dropUpdates;
    TForm1 form(
        std::make_unique<HeadlessDialogs>([&errors](const QString &message) { errors << message; }),
        makeInertDesktopLayer());
    // Laid out and shown as on a screen (an off-screen one), so the views paint as there; the
    // memo and the header fields are in no picture and are never painted.
    form.setPictureViewsOnly(true);
    form.show();
    QCoreApplication::processEvents();
    form.installEventFilter(&dropUpdates);
    // Set once: it stays while the inputs load, so every input's pictures and report show it.
    form.setReference(std::move(reference));
    // The JPEG defaults look at the screen the first time they are read, which only this
    // thread may do.
    jpegDefaults();

    const int total = int(inputs.size());
    ReportWriters writers(total, jobs);
    // Inputs painted and not yet reported, each holding its pictures until written: one for
    // every worker and two waiting, so no worker waits for the painting; memory stays bounded.
    const int inFlight = jobs <= 1 ? 1 : jobs + 2;
    QStringList done(total); // each input's progress line once its files are written
    QStringList shown(total);
    int failed = 0;
    int reported = 0;
    // Reports, in input order, the inputs whose outcome is in, waiting for those before `until`.
    auto reportOutcomes = [&](int until) {
        while (reported < total) {
            const std::optional<InputOutcome> outcome = writers.take(reported, reported < until);
            if (!outcome)
                return;
            const QString counter = QStringLiteral("%1/%2 ").arg(reported + 1).arg(total);
            if (outcome->error.isEmpty()) {
                report.progress(counter + done[reported] +
                                QStringLiteral("%1 files").arg(outcome->files));
            } else {
                ++failed;
                report.error(shown[reported] + QStringLiteral(": ") + outcome->error);
                report.progress(counter + shown[reported] + QStringLiteral(": failed"));
            }
            done[reported].clear();
            ++reported;
        }
    };

    CodeRegistry codes;
    for (int i = 0; i < total; ++i) {
        reportOutcomes(i - inFlight + 1);
        shown[i] = inputs[std::size_t(i)].shown;
        try {
            errors.clear();
            const QString stem = inputs[std::size_t(i)].load(form, nameLimit);
            if (!errors.isEmpty())
                throw CommandError(errors.front());
            const QString code = form.ceCode->text();
            // Names are claimed here, in input order, so a code met twice is numbered as in a
            // serial run whichever input is written first.
            const QString written = codes.claim(stem, stemLimit(nameLimit));
            std::unique_ptr<InputReports> reports = paintInputReports(form, folder, written);
            const QString quotedCode = quotedForMessage(code);
            QString line = shown[i] + QStringLiteral(": ");
            if (written != stem)
                line += QStringLiteral("code \"%1\" was already written in this run, so its "
                                       "files are named \"%2\"; ")
                            .arg(quotedCode, quotedForMessage(written));
            else if (written != code)
                line += QStringLiteral("code \"%1\", files named \"%2\"; ")
                            .arg(quotedCode, quotedForMessage(written));
            else
                line += QStringLiteral("code \"%1\"; ").arg(quotedCode);
            done[i] = line;
            writers.write(i, std::move(reports));
        } catch (const std::exception &e) {
            writers.fail(i, commandLineErrorText(e));
        }
        reportOutcomes(0);
    }
    reportOutcomes(total);
    form.hide();
    return failed || report.outFailed() ? 1 : 0;
}

} // namespace

int runBatch(const NativePath &outDir, const QList<NativePath> &paths, std::FILE *out,
             std::FILE *err, int jobs, std::optional<ReferenceProfile> reference)
{
    Reporter report(out, err);
    try {
        makeFolders(outDir);
    } catch (const std::exception &e) {
        report.error(commandLineErrorText(e));
        return 1;
    }
    std::vector<BatchInput> inputs;
    for (const NativePath &path : paths)
        inputs.push_back({shownPath(path), [&path](TForm1 &form, int nameLimit) {
                              form.loadPath(path);
                              return inputStem(form.ceCode->text(), path,
                                               form.lastLoad() && form.lastLoad()->group,
                                               nameLimit);
                          }});
    const NativePath folder = absolutePath(outDir);
    return runInputs(report, folder, fileNameLimit(folder), inputs, jobs, std::move(reference));
}

int runBreakdownBatch(const NativePath &outDir, const NativePath &folder, int splitLine,
                      int minimumSize, std::FILE *out, std::FILE *err, int jobs)
{
    Reporter report(out, err);
    const QString today = todayText();
    std::shared_ptr<const LoadedProfile> whole;
    std::unique_ptr<const Breakdown> breakdown;
    std::shared_ptr<const BreakdownTable> table;
    // The folder is read and split before anything is made: a file that does not load fails
    // the run with nothing written.
    try {
        checkSplitFolder(folder);
        whole = std::make_shared<const LoadedProfile>(loadGroup(folder, today));
        breakdown = std::make_unique<const Breakdown>(splitGroup(*whole, splitLine, minimumSize));
        table = std::make_shared<const BreakdownTable>(
            breakdownTable(*whole, *breakdown, shownFolderName(displayPath(folder))));
        makeFolders(outDir);
    } catch (const std::exception &e) {
        report.error(commandLineErrorText(e));
        return 1;
    }
    const NativePath outFolder = absolutePath(outDir);
    const int nameLimit = fileNameLimit(outFolder);

    // The heat map and the table of the shown subgroups, as the breakdown window saves them.
    bool failed = false;
    try {
        ReplacingFiles files(Durability::Unsynced);
        const auto add = [&](const QString &extension, const QByteArray &bytes) {
            const QString name =
                breakdownFileName(displayPath(outFolder), table->folder, splitLine, extension);
            const NativePath target =
                joinPath(outFolder, QFile::encodeName(name.mid(name.lastIndexOf('/') + 1)));
            if (bytes.isEmpty())
                throw cannotCreateFile(displayPath(target));
            files.add(target, bytes);
        };
        add(QStringLiteral("pdf"), breakdownPdf(*table, today));
        add(QStringLiteral("csv"), breakdownCsv(*table, scriptCsv()));
        files.commit();
        report.progress(QStringLiteral("%1: split by line %2, %3 subgroups shown; 2 files")
                            .arg(shownPath(folder))
                            .arg(splitLine)
                            .arg(breakdown->shown.size()));
    } catch (const std::exception &e) {
        failed = true;
        report.error(shownPath(folder) + QStringLiteral(": ") + commandLineErrorText(e));
    }

    // Each shown subgroup as the window opens it: anonymous, over the whole folder.
    std::vector<BatchInput> inputs;
    for (const Subgroup &subgroup : breakdown->shown)
        inputs.push_back(
            {QStringLiteral("subgroup \"%1\"").arg(quotedForMessage(subgroup.profile.header.name)),
             [&subgroup, &whole, &table](TForm1 &form, int limit) {
                 form.showSubgroup(subgroup.profile, *whole, table);
                 return groupStem(form.ceCode->text(), form.ceName->text(), limit);
             }});
    const int status = runInputs(report, outFolder, nameLimit, inputs, jobs, {});
    return failed || status != 0 ? 1 : 0;
}
