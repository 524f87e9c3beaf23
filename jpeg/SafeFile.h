#pragma once

#include "NativePath.h"

#include <QByteArray>
#include <QString>
#include <vector>

class CommandError;

// "Cannot create file %s" with the file name as the user would write it, a name too long to
// read cut in the middle; error, when given, is the system's reason (an errno value).
CommandError cannotCreateFile(const QString &fileName, int error = 0);

// The system's text for an errno value, in English whatever the user's language, as the
// program's own messages are.
QString systemReason(int error);

// A text quoted in a message, cut in the middle when it is too long to read (a path of many
// kilobytes, a code of a whole line), so that its start and its end both show.
QString quotedForMessage(const QString &text);

// The longest name, in bytes, that the file system of the folder takes (255 when it does not
// say, and never more).
int fileNameLimit(const NativePath &folder);

// A user's save waits until the bytes are on disk; a batch of many files may leave that to the
// system.
enum class Durability { Synced, Unsynced };

// Files that replace their targets together. Each is written to a temporary file of a short
// name of its own beside its target, and only when every one is written are they renamed over
// their targets. A failure before that removes every temporary file and leaves the old files as
// they were, so a full disk never leaves one run's files beside another's. A target that is a
// symbolic link is replaced by the file, never written through.
class ReplacingFiles
{
public:
    explicit ReplacingFiles(Durability durability = Durability::Synced);
    ~ReplacingFiles();
    ReplacingFiles(const ReplacingFiles &) = delete;
    ReplacingFiles &operator=(const ReplacingFiles &) = delete;

    // Writes the bytes beside the target; throws cannotCreateFile with the reason.
    void add(const NativePath &target, const QByteArray &bytes);
    // Renames every file over its target; throws cannotCreateFile with the reason.
    void commit();

private:
    struct Pending
    {
        NativePath temporary;
        NativePath target;
    };
    void discard();

    Durability durability_;
    std::vector<Pending> pending_;
};

// One file replaced so: a failed save never leaves a truncated file or loses the old one.
void writeFileReplacing(const QString &fileName, const QByteArray &bytes,
                        Durability durability = Durability::Synced);
