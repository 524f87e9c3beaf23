// What the program does when its output cannot be written as it asked: a reader that went
// away, a file size limit, a name that is no file, a run killed half-way, no display.
#include "AnswerFiles.h"
#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

using testfiles::Questionnaire;
using namespace clitest;

namespace {

class WriteFailureTest : public testing::Test
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }

    // Every entry of a folder, hidden ones included.
    static QStringList entries(const QString &folder)
    {
        QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                   QDir::System | QDir::NoDotAndDotDot);
        names.sort();
        return names;
    }

    // A group of count answer files in folder.
    void writeGroup(const QString &folder, int count)
    {
        QDir().mkpath(path(folder));
        for (int i = 0; i < count; ++i) {
            Questionnaire q;
            q.code = QStringLiteral("C%1").arg(i);
            q.write(path(QStringLiteral("%1/m%2.txt").arg(folder).arg(i, 5, 10, QLatin1Char('0'))));
        }
    }

    QTemporaryDir dir;
};

// The child's standard output is a pipe whose reader has gone; SIGPIPE has its default action,
// as in a shell.
void readerGone()
{
    ::signal(SIGPIPE, SIG_DFL);
    int ends[2];
    if (::pipe(ends) == 0) {
        ::close(ends[0]);
        ::dup2(ends[1], 1);
        ::close(ends[1]);
    }
}

// A reader that goes away is a failed write, as a full disk is: the export says so, the batch
// writes every input's files all the same, and both exit with 1 instead of dying of SIGPIPE.
TEST_F(WriteFailureTest, ClosedPipeFailsTheRunWithAMessage)
{
    Questionnaire().write(path("a.txt"));
    Questionnaire second;
    second.code = QStringLiteral("R-18");
    second.write(path("b.txt"));

    const Outcome json = runProgram({"--json", path("a.txt")}, kC, {readerGone, {}});
    EXPECT_EQ(json.exitCode, 1);
    EXPECT_EQ(json.err, "Cannot write the profile to standard output: Broken pipe.\n");

    const Outcome batch =
        runProgram({"--batch", path("out"), path("a.txt"), path("b.txt"), "--jobs", "2"}, kC,
                   {readerGone, {}});
    EXPECT_EQ(batch.exitCode, 1);
    EXPECT_EQ(batch.err, "vorlzut: Cannot write the progress to standard output: Broken pipe.\n");
    EXPECT_EQ(entries(path("out")).size(), 24);
}

// A file size limit fails the write with its reason instead of killing the program by SIGXFSZ.
TEST_F(WriteFailureTest, FileSizeLimitIsAWriteError)
{
    writeGroup("g", 3);
    const Outcome run = runProgram({"--xlsx", path("t.xlsx"), path("g")}, kC,
                                   {[] {
                                        ::signal(SIGXFSZ, SIG_DFL);
                                        const rlimit l{1024, 1024};
                                        ::setrlimit(RLIMIT_FSIZE, &l);
                                    },
                                    {}});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.endsWith(": File too large.\n")) << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("t.xlsx")));
}

// Every writer refuses a name that is a device, a pipe or a socket and leaves it as it was.
TEST_F(WriteFailureTest, SpecialFilesAreRefusedAndLeftAsTheyWere)
{
    Questionnaire().write(path("a.txt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("t.xlsx")).constData(), 0600), 0);
    const Outcome workbook = runProgram({"--xlsx", path("t.xlsx"), path("a.txt")});
    EXPECT_EQ(workbook.exitCode, 1);
    EXPECT_EQ(QString::fromUtf8(workbook.err),
              "Cannot create file " + path("t.xlsx") +
                  ": it is a device, a pipe or a socket, not a file.\n");

    QDir().mkpath(path("out"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("out/Report R-17.pdf")).constData(), 0600), 0);
    const Outcome batch = runProgram({"--batch", path("out"), path("a.txt")});
    EXPECT_EQ(batch.exitCode, 1);
    EXPECT_TRUE(batch.err.endsWith(": it is a device, a pipe or a socket, not a file.\n"))
        << batch.err.toStdString();
    EXPECT_EQ(entries(path("out")), QStringList{"Report R-17.pdf"});

    for (const char *name : {"t.xlsx", "out/Report R-17.pdf"}) {
        struct stat info;
        ASSERT_EQ(::lstat(QFile::encodeName(path(name)).constData(), &info), 0);
        EXPECT_TRUE(S_ISFIFO(info.st_mode)) << name;
    }
}

// A run killed while it writes leaves no temporary file, in the output folder or the system's
// temporary folder; the next run removes those of writers that have gone, and only those.
TEST_F(WriteFailureTest, KilledRunsLeaveNoTemporaries)
{
    writeGroup("g", 400);
    QDir().mkpath(path("out"));
    QDir().mkpath(path("tmp"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), path("tmp"));
    const QList<QStringList> runs = {
        {"--batch", path("out"), "--jobs", "2", path("g"), path("g/m00001.txt"), path("g")},
        {"--xlsx", path("out/t.xlsx"), path("g")}};
    for (int killed = 0; killed < 6; ++killed) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(kProgram, runs[killed % 2]);
        ASSERT_TRUE(process.waitForStarted(kHangGuardMs));
        QThread::msleep(60 + 90 * killed);
        ::kill(pid_t(process.processId()), SIGKILL);
        process.waitForFinished(kHangGuardMs);
    }
    for (const QString &name : entries(path("out")))
        EXPECT_FALSE(name.startsWith('.')) << name.toStdString();
    for (const QString &name : entries(path("tmp")))
        EXPECT_FALSE(name.contains("vorl")) << name.toStdString();

    // Left by writers that have gone (no process has a number that large; an unnumbered one of
    // an older version, hours old) and by one still running (the test itself).
    const QString gone = path("out/.vorlzut-999999999-abcdefgh");
    const QString old = path("out/.vorlzut-abcdefgh");
    const QString running = path("out/.vorlzut-%1-abcdefgh").arg(::getpid());
    for (const QString &name : {gone, old, running})
        testfiles::writeBytes(name, "left");
    const timeval hoursAgo[2] = {{::time(nullptr) - 7200, 0}, {::time(nullptr) - 7200, 0}};
    ASSERT_EQ(::utimes(QFile::encodeName(old).constData(), hoursAgo), 0);
    Questionnaire().write(path("a.txt"));
    ASSERT_EQ(runProgram({"--batch", path("out"), path("a.txt")}).exitCode, 0);
    EXPECT_FALSE(QFileInfo::exists(gone));
    EXPECT_FALSE(QFileInfo::exists(old));
    EXPECT_TRUE(QFileInfo::exists(running));
}

// Without a display the window says so and what runs without one, instead of Qt's abort.
TEST_F(WriteFailureTest, NoDisplayIsToldWithStatusOne)
{
    const Outcome run = runProgram({});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, QByteArray());
    EXPECT_TRUE(run.err.startsWith("vorlzut: no display was found (DISPLAY is not set)."))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("--json, --csv, --xlsx and --batch"));
}

} // namespace
