#include "FolderListing.h"

#include "CommandError.h"

#include <QDir>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isDots(const char *name)
{
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

} // namespace

bool forEachEntry(const NativePath &folder,
                  const std::function<bool(int folderFd, const dirent &entry)> &visit)
{
    DIR *dir = ::opendir(folder.isEmpty() ? "." : folder.constData());
    if (!dir)
        return false;
    const int fd = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir))
        if (!isDots(entry->d_name) && !visit(fd, *entry))
            break;
    ::closedir(dir);
    return true;
}

namespace {

bool isFolderEntry(int folderFd, const dirent *entry)
{
    if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK)
        return entry->d_type == DT_DIR;
    // A link to a folder is a folder; a dangling link is not, and fails when opened.
    struct stat st;
    return ::fstatat(folderFd, entry->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
}

// Calls visit(name, isFolder) for every entry but "." and ".."; stops when it returns false.
// Throws "Cannot open file %s" with the system's reason when the folder cannot be listed.
template <typename Visit> void listFolder(const NativePath &folder, const Visit &visit)
{
    if (!forEachEntry(folder, [&visit](int fd, const dirent &entry) {
            return visit(&entry, isFolderEntry(fd, &entry));
        }))
        throw cannotOpenFile(displayPath(folder)).because(systemReason(errno));
}

} // namespace

std::vector<NativePath> listNonFolders(const NativePath &folder)
{
    std::vector<NativePath> names;
    listFolder(folder, [&names](const dirent *entry, bool isFolder) {
        if (!isFolder)
            names.emplace_back(entry->d_name);
        return true;
    });
    return names;
}

std::vector<NonFolderEntry> listNonFolderEntries(const NativePath &folder)
{
    std::vector<NonFolderEntry> entries;
    listFolder(folder, [&entries](const dirent *entry, bool isFolder) {
        if (!isFolder)
            entries.push_back({NativePath(entry->d_name), entry->d_type == DT_REG});
        return true;
    });
    return entries;
}

OpenFolder::OpenFolder(const NativePath &folder)
    : fd_(::open(folder.isEmpty() ? "." : folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
    if (fd_ < 0)
        throw cannotOpenFile(displayPath(folder)).because(systemReason(errno));
}

OpenFolder::~OpenFolder()
{
    ::close(fd_);
}

std::vector<NativePath> listFolders(const NativePath &folder)
{
    std::vector<NativePath> names;
    listFolder(folder, [&names](const dirent *entry, bool isFolder) {
        if (isFolder)
            names.emplace_back(entry->d_name);
        return true;
    });
    return names;
}

bool holdsNonFolder(const NativePath &folder, bool (*keep)(QByteArrayView name))
{
    bool found = false;
    listFolder(folder, [&](const dirent *entry, bool isFolder) {
        found = !isFolder && keep(QByteArrayView(entry->d_name));
        return !found;
    });
    return found;
}

// Makes the folder and any missing folder above it, from the path's own bytes.
void makeFolders(const NativePath &folder)
{
    if (folder.isEmpty())
        throw CommandError(QStringLiteral("Cannot create folder: the name is empty"));
    int firstError = 0;
    for (qsizetype end = 1; end <= folder.size(); ++end) {
        if ((end < folder.size() && folder[end] != '/') || folder[end - 1] == '/')
            continue;
        if (::mkdir(folder.left(end).constData(), 0777) != 0 && errno != EEXIST && !firstError)
            firstError = errno;
    }
    struct stat st;
    if (::stat(folder.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        throw CommandError(
            QStringLiteral("Cannot create folder %1")
                .arg(quotedForMessage(QDir::toNativeSeparators(displayPath(folder)))))
            .because(systemReason(firstError ? firstError : ENOTDIR));
}

FileIdentity fileIdentity(const NativePath &path)
{
    struct stat st;
    if (::stat(path.isEmpty() ? "." : path.constData(), &st) != 0)
        return {};
    return {true, st.st_dev, st.st_ino};
}

bool isSymbolicLink(const NativePath &path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 && S_ISLNK(st.st_mode);
}
