#include "Batch.h"

#include "Analysis.h"
#include "Breakdown.h"
#include "BreakdownOutput.h"
#include "BreakdownPage.h"
#include "ChartPicture.h"
#include "CommandError.h"
#include "CommandLine.h"
#include "DiagramPanel.h"
#include "ErrorMessage.h"
#include "FolderListing.h"
#include "GroupLoader.h"
#include "GroupSource.h"
#include "MemoText.h"
#include "NumberFormat.h"
#include "Profile.h"
#include "ProfileSession.h"
#include "ProfileTable.h"
#include "Report.h"
#include "SafeFile.h"
#include "SaveNames.h"
#include "Scoring.h"
#include "TJPEGImage.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QThread>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <malloc.h>
#include <memory>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

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
    // What a load left out or counted once: from the worker that loads, a whole line at a time.
    void note(const QString &line)
    {
        const std::lock_guard<std::mutex> lock(noteMutex_);
        error(line);
    }
    bool outFailed() const { return outFailed_; }

private:
    std::mutex noteMutex_;
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
        return groupStem(code, isFolder(input) ? meantName(input) : groupSourceName(input),
                         nameLimit);
    QString stem = fileNameSafeCode(code);
    if (stem.trimmed().isEmpty()) {
        QString file = meantName(input);
        if (file.size() > 4 && file.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
            file.chop(4);
        stem = fileNameSafeCode(file);
    }
    return cutToBytes(stem, stemLimit(nameLimit));
}

// Allocations up to this size are served from memory the batch keeps: an input's largest picture
// is a few megabytes.
constexpr int kKeptAllocation = 32 << 20;

// An input read, as the window would show it after loading it.
struct LoadedInput
{
    LoadedProfile profile;
    QString nameCaption; // "Ф.И.О" or "Группа", as the window labels the name
    std::optional<ReferenceProfile> reference;
    std::shared_ptr<const BreakdownTable> breakdown; // the breakdown a subgroup comes from
    Disclosure disclosure;
    QString title; // what names a group: its folder or table, the subgroup
};

// What one input's files are made of, painted by the views alone.
struct InputReports
{
    QString analysis;
    ReportContent content;
    std::array<QImage, kDiagramKinds.size()> diagrams;
    std::array<QImage, kChartViewKinds.size()> charts;
};

// The analysis, the report's content and the pictures of a loaded input, as the window's views
// show them after its load.
std::unique_ptr<InputReports> paintInput(LoadedInput input, ChartPicture &charts,
                                         const QPalette &colors, const QString &today)
{
    auto reports = std::make_unique<InputReports>();
    ProfileSession session(std::move(input.profile), input.title);
    session.setBreakdown(input.breakdown);
    const HeaderTexts &header = session.read().header;
    // The pictures and the report name the group as the window does; the analysis keeps the
    // header as read.
    HeaderTexts shown = header;
    shown.name = session.shownName(header.name);
    ProfileView view = session.view(shown, input.reference, colors);

    // The analysis file holds the whole text; the report shows it as the memo does.
    const MemoText memo =
        memoTextOf(analysisLines(session.scores(), header, today).join(QLatin1Char('\n')));
    reports->analysis = memo.whole;
    reports->content = session.reportContent(header, input.nameCaption, today,
                                             memoPlainText(memo.shown), input.reference,
                                             input.disclosure);

    for (std::size_t i = 0; i < kDiagramKinds.size(); ++i) {
        view.diagram = kDiagramKinds[i].kind;
        reports->diagrams[i] = diagramPanelPicture(view);
    }
    for (std::size_t i = 0; i < kChartViewKinds.size(); ++i) {
        view.chart = kChartViewKinds[i].kind;
        reports->charts[i] = charts.picture(view);
    }
    return reports;
}

// Encodes the pictures, makes the PDF and writes the input's files into folder under name, all
// or none of them; returns how many, or throws the first error. Each picture is let go once
// encoded.
int writeInputReports(InputReports &reports, const NativePath &folder, const QString &name)
{
    ReplacingFiles files(Durability::Unsynced);
    int count = 0;
    auto add = [&](const QString &fileName, const QByteArray &bytes) {
        files.add(joinPath(folder, QFile::encodeName(fileName)), bytes);
        ++count;
    };
    // The files are put in place in the order they are added: the report, which users open
    // first, comes last, so a report that is new never stands beside older pictures.
    for (std::size_t i = 0; i < reports.diagrams.size(); ++i) {
        add(pictureName(QStringLiteral("Image"), QChar(kDiagramKinds[i].letter), name),
            jpegFileBytes(reports.diagrams[i]));
        reports.diagrams[i] = QImage();
    }
    for (std::size_t i = 0; i < reports.charts.size(); ++i) {
        add(pictureName(QStringLiteral("Plot"), QChar(kChartViewKinds[i].letter), name),
            jpegFileBytes(reports.charts[i]));
        reports.charts[i] = QImage();
    }
    add(analysisName(name), analysisFileBytes(reports.analysis).bytes);
    const QString report = reportName(name);
    const QByteArray pdf = reportPdf(reports.content);
    if (pdf.isEmpty())
        throw cannotCreateFile(displayPath(joinPath(folder, QFile::encodeName(report))));
    add(report, pdf);
    files.commit();
    return count;
}

