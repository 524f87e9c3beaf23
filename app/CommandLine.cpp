#include "CommandLine.h"

#include "Analysis.h"
#include "Breakdown.h"
#include "CommandError.h"
#include "Comparison.h"
#include "Dialogs.h"
#include "ErrorMessage.h"
#include "GroupLoader.h"
#include "NumberFormat.h"
#include "ProfileJson.h"
#include "ProfileTable.h"
#include "SafeFile.h"
#include "Scoring.h"
#include "Version.h"

#include "NativePath.h"

#include <QDir>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <functional>
#include <limits>
#include <optional>

namespace {

// A number of digits only, within [low, high].
std::optional<int> wholeNumber(const QByteArray &text, int low, int high)
{
    int value = 0;
    const char *end = text.constData() + text.size();
    if (text.isEmpty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
        std::from_chars(text.constData(), end, value).ec != std::errc() || value < low ||
        value > high)
        return std::nullopt;
    return value;
}

// A --jobs value: 1 to kMaxBatchJobs.
std::optional<int> jobCount(const QByteArray &text)
{
    return wholeNumber(text, 1, kMaxBatchJobs);
}

QString jobsOutsideBatch()
{
    return QStringLiteral("--jobs goes with --batch only");
}

// Takes --by LINE and --min-size N out of the arguments before --batch, whose inputs may have
// any name; what is wrong with them, or empty.
QString takeSplitOptions(QList<QByteArray> &arguments, CommandLine &cl, bool &minimumGiven)
{
    for (qsizetype i = 1; i < arguments.size() && arguments[i] != "--batch";) {
        const bool by = arguments[i] == "--by";
        if (!by && arguments[i] != "--min-size") {
            ++i;
            continue;
        }
        if (by ? cl.splitLine != 0 : minimumGiven)
            return QStringLiteral("%1 is given only once").arg(QLatin1String(arguments[i]));
        const bool hasValue = i + 1 < arguments.size();
        const std::optional<int> value =
            !hasValue ? std::nullopt
            : by      ? wholeNumber(arguments[i + 1], kFirstSplitLine, kLastSplitLine)
                      : wholeNumber(arguments[i + 1], 1, std::numeric_limits<int>::max());
        if (!value) {
            const QString given = hasValue
                                      ? QStringLiteral(", not \"%1\"")
                                            .arg(quotedForMessage(displayPath(arguments[i + 1])))
                                      : QString();
            return by ? QStringLiteral("--by needs the number of a details line, %1 to %2%3")
                            .arg(kFirstSplitLine)
                            .arg(kLastSplitLine)
                            .arg(given)
                      : QStringLiteral("--min-size needs a whole number of files from 1%1")
                            .arg(given);
        }
        (by ? cl.splitLine : cl.minimumSize) = *value;
        minimumGiven = minimumGiven || !by;
        arguments.remove(i, 2);
    }
    return {};
}

CommandLine parseArguments(const QList<QByteArray> &arguments);

} // namespace

CommandLine parseCommandLine(const QList<QByteArray> &given)
{
    QList<QByteArray> arguments = given;
    CommandLine split;
    bool minimumGiven = false;
    QString error = takeSplitOptions(arguments, split, minimumGiven);
    CommandLine cl = parseArguments(arguments);
    if (cl.mode == CommandLine::Mode::Help || cl.mode == CommandLine::Mode::Version ||
        (cl.mode == CommandLine::Mode::Error && error.isEmpty()))
        return cl;
    if (error.isEmpty() && minimumGiven && split.splitLine == 0)
        error = QStringLiteral("--min-size goes with --by only");
    if (error.isEmpty() && split.splitLine != 0 && cl.mode != CommandLine::Mode::Json &&
        cl.mode != CommandLine::Mode::Csv)
        error = QStringLiteral("--by goes with --csv or --json only");
    // A breakdown has its own reference, the whole folder.
    if (error.isEmpty() && split.splitLine != 0 && cl.compare)
        error = QStringLiteral("--compare and --by cannot be used together");
    if (!error.isEmpty()) {
        cl.mode = CommandLine::Mode::Error;
        cl.error = error;
        return cl;
    }
    cl.splitLine = split.splitLine;
    cl.minimumSize = split.minimumSize;
    return cl;
}

