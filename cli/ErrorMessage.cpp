#include "ErrorMessage.h"

#include "CommandError.h"
#include "SafeFile.h"

#include <algorithm>
#include <new>

QString errorMessageOf(const std::exception &error)
{
    if (const auto *shown = dynamic_cast<const MessageError *>(&error))
        return shown->message();
    if (dynamic_cast<const std::bad_alloc *>(&error))
        return QStringLiteral("Out of memory");
    return QString::fromUtf8(error.what());
}

QString windowErrorText(const std::exception &error)
{
    const QString message = errorMessageOf(error);
    const auto *command = dynamic_cast<const CommandError *>(&error);
    if (!command || command->file().isEmpty())
        return message;
    const QString file = command->file();
    const QString name = file.mid(std::max(file.lastIndexOf(QLatin1Char('/')),
                                           file.lastIndexOf(QLatin1Char('\\'))) + 1);
    QString where = QStringLiteral("Файл: %1").arg(name);
    if (command->line() > 0)
        where += QStringLiteral(", строка %1").arg(command->line());
    return errorBoxText(message) + QLatin1Char('\n') + where;
}

QString commandLineErrorText(const std::exception &error)
{
    QString text = errorMessageOf(error);
    if (const auto *command = dynamic_cast<const CommandError *>(&error)) {
        if (!command->file().isEmpty())
            text = quotedForMessage(command->file()) + QStringLiteral(": ") + text;
        if (!command->reason().isEmpty())
            text += QStringLiteral(": ") + command->reason();
    }
    return errorBoxText(text);
}