// How an input ended: its progress line and the number of files written, or the message of
// its failure.
struct InputOutcome
{
    QString line;
    int files = 0;
    QString error;
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

namespace {

// One input of a batch: how the progress and the messages name it, what reads it, and the part
// of its files' names it gives, at most nameLimit bytes.
struct BatchInput
{
    QString shown;
    std::function<LoadedInput()> load;
    std::function<QString(const LoadedInput &input, int nameLimit)> stem;
};

// Writes every input's files into folder (made already), whose file system takes names of
// nameLimit bytes, all dated today (the run's one date, so a run across midnight does not date
// some files one day and the rest the next). Each of `jobs` workers loads, paints, encodes and writes one input after
// another; names are claimed and progress is told in input order, so the files, the progress
// and the status are those of a serial run (jobs 1, every input on the calling thread).
class BatchRun
{
public:
    BatchRun(Reporter &report, const NativePath &folder, int nameLimit,
             const std::vector<BatchInput> &inputs, const QString &today)
        : report_(report), folder_(folder), nameLimit_(nameLimit), inputs_(inputs),
          outcomes_(inputs.size()), colors_(QGuiApplication::palette()), today_(today)
    {
    }

    int run(int jobs)
    {
        // The wheel is decoded once, here, before any worker needs it.
        diagramBackground();
        // Every input's pictures are made anew: freed, their memory is kept for the next ones
        // rather than given back to the system and cleared again page by page.
        mallopt(M_MMAP_THRESHOLD, kKeptAllocation);
        mallopt(M_TRIM_THRESHOLD, 2 * kKeptAllocation);
        const int total = int(inputs_.size());
        const int workers = std::clamp(jobs, 1, std::max(total, 1));
        if (workers == 1) {
            work(true);
        } else {
            std::vector<std::thread> threads;
            for (int w = 0; w < workers; ++w)
                threads.emplace_back([this] { work(false); });
            for (int i = 0; i < total; ++i)
                tell(i, take(i));
            for (std::thread &t : threads)
                t.join();
        }
        return failed_ || report_.outFailed() ? 1 : 0;
    }

private:
    // Takes the next input until none is left; the one worker of a serial run tells each
    // outcome at once.
    void work(bool serial)
    {
        ChartPicture charts(true, colors_);
        for (;;) {
            int i = 0;
            {
                const std::lock_guard lock(mutex_);
                if (next_ >= int(inputs_.size()))
                    return;
                i = next_++;
            }
            InputOutcome outcome = process(i, charts);
            if (serial)
                tell(i, std::move(outcome));
            else
                finish(i, std::move(outcome));
        }
    }

    InputOutcome process(int i, ChartPicture &charts)
    {
        const BatchInput &input = inputs_[std::size_t(i)];
        std::optional<LoadedInput> loaded;
        QString stem;
        InputOutcome outcome;
        try {
            loaded = input.load();
            stem = input.stem(*loaded, nameLimit_);
        } catch (const std::exception &e) {
            loaded.reset();
            outcome.error = commandLineErrorText(e);
        }
        // Names are claimed in input order, so a code met twice is numbered as in a serial run
        // whichever input is written first.
        QString written;
        {
            std::unique_lock lock(mutex_);
            claimed_.wait(lock, [&] { return claimTurn_ == i; });
            if (loaded)
                written = codes_.claim(stem, stemLimit(nameLimit_));
            ++claimTurn_;
        }
        claimed_.notify_all();
        if (!loaded)
            return outcome;
        const QString code = loaded->profile.header.code;
        const QString quotedCode = quotedForMessage(code);
        QString line = input.shown + QStringLiteral(": ");
        if (written != stem)
            line += QStringLiteral("code \"%1\" was already written in this run, so its "
                                   "files are named \"%2\"; ")
                        .arg(quotedCode, quotedForMessage(written));
        else if (written != code)
            line += QStringLiteral("code \"%1\", files named \"%2\"; ")
                        .arg(quotedCode, quotedForMessage(written));
        else
            line += QStringLiteral("code \"%1\"; ").arg(quotedCode);
        outcome.line = line;
        try {
            std::unique_ptr<InputReports> reports =
                paintInput(std::move(*loaded), charts, colors_, today_);
            loaded.reset();
            outcome.files = writeInputReports(*reports, folder_, written);
        } catch (const std::exception &e) {
            outcome.error = commandLineErrorText(e);
        }
        return outcome;
    }

    void finish(int i, InputOutcome outcome)
    {
        {
            const std::lock_guard lock(mutex_);
            outcomes_[std::size_t(i)] = std::move(outcome);
        }
        done_.notify_all();
    }

    InputOutcome take(int i)
    {
        std::unique_lock lock(mutex_);
        auto &slot = outcomes_[std::size_t(i)];
        done_.wait(lock, [&] { return slot.has_value(); });
        InputOutcome outcome = std::move(*slot);
        slot.reset();
        return outcome;
    }

