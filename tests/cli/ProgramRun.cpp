#include "ProgramRun.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace clitest {

Outcome runProgram(const QStringList &arguments, const QString &locale, const ChildSetUp &setUp,
                   const QString &program)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &key : env.keys())
        if (key.startsWith(QLatin1String("LC_")) || key == QLatin1String("LANG") ||
            key == QLatin1String("LANGUAGE"))
            env.remove(key);
    // No window system at all: the export must not need one.
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("LC_ALL"), locale);

    QProcess process;
    process.setProcessEnvironment(env);
    if (setUp.inChild)
        process.setChildProcessModifier(setUp.inChild);
    if (!setUp.standardOutput.isEmpty())
        process.setStandardOutputFile(setUp.standardOutput);
    process.start(program, arguments);
    Outcome run;
    if (!process.waitForStarted(kHangGuardMs)) {
        ADD_FAILURE() << "cannot start " << program.toStdString();
        return run;
    }
    if (!process.waitForFinished(kHangGuardMs)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "the program did not finish";
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

} // namespace clitest
