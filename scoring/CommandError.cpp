#include "CommandError.h"

#include <QDir>

CommandError &CommandError::inFile(const QString &file)
{
    file_ = file;
    return *this;
}

CommandError &CommandError::because(const QString &reason)
{
    reason_ = reason;
    return *this;
}

CommandError cannotOpenFile(const QString &path)
{
    return CommandError(QStringLiteral("Cannot open file %1").arg(QDir::toNativeSeparators(path)));
}

CommandError notAnInteger(const QString &text)
{
    return CommandError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

QString errorBoxText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}