namespace {

CommandLine parseArguments(const QList<QByteArray> &arguments)
{
    CommandLine cl;
    const auto exporting = [&cl] {
        return cl.mode == CommandLine::Mode::Json || cl.mode == CommandLine::Mode::Csv ||
               cl.mode == CommandLine::Mode::Xlsx;
    };
    bool jobsGiven = false;
    // Takes the REF of a --compare at `at`; false, with the error set, when it cannot.
    const auto takeCompare = [&](qsizetype at) {
        if (cl.compare || at + 1 >= arguments.size()) {
            cl.mode = CommandLine::Mode::Error;
            cl.error = cl.compare
                           ? QStringLiteral("--compare is given only once")
                           : QStringLiteral("--compare needs a file or folder to compare with");
            return false;
        }
        cl.compare = arguments[at + 1];
        return true;
    };
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QByteArray &arg = arguments[i];
        if (arg == "--help" || arg == "-h") {
            cl.mode = CommandLine::Mode::Help;
            return cl;
        }
        if (arg == "--version") {
            cl.mode = CommandLine::Mode::Version;
            return cl;
        }
        if (arg == "--batch") {
            if (exporting() || !cl.path.isEmpty()) {
                cl.mode = CommandLine::Mode::Error;
                cl.error = QStringLiteral("--batch takes no other file or option");
                return cl;
            }
            // Everything after the folder is an input, whatever its name looks like, but for
            // --compare right after the folder, where it reads as it is meant: the batch
            // compared with REF.
            qsizetype inputs = i + 2;
            if (inputs < arguments.size() && arguments[inputs] == "--compare") {
                if (!takeCompare(inputs))
                    return cl;
                inputs += 2;
            }
            if (inputs >= arguments.size()) {
                cl.mode = CommandLine::Mode::Error;
                cl.error = QStringLiteral("--batch needs a folder and at least one file or folder");
                return cl;
            }
            cl.mode = CommandLine::Mode::Batch;
            cl.outDir = arguments[i + 1];
            cl.paths = arguments.mid(inputs);
            return cl;
        }
        if (arg == "--compare") {
            if (!takeCompare(i))
                return cl;
            ++i;
            continue;
        }
        if (arg == "--jobs") {
            if (exporting() || !cl.path.isEmpty() || jobsGiven) {
                cl.mode = CommandLine::Mode::Error;
                cl.error =
                    jobsGiven ? QStringLiteral("--jobs is given only once") : jobsOutsideBatch();
                return cl;
            }
            const std::optional<int> jobs =
                i + 1 < arguments.size() ? jobCount(arguments[i + 1]) : std::nullopt;
            if (!jobs) {
                cl.mode = CommandLine::Mode::Error;
                cl.error = QStringLiteral("--jobs needs a number of threads from 1 to %1%2")
                               .arg(kMaxBatchJobs)
                               .arg(i + 1 < arguments.size()
                                        ? QStringLiteral(", not \"%1\"")
                                              .arg(quotedForMessage(displayPath(arguments[i + 1])))
                                        : QString());
                return cl;
            }
            cl.jobs = *jobs;
            jobsGiven = true;
            ++i;
            continue;
        }
        if (arg == "--json" || arg == "--csv" || arg == "--xlsx") {
            const bool xlsx = arg == "--xlsx";
            if (i + (xlsx ? 2 : 1) >= arguments.size()) {
                cl.mode = CommandLine::Mode::Error;
                cl.error =
                    xlsx ? QStringLiteral("--xlsx needs an output file and a file or folder")
                         : QStringLiteral("%1 needs a file or folder").arg(QLatin1String(arg));
                return cl;
            }
            if (exporting() || !cl.path.isEmpty()) {
                cl.mode = CommandLine::Mode::Error;
                cl.error = QStringLiteral("only one file or folder can be given");
                return cl;
            }
            if (jobsGiven) {
                cl.mode = CommandLine::Mode::Error;
                cl.error = jobsOutsideBatch();
                return cl;
            }
            cl.mode = xlsx              ? CommandLine::Mode::Xlsx
                      : arg == "--json" ? CommandLine::Mode::Json
                                        : CommandLine::Mode::Csv;
            if (xlsx)
                cl.outFile = arguments[++i];
            cl.path = arguments[++i];
            continue;
        }
        if (arg.startsWith('-') && arg.size() > 1) {
            cl.mode = CommandLine::Mode::Error;
            cl.error = QStringLiteral("unknown option %1").arg(quotedForMessage(displayPath(arg)));
            return cl;
        }
        if (!cl.path.isEmpty()) {
            cl.mode = CommandLine::Mode::Error;
            cl.error = QStringLiteral("only one file or folder can be given");
            return cl;
        }
        cl.path = arg;
    }
    if (jobsGiven) {
        cl.mode = CommandLine::Mode::Error;
        cl.error = jobsOutsideBatch();
    } else if (cl.compare && cl.mode != CommandLine::Mode::Json &&
               cl.mode != CommandLine::Mode::Csv) {
        cl.mode = CommandLine::Mode::Error;
        cl.error = QStringLiteral("--compare goes with --json, --csv or --batch only");
    }
    return cl;
}

} // namespace

