#include "ErrorMessage.h"

#include "CommandError.h"
#include "SafeFile.h"

#include <new>

QString errorMessageOf(const std::exception &error)
{
    if (const auto *shown = dynamic_cast<const MessageError *>(&error))
        return shown->message();
    if (dynamic_cast<const std::bad_alloc *>(&error))
        return QStringLiteral("Out of memory");
    return QString::fromUtf8(error.what());
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
