// What the program does when its output cannot be written as it asked: a reader that went
// away, a file size limit, a name that is no file, a run killed half-way, no display.
#include "AnswerFiles.h"
#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

using testfiles::Questionnaire;
using namespace clitest;

namespace {

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot, QDir::Name);
}

// Standard output a pipe whose reader has gone, or a file size limit of 1 KiB; the signal each
// raises has its default action, as in a shell.
void readerGone()
{
    ::signal(SIGPIPE, SIG_DFL);
    int ends[2];
    if (::pipe(ends) == 0) {
        ::close(ends[0]);
        ::dup2(ends[1], 1);
    }
}
void smallFileLimit()
{
    ::signal(SIGXFSZ, SIG_DFL);
    const rlimit limit{1024, 1024};
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

// A failed write, whatever stopped it, is said with its reason and exits with 1 instead of
// killing the program; the batch writes every input's files all the same.
TEST(WriteFailure, PipeAndSizeLimitAreErrorsWithTheirReasons)
{
    QTemporaryDir dir;
    Questionnaire().write(dir.filePath("a.txt"));
    const struct
    {
        QStringList arguments;
        void (*setUp)();
        QByteArray err;
    } rows[] = {
        {{"--json", dir.filePath("a.txt")}, readerGone,
         "Cannot write the profile to standard output: Broken pipe.\n"},
        {{"--batch", dir.filePath("out"), dir.filePath("a.txt"), dir.filePath("a.txt")},
         readerGone, "vorlzut: Cannot write the progress to standard output: Broken pipe.\n"},
        {{"--xlsx", dir.filePath("t.xlsx"), dir.filePath("a.txt")}, smallFileLimit,
         "Cannot write the workbook: File too large.\n"},
    };
    for (const auto &row : rows) {
        const Outcome run = runProgram(row.arguments, kC, {row.setUp, {}});
        EXPECT_EQ(run.exitCode, 1) << row.arguments.first().toStdString();
        EXPECT_TRUE(run.err.endsWith(row.err)) << run.err.toStdString();
        EXPECT_FALSE(run.err.contains("[ERROR]")) << "a library's own message reached the user";
    }
    EXPECT_EQ(entries(dir.filePath("out")).size(), 24);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("t.xlsx")));
}

// Every writer refuses a name that is a device, a pipe or a socket and leaves it as it was.
TEST(WriteFailure, SpecialFilesAreRefusedAndLeftAsTheyWere)
{
    QTemporaryDir dir;
    Questionnaire().write(dir.filePath("a.txt"));
    QDir().mkpath(dir.filePath("out"));
    const char *const refusal = ": it is a device, a pipe or a socket, not a file.\n";
    for (const auto &[target, arguments] :
         {std::pair{QStringLiteral("t.xlsx"), QStringList{"--xlsx", dir.filePath("t.xlsx")}},
          {QStringLiteral("out/Report R-17.pdf"), QStringList{"--batch", dir.filePath("out")}}}) {
        const QByteArray fifo = QFile::encodeName(dir.filePath(target));
        ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
        const Outcome run = runProgram(arguments + QStringList{dir.filePath("a.txt")});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.endsWith("Cannot create file " + fifo + refusal))
            << run.err.toStdString();
        struct stat info;
        EXPECT_TRUE(::lstat(fifo.constData(), &info) == 0 && S_ISFIFO(info.st_mode));
    }
    EXPECT_EQ(entries(dir.filePath("out")), QStringList{"Report R-17.pdf"});
}

// A run killed while it writes leaves no temporary file, in the output folder or the system's
// temporary folder; the next run removes those of writers that have gone, and only those.
TEST(WriteFailure, KilledRunsLeaveNoTemporaries)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("g"));
    for (int i = 0; i < 400; ++i)
        Questionnaire().write(dir.filePath(QStringLiteral("g/m%1.txt").arg(i)));
    QDir().mkpath(dir.filePath("out"));
    QDir().mkpath(dir.filePath("tmp"));
    qputenv("TMPDIR", QFile::encodeName(dir.filePath("tmp")));
    const QStringList runs[] = {{"--batch", dir.filePath("out"), "--jobs", "2", dir.filePath("g"),
                                 dir.filePath("g/m1.txt"), dir.filePath("g")},
                                {"--xlsx", dir.filePath("out/t.xlsx"), dir.filePath("g")}};
    for (int killed = 0; killed < 6; ++killed) {
        QProcess process;
        process.start(kProgram, runs[killed % 2]);
        ASSERT_TRUE(process.waitForStarted(kHangGuardMs));
        QThread::msleep(60 + 90 * killed);
        ::kill(pid_t(process.processId()), SIGKILL);
        process.waitForFinished(kHangGuardMs);
    }
    qunsetenv("TMPDIR");
    for (const QString &name : entries(dir.filePath("out")) + entries(dir.filePath("tmp")))
        EXPECT_FALSE(name.startsWith('.') || name.contains("vorl")) << name.toStdString();

    // Left by a writer with no such process, by an older version hours ago, and by a writer
    // still running (the test itself).
    const QString gone = dir.filePath("out/.vorlzut-999999999-abcdefgh");
    const QString old = dir.filePath("out/.vorlzut-abcdefgh");
    const QString running = dir.filePath("out/.vorlzut-%1-abcdefgh").arg(::getpid());
    for (const QString &name : {gone, old, running})
        testfiles::writeBytes(name, "left");
    const timeval hoursAgo[2] = {{::time(nullptr) - 7200, 0}, {::time(nullptr) - 7200, 0}};
    ASSERT_EQ(::utimes(QFile::encodeName(old).constData(), hoursAgo), 0);
    // Only files are ours: a link or a pipe named like a gone writer's temporary is someone's.
    const QString link = dir.filePath("out/.vorlzut-999999999-linklink");
    const QString pipe = dir.filePath("out/.vorlzut-999999999-pipepipe");
    ASSERT_TRUE(QFile::link(gone, link));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ASSERT_EQ(runProgram({"--batch", dir.filePath("out"), dir.filePath("g/m1.txt")}).exitCode, 0);
    EXPECT_FALSE(QFileInfo::exists(gone) || QFileInfo::exists(old));
    EXPECT_TRUE(QFileInfo::exists(running));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    struct stat info;
    EXPECT_TRUE(::lstat(QFile::encodeName(pipe).constData(), &info) == 0 && S_ISFIFO(info.st_mode));
}

// Without a display the window says so and what runs without one, instead of Qt's abort.
TEST(WriteFailure, NoDisplayIsToldWithStatusOne)
{
    const Outcome run = runProgram({});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith("vorlzut: no display was found (DISPLAY is not set)."))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("--json, --csv, --xlsx and --batch"));
}

} // namespace
