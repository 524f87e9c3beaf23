#include "CommandLine.h"

#include "Analysis.h"
#include "Breakdown.h"
#include "BreakdownOutput.h"
#include "CommandError.h"
#include "Comparison.h"
#include "ErrorMessage.h"
#include "GroupLoader.h"
#include "GroupSource.h"
#include "NumberFormat.h"
#include "JsonWriter.h"
#include "ProfileJson.h"
#include "ProfileTable.h"
#include "SafeFile.h"
#include "Scoring.h"
#include "SourceCheck.h"
#include "SplitTable.h"
#include "TemporaryFiles.h"
#include "Trend.h"
#include "TrendOutput.h"
#include "Waves.h"
#include "Waves.h"
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

// A number of points from 0 to 100 with "." or "," as its decimal mark ("5", "2.5", "2,5").
std::optional<double> pointsNumber(QByteArray text)
{
    text.replace(',', '.');
    double value = 0;
    const char *end = text.constData() + text.size();
    const auto [ptr, ec] = std::from_chars(text.constData(), end, value, std::chars_format::fixed);
    if (text.isEmpty() || ec != std::errc() || ptr != end || !(value >= 0 && value <= 100))
        return std::nullopt;
    return value;
}

// ", not "VALUE"" for a message about a value that was given.
QString notValue(const QByteArray &value)
{
    return QStringLiteral(", not \"%1\"").arg(quotedForMessage(displayPath(value)));
}

// The long options. Those that take a value take the next argument whatever it looks like, or
// the text after "=", as getopt_long does.
enum class Option {
    Help, Version, Json, Csv, Xlsx, Batch, Compare, Jobs, By, MinSize, MinSpread, MinDiff, Trend,
    Check, Split, Columns, Sheet, SkipBad
};

struct OptionName
{
    const char *name;
    Option option;
    bool takesValue;
};

constexpr OptionName kOptions[] = {
    {"--help", Option::Help, false},      {"--version", Option::Version, false},
    {"--json", Option::Json, false},      {"--csv", Option::Csv, false},
    {"--xlsx", Option::Xlsx, true},       {"--batch", Option::Batch, true},
    {"--compare", Option::Compare, true}, {"--jobs", Option::Jobs, true},
    {"--by", Option::By, true},           {"--min-size", Option::MinSize, true},
    {"--trend", Option::Trend, true},     {"--check", Option::Check, false},
    {"--split", Option::Split, true},     {"--columns", Option::Columns, true},
    {"--sheet", Option::Sheet, true},     {"--skip-bad", Option::SkipBad, false},
    {"--min-spread", Option::MinSpread, true}, {"--min-diff", Option::MinDiff, true},
};

// What an option with no value says it needs.
QString needsValue(Option option)
{
    switch (option) {
    case Option::Xlsx:
        return QStringLiteral("--xlsx needs an output file and a file or folder");
    case Option::Batch:
        return QStringLiteral("--batch needs a folder and at least one file or folder");
    case Option::Compare:
        return QStringLiteral("--compare needs a file or folder to compare with");
    case Option::Jobs:
        return QStringLiteral("--jobs needs a number of threads from 1 to %1").arg(kMaxBatchJobs);
    case Option::By:
        return QStringLiteral("--by needs the number of a details line, %1 to %2")
            .arg(kFirstSplitLine)
            .arg(kLastSplitLine);
    case Option::MinSize:
        return QStringLiteral("--min-size needs a whole number of files from 1");
    case Option::MinSpread:
        return QStringLiteral("--min-spread needs a whole number of files from 1");
    case Option::MinDiff:
        return QStringLiteral("--min-diff needs a number of points from 0 to 100, such as 5 or 2.5");
    case Option::Trend:
        return QStringLiteral("--trend needs a folder whose subfolders hold the survey waves");
    case Option::Split:
        return QStringLiteral("--split needs an output folder and a table (.csv, .tsv, .xlsx)");
    case Option::Columns:
        return QStringLiteral("--columns needs a mapping such as answers=E-AJ,date=A");
    case Option::Sheet:
        return QStringLiteral("--sheet needs the name of a worksheet");
    default:
        return {};
    }
}

