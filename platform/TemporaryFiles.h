#pragma once

#include "NativePath.h"

#include <QByteArray>

// The program's temporary files live beside what they become, so that putting one in place is a
// rename on the same file system. A run that is killed must leave none behind: a file being
// written has no name at all where the system allows it (Linux's O_TMPFILE), and a named one
// carries the process number of its writer, so that the next run writing into that folder
// removes those whose writer has gone.

// The folder of a path: "." for a bare name.
NativePath folderOf(const NativePath &path);

// A new name for a temporary file in folder: hidden, recognisably ours, short whatever the
// target's name.
NativePath temporaryFileName(const NativePath &folder);

// Removes the temporaries that runs no longer alive left in folder; once per folder and run.
void removeStaleTemporaries(const NativePath &folder);

// A file open for reading and writing in folder, with no name where the file system allows
// it, otherwise with a temporary name that the destructor removes.
class UnnamedFile
{
public:
    explicit UnnamedFile(const NativePath &folder);
    ~UnnamedFile();
    UnnamedFile(const UnnamedFile &) = delete;
    UnnamedFile &operator=(const UnnamedFile &) = delete;

    // Whether the file could be made; errno tells why not.
    bool isOpen() const { return fd_ >= 0; }
    int descriptor() const { return fd_; }
    // A path a library may open the file by: /proc/self/fd/N for an unnamed one.
    const NativePath &path() const { return path_; }
    // The file's bytes from its start; false, with errno set, when they cannot be read.
    bool readAll(QByteArray &bytes) const;
    // Writes the bytes whole at the file's position; false, with errno set, when it fails.
    bool write(const QByteArray &bytes) const;
    // Puts the file in place of target in one step (a rename); false, with errno set, when it
    // fails. The file is then no longer removed with this object.
    bool putInPlace(const NativePath &target);
    // The same for a target that must not exist: fails with EEXIST rather than replace one.
    bool putInPlaceNew(const NativePath &target);

private:
    int fd_ = -1;
    bool named_ = false;
    NativePath path_;
};
