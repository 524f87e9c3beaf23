#include "NativePath.h"

#include "CommandError.h"
#include "Cp1251.h"
#include "FolderListing.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#ifdef Q_OS_UNIX
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Invalid sequences decode to U+FFFD, which encodes to other bytes: only valid UTF-8 comes
// back unchanged.
bool isValidUtf8(QByteArrayView bytes)
{
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

#ifdef Q_OS_UNIX
// The one entry of folder whose name, read as UTF-8 with replacements, is shown, or an empty
// array when none or several are.
NativePath uniqueEntryShownAs(const NativePath &folder, const QString &shown)
{
    NativePath found;
    int matches = 0;
    forEachEntry(folder, [&](int, const dirent &entry) {
        const QByteArray name(entry.d_name);
        if (QString::fromUtf8(name) == shown) {
            found = name;
            ++matches;
        }
        return true;
    });
    return matches == 1 ? found : NativePath();
}
#endif

} // namespace

NativePath toNativePath(const QString &path)
{
    const NativePath direct = QFile::encodeName(path);
#ifdef Q_OS_UNIX
    if (!path.contains(QChar(kReplacement)))
        return direct;
    struct stat st;
    if (::stat(direct.constData(), &st) == 0)
        return direct;
    const QStringList parts = path.split(QLatin1Char('/'));
    NativePath resolved;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString &part = parts[i];
        NativePath bytes = QFile::encodeName(part);
        if (part.contains(QChar(kReplacement))) {
            // The first component of an absolute path lies in the root folder.
            const NativePath folder = i == 1 && parts[0].isEmpty() ? NativePath("/") : resolved;
            const NativePath entry = uniqueEntryShownAs(folder, part);
            if (!entry.isEmpty())
                bytes = entry;
        }
        if (i > 0)
            resolved += '/';
        resolved += bytes;
    }
    return resolved;
#else
    return direct;
#endif
}

QString displayPath(QByteArrayView native)
{
    if (isValidUtf8(native))
        return QString::fromUtf8(native);
    return decode1251(native);
}

bool isFolder(const NativePath &path)
{
#ifdef Q_OS_UNIX
    struct stat st;
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
#else
    return QFileInfo(QFile::decodeName(path)).isDir();
#endif
}

NativePath joinPath(const NativePath &folder, const NativePath &name)
{
    if (folder.isEmpty() || folder.endsWith('/'))
        return folder + name;
    return folder + '/' + name;
}

NativePath absolutePath(const NativePath &path)
{
    if (path.startsWith('/'))
        return path;
    char cwd[PATH_MAX];
    return ::getcwd(cwd, sizeof cwd) ? joinPath(NativePath(cwd), path) : path;
}

NativePath resolvedPath(const NativePath &path)
{
    char *real = ::realpath(path.constData(), nullptr);
    if (!real)
        return path;
    NativePath resolved(real);
    std::free(real);
    return resolved;
}

QString lastPathName(const NativePath &path)
{
    NativePath clean = path;
    while (clean.size() > 1 && clean.endsWith('/'))
        clean.chop(1);
    return displayPath(clean.mid(clean.lastIndexOf('/') + 1));
}

QString meantName(const NativePath &path)
{
    const QString name = lastPathName(path);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return lastPathName(resolvedPath(path));
    return name;
}
