#include "SafeFile.h"

#include "CommandError.h"

#include <QDir>
#include <QSaveFile>

CommandError cannotCreateFile(const QString &fileName)
{
    return CommandError(
        QStringLiteral("Cannot create file %1").arg(QDir::toNativeSeparators(fileName)));
}

void writeFileReplacing(const QString &fileName, const QByteArray &bytes)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw cannotCreateFile(fileName);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        throw cannotCreateFile(fileName);
    }
    if (!file.commit())
        throw cannotCreateFile(fileName);
}
