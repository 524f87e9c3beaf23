#include "SafeFile.h"

#include "CommandError.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Characters of a quoted text kept on each side of the cut.
constexpr qsizetype kQuotedHalf = 256;
// The name limit of Linux's own file systems, and the most a name may have anywhere.
constexpr int kMaxNameBytes = 255;
// A temporary file's name: hidden, recognisably ours, and short whatever its target's name, so
// a target whose name just fits the limit can still be written.
constexpr char kTemporaryPrefix[] = ".vorlzut-";
constexpr int kTemporaryRandomChars = 8;
constexpr int kTemporaryAttempts = 100;

NativePath folderOf(const NativePath &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return NativePath(".");
    if (slash == 0)
        return NativePath("/");
    return path.left(slash);
}

NativePath temporaryName(const NativePath &folder)
{
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    NativePath name = joinPath(folder, kTemporaryPrefix);
    for (int i = 0; i < kTemporaryRandomChars; ++i)
        name += kChars[QRandomGenerator::global()->bounded(int(sizeof kChars) - 1)];
    return name;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, std::size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

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

QString quotedForMessage(const QString &text)
{
    if (text.size() <= 2 * kQuotedHalf + 1)
        return text;
    qsizetype head = kQuotedHalf;
    qsizetype tail = text.size() - kQuotedHalf;
    // Never half a surrogate pair on either side.
    if (text[head - 1].isHighSurrogate())
        --head;
    if (text[tail].isLowSurrogate())
        ++tail;
    return text.left(head) + QChar(0x2026) + text.mid(tail);
}

QString systemReason(int error)
{
    static const locale_t c = ::newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    if (!c)
        return QString::fromLocal8Bit(std::strerror(error));
    return QString::fromUtf8(::strerror_l(error, c));
}

CommandError cannotCreateFile(const QString &fileName, int error)
{
    CommandError e(QStringLiteral("Cannot create file %1")
                       .arg(quotedForMessage(QDir::toNativeSeparators(fileName))));
    if (error)
        e.because(systemReason(error));
    return e;
}

int fileNameLimit(const NativePath &folder)
{
    const long limit = ::pathconf(folder.isEmpty() ? "." : folder.constData(), _PC_NAME_MAX);
    return limit > 0 ? int(std::min<long>(limit, kMaxNameBytes)) : kMaxNameBytes;
}

ReplacingFiles::ReplacingFiles(Durability durability) : durability_(durability) {}

ReplacingFiles::~ReplacingFiles()
{
    discard();
}

void ReplacingFiles::discard()
{
    for (const Pending &p : pending_)
        ::unlink(p.temporary.constData());
    pending_.clear();
}

void ReplacingFiles::add(const NativePath &target, const QByteArray &bytes)
{
    const NativePath folder = folderOf(target);
    NativePath temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < kTemporaryAttempts; ++attempt) {
        temporary = temporaryName(folder);
        // The system's umask decides the permissions of a new file, as for any other program.
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        throw cannotCreateFile(displayPath(target), errno);

    // An older file keeps its permissions; a link is replaced, so its target's do not count.
    struct stat old;
    if (::lstat(target.constData(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(fd, old.st_mode & 07777);
    bool written = writeAll(fd, bytes);
    if (written && durability_ == Durability::Synced)
        written = ::fsync(fd) == 0;
    int error = written ? 0 : errno;
    // A file system that reports a failed write only when the file is closed fails the save.
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written) {
        ::unlink(temporary.constData());
        throw cannotCreateFile(displayPath(target), error);
    }
    pending_.push_back({temporary, target});
}

void ReplacingFiles::commit()
{
    // rename() replaces a target in one step, a symbolic link as such. It needs no room for the
    // bytes, which are written already, so in practice every rename succeeds or the first fails.
    std::vector<NativePath> folders;
    for (std::size_t i = 0; i < pending_.size(); ++i) {
        const Pending &p = pending_[i];
        if (::rename(p.temporary.constData(), p.target.constData()) != 0) {
            const int error = errno;
            const NativePath target = p.target;
            pending_.erase(pending_.begin(), pending_.begin() + std::ptrdiff_t(i));
            discard();
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
