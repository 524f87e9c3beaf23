#include "TemporaryFiles.h"

#include "FolderListing.h"

#include <QRandomGenerator>

#include <cerrno>
#include <algorithm>
#include <charconv>
#include <cstring>
#include <csignal>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kPrefix[] = ".vorlzut-";
constexpr int kRandomChars = 8;
constexpr int kAttempts = 100;
// Temporaries of earlier versions carry no process number: they are taken for abandoned once
// no run could still be writing them.
constexpr std::time_t kUnnumberedAge = 60 * 60;

bool writerIsGone(const char *name, const struct stat &info)
{
    const char *digits = name + sizeof kPrefix - 1;
    const char *end = name + std::strlen(name);
    long pid = 0;
    const auto [rest, ec] = std::from_chars(digits, end, pid);
    if (ec == std::errc() && rest != digits && *rest == '-' && pid > 0) {
        if (pid == long(::getpid()))
            return false;
        return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
    }
    return std::time(nullptr) - info.st_mtime > kUnnumberedAge;
}

// Runs a read or write of the bytes from done on until size bytes are through; false, with
// errno set, when one fails.
template <typename Transfer> bool wholly(qsizetype size, const Transfer &transfer)
{
    for (qsizetype done = 0; done < size;) {
        const ssize_t n = transfer(done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        done += n;
    }
    return true;
}

} // namespace

NativePath folderOf(const NativePath &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return NativePath(".");
    if (slash == 0)
        return NativePath("/");
    return path.left(slash);
}

NativePath temporaryFileName(const NativePath &folder)
{
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    NativePath name = kPrefix + QByteArray::number(qint64(::getpid())) + '-';
    for (int i = 0; i < kRandomChars; ++i)
        name += kChars[QRandomGenerator::global()->bounded(int(sizeof kChars) - 1)];
    return joinPath(folder, name);
}

void removeStaleTemporaries(const NativePath &folder)
{
    static std::mutex lock;
    static std::set<NativePath> swept;
    {
        const std::lock_guard<std::mutex> guard(lock);
        if (!swept.insert(folder).second)
            return;
    }
    forEachEntry(folder, [](int dirFd, const dirent &entry) {
        struct stat info;
        // Only regular files are ours: a link or a pipe of the name is someone else's.
        if (std::strncmp(entry.d_name, kPrefix, sizeof kPrefix - 1) == 0 &&
            ::fstatat(dirFd, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && writerIsGone(entry.d_name, info))
            ::unlinkat(dirFd, entry.d_name, 0);
        return true;
    });
}

UnnamedFile::UnnamedFile(const NativePath &folder)
{
    const NativePath where = folder.isEmpty() ? NativePath(".") : folder;
    removeStaleTemporaries(where);
#ifdef O_TMPFILE
    // Without /proc a library cannot open the file by a path, nor can it be linked into place:
    // give it a name after all. Whether /proc is there is asked once per run.
    static const bool procFds = ::access("/proc/self/fd", F_OK) == 0;
    // The system's umask decides the permissions of a new file, as for any other program.
    if (procFds)
        fd_ = ::open(where.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
        path_ = "/proc/self/fd/" + QByteArray::number(fd_);
        return;
    }
#endif
    for (int attempt = 0; fd_ < 0 && attempt < kAttempts; ++attempt) {
        path_ = temporaryFileName(where);
        fd_ = ::open(path_.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST)
            break;
    }
    named_ = fd_ >= 0;
}

UnnamedFile::~UnnamedFile()
{
    if (fd_ < 0)
        return;
    if (named_)
        ::unlink(path_.constData());
    ::close(fd_);
}

bool UnnamedFile::readAll(QByteArray &bytes) const
{
    struct stat info;
    if (::fstat(fd_, &info) != 0)
        return false;
    bytes.resize(qsizetype(info.st_size));
    return wholly(bytes.size(), [&](qsizetype done) {
        return ::pread(fd_, bytes.data() + done, std::size_t(bytes.size() - done), off_t(done));
    });
}

bool UnnamedFile::write(const QByteArray &bytes) const
{
    return wholly(bytes.size(), [&](qsizetype done) {
        return ::write(fd_, bytes.constData() + done, std::size_t(bytes.size() - done));
    });
}

bool UnnamedFile::putInPlaceNew(const NativePath &target)
{
    // A link never replaces anything; the temporary name, when there is one, goes after it.
    if (::linkat(AT_FDCWD, path_.constData(), AT_FDCWD, target.constData(),
                 named_ ? 0 : AT_SYMLINK_FOLLOW) != 0)
        return false;
    if (named_) {
        ::unlink(path_.constData());
        named_ = false;
    }
    return true;
}

bool UnnamedFile::putInPlace(const NativePath &target)
{
    if (!named_) {
        // A new target gets the file as its name in one step; a link never replaces anything,
        // so a target that exists (or appeared meanwhile) is replaced by a rename instead.
        if (::linkat(AT_FDCWD, path_.constData(), AT_FDCWD, target.constData(),
                     AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno != EEXIST)
            return false;
        // An unnamed file gets a temporary name for the moment of the rename.
        const NativePath folder = folderOf(target);
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            NativePath name = temporaryFileName(folder);
            if (::linkat(AT_FDCWD, path_.constData(), AT_FDCWD, name.constData(),
                         AT_SYMLINK_FOLLOW) == 0) {
                path_ = std::move(name);
                named_ = true;
                break;
            }
            if (errno != EEXIST)
                return false;
        }
        if (!named_)
            return false;
    }
    if (::rename(path_.constData(), target.constData()) != 0)
        return false;
    named_ = false;
    return true;
}