    // The input's progress line, and its message when it failed.
    void tell(int i, const InputOutcome &outcome)
    {
        const QString counter = QStringLiteral("%1/%2 ").arg(i + 1).arg(inputs_.size());
        const QString &shown = inputs_[std::size_t(i)].shown;
        if (outcome.error.isEmpty()) {
            report_.progress(counter + outcome.line +
                             QStringLiteral("%1 files").arg(outcome.files));
        } else {
            failed_ = true;
            report_.error(shown + QStringLiteral(": ") + outcome.error);
            report_.progress(counter + shown + QStringLiteral(": failed"));
        }
    }

    Reporter &report_;
    const NativePath folder_;
    const int nameLimit_;
    const std::vector<BatchInput> &inputs_;
    std::vector<std::optional<InputOutcome>> outcomes_;
    const QPalette colors_;
    const QString today_;
    bool failed_ = false;

    std::mutex mutex_;
    std::condition_variable claimed_;
    std::condition_variable done_;
    int next_ = 0;
    int claimTurn_ = 0;
    CodeRegistry codes_;
};

int runInputs(Reporter &report, const NativePath &folder, int nameLimit,
              const std::vector<BatchInput> &inputs, int jobs, const QString &today)
{
    return BatchRun(report, folder, nameLimit, inputs, today).run(jobs);
}

} // namespace

int runBatch(const NativePath &outDir, const QList<NativePath> &paths, std::FILE *out,
             std::FILE *err, int jobs, std::optional<ReferenceProfile> reference,
             const TableOptions &table, const Disclosure &disclosure)
{
    Reporter report(out, err);
    const QString today = todayText();
    try {
        makeFolders(outDir);
    } catch (const std::exception &e) {
        report.error(commandLineErrorText(e));
        return 1;
    }
    std::vector<BatchInput> inputs;
    for (const NativePath &path : paths)
        inputs.push_back(
            {shownPath(path),
             [&path, &reference, &table, &report, &disclosure, &today] {
                 LoadedInput input;
                 if (isGroupPath(path)) {
                     QStringList notes;
                     input.profile = loadGroup(path, today, Members::Keep, {}, table, &notes);
                     for (const QString &note : notes)
                         report.note(shownPath(path) + QStringLiteral(": ") + note);
                     input.nameCaption = groupName();
                     input.title = isFolder(path) ? meantName(path) : groupSourceName(path);
                 } else {
                     input.profile = loadRespondent(path);
                     input.nameCaption = respondentNameCaption();
                 }
                 input.reference = reference;
                 input.disclosure = disclosure;
                 return input;
             },
             [&path](const LoadedInput &input, int nameLimit) {
                 return inputStem(input.profile.header.code, path, input.profile.group, nameLimit);
             }});
    const NativePath folder = absolutePath(outDir);
    return runInputs(report, folder, fileNameLimit(folder), inputs, jobs, today);
}

int runBreakdownBatch(const NativePath &outDir, const NativePath &folder, int splitLine,
                      const Disclosure &disclosure, std::FILE *out, std::FILE *err, int jobs,
                      const TableOptions &options)
{
    Reporter report(out, err);
    const QString today = todayText();
    std::shared_ptr<const LoadedProfile> whole;
    std::unique_ptr<const Breakdown> breakdown;
    std::shared_ptr<const BreakdownTable> table;
    // The folder is read and split before anything is made: a file that does not load fails
    // the run with nothing written.
    try {
        checkGroupPath(folder, QStringLiteral("Cannot split %1 into subgroups"));
        QStringList notes;
        whole = std::make_shared<const LoadedProfile>(
            loadGroup(folder, today, Members::Keep, {}, options, &notes));
        for (const QString &note : notes)
            report.note(shownPath(folder) + QStringLiteral(": ") + note);
        breakdown = std::make_unique<const Breakdown>(splitGroup(*whole, splitLine, disclosure));
        table = std::make_shared<const BreakdownTable>(breakdownTable(
            *whole, *breakdown,
            isFolder(folder) ? shownFolderName(displayPath(folder)) : groupSourceName(folder)));
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

    // Each shown subgroup as the window opens it: anonymous, over the whole folder, tested
    // against the rest of it.
    std::vector<BatchInput> inputs;
    for (const Subgroup &subgroup : breakdown->shown)
        inputs.push_back(
            {QStringLiteral("subgroup \"%1\"").arg(quotedForMessage(subgroup.profile.header.name)),
             [&subgroup, &whole, &table, &disclosure] {
                 OpenedSubgroup opened = openSubgroup(subgroup.profile, *whole, *table);
                 LoadedInput input;
                 input.profile = std::move(opened.profile);
                 input.nameCaption = groupName();
                 input.reference = std::move(opened.reference);
                 input.breakdown = table;
                 input.disclosure = disclosure;
                 input.title = input.profile.header.name;
                 return input;
             },
             [](const LoadedInput &input, int limit) {
                 return groupStem(input.profile.header.code, input.profile.header.name, limit);
             }});
    const int status = runInputs(report, outFolder, nameLimit, inputs, jobs, today);
    return failed || status != 0 ? 1 : 0;
}
