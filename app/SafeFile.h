#pragma once

#include <QByteArray>
#include <QString>

class CommandError;

// "Cannot create file %s" with the file name as the user would write it.
CommandError cannotCreateFile(const QString &fileName);

// Writes the bytes to a temporary file beside the target and renames it over the target only
// when every byte is written, so a failed save never leaves a truncated file or loses the old
// one. Throws cannotCreateFile when the file cannot be written. A user's save waits until the
// bytes are on disk; a batch of many files may leave that to the system.
enum class Durability { Synced, Unsynced };
void writeFileReplacing(const QString &fileName, const QByteArray &bytes,
                        Durability durability = Durability::Synced);
