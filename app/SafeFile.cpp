#include "SafeFile.h"

#include "CommandError.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cstdio>

CommandError cannotCreateFile(const QString &fileName)
{
    return CommandError(
        QStringLiteral("Cannot create file %1").arg(QDir::toNativeSeparators(fileName)));
}

namespace {

void writeUnsynced(const QString &fileName, const QByteArray &bytes)
{
    const QFileInfo target(fileName);
    QTemporaryFile file(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        throw cannotCreateFile(fileName);
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                        QFileDevice::ReadOther);
    file.close();
    // rename() replaces the target in one step; QFile::rename would refuse an existing one.
    if (std::rename(QFile::encodeName(file.fileName()).constData(),
                    QFile::encodeName(target.absoluteFilePath()).constData()) != 0)
        throw cannotCreateFile(fileName);
    file.setAutoRemove(false);
}

} // namespace

void writeFileReplacing(const QString &fileName, const QByteArray &bytes, Durability durability)
{
    if (durability == Durability::Unsynced) {
        writeUnsynced(fileName, bytes);
        return;
    }
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