// A refused command line: the message names what was refused.
struct Refused
{
    QString message;
};

class ArgumentReader
{
public:
    explicit ArgumentReader(const QList<QByteArray> &arguments) : arguments_(arguments) {}

    // The options and the operands, in any order; "--" ends the options. Help and version
    // answer at once.
    CommandLine read()
    {
        CommandLine cl;
        QList<NativePath> operands;
        bool optionsEnded = false;
        for (qsizetype i = 1; i < arguments_.size(); ++i) {
            const QByteArray &arg = arguments_[i];
            if (optionsEnded || arg == "-" || !arg.startsWith('-')) {
                operands << arg;
                continue;
            }
            if (arg == "--") {
                optionsEnded = true;
                continue;
            }
            if (arg == "-h") {
                cl.mode = CommandLine::Mode::Help;
                return cl;
            }
            const qsizetype equals = arg.startsWith("--") ? arg.indexOf('=') : -1;
            const QByteArray name = equals < 0 ? arg : arg.left(equals);
            const auto known = std::find_if(std::begin(kOptions), std::end(kOptions),
                                            [&](const OptionName &o) { return name == o.name; });
            if (known == std::end(kOptions))
                throw Refused{QStringLiteral("unknown option \"%1\"")
                                  .arg(quotedForMessage(displayPath(arg)))};
            std::optional<QByteArray> value;
            if (known->takesValue) {
                if (equals >= 0)
                    value = arg.mid(equals + 1);
                else if (i + 1 < arguments_.size())
                    value = arguments_[++i];
                else
                    throw Refused{needsValue(known->option)};
            } else if (equals >= 0) {
                throw Refused{QStringLiteral("%1 takes no value").arg(QLatin1String(name))};
            }
            if (known->option == Option::Help || known->option == Option::Version) {
                cl.mode = known->option == Option::Help ? CommandLine::Mode::Help
                                                        : CommandLine::Mode::Version;
                return cl;
            }
            take(known->option, value.value_or(QByteArray()), cl);
        }
        finish(operands, cl);
        return cl;
    }

private:
    static QLatin1String nameOf(Option option)
    {
        return QLatin1String(
            std::find_if(std::begin(kOptions), std::end(kOptions), [option](const OptionName &o) {
                return o.option == option;
            })->name);
    }

    void once(Option option)
    {
        if (seen_.contains(option))
            throw Refused{QStringLiteral("%1 is given only once").arg(nameOf(option))};
        seen_ << option;
    }

    // The one task of the run: --json, --csv, --xlsx or --batch.
    void setMode(CommandLine &cl, CommandLine::Mode mode, Option option)
    {
        const QLatin1String name = nameOf(option);
        if (!modeName_.isEmpty())
            throw Refused{
                modeName_ == name
                    ? QStringLiteral("%1 is given only once").arg(modeName_)
                    : QStringLiteral("%1 and %2 cannot be used together").arg(modeName_, name)};
        modeName_ = name;
        cl.mode = mode;
    }

    // The value of an option that takes a whole number within [low, high].
    int number(Option option, const QByteArray &value, int low, int high)
    {
        once(option);
        const std::optional<int> number = wholeNumber(value, low, high);
        if (!number)
            throw Refused{needsValue(option) + notValue(value)};
        return *number;
    }

