// The command line read as getopt_long reads one: options in any order, "--" ending them, a
// value after the option or after "=", and every refusal naming what it refuses.
#include "CommandLine.h"

#include <gtest/gtest.h>

namespace {

using Mode = CommandLine::Mode;

struct Accepted
{
    const char *name;
    std::vector<const char *> arguments;
    Mode mode;
    const char *path = "";            // the one path, or the batch's paths joined by "|"
    const char *other = "";           // --xlsx's file or --batch's folder
    const char *compare = nullptr;    // --compare's reference
    int jobs = 0;
    int splitLine = 0;
    int minimumSize = kDefaultMinimumSize;
};

void PrintTo(const Accepted &row, std::ostream *os)
{
    *os << row.name;
}

QList<QByteArray> argumentsOf(const std::vector<const char *> &given)
{
    QList<QByteArray> arguments{"vorlzut"};
    for (const char *a : given)
        arguments << QByteArray(a);
    return arguments;
}

class AcceptedLine : public testing::TestWithParam<Accepted>
{
};

TEST_P(AcceptedLine, ReadsWhatWasMeant)
{
    const Accepted &row = GetParam();
    const CommandLine cl = parseCommandLine(argumentsOf(row.arguments));
    ASSERT_EQ(cl.mode, row.mode) << cl.error.toStdString();
    EXPECT_EQ(row.mode == Mode::Batch ? cl.paths.join('|') : cl.path, QByteArray(row.path));
    EXPECT_EQ(row.mode == Mode::Batch ? cl.outDir : cl.outFile, QByteArray(row.other));
    EXPECT_EQ(cl.compare.has_value(), row.compare != nullptr);
    if (row.compare && cl.compare) {
        EXPECT_EQ(*cl.compare, QByteArray(row.compare));
    }
    EXPECT_EQ(cl.jobs, row.jobs);
    EXPECT_EQ(cl.splitLine, row.splitLine);
    EXPECT_EQ(cl.minimumSize, row.minimumSize);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AcceptedLine,
    testing::Values(
        Accepted{"nothing", {}, Mode::Window},
        Accepted{"window_path", {"a.txt"}, Mode::Window, "a.txt"},
        Accepted{"json_before", {"--json", "a.txt"}, Mode::Json, "a.txt"},
        Accepted{"json_after", {"a.txt", "--json"}, Mode::Json, "a.txt"},
        Accepted{"compare_before_path", {"--json", "--compare", "ref", "a.txt"}, Mode::Json,
                 "a.txt", "", "ref"},
        Accepted{"compare_with_equals", {"--compare=ref", "--csv", "a.txt"}, Mode::Csv, "a.txt",
                 "", "ref"},
        Accepted{"empty_path", {"--json", ""}, Mode::Json, ""},
        Accepted{"dash_alone_is_a_path", {"--csv", "-"}, Mode::Csv, "-"},
        Accepted{"dashed_name_after_double_dash", {"--json", "--", "-x.txt"}, Mode::Json,
                 "-x.txt"},
        Accepted{"jobs_after_the_folder", {"--batch", "out", "--jobs", "2", "a", "b"},
                 Mode::Batch, "a|b", "out", nullptr, 2},
        Accepted{"jobs_last", {"--batch", "out", "a", "--jobs", "2"}, Mode::Batch, "a", "out",
                 nullptr, 2},
        Accepted{"values_after_equals", {"--jobs=3", "--batch=out", "a"}, Mode::Batch, "a", "out",
                 nullptr, 3},
        Accepted{"batch_inputs_that_look_like_options",
                 {"--batch", "out", "--", "--jobs", "-x.txt"}, Mode::Batch, "--jobs|-x.txt",
                 "out"},
        Accepted{"batch_compared", {"a", "--compare", "ref", "--batch", "out", "b"}, Mode::Batch,
                 "a|b", "out", "ref"},
        Accepted{"breakdown_any_order", {"dir", "--min-size", "2", "--json", "--by", "4"},
                 Mode::Json, "dir", "", nullptr, 0, 4, 2},
        Accepted{"breakdown_batch", {"--batch", "out", "--by", "5", "dir"}, Mode::Batch, "dir",
                 "out", nullptr, 0, 5},
        Accepted{"workbook_after_path", {"a.txt", "--xlsx", "t.xlsx"}, Mode::Xlsx, "a.txt",
                 "t.xlsx"},
        Accepted{"help_wins", {"a", "b", "--help"}, Mode::Help},
        Accepted{"short_help", {"-h"}, Mode::Help},
        Accepted{"version", {"--json", "--version"}, Mode::Version}),
    [](const auto &row) { return std::string(row.param.name); });

struct Refused
{
    const char *name;
    std::vector<const char *> arguments;
    const char *message;
};

void PrintTo(const Refused &row, std::ostream *os)
{
    *os << row.name;
}

class RefusedLine : public testing::TestWithParam<Refused>
{
};

TEST_P(RefusedLine, NamesWhatIsWrong)
{
    const CommandLine cl = parseCommandLine(argumentsOf(GetParam().arguments));
    EXPECT_EQ(cl.mode, Mode::Error);
    EXPECT_EQ(cl.error.toStdString(), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedLine,
    testing::Values(
        Refused{"unknown", {"--bogus", "--help"}, "unknown option \"--bogus\""},
        Refused{"dashed_name_without_double_dash", {"--json", "-x.txt"},
                "unknown option \"-x.txt\""},
        Refused{"json_without_path", {"--json"}, "--json needs a file or folder"},
        Refused{"two_paths", {"--json", "a", "b"},
                "only one file or folder can be given, not also \"b\""},
        Refused{"two_window_paths", {"a", "b"},
                "only one file or folder can be given, not also \"b\""},
        Refused{"two_tasks", {"--json", "--csv", "a"}, "--json and --csv cannot be used together"},
        Refused{"workbook_and_batch", {"--xlsx", "t", "a", "--batch", "o", "b"},
                "--xlsx and --batch cannot be used together"},
        Refused{"task_twice", {"--json", "a", "--json"}, "--json is given only once"},
        Refused{"flag_with_value", {"--json=a"}, "--json takes no value"},
        Refused{"workbook_without_path", {"--xlsx", "t.xlsx"},
                "--xlsx needs an output file and a file or folder"},
        Refused{"batch_without_input", {"--batch", "out"},
                "--batch needs a folder and at least one file or folder"},
        Refused{"compare_without_value", {"--json", "a", "--compare"},
                "--compare needs a file or folder to compare with"},
        Refused{"compare_twice", {"--json", "a", "--compare", "r", "--compare", "r"},
                "--compare is given only once"},
        Refused{"compare_in_the_window", {"--compare", "r", "a"},
                "--compare goes with --json, --csv or --batch only"},
        Refused{"compare_and_by", {"--json", "--by", "4", "a", "--compare", "r"},
                "--compare and --by cannot be used together"},
        Refused{"jobs_without_batch", {"--jobs", "2", "a"}, "--jobs goes with --batch only"},
        Refused{"jobs_zero", {"--jobs", "0", "--batch", "o", "a"},
                "--jobs needs a number of threads from 1 to 64, not \"0\""},
        Refused{"jobs_blank", {"--batch", "o", "a", "--jobs", " 2"},
                "--jobs needs a number of threads from 1 to 64, not \" 2\""},
        Refused{"jobs_beyond_any_integer", {"--jobs=99999999999999999999", "--batch", "o", "a"},
                "--jobs needs a number of threads from 1 to 64, not \"99999999999999999999\""},
        Refused{"jobs_twice", {"--jobs", "2", "--jobs", "3", "--batch", "o", "a"},
                "--jobs is given only once"},
        Refused{"jobs_missing", {"--batch", "o", "a", "--jobs"},
                "--jobs needs a number of threads from 1 to 64"},
        Refused{"line_out_of_range", {"--csv", "--by", "8", "x"},
                "--by needs the number of a details line, 4 to 7, not \"8\""},
        Refused{"line_not_a_number", {"--csv", "--by", "4a", "x"},
                "--by needs the number of a details line, 4 to 7, not \"4a\""},
        Refused{"size_fraction", {"--csv", "--by", "4", "--min-size", "2.5", "x"},
                "--min-size needs a whole number of files from 1, not \"2.5\""},
        Refused{"size_zero", {"--csv", "--by", "4", "--min-size=0", "x"},
                "--min-size needs a whole number of files from 1, not \"0\""},
        Refused{"size_without_by", {"--csv", "--min-size", "3", "x"},
                "--min-size goes with --by only"},
        Refused{"by_twice", {"--csv", "--by", "4", "--by", "5", "x"}, "--by is given only once"},
        Refused{"by_in_the_workbook", {"--xlsx", "out.xlsx", "--by", "4", "x"},
                "--by goes with --csv, --json or --batch only"},
        Refused{"breakdown_batch_of_two_folders", {"--batch", "o", "--by", "4", "x", "y"},
                "--batch with --by takes one folder, not also \"y\""}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
