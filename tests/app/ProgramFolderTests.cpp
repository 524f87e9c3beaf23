// Where the program reads and saves: beside it where it can write, otherwise the shared samples
// of the installation and a results folder in the user's documents.
#include "AppTestSupport.h"

#include "About.h"
#include "ProfileStore.h"
#include "ProgramFolders.h"
#include "TPanel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <cctype>

namespace {

struct FolderCase
{
    const char *situation;
    bool resultsWritable;
    bool programWritable;
    bool shared;
    bool installed;
};

void PrintTo(const FolderCase &c, std::ostream *os)
{
    *os << c.situation;
}

// The program in /p/bin/; an installation keeps its samples in /p/share/vorl/Data.
const FolderCase kFolderCases[] = {
    {"build folder", true, true, false, false},
    {"portable copy without Results yet", false, true, false, false},
    {"installed, run by a user", false, false, true, true},
    {"installed, run by root, who can write into bin", false, true, true, true},
    {"installation with a writable Results beside it", true, false, true, false},
    {"read-only copy, no installation", false, false, false, true},
};

class ChooseFolders : public ::testing::TestWithParam<FolderCase>
{
};

TEST_P(ChooseFolders, PicksTheProgramFolderOrTheInstalledPlaces)
{
    const FolderCase &c = GetParam();
    FolderFacts facts;
    facts.programFolder = "/p/bin/";
    facts.resultsWritable = c.resultsWritable;
    facts.programWritable = c.programWritable;
    facts.sharedData = c.shared ? "/p/share/vorl/Data" : "";
    facts.documents = "/home/u/Документы";
    const ProgramFolders got = chooseProgramFolders(facts);
    if (!c.installed) {
        EXPECT_EQ(got, (ProgramFolders{"/p/bin/Data", "/p/bin/Results", false}));
        return;
    }
    EXPECT_EQ(got.data, c.shared ? "/p/share/vorl/Data" : "/p/bin/Data");
    EXPECT_EQ(got.results, "/home/u/Документы/VORL/Results");
    EXPECT_TRUE(got.installed);
}

INSTANTIATE_TEST_SUITE_P(Situations, ChooseFolders, ::testing::ValuesIn(kFolderCases),
                         [](const auto &row) {
                             std::string name;
                             for (const char *p = row.param.situation; *p; ++p)
                                 if (std::isalnum(static_cast<unsigned char>(*p)))
                                     name += *p;
                             return name;
                         });

// A temporary installation layout, <prefix>/bin and <prefix>/share/vorl/Data, and a home of
// its own for the user's documents.
class InstalledFolders : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        savedHome = qgetenv("HOME");
        savedConfig = qgetenv("XDG_CONFIG_HOME");
        home = dir.filePath("home");
        QDir().mkpath(home);
        qputenv("HOME", QFile::encodeName(home));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + "/.config"));
        bin = dir.filePath("usr/bin") + "/";
        shared = dir.filePath("usr/share/vorl/Data");
        QDir().mkpath(bin);
        QDir().mkpath(shared);
        results = home + "/Documents/VORL/Results";
    }
    void TearDown() override
    {
        qputenv("HOME", savedHome);
        qputenv("XDG_CONFIG_HOME", savedConfig);
        WindowTest::TearDown();
    }

    QByteArray savedHome, savedConfig;
    QString home, bin, shared, results;
};

} // namespace