    void take(Option option, const QByteArray &value, CommandLine &cl)
    {
        switch (option) {
        case Option::Json:
            setMode(cl, CommandLine::Mode::Json, option);
            return;
        case Option::Csv:
            setMode(cl, CommandLine::Mode::Csv, option);
            return;
        case Option::Xlsx:
            setMode(cl, CommandLine::Mode::Xlsx, option);
            cl.outFile = value;
            return;
        case Option::Batch:
            setMode(cl, CommandLine::Mode::Batch, option);
            cl.outDir = value;
            return;
        case Option::Compare:
            once(option);
            cl.compare = value;
            return;
        case Option::Jobs:
            cl.jobs = number(option, value, 1, kMaxBatchJobs);
            return;
        case Option::By:
            cl.splitLine = number(option, value, kFirstSplitLine, kLastSplitLine);
            return;
        case Option::MinSize:
            cl.disclosure.minSize = number(option, value, 1, std::numeric_limits<int>::max());
            return;
        case Option::MinSpread:
            cl.disclosure.minSpread = number(option, value, 1, std::numeric_limits<int>::max());
            return;
        case Option::MinDiff: {
            once(option);
            const std::optional<double> points = pointsNumber(value);
            if (!points)
                throw Refused{needsValue(option) + notValue(value)};
            cl.disclosure.minDiff = *points;
            return;
        }
        case Option::Trend:
            once(option);
            cl.trend = true;
            cl.path = value;
            return;
        case Option::Check:
            setMode(cl, CommandLine::Mode::Check, option);
            return;
        case Option::Split:
            setMode(cl, CommandLine::Mode::Split, option);
            cl.outDir = value;
            return;
        case Option::Columns:
            once(option);
            cl.table.columns = QString::fromUtf8(value);
            if (cl.table.columns.trimmed().isEmpty())
                throw Refused{needsValue(option)};
            return;
        case Option::Sheet:
            once(option);
            cl.table.sheet = QString::fromUtf8(value);
            if (cl.table.sheet.isEmpty())
                throw Refused{needsValue(option)};
            return;
        case Option::SkipBad:
            once(option);
            cl.table.skipBad = true;
            return;
        case Option::Help:
        case Option::Version:
            return;
        }
    }

    // The rules between options, then the operands each task takes.
    void finish(const QList<NativePath> &operands, CommandLine &cl) const
    {
        using Mode = CommandLine::Mode;
        const Mode mode = cl.mode;
        if (seen_.contains(Option::Jobs) && mode != Mode::Batch)
            throw Refused{QStringLiteral("--jobs goes with --batch only")};
        if (seen_.contains(Option::MinSize) && cl.splitLine == 0 && !cl.trend)
            throw Refused{QStringLiteral("--min-size goes with --by or --trend only")};
        for (const Option option : {Option::MinSpread, Option::MinDiff})
            if (seen_.contains(option) && cl.splitLine == 0 && !cl.trend && !cl.compare)
                throw Refused{
                    QStringLiteral("%1 goes with --by, --trend or --compare only").arg(nameOf(option))};
        // The spread minimum follows a higher size minimum unless it is given itself; a
        // comparison has no size minimum.
        if (cl.splitLine != 0 || cl.trend) {
            if (!seen_.contains(Option::MinSpread))
                cl.disclosure.minSpread = std::max(cl.disclosure.minSpread, cl.disclosure.minSize);
            if (const QString problem = disclosureProblem(cl.disclosure); !problem.isEmpty())
                throw Refused{problem};
        }
        if (seen_.contains(Option::SkipBad) && mode == Mode::Check)
            throw Refused{QStringLiteral("--check lists the bad rows; --skip-bad goes with the "
                                         "commands that load a table")};
        if (mode == Mode::Check || mode == Mode::Split) {
            if (cl.trend || cl.splitLine != 0 || cl.compare)
                throw Refused{QStringLiteral("%1 cannot be used with %2")
                                  .arg(modeName_, cl.trend          ? nameOf(Option::Trend)
                                                  : cl.splitLine != 0 ? nameOf(Option::By)
                                                                      : nameOf(Option::Compare))};
            if (operands.isEmpty())
                throw Refused{mode == Mode::Split
                                  ? needsValue(Option::Split)
                                  : QStringLiteral("--check needs a folder, a table or a file")};
            if (operands.size() > 1)
                throw Refused{tooMany(QStringLiteral("%1 takes one path").arg(modeName_),
                                      operands[1])};
            cl.path = operands.first();
            return;
        }
        if (cl.trend) {
            if (mode != Mode::Json && mode != Mode::Csv)
                throw Refused{QStringLiteral("--trend goes with --json or --csv only")};
            if (cl.splitLine != 0 || cl.compare)
                throw Refused{QStringLiteral("--trend cannot be used with %1")
                                  .arg(cl.compare ? nameOf(Option::Compare) : nameOf(Option::By))};
            if (!operands.isEmpty())
                throw Refused{
                    tooMany(QStringLiteral("--trend takes one parent folder"), operands.first())};
            return;
        }
        if (cl.splitLine != 0 && mode != Mode::Json && mode != Mode::Csv && mode != Mode::Batch)
            throw Refused{QStringLiteral("--by goes with --csv, --json or --batch only")};
        if (cl.compare && mode != Mode::Json && mode != Mode::Csv && mode != Mode::Batch)
            throw Refused{QStringLiteral("--compare goes with --json, --csv or --batch only")};
        // A breakdown has its own reference, the whole folder.
        if (cl.compare && cl.splitLine != 0)
            throw Refused{QStringLiteral("--compare and --by cannot be used together")};

        if (mode == Mode::Batch) {
            if (operands.isEmpty())
                throw Refused{needsValue(Option::Batch)};
            if (cl.splitLine != 0 && operands.size() > 1)
                throw Refused{
                    tooMany(QStringLiteral("--batch with --by takes one folder"), operands[1])};
            cl.paths = operands;
            return;
        }
        if (operands.isEmpty()) {
            if (mode == Mode::Json || mode == Mode::Csv)
                throw Refused{QStringLiteral("%1 needs a file or folder").arg(modeName_)};
            if (mode == Mode::Xlsx)
                throw Refused{needsValue(Option::Xlsx)};
            return; // the window, empty
        }
        if (operands.size() > 1)
            throw Refused{
                tooMany(QStringLiteral("only one file or folder can be given"), operands[1])};
        cl.path = operands.first();
    }

