// Whole-file replacing on a real file system: what a failed write or a failed rename leaves
// behind, links among the targets, and long names. A full disk is stood in for by a file size
// limit (RLIMIT_FSIZE with SIGXFSZ ignored), which fails the write the same way a disk without
// room does, only with EFBIG.
#include "CommandError.h"
#include "SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>

void PrintTo(Durability durability, std::ostream *os)
{
    *os << (durability == Durability::Synced ? "Synced" : "Unsynced");
}

namespace {

// Files the process writes may not grow past the limit while it is alive.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, old_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit old_{};
    void (*oldHandler_)(int) = SIG_DFL;
};

QByteArray contents(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void put(const QString &file, const QByteArray &bytes)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// Every entry of the folder, hidden ones included: a temporary file left behind shows here.
QStringList entries(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                               QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

// The error a write throws, or nothing when it returns.
std::optional<CommandError> errorOf(const std::function<void()> &write)
{
    try {
        write();
    } catch (const CommandError &e) {
        return e;
    }
    return std::nullopt;
}

class SafeFileTest : public testing::TestWithParam<Durability>
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

std::string durabilityName(const testing::TestParamInfo<Durability> &info)
{
    return info.param == Durability::Synced ? "Synced" : "Unsynced";
}

} // namespace

TEST_P(SafeFileTest, FailedWriteKeepsTheOldFileAndLeavesNoTemporaryFile)
{
    put(path("t.jpg"), "old");
    std::optional<CommandError> error;
    {
        const FileSizeLimit limit(4096);
        error = errorOf(
            [&] { writeFileReplacing(path("t.jpg"), QByteArray(64 * 1024, 'x'), GetParam()); });
    }
    ASSERT_TRUE(error.has_value()) << "a write that did not fit passed for done";
    EXPECT_EQ(error->message(), "Cannot create file " + QDir::toNativeSeparators(path("t.jpg")));
    EXPECT_EQ(error->reason(), "File too large");
    EXPECT_EQ(entries(dir.path()), QStringList{"t.jpg"});
    EXPECT_EQ(contents(path("t.jpg")), "old");
}

// A folder of the name is no file to replace: the save fails and leaves it as it was.
TEST_P(SafeFileTest, FolderOfTheNameIsRefusedAndLeavesNoTemporaryFile)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath("t.pdf/inside"));
    const std::optional<CommandError> error =
        errorOf([&] { writeFileReplacing(path("t.pdf"), "new", GetParam()); });
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->reason(), "it is a folder");
    EXPECT_EQ(entries(dir.path()), QStringList{"t.pdf"});
    EXPECT_TRUE(QFileInfo(path("t.pdf/inside")).isDir());
}

// A link planted under the name is replaced; the file it points to is not written.
TEST_P(SafeFileTest, ReplacesALinkInsteadOfWritingThroughIt)
{
    put(path("elsewhere"), "not ours");
    ASSERT_TRUE(QFile::link(path("elsewhere"), path("0451.rtf")));
    writeFileReplacing(path("0451.rtf"), "analysis", GetParam());
    EXPECT_EQ(contents(path("elsewhere")), "not ours");
    EXPECT_FALSE(QFileInfo(path("0451.rtf")).isSymLink());
    EXPECT_EQ(contents(path("0451.rtf")), "analysis");
    EXPECT_EQ(entries(dir.path()), (QStringList{"0451.rtf", "elsewhere"}));
}

