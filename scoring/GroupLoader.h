#pragma once

#include "Analysis.h"
#include "ProfileStore.h"

#include <QString>
#include <QStringList>

// A profile read from disk in the raw state, with the header texts the load sets.
struct LoadedProfile
{
    ProfileStore store;
    HeaderTexts header;
    int count = 0;      // questionnaires read
    bool group = false; // true for a group load
};

// Texts of a group's header.
QString groupCode();        // "0000"
QString groupName();        // "Группа"
QString groupDetailsHead(); // "Состав группы:"

// Reads one respondent's answer file into a fresh store: header lines 1-3, details lines 4-7,
// scores from ReadAnswers. Throws on the first failure; nothing is returned half-read.
LoadedProfile loadRespondent(const QString &path);

// The answer files of a folder in reading order: every entry whose name ends in ".txt" in any
// letter case, hidden ones included, sub-folders and their contents left out, sorted by name
// ignoring letter case (upper-case comparison, as the original platform's listing orders them).
QStringList groupMembers(const QString &folder);

// Reads every member of the folder into a fresh store and divides by their number. today is the
// header date. Throws "Cannot open file %s" or the integer message at the first bad member, and
// a message of its own when the folder has no answer file; nothing is returned half-read.
LoadedProfile loadGroup(const QString &folder, const QString &today);

// The message for a folder without answer files.
QString emptyGroupMessage(const QString &folder);