    static QString tooMany(const QString &rule, const NativePath &extra)
    {
        return QStringLiteral("%1, not also \"%2\"")
            .arg(rule, quotedForMessage(displayPath(extra)));
    }

    const QList<QByteArray> &arguments_;
    QList<Option> seen_;
    QString modeName_;
};

} // namespace

CommandLine parseCommandLine(const QList<QByteArray> &arguments)
{
    try {
        return ArgumentReader(arguments).read();
    } catch (const Refused &refused) {
        CommandLine cl;
        cl.mode = CommandLine::Mode::Error;
        cl.error = refused.message;
        return cl;
    }
}

QString usageText()
{
    return QStringLiteral(
        "Usage: vorlzut [PATH]\n"
        "       vorlzut --json|--csv [--compare REF [--min-spread N] [--min-diff P]] PATH\n"
        "       vorlzut --json|--csv --by LINE [--min-size N] [--min-spread N] [--min-diff P]\n"
        "               FOLDER\n"
        "       vorlzut --json|--csv --trend PARENT [--min-size N] [--min-spread N]\n"
        "               [--min-diff P]\n"
        "       vorlzut --xlsx OUTFILE PATH\n"
        "       vorlzut --batch OUTDIR [--jobs N] [--compare REF [--min-spread N]\n"
        "               [--min-diff P]] PATH...\n"
        "       vorlzut --batch OUTDIR [--jobs N] --by LINE [--min-size N] [--min-spread N]\n"
        "               [--min-diff P] FOLDER\n"
        "       vorlzut --check PATH\n"
        "       vorlzut --split OUTDIR TABLE\n"
        "\n"
        "Builds the organisational culture profile of questionnaire answer files.\n"
        "Options may stand in any order, before or after the paths; \"--\" ends them, so that\n"
        "a path starting with \"-\" can follow. An option's value may also be given as\n"
        "--option=VALUE.\n"
        "\n"
        "  PATH         open the window and load PATH at once: an answer file as one\n"
        "               respondent (the Data command), a folder as a group (the Group command)\n"
        "               A table exported from an online form or a spreadsheet (.csv, .tsv or\n"
        "               .xlsx, a row per respondent) is read as a group wherever a folder is\n"
        "  --json       load PATH the same way without any window and print the profile\n"
        "               as one JSON object on standard output\n"
        "  --csv        load PATH the same way and print the table of individual results as\n"
        "               CSV (RFC 4180, UTF-8): one row per answer file, for a group followed\n"
        "               by the rows mean, sd, min and max\n"
        "  --by LINE    with --json, --csv or --batch and a folder or table: split it by its\n"
        "               details line LINE (4 to 7) into subgroups whose line reads the same,\n"
        "               blanks and letter case aside; --json and --csv print a row (CSV) or an\n"
        "               object (JSON) per subgroup with its name, count and the 12 summary and\n"
        "               24 scale percentages, the whole folder first\n"
        "  --min-size N with --by: show no subgroup of fewer than N files (default 3); the\n"
        "               smaller ones are pooled into one row of others, which is shown when it\n"
        "               has N files or more. With --trend: show no wave of fewer than N files.\n"
        "               A folder of fewer than N files is not broken down (status 1)\n"
        "  --min-spread N\n"
        "               with --by, --trend or --compare: show the spread (sd, interval,\n"
        "               agreement) and the tests (p, marks, percentiles) only of subgroups,\n"
        "               waves and groups of at least N files (default 8, never below\n"
        "               --min-size): with fewer, n, mean and an exact sd give the members'\n"
        "               values away. A subgroup's figures are written as the views show them:\n"
        "               percentages with one decimal, p with two significant digits, ICC with\n"
        "               two decimals\n"
        "  --min-diff P with --by, --trend or --compare: mark a difference only when it is\n"
        "               significant and at least P points (default 5)\n"
        "  --trend PARENT\n"
        "               with --json or --csv: the survey waves of PARENT, its subfolders that\n"
        "               hold answer files (\"2023\", \"2024\" or \"Волна 1\", \"Волна 2\") and its\n"
        "               tables (\"2025.csv\" is the wave \"2025\"), each read as a group, in\n"
        "               natural order of their names; a link to another wave counts once.\n"
        "               --json prints the waves' counts and percentages and the changes from\n"
        "               wave to wave (later minus earlier) with Welch's p and the marks of those\n"
        "               significant at 0.05 after Benjamini-Hochberg over all changes; --csv a\n"
        "               row per wave\n"
        "  --xlsx OUTFILE\n"
        "               load PATH the same way and write the same table as an Excel workbook\n"
        "               to OUTFILE, with texts kept as texts and, for a group, a second sheet\n"
        "               with the spread of the summary values\n"
        "  --batch OUTDIR\n"
        "               for every PATH write into OUTDIR the analysis file, the PDF report and\n"
        "               the pictures of the four diagram and six chart views, named as the\n"
        "               Save commands propose them, a folder's with its name after the code\n"
        "               (\"Report 0000 Sales.pdf\"); no window is shown. A code met twice is\n"
        "               written as \"CODE (2)\". With --by, the same twelve files for every\n"
        "               subgroup shown, compared with the whole folder and named after the\n"
        "               subgroup, with no member named, and the breakdown as a heat map PDF\n"
        "               and a CSV table. Exit status 1 when any PATH failed\n"
        "  --jobs N     with --batch: read, paint and write the inputs on N threads (1 to\n"
        "               64); by default one per processor core.\n"
        "               The files, the progress and the status are those of --jobs 1\n"
        "  --compare REF\n"
        "               with --json, --csv or --batch: compare the profile with REF, an answer\n"
        "               file or a folder's group mean. --json adds the objects reference and\n"
        "               difference (this profile minus REF), --csv the rows reference and\n"
        "               difference; --batch lays REF over the diagram and the charts and adds\n"
        "               the page \"Сравнение\" to every report\n"
        "  --check      list every problem of PATH, a folder, a table or an answer file:\n"
        "               the file and line, or the row and column, with the reason; and what is\n"
        "               read but suspicious (an answer outside 1 to 7, totals that disagree\n"
        "               with the answers, the same respondent twice). Status 1 when any problem\n"
        "  --split OUTDIR\n"
        "               write one answer file per row of TABLE into OUTDIR (made when missing),\n"
        "               with the twelve totals computed from the answers; all or none, and no\n"
        "               file that is there already is replaced\n"
        "  --columns MAP\n"
        "               how a table's columns are read, where the automatic mapping is wrong:\n"
        "               FIELD=COLUMNS joined by \",\"; FIELD is answers, date, code, name, email or\n"
        "               details, COLUMNS a column's letters (E), number (5) or header text, a\n"
        "               range (E-AJ), several joined by \"+\", or none. Example:\n"
        "               --columns answers=F-AK,name=C,details=D+E\n"
        "  --sheet NAME read the worksheet NAME of an .xlsx workbook instead of the first\n"
        "  --skip-bad   load a table's good rows and name the rows left out on standard\n"
        "               error, instead of refusing a table with bad rows\n"
        "  -h, --help   show this text\n"
        "  --version    show the version\n"
        "\n"
        "Exit status: 0 done, 1 a file could not be read or written, 2 a wrong command line.\n");
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

// What a table's load left out or counted once, on standard error: the output is complete
// without them, but the user must know.
void printNotes(std::FILE *err, const NativePath &path, const QStringList &notes)
{
    for (const QString &note : notes)
        printMessage(err, QStringLiteral("vorlzut: %1: %2")
                              .arg(QDir::toNativeSeparators(displayPath(path)), note));
}

using ExportFormat = std::function<QByteArray(LoadedProfile &, const QString &today,
                                              const ReferenceProfile *reference)>;

// Loads path as the window would (a file as one respondent, a folder as a group), and the
// reference when one is asked for, turns the result into bytes and hands them to deliver;
// nothing is delivered when either load fails.
int runExport(const NativePath &native, std::FILE *err, const std::optional<NativePath> &compare,
              const TableOptions &table, const MemberSink &onMember, const ExportFormat &format,
              const std::function<void(const QByteArray &)> &deliver)
{
    try {
        // The reference first: a wrong one fails before a large group is read.
        std::optional<ReferenceProfile> reference;
        if (compare)
            reference = loadCompareReference(*compare);
        const QString today = todayText();
        QStringList notes;
        const auto load = [&] {
            return isGroupPath(native)
                       ? loadGroup(native, today, Members::Drop, onMember, table, &notes)
                       : loadRespondent(native);
        };
        LoadedProfile profile = reference ? namingThePath(native, load) : load();
        printNotes(err, native, notes);
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
                  const std::optional<NativePath> &compare, const TableOptions &table,
                  const Disclosure &disclosure)
{
    // Written as it is made, in pieces: a large group is never held as one document.
    return runExport(
        path, err, compare, table, {},
        [&disclosure, out](LoadedProfile &profile, const QString &today,
                           const ReferenceProfile *reference) {
            convertToPercent(profile.store);
            JsonWriter json([out](const QByteArray &piece) { writeToStream(out, piece); });
            writeProfileJson(json, profile, analysisLines(profile.store, profile.header, today),
                             reference, disclosure);
            json.finish();
            return QByteArray();
        },
        [](const QByteArray &) {});
}

int runCsvExport(const NativePath &path, std::FILE *out, std::FILE *err,
                 const std::optional<NativePath> &compare, const TableOptions &table)
{
    // A group's rows are written as its members are read; a respondent's one row at the end.
    CsvTableWriter writer(scriptCsv());
    return runExport(
        path, err, compare, table,
        [&writer](const MemberProfile &member) { writer.addMember(member); },
        [&writer](LoadedProfile &profile, const QString &, const ReferenceProfile *reference) {
            for (const MemberProfile &member : profile.members)
                writer.addMember(member);
            QByteArray rows = writer.finish(profile.group);
            if (reference) {
                convertToPercent(profile.store);
                rows += comparisonCsvRows(profile.store, *reference, scriptCsv());
            }
            return rows;
        },
        [out](const QByteArray &bytes) { writeToStream(out, bytes); });
}

int runBreakdownExport(const NativePath &folder, int splitLine, const Disclosure &disclosure,
                       TableFormat format, std::FILE *out, std::FILE *err,
                       const TableOptions &table)
{
    try {
        checkGroupPath(folder, QStringLiteral("Cannot split %1 into subgroups"));
        const QString shown = displayPath(folder);
        // One pass: the subgroups are summed as the group load reads the members.
        const QString today = todayText();
        BreakdownBuilder builder(splitLine, today, Members::Drop);
        QStringList notes;
        const LoadedProfile whole = loadGroup(
            folder, today, Members::Sums,
            [&builder](const MemberProfile &member) { builder.add(member); }, table, &notes);
        printNotes(err, folder, notes);
        const BreakdownTable breakdown =
            breakdownTable(whole, builder.finish(disclosure), groupSourceName(folder));
        writeToStream(out, format == TableFormat::Json ? breakdownJson(breakdown)
                                                           : breakdownCsv(breakdown, scriptCsv()));
        return 0;
    } catch (const std::exception &e) {
        printMessage(err, commandLineErrorText(e));
        return 1;
    }
}

int runTrendExport(const NativePath &parent, const Disclosure &disclosure, TableFormat format,
                   std::FILE *out, std::FILE *err, const TableOptions &table)
{
    try {
        const Trend trend = loadTrend(parent, disclosure, todayText(), table);
        writeToStream(out, format == TableFormat::Json ? trendJson(trend)
                                                           : trendCsv(trend, scriptCsv()));
        return 0;
    } catch (const std::exception &e) {
        printMessage(err, commandLineErrorText(e));
        return 1;
    }
}

int runXlsxExport(const NativePath &outFile, const NativePath &path, std::FILE *err,
                  const TableOptions &table)
{
    // A target that cannot be written fails before a large group is read.
    try {
        if (outFile.isEmpty())
            throw CommandError(QStringLiteral("Cannot create file: the name is empty"));
        checkReplaceable(outFile);
    } catch (const std::exception &e) {
        printMessage(err, commandLineErrorText(e));
        return 1;
    }
    // The rows go into the workbook as the members are read, as for the CSV table.
    std::optional<XlsxTableWriter> writer;
    return runExport(
        path, err, {}, table,
        [&writer, &outFile](const MemberProfile &member) {
            if (!writer)
                writer.emplace(folderOf(outFile));
            writer->addMember(member);
        },
        [&writer, &outFile](LoadedProfile &profile, const QString &, const ReferenceProfile *) {
            if (!writer)
                writer.emplace(folderOf(outFile));
            for (const MemberProfile &member : profile.members)
                writer->addMember(member);
            return writer->finish(profile.group, tableWorkbookProperties(profile.header.code));
        },
        [&outFile](const QByteArray &bytes) {
            // By the name's bytes, so that a name that is not UTF-8 names its own file.
            ReplacingFiles file;
            file.add(outFile, bytes);
            file.commit();
        });
}

int runCheck(const NativePath &path, const TableOptions &table, std::FILE *out, std::FILE *err)
{
    try {
        const SourceCheck check = checkSource(path, table);
        const QString shown = QDir::toNativeSeparators(displayPath(path));
        QByteArray text;
        for (const QString &line : checkReport(shown, check))
            text += terminalText(line) + '\n';
        writeToStream(out, text);
        return check.problems.isEmpty() ? 0 : 1;
    } catch (const std::exception &e) {
        printMessage(err, commandLineErrorText(e));
        return 1;
    }
}

int runSplit(const NativePath &outDir, const NativePath &table, const TableOptions &options,
             std::FILE *out, std::FILE *err)
{
    try {
        if (!isTablePath(table) || isFolder(table))
            throw CommandError(QStringLiteral("--split writes the rows of a table (.csv, .tsv, "
                                              ".xlsx) as answer files, and %1 is none")
                                   .arg(QDir::toNativeSeparators(displayPath(table))));
        QStringList notes;
        const int written = splitTable(table, outDir, options, &notes);
        printNotes(err, table, notes);
        writeToStream(out, terminalText(QStringLiteral("В папку %1 записано файлов анкет: %2")
                                            .arg(QDir::toNativeSeparators(displayPath(outDir)))
                                            .arg(written)) +
                               '\n');
        return 0;
    } catch (const std::exception &e) {
        printMessage(err, commandLineErrorText(e));
        return 1;
    }
}

WorkbookProperties tableWorkbookProperties(const QString &code)
{
    return {QStringLiteral("Таблица результатов %1").arg(code),
            kApplicationTitle + QStringLiteral(", ") + versionText().trimmed()};
}