TEST_F(InstalledFolders, FileSystemDecidesTheMode)
{
    // This test runs as root on the build machines: bin is writable, the layout decides.
    EXPECT_EQ(programFolders(bin), (ProgramFolders{shared, results, true}));
    EXPECT_EQ(foldersHelpText(programFolders(bin)), "\nFolders in use:\n  answer files  " + shared +
                                                        "\n  saved results " + results +
                                                        " (made on the first save)\n");
    EXPECT_FALSE(QFileInfo::exists(home + "/Documents"));

    // A Russian desktop names its documents folder in its own language.
    QDir().mkpath(home + "/.config");
    QFile dirs(home + "/.config/user-dirs.dirs");
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DOCUMENTS_DIR=\"$HOME/Документы\"\n");
    dirs.close();
    EXPECT_EQ(programFolders(bin).results, home + "/Документы/VORL/Results");

    // A Results folder the user can write into keeps everything beside the program.
    QDir().mkpath(bin + "Results");
    EXPECT_EQ(programFolders(bin), (ProgramFolders{bin + "Data", bin + "Results", false}));
    if (!makeUnwritable(bin + "Results"))
        GTEST_SKIP() << "no folder can be made unwritable here";
    EXPECT_TRUE(programFolders(bin).installed);
    makeWritable(bin + "Results");
}

TEST_F(InstalledFolders, WindowOpensTheSamplesAndSavesIntoTheDocuments)
{
    const QString sample = shared + "/one.txt";
    QFile::copy(writeSheet("one.txt", AnswerSheet{}), sample);
    form->setProgramFolder(bin);
    openData(sample);
    ASSERT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join("; ").toStdString();
    EXPECT_EQ(dialogs->folders.value(0), shared);

    // Cancelled or not, the first Save command makes the folder it proposes the name in.
    form->mmAnalysisSaveClick();
    ASSERT_EQ(dialogs->saves.size(), 1u);
    EXPECT_EQ(dialogs->saves[0].proposed, results + "/0451.rtf");
    EXPECT_TRUE(QFileInfo(results).isDir());

    dialogs->saveAnswers << results + "/Table 0451.csv" << results + "/0451.rtf";
    form->mmTableSaveClick();
    child<QPlainTextEdit>(*form, "meInfo")->setPlainText("analysis");
    form->mmAnalysisSaveClick();
    EXPECT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join("; ").toStdString();
    EXPECT_EQ(dialogs->saves[1].proposed, results + "/Table 0451.csv");
    EXPECT_EQ(QDir::cleanPath(dialogs->saves[1].folder), results);
    EXPECT_EQ(QDir(results).entryList(QDir::Files), QStringList({"0451.rtf", "Table 0451.csv"}));
    EXPECT_FALSE(QFileInfo::exists(bin + "Results"));
}

TEST_F(InstalledFolders, AboutBoxNamesTheFoldersInUse)
{
    form->setProgramFolder(bin);
    form->SystemMenuCommand(kAboutCommandId);
    const TAboutBox &box = *child<TAboutBox>(*form, "AboutBox");
    EXPECT_EQ(box.DataFolder->toolTip(), shared);
    EXPECT_EQ(box.ResultsFolder->toolTip(), results);
    // Long paths are shortened in the middle to the panel; their ends stay readable.
    for (const QLabel *label : {box.DataFolder, box.ResultsFolder}) {
        const QStringList lines = label->text().split('\n');
        ASSERT_EQ(lines.size(), 2);
        EXPECT_LE(label->fontMetrics().horizontalAdvance(lines[1]), label->width());
        EXPECT_LE(label->fontMetrics().height() * 2, label->height());
        EXPECT_TRUE(label->toolTip().endsWith(lines[1].section(QChar(0x2026), -1)));
        EXPECT_LE(label->geometry().bottom(), box.Panel1->height() - 2);
        EXPECT_GT(label->geometry().top(), box.Version->geometry().bottom());
    }
    EXPECT_EQ(box.DataFolder->text().section('\n', 0, 0), "Answer files:");
    EXPECT_EQ(box.ResultsFolder->text().section('\n', 0, 0), "Saved results:");
}

TEST_F(WindowTest, AboutBoxNamesTheFoldersBesideABuiltProgram)
{
    form->SystemMenuCommand(kAboutCommandId);
    const QString program = QCoreApplication::applicationDirPath();
    EXPECT_EQ(child<TAboutBox>(*form, "AboutBox")->DataFolder->toolTip(), program + "/Data");
    EXPECT_EQ(child<TAboutBox>(*form, "AboutBox")->ResultsFolder->toolTip(), program + "/Results");
}
