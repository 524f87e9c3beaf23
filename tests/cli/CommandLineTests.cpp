// The command line read as getopt_long reads one: options in any order, "--" ending them, a
// value after the option or after "=", and every refusal naming what it refuses.
#include "CommandLine.h"

#include <gtest/gtest.h>

namespace {

// What was read, in one line: the task and every field that differs from the default, or the
// refusal's message.
std::string readAs(const CommandLine &cl)
{
    static const char *const modes[] = {"window", "json",  "csv",  "xlsx",    "batch",
                                        "check",  "split", "help", "version", "error"};
    QString text = QString::fromLatin1(modes[int(cl.mode)]);
    if (cl.mode == CommandLine::Mode::Error)
        return (text + ": " + cl.error).toStdString();
    if (!cl.path.isEmpty() || cl.mode == CommandLine::Mode::Json)
        text += " path=" + cl.path;
    for (const auto &[name, value] :
         {std::pair{"paths", QByteArray(cl.paths.join('|'))}, {"out", cl.outDir + cl.outFile}})
        if (!value.isEmpty())
            text += QStringLiteral(" %1=%2").arg(name, value);
    if (cl.compare)
        text += " compare=" + *cl.compare;
    if (cl.trend)
        text += " trend";
    for (const auto &[name, value] :
         {std::pair{"sheet", cl.table.sheet}, {"columns", cl.table.columns}})
        if (!value.isEmpty())
            text += QStringLiteral(" %1=%2").arg(name, value);
    if (cl.table.skipBad)
        text += " skip-bad";
    for (const auto &[name, value, none] :
         {std::tuple{"jobs", cl.jobs, 0},
          {"by", cl.splitLine, 0},
          {"min", cl.disclosure.minSize, kDefaultMinimumSize},
          {"spread", cl.disclosure.minSpread, kDefaultMinimumSpread}})
        if (value != none)
            text += QStringLiteral(" %1=%2").arg(name).arg(value);
    if (cl.disclosure.minDiff != kDefaultMinimumDifference)
        text += QStringLiteral(" diff=%1").arg(cl.disclosure.minDiff);
    return text.toStdString();
}

struct Line
{
    const char *arguments; // separated by "|"
    const char *read;
};

class CommandLineTable : public testing::TestWithParam<Line>
{
};

TEST_P(CommandLineTable, ReadsWhatWasMeantOrNamesWhatIsWrong)
{
    QList<QByteArray> arguments{"vorlzut"};
    if (*GetParam().arguments)
        arguments += QByteArray(GetParam().arguments).split('|');
    EXPECT_EQ(readAs(parseCommandLine(arguments)), GetParam().read) << GetParam().arguments;
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, CommandLineTable,
    testing::Values(
        Line{"", "window"}, Line{"a.txt", "window path=a.txt"},
        Line{"a.txt|--json", "json path=a.txt"},
        Line{"--json|--compare|ref|a.txt", "json path=a.txt compare=ref"},
        Line{"--compare=ref|--csv|a.txt", "csv path=a.txt compare=ref"},
        Line{"--json|", "json path="}, Line{"--csv|-", "csv path=-"},
        Line{"--json|--|-x.txt", "json path=-x.txt"},
        Line{"--min-size=2|--trend|p|--csv", "csv path=p trend min=2"},
        Line{"--batch|out|--jobs|2|a|b", "batch paths=a|b out=out jobs=2"},
        Line{"--batch|out|a|--jobs|2", "batch paths=a out=out jobs=2"},
        Line{"--jobs=3|--batch=out|a", "batch paths=a out=out jobs=3"},
        Line{"--batch|out|--|--jobs|-x.txt", "batch paths=--jobs|-x.txt out=out"},
        Line{"a|--compare|ref|--batch|out|b", "batch paths=a|b out=out compare=ref"},
        Line{"dir|--min-size|2|--json|--by|4", "json path=dir by=4 min=2"},
        Line{"--batch|out|--by|5|dir", "batch paths=dir out=out by=5"},
        Line{"--batch|o|--jobs|64|--by|7|--min-size|1|d", "batch paths=d out=o jobs=64 by=7 min=1"},
        Line{"a.txt|--xlsx|t.xlsx", "xlsx path=a.txt out=t.xlsx"},
        Line{"--check|t.csv|--columns|answers=E-AJ", "check path=t.csv columns=answers=E-AJ"},
        Line{"t.xlsx|--split|out|--sheet=Ответы|--skip-bad",
             "split path=t.xlsx out=out sheet=Ответы skip-bad"},
        Line{"--skip-bad|--json|t.csv", "json path=t.csv skip-bad"},
        // The spread minimum follows a higher size minimum unless given itself.
        Line{"--json|--by|4|--min-size|12|d", "json path=d by=4 min=12 spread=12"},
        Line{"--csv|--by|4|--min-spread=5|--min-diff|2,5|d", "csv path=d by=4 spread=5 diff=2.5"},
        Line{"--json|--compare|r|--min-spread|10|a", "json path=a compare=r spread=10"},
        Line{"a|b|--help", "help"}, Line{"-h", "help"}, Line{"--json|--version", "version"}));

INSTANTIATE_TEST_SUITE_P(
    Refused, CommandLineTable,
    testing::Values(
        Line{"--bogus|--help", "error: unknown option \"--bogus\""},
        Line{"--json|-x.txt", "error: unknown option \"-x.txt\""},
        Line{"--json", "error: --json needs a file or folder"},
        Line{"--json|a|b", "error: only one file or folder can be given, not also \"b\""},
        Line{"a|b", "error: only one file or folder can be given, not also \"b\""},
        Line{"--json|--csv|a", "error: --json and --csv cannot be used together"},
        Line{"--xlsx|t|a|--batch|o|b", "error: --xlsx and --batch cannot be used together"},
        Line{"--json|a|--json", "error: --json is given only once"},
        Line{"--json=a", "error: --json takes no value"},
        Line{"--xlsx|t.xlsx", "error: --xlsx needs an output file and a file or folder"},
        Line{"--batch|out", "error: --batch needs a folder and at least one file or folder"},
        Line{"--json|a|--compare", "error: --compare needs a file or folder to compare with"},
        Line{"--json|a|--compare|r|--compare|r", "error: --compare is given only once"},
        Line{"--compare|r|a", "error: --compare goes with --json, --csv or --batch only"},
        Line{"--json|--by|4|a|--compare|r", "error: --compare and --by cannot be used together"},
        Line{"--jobs|2|a", "error: --jobs goes with --batch only"},
        Line{"--batch|o|a|--jobs| 2",
             "error: --jobs needs a number of threads from 1 to 64, not \" 2\""},
        Line{"--jobs=99999999999999999999|--batch|o|a",
             "error: --jobs needs a number of threads from 1 to 64, not \"99999999999999999999\""},
        Line{"--jobs|2|--jobs|3|--batch|o|a", "error: --jobs is given only once"},
        Line{"--batch|o|a|--jobs", "error: --jobs needs a number of threads from 1 to 64"},
        // Each range refused just past both of its ends.
        Line{"--csv|--by|8|x", "error: --by needs the number of a details line, 4 to 7, not \"8\""},
        Line{"--csv|--by|3|x", "error: --by needs the number of a details line, 4 to 7, not \"3\""},
        Line{"--batch|o|a|--jobs|65",
             "error: --jobs needs a number of threads from 1 to 64, not \"65\""},
        Line{"--batch|o|a|--jobs=0",
             "error: --jobs needs a number of threads from 1 to 64, not \"0\""},
        Line{"--csv|--by|4|--min-size|0|x",
             "error: --min-size needs a whole number of files from 1, not \"0\""},
        Line{"--csv|--by|4|--min-spread|0|x",
             "error: --min-spread needs a whole number of files from 1, not \"0\""},
        Line{"--csv|--by|4|--min-diff|100.5|x",
             "error: --min-diff needs a number of points from 0 to 100, such as 5 or 2.5, not \"100.5\""},
        Line{"--csv|--by|4|--min-size=2.5|x",
             "error: --min-size needs a whole number of files from 1, not \"2.5\""},
        Line{"--csv|--min-size|3|x", "error: --min-size goes with --by or --trend only"},
        Line{"--csv|--min-spread|9|x", "error: --min-spread goes with --by, --trend or --compare only"},
        Line{"--csv|--by|4|--min-size|5|--min-spread|4|x",
             "error: --min-spread (4) may not be below --min-size (5): a subgroup's spread needs "
             "at least as many files as its mean"},
        Line{"--csv|--by|4|--min-diff|-1|x",
             "error: --min-diff needs a number of points from 0 to 100, such as 5 or 2.5, not \"-1\""},
        Line{"--csv|--by|4|--by|5|x", "error: --by is given only once"},
        Line{"--xlsx|o.xlsx|--by|4|x", "error: --by goes with --csv, --json or --batch only"},
        Line{"--batch|o|--by|4|x|y", "error: --batch with --by takes one folder, not also \"y\""},
        Line{"--trend|p", "error: --trend goes with --json or --csv only"},
        Line{"--json|--trend", "error: --trend needs a folder whose subfolders hold the survey waves"},
        Line{"--json|--trend|p|x", "error: --trend takes one parent folder, not also \"x\""},
        Line{"--json|--trend|p|--compare|r", "error: --trend cannot be used with --compare"},
        Line{"--check", "error: --check needs a folder, a table or a file"},
        Line{"--check|t.csv|--skip-bad", "error: --check lists the bad rows; --skip-bad goes "
                                         "with the commands that load a table"},
        Line{"--split|out", "error: --split needs an output folder and a table (.csv, .tsv, .xlsx)"},
        Line{"--split|out|a.csv|b.csv", "error: --split takes one path, not also \"b.csv\""},
        Line{"--check|--by|4|t.csv", "error: --check cannot be used with --by"},
        Line{"--json|t.csv|--sheet=", "error: --sheet needs the name of a worksheet"}));

} // namespace
