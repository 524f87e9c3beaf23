#include "SafeFile.h"

#include "CommandError.h"
#include "TemporaryFiles.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The name limit of Linux's own file systems, and the most a name may have anywhere.
constexpr int kMaxNameBytes = 255;
// Makes the renames in the folder themselves durable. A file system that cannot sync a folder
// (EINVAL) has nothing more to do.
void syncFolder(const NativePath &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

int fileNameLimit(const NativePath &folder)
{
    const long limit = ::pathconf(folder.isEmpty() ? "." : folder.constData(), _PC_NAME_MAX);
    return limit > 0 ? int(std::min<long>(limit, kMaxNameBytes)) : kMaxNameBytes;
}

namespace {

// The check of checkReplaceable with what lstat told of the target, when it exists; the folder
// is asked about only when folderChecked is false.
void checkTarget(const NativePath &target, const struct stat *info, bool folderChecked)
{
    // A device, a pipe or a socket of that name is no file to replace (as root, /dev/full would
    // become a regular file).
    if (info && !S_ISREG(info->st_mode) && !S_ISLNK(info->st_mode))
        throw cannotCreateFile(displayPath(target))
            .because(S_ISDIR(info->st_mode)
                         ? QStringLiteral("it is a folder")
                         : QStringLiteral("it is a device, a pipe or a socket, not a file"));
    if (!folderChecked && ::access(folderOf(target).constData(), W_OK | X_OK) != 0)
        throw cannotCreateFile(displayPath(target), errno);
}

} // namespace

void checkReplaceable(const NativePath &target)
{
    struct stat info;
    checkTarget(target, ::lstat(target.constData(), &info) == 0 ? &info : nullptr, false);
}

ReplacingFiles::ReplacingFiles(Durability durability, Existing existing)
    : durability_(durability), existing_(existing)
{
}

ReplacingFiles::~ReplacingFiles() = default;

void ReplacingFiles::add(const NativePath &target, const QByteArray &bytes)
{
    // The files of a set mostly share a folder: it is asked about once.
    const NativePath folder = folderOf(target);
    const bool folderChecked = std::any_of(pending_.begin(), pending_.end(), [&](const Pending &p) {
        return folderOf(p.target) == folder;
    });
    struct stat old;
    const bool exists = ::lstat(target.constData(), &old) == 0;
    if (exists && existing_ == Existing::Refuse)
        throw cannotCreateFile(displayPath(target), EEXIST);
    checkTarget(target, exists ? &old : nullptr, folderChecked);
    auto file = std::make_unique<UnnamedFile>(folder);
    if (!file->isOpen())
        throw cannotCreateFile(displayPath(target), errno);

    const int fd = file->descriptor();
    // An older file keeps its permissions; a link is replaced, so its target's do not count.
    if (exists && S_ISREG(old.st_mode))
        ::fchmod(fd, old.st_mode & 07777);
    bool written = file->write(bytes);
    if (written && durability_ == Durability::Synced)
        written = ::fsync(fd) == 0;
    if (!written)
        throw cannotCreateFile(displayPath(target), errno);
    pending_.push_back({std::move(file), target});
}

void ReplacingFiles::commit()
{
    // A new target is linked into place, an existing one replaced by rename() in one step, a
    // symbolic link as such. Neither needs room for the bytes, which are written already, so in
    // practice every file is put in place or the first fails.
    std::vector<NativePath> folders;
    for (std::size_t i = 0; i < pending_.size(); ++i) {
        Pending &p = pending_[i];
        const bool placed = existing_ == Existing::Refuse ? p.file->putInPlaceNew(p.target)
                                                          : p.file->putInPlace(p.target);
        if (!placed) {
            const int error = errno;
            const NativePath target = p.target;
            if (existing_ == Existing::Refuse)
                for (std::size_t k = 0; k < i; ++k)
                    ::unlink(pending_[k].target.constData());
            pending_.clear();
            throw cannotCreateFile(displayPath(target), error);
        }
        const NativePath folder = folderOf(p.target);
        if (std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(folder);
    }
    pending_.clear();
    if (durability_ == Durability::Synced)
        for (const NativePath &folder : folders)
            syncFolder(folder);
}

void writeFileReplacing(const QString &fileName, const QByteArray &bytes, Durability durability)
{
    ReplacingFiles file(durability);
    file.add(QFile::encodeName(fileName), bytes);
    file.commit();
}
