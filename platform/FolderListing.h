#pragma once

#include "NativePath.h"

#include <dirent.h>
#include <functional>
#include <sys/types.h>
#include <vector>

// The entries of a folder by the bytes of their names, as the file system holds them.

// Calls visit with the folder's descriptor (to ask about an entry relative to it) for every
// entry but "." and ".."; stops when visit returns false. False, with errno set, when the folder
// cannot be opened. Every listing of the program goes through it.
bool forEachEntry(const NativePath &folder,
                  const std::function<bool(int folderFd, const dirent &entry)> &visit);

// The names of the entries that are not folders themselves, "." and ".." left out (a link to
// a folder is a folder, a dangling link is not). Throws "Cannot open file %s" with the system's
// reason when the folder cannot be listed.
std::vector<NativePath> listNonFolders(const NativePath &folder);

// listNonFolders with what the listing already says of each entry: whether it is a regular file
// (false where only opening it tells, as for a link or a file system that gives no type).
struct NonFolderEntry
{
    NativePath name;
    bool regular = false;
};
std::vector<NonFolderEntry> listNonFolderEntries(const NativePath &folder);

// A folder held open, so that its entries are opened by name relative to it: no path is joined
// and walked again for each. Throws "Cannot open file %s" with the system's reason.
class OpenFolder
{
public:
    explicit OpenFolder(const NativePath &folder);
    ~OpenFolder();
    OpenFolder(const OpenFolder &) = delete;
    OpenFolder &operator=(const OpenFolder &) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

// The names of the entries that are folders, links to folders included.
std::vector<NativePath> listFolders(const NativePath &folder);

// Whether the folder holds an entry that is not a folder and whose name passes keep; stops at
// the first, so that a large folder is not listed in full only to be told apart.
bool holdsNonFolder(const NativePath &folder, bool (*keep)(QByteArrayView name));

// Makes the folder and every missing folder above it, from the path's own bytes; throws "Cannot
// create folder %s" with the system's reason when it is not a folder afterwards.
void makeFolders(const NativePath &folder);

// Where a path leads, links followed: the same identity is the same folder or file whatever
// name it is reached by. valid is false when the path names nothing.
struct FileIdentity
{
    bool valid = false;
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity &) const = default;
};
FileIdentity fileIdentity(const NativePath &path);
// Whether the entry itself is a symbolic link.
bool isSymbolicLink(const NativePath &path);
