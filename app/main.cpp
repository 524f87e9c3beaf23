#include "CommandLine.h"
#include "Window.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

QStringList argumentList(int argc, char **argv)
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
    return list;
}

} // namespace

int main(int argc, char **argv)
{
    const CommandLine cl = parseCommandLine(argumentList(argc, argv));
    switch (cl.mode) {
    case CommandLine::Mode::Help:
        std::fputs(usageText().toLocal8Bit().constData(), stdout);
        return 0;
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
        return runJsonExport(cl.path, stdout, stderr);
    }
    case CommandLine::Mode::Window:
        break;
    }
    return runWindow(argc, argv, cl.path);
}