QString usageText()
{
    return QStringLiteral(
        "Usage: vorlzut [PATH]\n"
        "       vorlzut --json PATH [--compare REF]\n"
        "       vorlzut --csv PATH [--compare REF]\n"
        "       vorlzut --json|--csv --by LINE [--min-size N] FOLDER\n"
        "       vorlzut --xlsx OUTFILE PATH\n"
        "       vorlzut [--jobs N] --batch OUTDIR [--compare REF] PATH...\n"
        "\n"
        "Builds the organisational culture profile of questionnaire answer files.\n"
        "\n"
        "  PATH         open the window and load PATH at once: an answer file as one\n"
        "               respondent (the Data command), a folder as a group (the Group command)\n"
        "  --json PATH  load PATH the same way without any window and print the profile\n"
        "               as one JSON object on standard output\n"
        "  --csv PATH   load PATH the same way and print the table of individual results as\n"
        "               CSV (RFC 4180, UTF-8): one row per answer file, for a group followed\n"
        "               by the rows mean, sd, min and max\n"
        "  --by LINE    with --json or --csv and a folder: split the folder by its details\n"
        "               line LINE (4 to 7) into subgroups whose line reads the same, blanks\n"
        "               around it and letter case aside, and print a row (CSV) or an object\n"
        "               (JSON) per subgroup with its name, count and the 12 summary and 24\n"
        "               scale percentages, the whole folder first\n"
        "  --min-size N with --by: show no subgroup of fewer than N files (default 3); the\n"
        "               smaller ones are pooled into one row of others, shown when it has N\n"
        "  --xlsx OUTFILE PATH\n"
        "               load PATH the same way and write the same table as an Excel workbook\n"
        "               to OUTFILE, with texts kept as texts and, for a group, a second sheet\n"
        "               with the spread of the summary values\n"
        "  --batch OUTDIR PATH...\n"
        "               for every PATH write into OUTDIR the analysis file, the PDF report and\n"
        "               the pictures of the four diagram and six chart views, named as the\n"
        "               Save commands propose them, a folder's with its name after the code\n"
        "               (\"Report 0000 Sales.pdf\"); no window is shown. A code met twice is\n"
        "               written as \"CODE (2)\". Exit status 1 when any PATH failed\n"
        "  --jobs N     before --batch: encode and write the reports on N threads (1 to 64)\n"
        "               while the next inputs are painted; by default one per processor core.\n"
        "               The files, the progress and the status are those of --jobs 1\n"
        "  --compare REF\n"
        "               with --json, --csv or --batch: compare the profile with REF, an answer\n"
        "               file or a folder's group mean. --json adds the objects reference and\n"
        "               difference (this profile minus REF), --csv the rows reference and\n"
        "               difference; --batch lays REF over the diagram and the charts and adds\n"
        "               the page \"Сравнение\" to every report\n"
        "  --help       show this text\n"
        "  --version    show the version\n");
}

