#pragma once

#include <QByteArray>
#include <QString>

class CommandError;

// "Cannot create file %s" with the file name as the user would write it.
CommandError cannotCreateFile(const QString &fileName);

// Writes the bytes to a temporary file beside the target and renames it over the target only
// when every byte is on disk, so a failed save never leaves a truncated file or loses the old
// one. Throws cannotCreateFile when the file cannot be written.
void writeFileReplacing(const QString &fileName, const QByteArray &bytes);
