#pragma once

#include <QString>

// Where the window opens answer files and proposes its saves. A program folder the user can
// write into (a build folder, a portable copy on a stick) keeps Data/ and Results/ beside the
// program. An installed program cannot write there: its answer files are the shared samples
// of the installation and its results go to the user's documents.
struct ProgramFolders
{
    QString data;           // the folder the Data and Group dialogs open in
    QString results;        // the folder the Save commands propose names in
    bool installed = false; // results in the user's documents, made on the first save

    bool operator==(const ProgramFolders &) const = default;
};

// What the choice depends on, gathered from the file system by programFolders().
struct FolderFacts
{
    QString programFolder;        // the program's folder, ending with the separator
    bool resultsWritable = false; // programFolder/Results is a folder the user can write into
    bool programWritable = false; // the user can write into programFolder itself
    QString sharedData;           // <prefix>/share/vorl/Data of an installation, or empty
    QString documents;            // the user's documents folder
};

ProgramFolders chooseProgramFolders(const FolderFacts &facts);

// The folders for the program in programFolder (with its trailing separator), as the file
// system stands now.
ProgramFolders programFolders(const QString &programFolder);

// Makes an installed program's results folder; a program folder's Results is left to the user,
// as it always was. Returns the folders in use.
ProgramFolders makeResultsFolder(const QString &programFolder);

// The lines of --help that name the two folders in use.
QString foldersHelpText(const ProgramFolders &folders);