// The temporary name does not grow with the target's: a name of the longest length is written.
TEST_P(SafeFileTest, LongestNameIsWrittenAndPermissionsAreKept)
{
    const QString name = path(QString(251, 'n') + ".jpg");
    put(name, "old");
    ASSERT_TRUE(QFile::setPermissions(name, QFile::ReadOwner | QFile::WriteOwner));
    writeFileReplacing(name, "new", GetParam());
    EXPECT_EQ(contents(name), "new");
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(name).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(entries(dir.path()).size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Durabilities, SafeFileTest,
                         testing::Values(Durability::Synced, Durability::Unsynced), durabilityName);

// New targets are linked into place; one that appears between the write and the commit is
// replaced all the same, and nothing else is left in the folder.
TEST(ReplacingFiles, TargetThatAppearsBeforeTheCommitIsReplaced)
{
    QTemporaryDir dir;
    ReplacingFiles files(Durability::Unsynced);
    files.add(QFile::encodeName(dir.filePath("a.rtf")), "new a");
    files.add(QFile::encodeName(dir.filePath("b.rtf")), "new b");
    put(dir.filePath("b.rtf"), "someone else's");
    files.commit();
    EXPECT_EQ(contents(dir.filePath("a.rtf")), "new a");
    EXPECT_EQ(contents(dir.filePath("b.rtf")), "new b");
    EXPECT_EQ(entries(dir.path()), (QStringList{"a.rtf", "b.rtf"}));

    // A folder that appears there instead fails the commit, and the temporary name the file
    // took for its rename goes with it.
    ReplacingFiles late(Durability::Unsynced);
    late.add(QFile::encodeName(dir.filePath("c.rtf")), "new c");
    ASSERT_TRUE(QDir(dir.path()).mkpath("c.rtf/inside"));
    EXPECT_TRUE(errorOf([&] { late.commit(); }).has_value());
    EXPECT_EQ(entries(dir.path()), (QStringList{"a.rtf", "b.rtf", "c.rtf"}));
}

// A set whose last file does not fit leaves every old file of the set as it was.
TEST(ReplacingFiles, SetIsReplacedWholeOrNotAtAll)
{
    QTemporaryDir dir;
    const QStringList names = {"a.rtf", "Report a.pdf", "Image A a.jpg"};
    for (const QString &name : names)
        put(dir.filePath(name), "old " + name.toUtf8());
    {
        std::optional<CommandError> error;
        const FileSizeLimit limit(4096);
        ReplacingFiles files(Durability::Unsynced);
        error = errorOf([&] {
            files.add(QFile::encodeName(dir.filePath(names[0])), "new a");
            files.add(QFile::encodeName(dir.filePath(names[1])), "new report");
            files.add(QFile::encodeName(dir.filePath(names[2])), QByteArray(64 * 1024, 'x'));
            files.commit();
        });
        ASSERT_TRUE(error.has_value());
        EXPECT_TRUE(error->message().endsWith("Image A a.jpg"));
    }
    QStringList sorted = names;
    sorted.sort();
    EXPECT_EQ(entries(dir.path()), sorted);
    for (const QString &name : names)
        EXPECT_EQ(contents(dir.filePath(name)), "old " + name.toUtf8());

    // Dropped before its commit, a set leaves nothing either.
    {
        ReplacingFiles files;
        files.add(QFile::encodeName(dir.filePath(names[0])), "never");
    }
    EXPECT_EQ(entries(dir.path()), sorted);

    ReplacingFiles files;
    for (const QString &name : names)
        files.add(QFile::encodeName(dir.filePath(name)), "new " + name.toUtf8());
    EXPECT_EQ(contents(dir.filePath(names[0])), "old a.rtf") << "nothing in place before commit";
    files.commit();
    for (const QString &name : names)
        EXPECT_EQ(contents(dir.filePath(name)), "new " + name.toUtf8());
    EXPECT_EQ(entries(dir.path()), sorted);
}

TEST(ReplacingFiles, MessagesCutVeryLongNamesAndGiveTheReason)
{
    const QString longName = "/" + QString(256 * 1024, 'd') + "/x.rtf";
    const CommandError error = cannotCreateFile(longName, ENOSPC);
    EXPECT_LT(error.message().size(), 600);
    EXPECT_TRUE(error.message().startsWith("Cannot create file /ddd"));
    EXPECT_TRUE(error.message().endsWith(QStringLiteral("ddd/x.rtf")));
    EXPECT_TRUE(error.message().contains(QChar(0x2026)));
    EXPECT_EQ(error.reason(), "No space left on device");
    EXPECT_EQ(cannotCreateFile("/r/x.rtf").message(), "Cannot create file /r/x.rtf");
    EXPECT_TRUE(cannotCreateFile("/r/x.rtf").reason().isEmpty());
}
