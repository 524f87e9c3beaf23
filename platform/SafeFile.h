#pragma once

#include "CommandError.h"
#include "NativePath.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

class UnnamedFile;

// The longest name, in bytes, that the file system of the folder takes (255 when it does not
// say, and never more).
int fileNameLimit(const NativePath &folder);

// Throws cannotCreateFile with the reason when a file cannot replace target: its folder cannot
// be written into, or target is a folder, a device, a pipe or a socket.
void checkReplaceable(const NativePath &target);

// A user's save waits until the bytes are on disk; a batch of many files may leave that to the
// system.
enum class Durability { Synced, Unsynced };

// Files that replace their targets together. Each is written to a temporary file beside its
// target (one with no name, where the system allows it, so a killed run leaves nothing), and
// only when every one is written are they put in place of their targets (linked under the
// target's name, or renamed over it). A failure before that removes every temporary file and leaves the old files as
// they were, so a full disk never leaves one run's files beside another's. A target that is a
// symbolic link is replaced by the file, never written through; a device, a pipe or a socket is
// refused and left as it is. The files are put in place in the order they were added.
class ReplacingFiles
{
public:
    // Replace puts the files in place of any that are there; Refuse writes only new files:
    // a target that exists, or appears before the commit, fails the whole set, and the files
    // of the set already put in place are taken away again.
    enum class Existing { Replace, Refuse };
    explicit ReplacingFiles(Durability durability = Durability::Synced,
                            Existing existing = Existing::Replace);
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
        std::unique_ptr<UnnamedFile> file;
        NativePath target;
    };

    Durability durability_;
    Existing existing_;
    std::vector<Pending> pending_;
};

// One file replaced so: a failed save never leaves a truncated file or loses the old one.
void writeFileReplacing(const QString &fileName, const QByteArray &bytes,
                        Durability durability = Durability::Synced);