QString versionText()
{
    return QStringLiteral("vorlzut ") + kProgramVersion + QLatin1Char('\n');
}

QByteArray terminalText(const QString &message)
{
    QString safe;
    safe.reserve(message.size());
    for (const QChar c : message) {
        const char16_t u = c.unicode();
        // C0 and C1 controls and DEL: bytes from a file must never drive the terminal.
        if (u < 0x20 || (u >= 0x7F && u < 0xA0))
            safe += QStringLiteral("\\x%1").arg(unsigned(u), 2, 16, QLatin1Char('0'));
        else
            safe += c;
    }
    return safe.toUtf8();
}

bool printMessage(std::FILE *stream, const QString &message)
{
    const QByteArray text = terminalText(message) + '\n';
    return std::fwrite(text.constData(), 1, std::size_t(text.size()), stream) ==
               std::size_t(text.size()) &&
           std::fflush(stream) == 0;
}

namespace {

// Writes the bytes whole to out, or throws.
void writeToStream(std::FILE *out, const QByteArray &bytes)
{
    // A full disk or a closed pipe must not pass for a finished export.
    errno = 0;
    const bool written = std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), out) ==
                             std::size_t(bytes.size()) &&
                         std::fflush(out) == 0 && !std::ferror(out);
    if (!written)
        throw CommandError(QStringLiteral("Cannot write the profile to standard output: %1")
                               .arg(systemReason(errno ? errno : EIO)));
}

// Runs load for one of the two paths of a comparison: an error whose message does not say
// which file it concerns (a number in a single answer file) gets the path put before it, as a
// group member's has.
template <typename Load> auto namingThePath(const NativePath &path, const Load &load)
{
    try {
        return load();
    } catch (CommandError &e) {
        const QString shown = QDir::toNativeSeparators(displayPath(path));
        if (e.file().isEmpty() && !e.message().contains(shown))
            e.inFile(shown);
        throw;
    }
}

using ExportFormat = std::function<QByteArray(LoadedProfile &, const QString &today,
                                              const ReferenceProfile *reference)>;

// Loads path as the window would (a file as one respondent, a folder as a group), and the
// reference when one is asked for, turns the result into bytes and hands them to deliver;
// nothing is delivered when either load fails.
int runExport(const NativePath &native, std::FILE *err, const std::optional<NativePath> &compare,
              const MemberSink &onMember, const ExportFormat &format,
              const std::function<void(const QByteArray &)> &deliver)
{
    try {
        // The reference first: a wrong one fails before a large group is read.
        std::optional<ReferenceProfile> reference;
        if (compare)
            reference = loadCompareReference(*compare);
        const QString today = todayText();
        const auto load = [&] {
            return isFolder(native) ? loadGroup(native, today, Members::Drop, onMember)
                                    : loadRespondent(native);
        };
        LoadedProfile profile = reference ? namingThePath(native, load) : load();
        deliver(format(profile, today, reference ? &*reference : nullptr));
        return 0;
    } catch (const std::exception &e) {
        printMessage(err, commandLineErrorText(e));
        return 1;
    }
}

} // namespace

