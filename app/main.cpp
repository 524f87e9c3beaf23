#include "Batch.h"
#include "CommandLine.h"
#include "ErrorMessage.h"
#include "Fonts.h"
#include "ProgramFolders.h"
#include "Window.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QFile>
#include <QHashFunctions>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Standard error of a batch run carries the inputs' failures only, not the off-screen
// platform's notes.
void keepSeriousMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

QList<QByteArray> argumentList(int argc, char **argv)
{
    QList<QByteArray> list;
    for (int i = 0; i < argc; ++i)
        list << QByteArray(argv[i]);
    return list;
}

// A standard stream the program was started without gets /dev/null, so that no file the
// program opens later takes its number and receives its output. Standard output is opened for
// reading only: what is printed to it still fails, and is reported.
void keepStandardStreamsApart()
{
    for (const int fd : {0, 1, 2}) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        const int opened = ::open("/dev/null", fd == 2 ? O_WRONLY : O_RDONLY);
        if (opened >= 0 && opened != fd) {
            ::dup2(opened, fd);
            ::close(opened);
        }
    }
}

// A reader that goes away (a pipe into head) and a file size limit end a write with an error
// that is reported and fails the run, as a full disk does, instead of killing the program
// silently.
void writeFailuresAreErrors()
{
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

// A batch keeps each input's files open until they are put in place together: as many
// descriptors as the system lets us have.
void raiseOpenFileLimit()
{
    struct rlimit limit;
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

QString noDisplayText(const QString &why)
{
    return QStringLiteral("vorlzut: no display was found (%1). The window needs a graphical "
                          "desktop; without one, --json, --csv, --xlsx and --batch work "
                          "(see vorlzut --help).")
        .arg(why);
}

// Qt ends the program when no platform can show the window (an unreachable display); the user
// is told what happened and what runs without a display, with status 1.
QtMessageHandler qtHandler = nullptr;
void noDisplayIsAnError(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg && message.contains(QLatin1String("platform plugin"))) {
        printMessage(stderr, noDisplayText(QStringLiteral("the platform could not be started")));
        std::_Exit(1);
    }
    if (qtHandler)
        qtHandler(type, context, message);
}

// The window needs a display: on a Unix desktop one of X11 and Wayland, unless a platform is
// chosen by hand.
bool displayMissing()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
           qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return false;
#endif
}

} // namespace

int main(int argc, char **argv)
{
    keepStandardStreamsApart();
    writeFailuresAreErrors();
    raiseOpenFileLimit();
    const CommandLine cl = parseCommandLine(argumentList(argc, argv));
    switch (cl.mode) {
    case CommandLine::Mode::Help: {
        // The application object tells where the program is, and so which folders it uses.
        QCoreApplication app(argc, argv);
        const QString folders = foldersHelpText(
            programFolders(QCoreApplication::applicationDirPath() + QLatin1Char('/')));
        std::fputs((usageText() + folders).toLocal8Bit().constData(), stdout);
        return 0;
    }
    case CommandLine::Mode::Version:
        std::fputs(versionText().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Mode::Error:
        printMessage(stderr, QStringLiteral("vorlzut: ") + cl.error);
        std::fputs(("\n" + usageText()).toLocal8Bit().constData(), stderr);
        return 2;
    case CommandLine::Mode::Json: {
        // No window and no display: only the core application object.
        QCoreApplication app(argc, argv);
        if (cl.trend)
            return runTrendExport(cl.path, cl.disclosure, TableFormat::Json, stdout, stderr,
                                  cl.table);
        if (cl.splitLine != 0)
            return runBreakdownExport(cl.path, cl.splitLine, cl.disclosure, TableFormat::Json,
                                      stdout, stderr, cl.table);
        return runJsonExport(cl.path, stdout, stderr, cl.compare, cl.table, cl.disclosure);
    }
    case CommandLine::Mode::Csv: {
        QCoreApplication app(argc, argv);
        if (cl.trend)
            return runTrendExport(cl.path, cl.disclosure, TableFormat::Csv, stdout, stderr,
                                  cl.table);
        if (cl.splitLine != 0)
            return runBreakdownExport(cl.path, cl.splitLine, cl.disclosure, TableFormat::Csv,
                                      stdout, stderr, cl.table);
        return runCsvExport(cl.path, stdout, stderr, cl.compare, cl.table);
    }
    case CommandLine::Mode::Xlsx: {
        QCoreApplication app(argc, argv);
        return runXlsxExport(cl.outFile, cl.path, stderr, cl.table);
    }
    case CommandLine::Mode::Check: {
        QCoreApplication app(argc, argv);
        return runCheck(cl.path, cl.table, stdout, stderr);
    }
    case CommandLine::Mode::Split: {
        QCoreApplication app(argc, argv);
        return runSplit(cl.outDir, cl.path, cl.table, stdout, stderr);
    }
    case CommandLine::Mode::Batch: {
        // The PDF writer lists a report's fonts in the order of a hash table: a fixed seed
        // makes every run's reports alike, whatever the number of jobs.
        QHashSeed::setDeterministicGlobalSeed();
        // No screen and no widgets: the views paint off screen, on every worker.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(keepSeriousMessages);
        QGuiApplication app(argc, argv);
        installFontSubstitutions();
        const int jobs = cl.jobs > 0 ? cl.jobs : defaultBatchJobs();
        if (cl.splitLine != 0)
            return runBreakdownBatch(cl.outDir, cl.paths.value(0), cl.splitLine, cl.disclosure,
                                     stdout, stderr, jobs, cl.table);
        // A reference that cannot be read fails the run before anything is written.
        std::optional<ReferenceProfile> reference;
        if (cl.compare) {
            try {
                reference = loadCompareReference(*cl.compare);
            } catch (const std::exception &e) {
                printMessage(stderr, QStringLiteral("vorlzut: ") + commandLineErrorText(e));
                return 1;
            }
        }
        return runBatch(cl.outDir, cl.paths, stdout, stderr, jobs, std::move(reference), cl.table,
                        cl.disclosure);
    }
    case CommandLine::Mode::Window:
        break;
    }
    if (displayMissing()) {
        printMessage(stderr, noDisplayText(QStringLiteral("DISPLAY is not set")));
        return 1;
    }
    qtHandler = qInstallMessageHandler(noDisplayIsAnError);
    // The window's own path lookup finds a name that was not UTF-8.
    return runWindow(argc, argv, QFile::decodeName(cl.path));
}
