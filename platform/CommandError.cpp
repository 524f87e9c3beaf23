#include "CommandError.h"

#include <QDir>

#include <cstring>
#include <locale.h>

CommandError &CommandError::inFile(const QString &file)
{
    file_ = file;
    return *this;
}

CommandError &CommandError::atLine(int line)
{
    line_ = line;
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

QString systemReason(int error)
{
    static const locale_t c = ::newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    if (!c)
        return QString::fromLocal8Bit(std::strerror(error));
    return QString::fromUtf8(::strerror_l(error, c));
}

namespace {

// Characters of a quoted text kept on each side of the cut.
constexpr qsizetype kQuotedHalf = 256;

} // namespace

QString quotedForMessage(const QString &text)
{
    if (text.size() <= 2 * kQuotedHalf + 1)
        return text;
    qsizetype head = kQuotedHalf;
    qsizetype tail = text.size() - kQuotedHalf;
    // Never half a surrogate pair on either side.
    if (text[head - 1].isHighSurrogate())
        --head;
    if (text[tail].isLowSurrogate())
        ++tail;
    return text.left(head) + QChar(0x2026) + text.mid(tail);
}

CommandError cannotCreateFile(const QString &fileName, int error)
{
    CommandError e(QStringLiteral("Cannot create file %1")
                       .arg(quotedForMessage(QDir::toNativeSeparators(fileName))));
    if (error)
        e.because(systemReason(error));
    return e;
}
