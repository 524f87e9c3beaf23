#include "ProgramFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

ProgramFolders chooseProgramFolders(const FolderFacts &facts)
{
    const QString beside = facts.programFolder;
    // A writable program folder without an installation's shared data is a build folder or a
    // portable copy, even before its Results folder exists. An installation is recognised by
    // its shared data rather than by write access alone: root can write into /usr/bin.
    if (facts.resultsWritable || (facts.programWritable && facts.sharedData.isEmpty()))
        return {beside + QStringLiteral("Data"), beside + QStringLiteral("Results"), false};
    const QString data =
        facts.sharedData.isEmpty() ? beside + QStringLiteral("Data") : facts.sharedData;
    return {data, facts.documents + QStringLiteral("/VORL/Results"), true};
}

ProgramFolders programFolders(const QString &programFolder)
{
    FolderFacts facts;
    facts.programFolder = programFolder;
    const QFileInfo results(programFolder + QStringLiteral("Results"));
    facts.resultsWritable = results.isDir() && results.isWritable();
    facts.programWritable = QFileInfo(programFolder).isWritable();
    // The layout of an installation: <prefix>/bin/vorlzut and <prefix>/share/vorl/Data.
    const QFileInfo shared(programFolder + QStringLiteral("../share/vorl/Data"));
    if (shared.isDir())
        facts.sharedData = QDir::cleanPath(shared.absoluteFilePath());
    facts.documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (facts.documents.isEmpty())
        facts.documents = QDir::homePath();
    return chooseProgramFolders(facts);
}

ProgramFolders makeResultsFolder(const QString &programFolder)
{
    const ProgramFolders folders = programFolders(programFolder);
    // A folder that cannot be made shows up as "Cannot create file" when the save writes.
    if (folders.installed)
        QDir().mkpath(folders.results);
    return folders;
}

QString foldersHelpText(const ProgramFolders &folders)
{
    return QStringLiteral("\nFolders in use:\n"
                          "  answer files  %1\n"
                          "  saved results %2%3\n")
        .arg(QDir::toNativeSeparators(folders.data), QDir::toNativeSeparators(folders.results),
             folders.installed && !QFileInfo(folders.results).isDir()
                 ? QStringLiteral(" (made on the first save)")
                 : QString());
}
