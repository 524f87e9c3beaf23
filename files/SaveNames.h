#pragma once

#include <QByteArray>
#include <QString>

// The names and bytes of the files the Save commands write.

// The results folder of the program in programFolder (with its trailing separator): its
// Results sub-folder, or for an installed program the one in the user's documents.
QString resultsFolder(const QString &programFolder);

// The code as it may stand in a file name: path separators, control characters (C0, C1, line
// and paragraph separators) and characters no file name may hold become "_", so a code read
// from an answer file never leads out of the results folder; invisible format characters
// (bidirectional controls, zero-width characters) are dropped, so a name shows what it holds.
QString fileNameSafeCode(const QString &code);

// The longest name, in bytes, most file systems take.
inline constexpr int kMaxFileNameBytes = 255;

// The text cut, at a character boundary, to at most bytes bytes of UTF-8.
QString cutToBytes(const QString &text, int bytes);
// How many bytes of UTF-8 the part of a name that comes from the code may have, so that every
// file name built from it, the longest ("Image A <code>.jpg") included, fits in nameLimit bytes.
int stemLimit(int nameLimit);
// The safe code cut to stemLimit: the part of every proposed name that comes from the code.
QString fileNameStem(const QString &code, int nameLimit = kMaxFileNameBytes);

// The names, without a folder, built from that part: "<stem>.rtf", "<prefix> <letter>
// <stem>.jpg" and "Report <stem>.pdf".
QString analysisName(const QString &stem);
QString pictureName(const QString &prefix, const QString &letter, const QString &stem);
QString reportName(const QString &stem);
// The breakdown's saves in the results folder: "Подгруппы FOLDER (строка N).EXTENSION", the
// group folder's name cut to what the results folder's file system takes.
QString breakdownFileName(const QString &results, const QString &folderName, int line,
                          const QString &extension);
// The trend's saves in the results folder: "Динамика FOLDER.EXTENSION", the parent folder's name
// cut alike.
QString trendFileName(const QString &results, const QString &folderName, const QString &extension);

// The proposals of the Save commands, the code made safe and cut to what the results folder's
// file system takes.
// "Results/<code>.rtf" under the program folder.
QString analysisFileName(const QString &programFolder, const QString &code);
// "Results/Table <code>.csv" under the program folder.
QString tableFileName(const QString &programFolder, const QString &code);
// "Results/Table <code>.xlsx" under the program folder.
QString workbookFileName(const QString &programFolder, const QString &code);
// "Results/<prefix> <letter> <code>.jpg" under the program folder; prefix "Image" or "Plot".
QString pictureFileName(const QString &programFolder, const QString &prefix, const QString &letter,
                        const QString &code);
// "Results/Report <code>.pdf" under the program folder.
QString reportFileName(const QString &programFolder, const QString &code);

// The name the picture is written under: unchanged when its last four characters are exactly
// ".jpg", otherwise with ".jpg" appended (x.JPG becomes x.JPG.jpg).
QString JpegFileName(const QString &name);
// The same rule for the report: ".pdf" appended unless the name ends in exactly ".pdf".
QString PdfFileName(const QString &name);

// The memo's text as the analysis file holds it: code page 1251, lines separated by CR LF, no
// byte order mark. Characters code page 1251 has no byte for are written as "?" and listed,
// each once, in unmappable.
struct AnalysisFileBytes
{
    QByteArray bytes;
    QString unmappable;
};
AnalysisFileBytes analysisFileBytes(const QString &text);
