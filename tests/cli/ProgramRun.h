#pragma once

// The built program run as a user runs it from a terminal: a child process with no display, a
// pinned locale, its output, messages and exit status read back.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace clitest {

inline const QString kProgram = QStringLiteral(VORLZUT_PATH);
inline const QString kC = QStringLiteral("C");
inline const QString kRussian = QStringLiteral("ru_RU.UTF-8");
// Only a guard against a child that never ends, so that a hang fails instead of blocking.
inline constexpr int kHangGuardMs = 5 * 60 * 1000;

struct Outcome
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// What the child process starts with besides its arguments: a step run in it before the
// program (limits, closed streams) and a file for its standard output.
struct ChildSetUp
{
    std::function<void()> inChild;
    QString standardOutput;
};

Outcome runProgram(const QStringList &arguments, const QString &locale = kC,
                   const ChildSetUp &setUp = {}, const QString &program = kProgram);

} // namespace clitest