ReferenceProfile loadCompareReference(const NativePath &path)
{
    return namingThePath(path, [&] { return loadReference(path, todayText()); });
}

int runJsonExport(const NativePath &path, std::FILE *out, std::FILE *err,
                  const std::optional<NativePath> &compare)
{
    return runExport(
        path, err, compare, {},
        [](LoadedProfile &profile, const QString &today, const ReferenceProfile *reference) {
            convertToPercent(profile.store);
            return profileJson(profile, analysisLines(profile.store, profile.header, today),
                               reference);
        },
        [out](const QByteArray &bytes) { writeToStream(out, bytes); });
}

int runCsvExport(const NativePath &path, std::FILE *out, std::FILE *err,
                 const std::optional<NativePath> &compare)
{
    // A group's rows are written as its members are read; a respondent's one row at the end.
    CsvTableWriter writer(scriptCsv());
    return runExport(
        path, err, compare, [&writer](const MemberProfile &member) { writer.addMember(member); },
        [&writer](LoadedProfile &profile, const QString &, const ReferenceProfile *reference) {
            for (const MemberProfile &member : profile.members)
                writer.addMember(member);
            QByteArray table = writer.finish(profile.group);
            if (reference) {
                convertToPercent(profile.store);
                table += comparisonCsvRows(profile.store, *reference, scriptCsv());
            }
            return table;
        },
        [out](const QByteArray &bytes) { writeToStream(out, bytes); });
}

int runBreakdownExport(const NativePath &folder, int splitLine, int minimumSize,
                       BreakdownFormat format, std::FILE *out, std::FILE *err)
{
    try {
        if (folder.isEmpty())
            throw CommandError(QStringLiteral("Cannot open file: the path is empty"));
        const QString shown = displayPath(folder);
        if (!isFolder(folder))
            throw CommandError(QStringLiteral("Cannot split %1 into subgroups: it is not a folder")
                                   .arg(QDir::toNativeSeparators(shown)));
        // One pass: the subgroups are summed as the group load reads the members.
        const QString today = todayText();
        BreakdownBuilder builder(splitLine, today, Members::Drop);
        const LoadedProfile whole =
            loadGroup(folder, today, Members::Drop,
                      [&builder](const MemberProfile &member) { builder.add(member); });
        const BreakdownTable table =
            breakdownTable(whole, builder.finish(minimumSize), shownFolderName(shown));
        writeToStream(out, format == BreakdownFormat::Json ? breakdownJson(table)
                                                           : breakdownCsv(table, scriptCsv()));
        return 0;
    } catch (const std::exception &e) {
        printMessage(err, commandLineErrorText(e));
        return 1;
    }
}

int runXlsxExport(const NativePath &outFile, const NativePath &path, std::FILE *err)
{
    // The rows go into the workbook as the members are read, as for the CSV table.
    std::optional<XlsxTableWriter> writer;
    return runExport(
        path, err, {},
        [&writer](const MemberProfile &member) {
            if (!writer)
                writer.emplace();
            writer->addMember(member);
        },
        [&writer](LoadedProfile &profile, const QString &, const ReferenceProfile *) {
            if (!writer)
                writer.emplace();
            for (const MemberProfile &member : profile.members)
                writer->addMember(member);
            return writer->finish(profile.group, tableWorkbookProperties(profile.header.code));
        },
        [&outFile](const QByteArray &bytes) {
            if (outFile.isEmpty())
                throw CommandError(QStringLiteral("Cannot create file: the name is empty"));
            // By the name's bytes, so that a name that is not UTF-8 names its own file.
            ReplacingFiles file;
            file.add(outFile, bytes);
            file.commit();
        });
}

WorkbookProperties tableWorkbookProperties(const QString &code)
{
    return {QStringLiteral("Таблица результатов %1").arg(code),
            kApplicationTitle + QStringLiteral(", ") + versionText().trimmed()};
}
