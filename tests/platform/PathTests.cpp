// Paths by the bytes the file system holds: the names a path gives, and the one folder walk.
#include "FolderListing.h"
#include "NativePath.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <climits>
#include <unistd.h>

namespace {

NativePath inDir(const QTemporaryDir &dir, const char *name)
{
    return QFile::encodeName(dir.path()) + '/' + name;
}

} // namespace

// What the batch names a folder's files after, and what the table loader names a group after:
// ".", ".." and a slash at the end name the folder meant; an old name in code page 1251 reads
// as the user wrote it.
TEST(Paths, NamesAPathGives)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("Отдел/Склад"));
    const QString own = QDir(dir.path()).dirName();
    const struct
    {
        NativePath path;
        QString last;
        QString meant;
    } rows[] = {
        {inDir(dir, "Отдел/"), "Отдел", "Отдел"},
        {inDir(dir, "Отдел/Склад/.."), "..", "Отдел"},
        {inDir(dir, "Отдел/."), ".", "Отдел"},
        {inDir(dir, "."), ".", own},
        {"/", "", ""},
        {"", "", ""},
        {inDir(dir, "\xCE\xF2\xE4\xE5\xEB"), "Отдел", "Отдел"},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(lastPathName(row.path), row.last) << row.path.constData();
        EXPECT_EQ(meantName(row.path), row.meant) << row.path.constData();
    }
    char cwd[PATH_MAX];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(absolutePath("a/b"), NativePath(cwd) + "/a/b");
    EXPECT_EQ(absolutePath("/a/b"), NativePath("/a/b"));
}

// Every entry but "." and ".." once, until the visit says stop; a folder that cannot be opened
// says so with the system's reason.
TEST(Paths, FolderWalkVisitsEveryEntryUntilToldToStop)
{
    QTemporaryDir dir;
    for (const char *name : {"a.txt", "b.txt", ".hidden", "c"})
        QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
    const NativePath folder = QFile::encodeName(dir.path());
    QStringList seen;
    EXPECT_TRUE(forEachEntry(folder, [&](int, const dirent &entry) {
        seen << QString::fromUtf8(entry.d_name);
        return true;
    }));
    seen.sort();
    EXPECT_EQ(seen, (QStringList{".hidden", "a.txt", "b.txt", "c"}));
    int visits = 0;
    forEachEntry(folder, [&](int, const dirent &) { return ++visits < 2; });
    EXPECT_EQ(visits, 2);
    errno = 0;
    EXPECT_FALSE(forEachEntry(folder + "/missing", [](int, const dirent &) { return true; }));
    EXPECT_EQ(errno, ENOENT);
}
